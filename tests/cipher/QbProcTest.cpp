#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cipher/CipherTestSupport.h"
#include "cipher/QbProc.h"

using namespace cipher_test;
namespace fs = std::filesystem;

namespace {

using TStreamMode = void (*)(std::istream&, std::ostream&, const TBlowfishKey&, bool);

void CbcWithSystemTimer(std::istream& In, std::ostream& Out, const TBlowfishKey& Key,
                        bool Encrypt) {
    StreamCBC(In, Out, Key, Encrypt);
}

std::string RunStream(TStreamMode Mode, const std::string& Input, bool Encrypt,
                      const TBlowfishKey& Key = {}) {
    std::istringstream In(Input);
    std::ostringstream Out;
    Mode(In, Out, Key, Encrypt);
    return Out.str();
}

std::string RunCbc(const std::string& Input, bool Encrypt, const TQbMillisecondTimer& Timer) {
    std::istringstream In(Input);
    std::ostringstream Out;
    StreamCBC(In, Out, TBlowfishKey{}, Encrypt, Timer);
    return Out.str();
}

// The plain bytes of the blocks: full blocks, then the final block with its count.
std::string PlainBlocks(const std::string& Text) {
    const std::size_t Full = Text.size() / 8 * 8;
    std::string Final = Text.substr(Full);
    const char Count = static_cast<char>(Final.size());
    Final.resize(7, '\0');
    return Text.substr(0, Full) + Final + Count;
}

std::string ZeroKeyFold(const std::string& Data) {
    return FoldBlocks(Data, ZeroKeyFoldLeft, ZeroKeyFoldRight);
}

std::string XorString(std::string Data, const std::string& Other) {
    for (std::size_t i = 0; i < Data.size(); ++i) {
        Data[i] ^= Other[i];
    }
    return Data;
}

// Deciphering must fail with the format error and nothing else.
void ExpectInvalidFormat(TStreamMode Mode, const std::string& Input, const std::string& Why) {
    try {
        RunStream(Mode, Input, false);
        ADD_FAILURE() << Why << ": no exception";
    } catch (const ECipherException& Error) {
        EXPECT_STREQ(Error.what(), "Invalid file format") << Why;
    }
}

TQbMillisecondTimer CountingTimer(std::uint32_t Start) {
    return [Next = Start]() mutable { return Next++; };
}

}  // namespace

TEST(StreamECBTest, WritesFoldedBlocksAndACountedFinalBlock) {
    std::vector<std::size_t> Lengths;
    for (std::size_t Length = 0; Length <= 17; ++Length) {
        Lengths.push_back(Length);
    }
    Lengths.push_back(100003);
    for (std::size_t Length : Lengths) {
        const std::string Text = PatternText(Length);
        const std::string Cipher = RunStream(StreamECB, Text, true);
        EXPECT_EQ(Cipher.size(), (Length / 8 + 1) * 8) << Length;
        EXPECT_EQ(Hex(Cipher), Hex(ZeroKeyFold(PlainBlocks(Text)))) << Length;
        EXPECT_EQ(RunStream(StreamECB, Cipher, false), Text) << Length;
    }
}

TEST(StreamCBCTest, StartsWithTheTimerBlockAndChainsEveryBlock) {
    for (std::size_t Length = 0; Length <= 17; ++Length) {
        const std::string Text = PatternText(Length);
        const std::string Cipher = RunCbc(Text, true, CountingTimer(0x01020304));

        // The timer's two readings, low byte first, transformed.
        std::string Expected = ZeroKeyFold(Bytes({4, 3, 2, 1, 5, 3, 2, 1}));
        const std::string Plain = PlainBlocks(Text);
        for (std::size_t Offset = 0; Offset < Plain.size(); Offset += 8) {
            const std::string Previous = Expected.substr(Expected.size() - 8);
            Expected += ZeroKeyFold(XorString(Plain.substr(Offset, 8), Previous));
        }
        EXPECT_EQ(Hex(Cipher), Hex(Expected)) << Length;
        EXPECT_EQ(RunCbc(Cipher, false, CountingTimer(0)), Text) << Length;
    }
    const std::string Large = PatternText(70001);
    EXPECT_EQ(RunStream(CbcWithSystemTimer, RunStream(CbcWithSystemTimer, Large, true), false),
              Large);
}

TEST(StreamDecipherTest, RejectsShortStreamsAndBadCounts) {
    for (std::size_t Length = 0; Length < 8; ++Length) {
        ExpectInvalidFormat(StreamECB, PatternText(Length), "ECB of " + std::to_string(Length));
    }
    for (std::size_t Length = 0; Length < 16; ++Length) {
        ExpectInvalidFormat(CbcWithSystemTimer, PatternText(Length),
                            "CBC of " + std::to_string(Length));
    }
    for (int Count : {8, 9, 127, 255}) {
        const std::string Final = ZeroKeyFold(Bytes({1, 2, 3, 4, 5, 6, 7, Count}));
        ExpectInvalidFormat(StreamECB, Final, "ECB count " + std::to_string(Count));
        ExpectInvalidFormat(CbcWithSystemTimer, std::string(8, '\0') + Final,
                            "CBC count " + std::to_string(Count));
    }
}

