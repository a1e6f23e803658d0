#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cipher/CipherTestSupport.h"
#include "cipher/QbClass.h"
#include "cipher/QbProc.h"

using namespace cipher_test;

namespace {

TQbBlowfish KeyedCipher(TQbCipherMode Mode) {
    TQbBlowfish Cipher;
    Cipher.CipherMode = Mode;
    Cipher.GenerateKey("The diary's key text ends with abcdefgh");
    return Cipher;
}

std::string ErrorOfDecrypt(TQbBlowfish& Cipher, const std::string& Text) {
    try {
        Cipher.DecryptString(Text);
    } catch (const ECipherException& Error) {
        return std::string("format: ") + Error.what();
    } catch (const std::runtime_error& Error) {
        return std::string("other: ") + Error.what();
    }
    return "no error";
}

// A wrong key or mode gives either a format error or other bytes.
std::string DecipheredOrRaised(TQbBlowfish& Cipher, const std::string& Text) {
    try {
        return Cipher.DecryptString(Text);
    } catch (const ECipherException&) {
        return "<raised>";
    }
}

}  // namespace

TEST(TQbBlowfishTest, StartsInECBWithTheZeroKeyAndAFixedVersion) {
    TQbBlowfish Cipher;
    EXPECT_EQ(Cipher.CipherMode, cmECB);
    EXPECT_EQ(Cipher.Key, TBlowfishKey{});
    EXPECT_EQ(Cipher.EncryptString(""), "fX61aSRp544=");
    EXPECT_EQ(Cipher.Version(), "2.07");
    Cipher.SetVersion("9.99");
    EXPECT_EQ(Cipher.Version(), "2.07");
}

TEST(TQbBlowfishTest, EncryptedSizeNeededCountsTheFinalBlock) {
    TQbBlowfish Cipher;
    const std::vector<std::pair<std::uint32_t, std::uint64_t>> Cases = {
        {0, 8}, {7, 8}, {8, 16}, {15, 16}, {16, 24}, {0xFFFFFFFFu, 0x100000000ull}};
    for (const auto& [Input, Needed] : Cases) {
        EXPECT_EQ(Cipher.EncryptedSizeNeeded(Input), Needed) << Input;
    }
}

TEST(TQbBlowfishTest, StringsRoundTripInBothModes) {
    std::vector<std::string> Texts;
    for (std::size_t Length = 0; Length <= 17; ++Length) {
        Texts.push_back(PatternText(Length));
    }
    Texts.push_back(PatternText(1 << 20));
    for (TQbCipherMode Mode : {cmECB, cmCBC}) {
        TQbBlowfish Cipher = KeyedCipher(Mode);
        for (const std::string& Text : Texts) {
            const std::string Stored = Cipher.EncryptString(Text);
            EXPECT_EQ(Stored.find_first_of("\r\n "), std::string::npos);
            EXPECT_EQ(Cipher.DecryptString(Stored), Text)
                << "mode " << int(Mode) << ", " << Text.size() << " bytes";
        }
    }
}

TEST(TQbBlowfishTest, StoredTextLengthsForShortTexts) {
    TQbBlowfish Cipher = KeyedCipher(cmECB);
    const std::vector<std::pair<std::size_t, std::string>> Cases = {
        {0, "12 ="}, {7, "12 ="}, {8, "24 =="}, {16, "32 "}, {17, "32 "}};
    for (const auto& [Length, Shape] : Cases) {
        const std::string Stored = Cipher.EncryptString(std::string(Length, 'q'));
        const std::size_t Data = Stored.find_last_not_of('=') + 1;
        EXPECT_EQ(std::to_string(Stored.size()) + " " + Stored.substr(Data), Shape) << Length;
    }
}

