#include "cipher/QbCipher.h"

#include <cstring>
#include <random>
#include <utility>

#include "cipher/QbUtils.h"

namespace {

// The first 64 words of the hexadecimal fraction of pi: the 18 words of the
// Blowfish P-array followed by the first 46 words of its first S-box.
constexpr std::array<std::uint32_t, 64> PiWords = {
    0x243F6A88, 0x85A308D3, 0x13198A2E, 0x03707344, 0xA4093822, 0x299F31D0, 0x082EFA98, 0xEC4E6C89,
    0x452821E6, 0x38D01377, 0xBE5466CF, 0x34E90C6C, 0xC0AC29B7, 0xC97C50DD, 0x3F84D5B5, 0xB5470917,
    0x9216D5D9, 0x8979FB1B, 0xD1310BA6, 0x98DFB5AC, 0x2FFD72DB, 0xD01ADFB7, 0xB8E1AFED, 0x6A267E96,
    0xBA7C9045, 0xF12C7F99, 0x24A19947, 0xB3916CF7, 0x0801F2E2, 0x858EFC16, 0x636920D8, 0x71574E69,
    0xA458FEA3, 0xF4933D7E, 0x0D95748F, 0x728EB658, 0x718BCD58, 0x82154AEE, 0x7B54A41D, 0xC25A59B5,
    0x9C30D539, 0x2AF26013, 0xC5D1B023, 0x286085F0, 0xCA417918, 0xB8DB38EF, 0x8E79DCB0, 0x603A180E,
    0x6C9E0E8B, 0xB01E8A3E, 0xD71577C1, 0xBD314B27, 0x78AF2FDA, 0x55605C60, 0xE65525F3, 0xAA55AB94,
    0x57489862, 0x63E81440, 0x55CA396A, 0x2AAB10B6, 0xB4CC5C34, 0x1141E8CE, 0xA15486AF, 0x7C72E993};

constexpr std::uint32_t AccumulatorStart = 0x55555555;
constexpr std::array<std::uint32_t, 4> RoundConstants = {0x55555555, 0xAAAAAAAA, 0x33333333,
                                                         0xCCCCCCCC};

std::uint32_t LoadLE(const std::uint8_t* Bytes) {
    return std::uint32_t{Bytes[0]} | std::uint32_t{Bytes[1]} << 8 | std::uint32_t{Bytes[2]} << 16 |
           std::uint32_t{Bytes[3]} << 24;
}

void StoreLE(std::uint32_t Word, std::uint8_t* Bytes) {
    for (int i = 0; i < 4; ++i) {
        Bytes[i] = static_cast<std::uint8_t>(Word >> (8 * i));
    }
}

std::uint32_t LoadBE(const std::uint8_t* Bytes) {
    return std::uint32_t{Bytes[0]} << 24 | std::uint32_t{Bytes[1]} << 16 |
           std::uint32_t{Bytes[2]} << 8 | std::uint32_t{Bytes[3]};
}

void IsaacMix(std::array<std::uint32_t, 8>& W) {
    auto& [a, b, c, d, e, f, g, h] = W;
    a ^= b << 11;
    d += a;
    b += c;
    b ^= c >> 2;
    e += b;
    c += d;
    c ^= d << 8;
    f += c;
    d += e;
    d ^= e >> 16;
    g += d;
    e += f;
    e ^= f << 10;
    h += e;
    f += g;
    f ^= g >> 4;
    a += f;
    g += h;
    g ^= h << 8;
    b += g;
    h += a;
    h ^= a >> 9;
    c += h;
    a += b;
}

// The accumulator's bytes 0 to 7 are X0 and X1, each low byte first.
void XorAccumulatorByte(TKeyHashContext& Context, std::int32_t Index, std::uint8_t Value) {
    std::uint32_t& Word = Context.Accumulator[static_cast<std::size_t>(Index / 4)];
    Word ^= std::uint32_t{Value} << (8 * (Index % 4));
}

void MixAccumulator(TKeyHashContext& Context) {
    auto& X = Context.Accumulator;
    std::uint32_t A = X[3], B = X[2], C = X[1], D = X[0];
    for (int i = 0; i < 4; ++i) {
        Mix(A, B, C, D);
    }
    X = {A, B, C, D};
}

void Refold(TBlowfishContext& Context) {
    Context.FoldLeft = 0;
    Context.FoldRight = 0;
    for (std::size_t i = 0; i < Context.P.size(); i += 2) {
        Context.FoldLeft ^= Context.P[i];
        Context.FoldRight ^= Context.P[i + 1];
    }
}

}  // namespace

