#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cipher/CipherTestSupport.h"
#include "cipher/QbCipher.h"

using namespace cipher_test;

namespace {

std::uint32_t BigEndianWord(const TBlowfishKey& Key, std::size_t Offset) {
    return std::uint32_t{Key[Offset]} << 24 | std::uint32_t{Key[Offset + 1]} << 16 |
           std::uint32_t{Key[Offset + 2]} << 8 | std::uint32_t{Key[Offset + 3]};
}

TBlowfishBlock Transformed(const TBlowfishKey& Key, TBlowfishBlock Block, bool Encrypt = true) {
    TBlowfishContext Context;
    BlowfishInitKey(Key, Context);
    BlowfishBlock(Context, Block, Encrypt);
    return Block;
}

std::string KeyText(const std::string& Text, std::int32_t Count = 16) {
    std::string Key(static_cast<std::size_t>(Count), '\0');
    KeyFromString(reinterpret_cast<std::uint8_t*>(Key.data()), Count, Text);
    return Key;
}

}  // namespace

TEST(BlowfishBlockTest, ZeroKeyTurnsTheZeroBlockIntoTheFoldWords) {
    const TBlowfishBlock Block = Transformed(TBlowfishKey{}, TBlowfishBlock{});
    EXPECT_EQ(Hex(Block), "7d7eb5692469e78e");
}

TEST(BlowfishBlockTest, FoldWordsAreTheZeroKeyWordsXoredWithKeyBytesZeroToSeven) {
    const std::vector<std::string> Texts = {"", "a", "Quillbrook", PatternText(40)};
    for (const std::string& Text : Texts) {
        TBlowfishKey Key;
        KeyFromString(Key.data(), 16, Text);
        TBlowfishContext Context;
        BlowfishInitKey(Key, Context);
        std::uint32_t FL = 0, FR = 0;
        for (std::size_t i = 0; i < 18; i += 2) {
            FL ^= Context.P[i];
            FR ^= Context.P[i + 1];
        }
        EXPECT_EQ(FL, ZeroKeyFoldLeft ^ BigEndianWord(Key, 0)) << Hex(Key);
        EXPECT_EQ(FR, ZeroKeyFoldRight ^ BigEndianWord(Key, 4)) << Hex(Key);

        const std::string Plain = PatternText(8);
        TBlowfishBlock Block;
        std::copy(Plain.begin(), Plain.end(), Block.begin());
        BlowfishBlock(Context, Block, true);
        EXPECT_EQ(Hex(Block), Hex(FoldBlocks(Plain, FL, FR)));
    }
}

TEST(BlowfishBlockTest, TransformIsItsOwnInverseInBothDirections) {
    TBlowfishKey Key;
    KeyFromString(Key.data(), 16, "some key");
    const TBlowfishBlock Plain = {1, 2, 3, 4, 5, 6, 7, 8};
    const TBlowfishBlock Once = Transformed(Key, Plain, true);
    EXPECT_NE(Once, Plain);
    EXPECT_EQ(Transformed(Key, Plain, false), Once);
    EXPECT_EQ(Transformed(Key, Once, true), Plain);
    EXPECT_EQ(Transformed(Key, Once, false), Plain);
}

TEST(BlowfishBlockTest, KeyBytesEightToFifteenHaveNoInfluence) {
    TBlowfishKey First{};
    TBlowfishKey Second{};
    for (std::size_t i = 0; i < 16; ++i) {
        First[i] = static_cast<std::uint8_t>(i + 1);
        Second[i] = static_cast<std::uint8_t>(i < 8 ? i + 1 : 0xF0 + i);
    }
    const TBlowfishBlock Plain = {9, 8, 7, 6, 5, 4, 3, 2};
    EXPECT_EQ(Transformed(First, Plain), Transformed(Second, Plain));
    Second[7] ^= 1;
    EXPECT_NE(Transformed(First, Plain), Transformed(Second, Plain));
}

TEST(BlowfishCBCBlockTest, ChainsWithThePreviousBlockAndLeavesItAlone) {
    TBlowfishKey Key;
    KeyFromString(Key.data(), 16, "chain");
    TBlowfishContext Context;
    BlowfishInitKey(Key, Context);
    const TBlowfishBlock Plain = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};

    for (bool Encrypt : {true, false}) {
        TBlowfishBlock Chained = Plain;
        BlowfishCBCBlock(Context, TBlowfishBlock{}, Chained, Encrypt);
        EXPECT_EQ(Chained, Transformed(Key, Plain)) << "zero previous, encrypt " << Encrypt;
    }

    const TBlowfishBlock Previous = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80};
    TBlowfishBlock Block = Plain;
    BlowfishCBCBlock(Context, Previous, Block, true);
    TBlowfishBlock Expected = Plain;
    XorBytes(Expected.data(), Previous.data(), 8);
    EXPECT_EQ(Block, Transformed(Key, Expected));
    BlowfishCBCBlock(Context, Previous, Block, false);
    EXPECT_EQ(Block, Plain);
    EXPECT_EQ(Previous[0], 0x10);
}

TEST(MixTest, MixesOneTwoThreeFour) {
    std::uint32_t A = 1, B = 2, C = 3, D = 4;
    Mix(A, B, C, D);
    EXPECT_EQ(A, 0x03F37DC9u);
    EXPECT_EQ(B, 0xF96D90F7u);
    EXPECT_EQ(C, 0xFCF0EB44u);
    EXPECT_EQ(D, 0xC9E4E3BBu);
}