// Whole stored texts, from key text to Base64, worked out apart from this
// code: a change anywhere along the way makes every stored diary unreadable.
TEST(TQbBlowfishTest, StoredTextsOfKnownKeyTextsAndTexts) {
    struct Case {
        std::string KeyText;
        std::string Text;
        const char* Key;
        const char* Stored;
    };
    const std::string Diary = "The diary key text";
    const char* DiaryKey = "0cca8c75d9da5d9d734f7240aadc8350";
    const std::vector<Case> Cases = {
        {Diary, "", DiaryKey, "CPJ/Zbk0PVc="},
        {Diary, "1234567", DiaryKey, "OcBMUYwCClA="},
        {Diary, "12345678", DiaryKey, "OcBMUYwCCm8I8n9luTQ9Vw=="},
        {"abcdefgh", "{\\rtf1\\ansi Dear diary\\par}", "0cb74ff73a8f99b21dee99f6c97540da",
         "8W1wEfDBNNXkQmtF0pUJxqpVawTkiTTE60N/ZZbwaLc="},
        {"", "secret", "0bd132aa831c56ac1f92e61084a342d2", "pCkHEO1L+ws="},
        {Bytes({0xE9, 0x00, 0xFF}) + "key",
         Bytes({0x00, 0xE9, 0xFF, 0x80, '\n', '\r', ' ', 0x00}) + "0123456789",
         "e70b8cfeab0f0213c6c66752aa4ed4f2", "gxtBDj1myCWzw4y9A17eErvLvo43a+gn"},
    };
    for (const Case& C : Cases) {
        TQbBlowfish Cipher;
        Cipher.GenerateKey(C.KeyText);
        EXPECT_EQ(Hex(Cipher.Key), C.Key) << Hex(C.KeyText);
        EXPECT_EQ(Cipher.EncryptString(C.Text), C.Stored) << Hex(C.Text);
        EXPECT_EQ(Hex(Cipher.DecryptString(C.Stored)), Hex(C.Text)) << C.Stored;
    }
}

// The component keeps what it derives from its key between calls; the key is a plain field that
// may change by any route, and each call must use the key as it stands then.
TEST(TQbBlowfishTest, EveryCallUsesTheKeyAsItStandsThen) {
    const std::string Rtf = "{\\rtf1\\ansi Dear diary\\par}";
    const std::string RtfStored = "8W1wEfDBNNXkQmtF0pUJxqpVawTkiTTE60N/ZZbwaLc=";
    const std::string ZeroKeyStored = TQbBlowfish().EncryptString(Rtf);
    TQbBlowfish EmptyKeyText;
    EmptyKeyText.GenerateKey("");

    TQbBlowfish Cipher;
    EXPECT_EQ(Cipher.EncryptString(Rtf), ZeroKeyStored);
    Cipher.GenerateKey("abcdefgh");
    EXPECT_EQ(Cipher.EncryptString(Rtf), RtfStored);
    EXPECT_EQ(Cipher.DecryptString(RtfStored), Rtf);
    const TQbBlowfish Copy = Cipher;

    Cipher.Key = EmptyKeyText.Key;  // assigned, not generated
    EXPECT_EQ(Cipher.EncryptString("secret"), "pCkHEO1L+ws=");
    EXPECT_EQ(Cipher.DecryptString("pCkHEO1L+ws="), "secret");
    Cipher.Key[0] ^= 1;  // one bit
    TQbBlowfish Fresh;
    Fresh.Key = Cipher.Key;
    EXPECT_EQ(Cipher.EncryptString(Rtf), Fresh.EncryptString(Rtf));
    EXPECT_NE(Cipher.EncryptString("secret"), "pCkHEO1L+ws=");
    Cipher.Key = TBlowfishKey{};
    EXPECT_EQ(Cipher.EncryptString(Rtf), ZeroKeyStored);
    Cipher.GenerateRandomKey();
    EXPECT_NE(Cipher.EncryptString(Rtf), ZeroKeyStored);
    EXPECT_EQ(Cipher.DecryptString(Cipher.EncryptString(Rtf)), Rtf);

    TQbBlowfish CopyOfCopy = Copy;
    EXPECT_EQ(CopyOfCopy.EncryptString(Rtf), RtfStored);
    CopyOfCopy.GenerateKey("");
    EXPECT_EQ(CopyOfCopy.EncryptString("secret"), "pCkHEO1L+ws=");
}

