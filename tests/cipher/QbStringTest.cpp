#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cipher/CipherTestSupport.h"
#include "cipher/QbString.h"

using namespace cipher_test;

namespace {

std::string Encode(const std::string& Data) {
    std::istringstream In(Data);
    std::ostringstream Out;
    Base64EncodeStream(In, Out);
    return Out.str();
}

std::string Decode(const std::string& Text) {
    std::istringstream In(Text);
    std::ostringstream Out;
    Base64DecodeStream(In, Out);
    return Out.str();
}

}  // namespace

TEST(Base64Test, MatchesTheStandardVectorsBothWays) {
    const std::vector<std::pair<std::string, std::string>> Vectors = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {Bytes({0xFB, 0xFF, 0xBF}), "+/+/"},
    };
    for (const auto& [Data, Text] : Vectors) {
        EXPECT_EQ(Encode(Data), Text);
        EXPECT_EQ(Decode(Text), Data) << Text;
    }
}

TEST(Base64Test, LongInputsMakeOneLineAcrossThePieces) {
    for (std::size_t Length : {44u, 45u, 46u, 66u, 67u, 90u, 1000u}) {
        const std::string Data = PatternText(Length);
        const std::string Text = Encode(Data);
        EXPECT_EQ(Text.size(), (Length + 2) / 3 * 4) << Length;
        EXPECT_EQ(Text.find_first_not_of(
                      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
                  std::string::npos);
        EXPECT_EQ(Decode(Text), Data) << Length;
    }
}

TEST(Base64Test, ACutOffLastGroupNeverTakesCharactersFromBeyondTheText) {
    // 88 characters fill the first piece; the two after them must not be
    // completed from what the first piece left behind.
    const std::string Full = Encode(PatternText(66));
    ASSERT_EQ(Full.size(), 88u);
    EXPECT_EQ(Decode(Full + "Zg"), PatternText(66) + "f");
    EXPECT_EQ(Decode(Full + "Zm9"), PatternText(66) + "fo");
    EXPECT_EQ(Decode("Zm9vYg"), "foob");
    EXPECT_THROW(Decode("Zm9vY"), std::runtime_error);
}

TEST(Base64Test, RejectsCharactersOutsideTheAlphabet) {
    const std::vector<std::string> Texts = {"Zm9 ", "Zm9v\r\nYg==", "Zm*v",    "Zm{v",
                                            "Zm-v", "Zm.v",         "Zm@v",    "Zm9\x80",
                                            "=m9v", "Z=9v",         "Zm9vY=g="};
    for (const std::string& Text : Texts) {
        try {
            Decode(Text);
            ADD_FAILURE() << Text << ": no exception";
        } catch (const ECipherException&) {
            ADD_FAILURE() << Text << ": format error instead of a character error";
        } catch (const std::runtime_error& Error) {
            EXPECT_STREQ(Error.what(), "Invalid Base64 Character") << Text;
        }
    }
}

TEST(StringECBTest, TextLengthsGiveTheExpectedBase64LengthsAndPadding) {
    TBlowfishKey Key{};
    Key[3] = 7;
    for (std::size_t Length = 0; Length <= 40; ++Length) {
        const std::string Text = PatternText(Length);
        const std::string Cipher = StringECB(Text, Key, true);
        const std::size_t Blocks = Length / 8 + 1;
        EXPECT_EQ(Cipher.size(), (8 * Blocks + 2) / 3 * 4) << Length;
        const std::size_t Padding = Cipher.size() - Cipher.find_last_not_of('=') - 1;
        EXPECT_EQ(Padding, Blocks % 3) << Length;
        EXPECT_EQ(StringECB(Cipher, Key, false), Text) << Length;
    }
}

TEST(StringECBTest, StoredTextIsTheBase64OfTheCipherStream) {
    // The empty text under the all-zero key is the zero block folded.
    EXPECT_EQ(StringECB("", TBlowfishKey{}, true), "fX61aSRp544=");
    EXPECT_EQ(StringECB("fX61aSRp544=", TBlowfishKey{}, false), "");
    const std::string Eight = "ABCDEFGH";
    const std::string Stream =
        FoldBlocks(Eight + std::string(8, '\0'), ZeroKeyFoldLeft, ZeroKeyFoldRight);
    EXPECT_EQ(StringECB(Eight, TBlowfishKey{}, true), Encode(Stream));
}

TEST(StringCBCTest, RoundTripsAndIsOneBlockLongerThanECB) {
    TBlowfishKey Key{};
    Key[0] = 0x99;
    for (std::size_t Length : {0u, 1u, 7u, 8u, 9u, 15u, 16u, 17u, 300000u}) {
        const std::string Text = PatternText(Length);
        const std::string Cipher = StringCBC(Text, Key, true);
        EXPECT_EQ(Decode(Cipher).size(), Decode(StringECB(Text, Key, true)).size() + 8);
        EXPECT_EQ(StringCBC(Cipher, Key, false), Text) << Length;
    }
    // The timer's readings are the only difference between two runs.
    const auto Fixed = [] { return 77u; };
    EXPECT_EQ(StringCBC("same", Key, true, Fixed), StringCBC("same", Key, true, Fixed));
    EXPECT_NE(StringCBC("same", Key, true, Fixed),
              StringCBC("same", Key, true, [] { return 78u; }));
}

// The string routines work in memory of their own; the stream routines, run
// one after the other through in-memory streams, are what they must match
// byte for byte, errors and their order included.
class StringPathTest : public ::testing::Test {
  protected:
    // The bytes made, or which error was raised with what message.
    template <typename Operation>
    static std::string Outcome(Operation&& Run) {
        try {
            return "bytes " + Run();
        } catch (const ECipherException& Error) {
            return std::string("format error: ") + Error.what();
        } catch (const std::runtime_error& Error) {
            return std::string("error: ") + Error.what();
        }
    }

    static std::string CipherStream(const std::string& Text, bool Chained) {
        std::istringstream In(Text);
        std::ostringstream Out;
        RunMode(In, Out, Chained, true);
        return Out.str();
    }

    static std::string ByStreams(const std::string& Input, bool Chained, bool Encrypt) {
        if (Encrypt) {
            return Encode(CipherStream(Input, Chained));
        }
        std::istringstream In(Input);
        std::stringstream Middle;
        std::ostringstream Out;
        Base64DecodeStream(In, Middle);
        Middle.seekg(0);
        RunMode(Middle, Out, Chained, false);
        return Out.str();
    }

    static std::string ByString(const std::string& Input, bool Chained, bool Encrypt) {
        return Chained ? StringCBC(Input, Key(), Encrypt, CountingTimer())
                       : StringECB(Input, Key(), Encrypt);
    }

    static void ExpectSame(const std::string& Input, bool Chained, bool Encrypt,
                           const std::string& Why) {
        const std::string Expected = Outcome([&] { return ByStreams(Input, Chained, Encrypt); });
        const std::string Actual = Outcome([&] { return ByString(Input, Chained, Encrypt); });
        // Not EXPECT_EQ: a megabyte on each side would bury the message.
        EXPECT_TRUE(Actual == Expected)
            << (Chained ? "CBC, " : "ECB, ") << (Encrypt ? "encipher " : "decipher ") << Why
            << "\n  string path: " << Actual.substr(0, 80)
            << "\n  stream path: " << Expected.substr(0, 80);
    }

    static const TBlowfishKey& Key() {
        static const TBlowfishKey Value = {0x31, 0x41, 0x59, 0x26, 0x53, 0x58, 0x97, 0x93,
                                           0x23, 0x84, 0x62, 0x64, 0x33, 0x83, 0x27, 0x95};
        return Value;
    }

  private:
    static TQbMillisecondTimer CountingTimer() {
        return [Next = 0x5A5A0000u]() mutable { return Next++; };
    }

    static void RunMode(std::istream& In, std::ostream& Out, bool Chained, bool Encrypt) {
        if (Chained) {
            StreamCBC(In, Out, Key(), Encrypt, CountingTimer());
        } else {
            StreamECB(In, Out, Key(), Encrypt);
        }
    }
};

TEST_F(StringPathTest, TextsOfEveryLengthAroundThePiecesAndAMegabyte) {
    std::vector<std::size_t> Lengths;
    for (std::size_t Length = 0; Length <= 40; ++Length) {
        Lengths.push_back(Length);
    }
    for (std::size_t Length : {44u, 45u, 46u, 87u, 88u, 89u, 1u << 20}) {
        Lengths.push_back(Length);
    }
    for (bool Chained : {false, true}) {
        for (std::size_t Length : Lengths) {
            const std::string Text = PatternText(Length);
            const std::string Why = std::to_string(Length) + " bytes";
            ExpectSame(Text, Chained, true, Why);
            const std::string Stored = ByStreams(Text, Chained, true);
            ExpectSame(Stored, Chained, false, Why);
        }
    }
}

TEST_F(StringPathTest, MalformedStoredTexts) {
    for (bool Chained : {false, true}) {
        const std::string Short = ByStreams(PatternText(13), Chained, true);
        const std::string Long = ByStreams(PatternText(300), Chained, true);  // several pieces

        std::vector<std::pair<std::string, std::string>> Cases = {
            {"", "empty"},
            {"QUJDREVGRw==", "7 bytes"},
            {"QUJDREVGR0g=", "8 bytes"},
            {"QUJDREVGR0hJSktMTU5PUA==", "16 bytes"},
            {"A", "one character"},
            {"QUJD*", "a stray character after a short stream"},
            {Short.substr(0, 6) + " " + Short.substr(6), "a blank"},
            {Short + "\r\n", "a line break"},
            {Long.substr(0, 200) + " " + Long.substr(200), "a blank in a later piece"},
            {Long.substr(0, 90) + "=" + Long.substr(91), "a = in place 2 of a group"},
            {Long.substr(0, 91) + "=" + Long.substr(92), "a = in place 3 of a group"},
            {Long.substr(0, 92) + "=" + Long.substr(93), "a = in place 0 of a group"},
            {Long.substr(0, 89) + "=" + Long.substr(90), "a = in place 1 of a group"},
            {Long.substr(0, 90) + "==" + Long.substr(92), "== inside"},
            {Short + "QUJD", "a group after the padded end"},
            {Short + "QQ==QUJD", "a padded group inside, then more"},
            {Short.substr(0, Short.size() - 1), "cut by one"},
            {Short.substr(0, Short.size() - 2), "cut by two"},
            {Short.substr(0, Short.size() - 3), "cut by three"},
            {Long.substr(0, 89), "cut one past a piece"},
            {Long.substr(0, 90), "cut two past a piece"},
            {Long.substr(0, 91), "cut three past a piece"},
            {Long + "QUJDRA==", "four bytes after the last whole block"},
            {Short.substr(0, 4) + "\x80" + Short.substr(5), "a byte 0x80"},
            {Short + "\xFF", "a byte 0xFF"},
            {Short.substr(0, 8) + "@[`" + Short.substr(11), "characters between + and z"},
        };
        // 13 bytes leave 5 in the final block; its count byte turned above 7.
        for (int Count : {8, 9, 0x7F, 0x80, 0xFF}) {
            std::string Stream = CipherStream(PatternText(13), Chained);
            Stream.back() = static_cast<char>(Stream.back() ^ 5 ^ Count);
            Cases.emplace_back(Encode(Stream), "count " + std::to_string(Count));
        }
        for (const auto& [Text, Why] : Cases) {
            ExpectSame(Text, Chained, false, Why);
        }
    }
}