void BlowfishInitKey(const TBlowfishKey& Key, TBlowfishContext& Context) {
    for (std::size_t i = 0; i < Context.P.size(); ++i) {
        Context.P[i] = PiWords[i] ^ LoadBE(&Key[(4 * i) % Key.size()]);
    }
    TBlowfishBlock Block{};
    for (std::size_t j = 0; j < 9; ++j) {
        // Each step transforms under the entries that the steps before it wrote.
        Refold(Context);
        BlowfishBlock(Context, Block, true);
        Context.P[2 * j] = LoadLE(&Block[0]);
        Context.P[2 * j + 1] = LoadLE(&Block[4]);
    }
    Refold(Context);
}

void BlowfishBlock(const TBlowfishContext& Context, TBlowfishBlock& Block, bool /*Encrypt*/) {
    // The fold is an XOR, so both directions are the same.
    StoreLE(LoadLE(&Block[0]) ^ Context.FoldLeft, &Block[0]);
    StoreLE(LoadLE(&Block[4]) ^ Context.FoldRight, &Block[4]);
}

void BlowfishCBCBlock(const TBlowfishContext& Context, const TBlowfishBlock& Previous,
                      TBlowfishBlock& Block, bool Encrypt) {
    if (Encrypt) {
        XorBytes(Block.data(), Previous.data(), static_cast<std::int32_t>(Block.size()));
        BlowfishBlock(Context, Block, Encrypt);
    } else {
        BlowfishBlock(Context, Block, Encrypt);
        XorBytes(Block.data(), Previous.data(), static_cast<std::int32_t>(Block.size()));
    }
}

void RandomKey(std::uint8_t* Key, std::int32_t Count) {
    std::random_device Source;
    std::uniform_int_distribution<int> Byte(0, 255);
    for (std::int32_t i = 0; i < Count; ++i) {
        Key[i] = static_cast<std::uint8_t>(Byte(Source));
    }
}

void KeyFromString(std::uint8_t* Key, std::int32_t Count, const std::string& Text) {
    KeyHash(Key, Count, reinterpret_cast<const std::uint8_t*>(Text.data()),
            static_cast<std::int32_t>(Text.size()));
}

void KeyHashInit(TKeyHashContext& Context) {
    Context.Index = 0;
    for (std::size_t i = 0; i < Context.State.size(); ++i) {
        Context.State[i] = static_cast<std::uint8_t>(PiWords[i / 4] >> (24 - 8 * (i % 4)));
    }
    Context.Count = 0;
    Context.Accumulator.fill(AccumulatorStart);
}

void KeyHashUpdate(TKeyHashContext& Context, const std::uint8_t* Data, std::int32_t Length) {
    for (std::int32_t i = 0; i < Length; ++i) {
        const std::uint8_t Value = Data[i];
        Context.State[static_cast<std::size_t>(Context.Index)] ^= Value;
        Context.Index = (Context.Index + 1) % static_cast<std::int32_t>(Context.State.size());
        XorAccumulatorByte(Context, Context.Count, Value);
        if (++Context.Count == 8) {
            MixAccumulator(Context);
            Context.Count = 0;
        }
    }
}

void KeyHashFinal(TKeyHashContext& Context, std::uint8_t* Digest, std::int32_t DigestLength) {
    static constexpr std::array<std::uint8_t, 8> Padding = {1, 0, 0, 0, 0, 0, 0, 0};
    KeyHashUpdate(Context, Padding.data(), 8 - Context.Count);

    TMixCipherContext Cipher;
    MixCipherInitKey(Context.Accumulator, Cipher, 8, true);
    for (std::size_t Offset = 0; Offset < Context.State.size(); Offset += 16) {
        TMixCipherBlockData Block;
        std::memcpy(Block.data(), &Context.State[Offset], Block.size());
        MixCipherBlock(Cipher, Block);
        std::memcpy(&Context.State[Offset], Block.data(), Block.size());
    }
    const std::int32_t Length = Min(static_cast<std::int32_t>(Context.State.size()), DigestLength);
    if (Length > 0) {
        std::memcpy(Digest, Context.State.data(), static_cast<std::size_t>(Length));
    }
}