TEST(TQbBlowfishTest, MalformedStoredTextsRaiseTheirErrors) {
    TQbBlowfish Cipher = KeyedCipher(cmECB);
    const std::string Good = Cipher.EncryptString("hello");
    EXPECT_EQ(ErrorOfDecrypt(Cipher, Good.substr(0, 6) + " " + Good.substr(6)),
              "other: Invalid Base64 Character");
    EXPECT_EQ(ErrorOfDecrypt(Cipher, Good + "\r\n"), "other: Invalid Base64 Character");
    EXPECT_EQ(ErrorOfDecrypt(Cipher, ""), "format: Invalid file format");
    EXPECT_EQ(ErrorOfDecrypt(Cipher, "QUJDREVGRw=="), "format: Invalid file format");  // 7 bytes
    EXPECT_EQ(ErrorOfDecrypt(Cipher, "{\\rtf1 plain}"), "other: Invalid Base64 Character");

    TQbBlowfish Chained = KeyedCipher(cmCBC);
    EXPECT_EQ(ErrorOfDecrypt(Chained, Good), "format: Invalid file format");  // 8 bytes
}

TEST(TQbBlowfishTest, KeysComeFromTheTextAndTheModesDoNotMix) {
    TQbBlowfish First = KeyedCipher(cmECB);
    TQbBlowfish Second = KeyedCipher(cmECB);
    EXPECT_EQ(First.Key, Second.Key);
    EXPECT_EQ(First.EncryptString("entry"), Second.EncryptString("entry"));
    Second.GenerateKey("another text");
    EXPECT_NE(First.Key, Second.Key);
    EXPECT_NE(DecipheredOrRaised(Second, First.EncryptString("entry text")), "entry text");

    TQbBlowfish Chained = KeyedCipher(cmCBC);
    const std::string Text = PatternText(40);
    for (auto [From, To] : {std::pair{&First, &Chained}, std::pair{&Chained, &First}}) {
        EXPECT_NE(DecipheredOrRaised(*To, From->EncryptString(Text)), Text);
    }

    TQbBlowfish Random;
    Random.GenerateRandomKey();
    EXPECT_NE(Random.Key, TBlowfishKey{});
}

TEST(TQbBlowfishTest, StreamsAndFilesFollowTheMode) {
    const std::string Text = PatternText(77);
    std::string Template = (std::filesystem::temp_directory_path() / "qb-blowfish-XXXXXX").string();
    ASSERT_NE(mkdtemp(Template.data()), nullptr);
    const std::filesystem::path Dir = Template;
    std::ofstream(Dir / "plain", std::ios::binary) << Text;

    for (TQbCipherMode Mode : {cmECB, cmCBC}) {
        TQbBlowfish Cipher = KeyedCipher(Mode);
        std::istringstream In(Text);
        std::stringstream Out;
        Cipher.EncryptStream(In, Out);
        EXPECT_EQ(Out.str().size(), Cipher.EncryptedSizeNeeded(77) + (Mode == cmCBC ? 8 : 0));
        std::ostringstream Back;
        Cipher.DecryptStream(Out, Back);
        EXPECT_EQ(Back.str(), Text);

        Cipher.EncryptFile(Dir / "plain", Dir / "cipher");
        EXPECT_EQ(std::filesystem::file_size(Dir / "cipher"), Out.str().size());
        Cipher.DecryptFile(Dir / "cipher", Dir / "back");
        std::ifstream Read(Dir / "back", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(Read), {}), Text);
    }
    std::filesystem::remove_all(Dir);
}