TEST(StreamDecipherTest, TakesTheLastWholeBlockAsFinalAndIgnoresTheRest) {
    const std::string Text = PatternText(13);
    const std::string Cipher = RunStream(StreamECB, Text, true);
    EXPECT_EQ(RunStream(StreamECB, Cipher + "abcde", false), Text);
    const std::string Chained = RunStream(CbcWithSystemTimer, Text, true);
    EXPECT_EQ(Chained.size(), Cipher.size() + 8);
    EXPECT_EQ(RunStream(CbcWithSystemTimer, Chained + "xyz", false), Text);
}

TEST(StreamECBTest, ReadsFromTheCurrentPositionAndAppendsToTheOutput) {
    const std::string Text = PatternText(16);
    std::istringstream In("abc" + Text);
    In.seekg(3);
    std::ostringstream Out;
    Out << "head";
    // The block count comes from the whole input, so three bytes are missing.
    EXPECT_THROW(StreamECB(In, Out, TBlowfishKey{}, true), ECipherException);

    std::istringstream Whole(Text);
    std::ostringstream Appended;
    Appended << "head";
    StreamECB(Whole, Appended, TBlowfishKey{}, true);
    EXPECT_EQ(Appended.str(), "head" + RunStream(StreamECB, Text, true));
}

class ProgressTest : public ::testing::Test {
  protected:
    static std::vector<std::pair<std::int32_t, std::int32_t>>& Calls() {
        static std::vector<std::pair<std::int32_t, std::int32_t>> Seen;
        return Seen;
    }
    static void Record(std::int32_t Position, std::int32_t Size) {
        Calls().emplace_back(Position, Size);
    }
    void SetUp() override {
        Calls().clear();
        ProgressHook = Record;
    }
    void TearDown() override {
        ProgressHook = nullptr;
        ProgressInterval = 64;
    }
};

TEST_F(ProgressTest, ReportsAtMultiplesOfTheIntervalAndAtTheEnd) {
    using Calls_t = std::vector<std::pair<std::int32_t, std::int32_t>>;
    ProgressInterval = 16;
    RunStream(StreamECB, PatternText(40), true);
    EXPECT_EQ(Calls(), (Calls_t{{16, 40}, {32, 40}, {40, 40}}));

    ProgressHook = nullptr;
    const std::string Cipher = RunStream(StreamECB, PatternText(16), true);
    ProgressHook = Record;
    Calls().clear();
    ProgressInterval = 0;  // must not divide by zero
    RunStream(StreamECB, Cipher, false);
    EXPECT_EQ(Calls(), (Calls_t{{8, 24}, {16, 24}, {24, 24}}));
}

class FileModeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string Template = (fs::temp_directory_path() / "qb-cipher-XXXXXX").string();
        ASSERT_NE(mkdtemp(Template.data()), nullptr);
        Dir = Template;
    }
    void TearDown() override { fs::remove_all(Dir); }

    static void Write(const fs::path& Path, const std::string& Data) {
        std::ofstream(Path, std::ios::binary) << Data;
    }
    static std::string Read(const fs::path& Path) {
        std::ifstream In(Path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(In), {});
    }

    fs::path Dir;
};

TEST_F(FileModeTest, RoundTripsInBothModesAndReplacesTheOutput) {
    TBlowfishKey Key{};
    Key[0] = 0x42;
    const std::string Text = PatternText(5000);
    Write(Dir / "plain", Text);
    Write(Dir / "cipher", std::string(20000, 'x'));

    FileECB(Dir / "plain", Dir / "cipher", Key, true);
    EXPECT_EQ(Read(Dir / "cipher").size(), 5008u);
    FileECB(Dir / "cipher", Dir / "back", Key, false);
    EXPECT_EQ(Read(Dir / "back"), Text);

    FileCBC(Dir / "plain", Dir / "cipher", Key, true);
    EXPECT_EQ(Read(Dir / "cipher").size(), 5016u);
    FileCBC(Dir / "cipher", Dir / "back", Key, false);
    EXPECT_EQ(Read(Dir / "back"), Text);
}

TEST_F(FileModeTest, RefusesOneFileAsInputAndOutputAndKeepsIt) {
    const std::string Text = PatternText(100);
    Write(Dir / "plain", Text);
    fs::create_hard_link(Dir / "plain", Dir / "hard");
    fs::create_symlink(Dir / "plain", Dir / "soft");
    const std::vector<fs::path> SameFile = {Dir / "plain", Dir / "." / "plain", Dir / "hard",
                                            Dir / "soft"};
    for (const fs::path& Out : SameFile) {
        EXPECT_THROW(FileECB(Dir / "plain", Out, TBlowfishKey{}, true), EQbStreamError) << Out;
        EXPECT_THROW(FileCBC(Dir / "plain", Out, TBlowfishKey{}, false), EQbStreamError) << Out;
        EXPECT_EQ(Read(Dir / "plain"), Text) << Out;
    }
}

TEST_F(FileModeTest, MissingInputRaisesAndCreatesNothing) {
    EXPECT_THROW(FileECB(Dir / "missing", Dir / "out", TBlowfishKey{}, true), EQbStreamError);
    EXPECT_FALSE(fs::exists(Dir / "out"));
    Write(Dir / "short", "1234");
    EXPECT_THROW(FileECB(Dir / "short", Dir / "out", TBlowfishKey{}, false), ECipherException);
    EXPECT_TRUE(fs::exists(Dir / "out"));  // created before the failure, as written so far
}