TEST(MixCipherTest, RoundsAreClampedAndDecipheringUndoesEnciphering) {
    const std::array<std::uint32_t, 4> Key = {0x01234567, 0x89ABCDEF, 0xFEDCBA98, 0x76543210};
    TMixCipherContext Context;
    MixCipherInitKey(Key, Context, 2, true);
    EXPECT_EQ(Context.Rounds, 4);
    MixCipherInitKey(Key, Context, 20, true);
    EXPECT_EQ(Context.Rounds, 16);

    for (std::int32_t Rounds : {4, 8, 13, 16}) {
        TMixCipherContext Encipher;
        TMixCipherContext Decipher;
        MixCipherInitKey(Key, Encipher, Rounds, true);
        MixCipherInitKey(Key, Decipher, Rounds, false);
        TMixCipherBlockData Block;
        for (std::size_t i = 0; i < Block.size(); ++i) {
            Block[i] = static_cast<std::uint8_t>(i * 17);
        }
        const TMixCipherBlockData Plain = Block;
        MixCipherBlock(Encipher, Block);
        EXPECT_NE(Block, Plain);
        MixCipherBlock(Decipher, Block);
        EXPECT_EQ(Block, Plain) << Rounds << " rounds";
    }
}

// The key decides whether every stored text can be read again: these values
// were worked out independently of this code from the algorithm's description.
TEST(KeyFromStringTest, GivesTheKnownKeys) {
    struct Case {
        std::string Text;
        const char* Key;
    };
    std::string Long;
    for (int i = 0; i < 512; ++i) {
        Long += static_cast<char>(i % 256);
    }
    const std::vector<Case> Cases = {
        {"", "0bd132aa831c56ac1f92e61084a342d2"},
        {"a", "845eb2948758dc943b8a2f887491032e"},
        {"1234567", "24fc3cdb60455598e1015696707cc139"},
        {"12345678", "b71bccfc7a8c64aae7e3b7c6716ad7d6"},
        {"Quillbrook key text", "056af9f0caac12580e891c7ed48d949c"},
        {Long, "f5c90d6ccae5e40b18335861b52053c7"},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(Hex(KeyText(C.Text)), C.Key) << "text of " << C.Text.size() << " bytes";
    }
}

TEST(KeyHashTest, UpdateMixesEveryEightBytesAndWrapsTheState) {
    TKeyHashContext Context;
    KeyHashInit(Context);
    EXPECT_EQ(Hex(std::string(Context.State.begin(), Context.State.begin() + 8)),
              "243f6a8885a308d3");
    EXPECT_EQ(Context.State[255], 0x93);  // the low byte of the 64th word, 0x7C72E993

    const std::string Seven(7, 'x');
    KeyHashUpdate(Context, reinterpret_cast<const std::uint8_t*>(Seven.data()), 7);
    EXPECT_EQ(Context.Count, 7);
    EXPECT_EQ(Context.Accumulator[2], 0x55555555u);  // not mixed yet
    const std::uint8_t One = 1;
    KeyHashUpdate(Context, &One, 1);
    EXPECT_EQ(Context.Count, 0);
    EXPECT_NE(Context.Accumulator[2], 0x55555555u);

    TKeyHashContext Wrapped;
    KeyHashInit(Wrapped);
    const std::string Long(257, '\x01');
    KeyHashUpdate(Wrapped, reinterpret_cast<const std::uint8_t*>(Long.data()), 257);
    EXPECT_EQ(Wrapped.Index, 1);
    EXPECT_EQ(Wrapped.State[0], 0x24);  // XORed twice with 01
    EXPECT_EQ(Wrapped.State[1], 0x3F ^ 0x01);
}

TEST(KeyHashTest, DigestLengthIsCappedAtTheStateAndZeroWritesNothing) {
    std::vector<std::uint8_t> Digest(300, 0xEE);
    KeyHash(Digest.data(), 300, nullptr, 0);
    EXPECT_EQ(Hex(std::string(Digest.begin(), Digest.begin() + 16)),
              "0bd132aa831c56ac1f92e61084a342d2");
    EXPECT_NE(Digest[255], 0xEE);
    for (std::size_t i = 256; i < 300; ++i) {
        EXPECT_EQ(Digest[i], 0xEE) << i;
    }

    std::vector<std::uint8_t> Untouched(4, 0xEE);
    KeyHash(Untouched.data(), 0, nullptr, 0);
    KeyHash(Untouched.data(), -5, nullptr, 0);
    EXPECT_EQ(Untouched, std::vector<std::uint8_t>(4, 0xEE));
}

TEST(RandomKeyTest, FillsExactlyCountBytesAndDiffersBetweenCalls) {
    std::array<std::uint8_t, 18> First{};
    std::array<std::uint8_t, 18> Second{};
    RandomKey(First.data(), 16);
    RandomKey(Second.data(), 16);
    EXPECT_NE(First, Second);
    EXPECT_EQ(First[16], 0);
    EXPECT_EQ(First[17], 0);
    RandomKey(nullptr, 0);
}

TEST(XorBytesTest, EqualsAByteWiseXorForEveryTail) {
    for (std::int32_t Count = 0; Count <= 11; ++Count) {
        std::string Dest = PatternText(12);
        const std::string Source = PatternText(20).substr(8);
        std::string Expected = Dest;
        for (std::int32_t i = 0; i < Count; ++i) {
            Expected[static_cast<std::size_t>(i)] ^= Source[static_cast<std::size_t>(i)];
        }
        XorBytes(reinterpret_cast<std::uint8_t*>(Dest.data()),
                 reinterpret_cast<const std::uint8_t*>(Source.data()), Count);
        EXPECT_EQ(Hex(Dest), Hex(Expected)) << Count;
    }
}
