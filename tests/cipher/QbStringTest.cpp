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