void KeyHash(std::uint8_t* Digest, std::int32_t DigestLength, const std::uint8_t* Data,
             std::int32_t Length) {
    TKeyHashContext Context;
    KeyHashInit(Context);
    KeyHashUpdate(Context, Data, Length);
    KeyHashFinal(Context, Digest, DigestLength);
}

void Mix(std::uint32_t& A, std::uint32_t& B, std::uint32_t& C, std::uint32_t& D) {
    A += D;
    D += A;
    A ^= A >> 7;
    B += A;
    A += B;
    B ^= B << 13;
    C += B;
    B += C;
    C ^= C >> 17;
    D += C;
    C += D;
    D ^= D << 9;
    A += D;
    D += A;
    A ^= A >> 3;
    B += A;
    A += B;
    B ^= B << 7;
    C += B;
    B += C;
    C ^= D >> 15;  // D, not C: the stored keys depend on it
    D += C;
    C += D;
    D ^= D << 11;
}

void MixCipherInitKey(const std::array<std::uint32_t, 4>& Key, TMixCipherContext& Context,
                      std::int32_t Rounds, bool Encrypt) {
    Context.Encrypt = Encrypt;
    Context.Rounds = Max(4, Min(16, Rounds));
    for (std::size_t t = 0; t < RoundConstants.size(); ++t) {
        const std::uint32_t s = RoundConstants[t];
        std::array<std::uint32_t, 8> W = {Key[0], s, Key[1], s, Key[2], s, Key[3], s};
        for (int i = 0; i < 8; ++i) {
            IsaacMix(W);
        }
        for (std::size_t i = 0; i < W.size(); ++i) {
            Context.SubKeys[8 * t + i] = W[i];
        }
    }
    if (!Encrypt) {
        for (std::int32_t Low = 0, High = Context.Rounds - 1; Low < High; ++Low, --High) {
            std::swap(Context.SubKeys[2 * static_cast<std::size_t>(Low)],
                      Context.SubKeys[2 * static_cast<std::size_t>(High)]);
            std::swap(Context.SubKeys[2 * static_cast<std::size_t>(Low) + 1],
                      Context.SubKeys[2 * static_cast<std::size_t>(High) + 1]);
        }
    }
}

void MixCipherBlock(const TMixCipherContext& Context, TMixCipherBlockData& Block) {
    std::uint32_t L0 = LoadLE(&Block[0]), L1 = LoadLE(&Block[4]);
    std::uint32_t R0 = LoadLE(&Block[8]), R1 = LoadLE(&Block[12]);
    for (std::int32_t r = 0; r < Context.Rounds; ++r) {
        std::uint32_t a = L0, b = Context.SubKeys[2 * static_cast<std::size_t>(r)];
        std::uint32_t c = L1, d = Context.SubKeys[2 * static_cast<std::size_t>(r) + 1];
        Mix(a, b, c, d);
        std::uint32_t a2 = c, b2 = d, c2 = a, d2 = b;
        Mix(a2, b2, c2, d2);
        const std::uint32_t T0 = a2 ^ b2 ^ R0;
        const std::uint32_t T1 = c2 ^ d2 ^ R1;
        R0 = L0;
        R1 = L1;
        L0 = T0;
        L1 = T1;
    }
    StoreLE(R0, &Block[0]);
    StoreLE(R1, &Block[4]);
    StoreLE(L0, &Block[8]);
    StoreLE(L1, &Block[12]);
}

void XorBytes(std::uint8_t* Dest, const std::uint8_t* Source, std::int32_t Count) {
    std::int32_t i = 0;
    for (; i + 4 <= Count; i += 4) {
        std::uint32_t D;
        std::uint32_t S;
        std::memcpy(&D, Dest + i, 4);
        std::memcpy(&S, Source + i, 4);
        D ^= S;
        std::memcpy(Dest + i, &D, 4);
    }
    for (; i < Count; ++i) {
        Dest[i] ^= Source[i];
    }
}
