#pragma once
// Primitive routines under the cipher component: the 64-bit block transform
// and its key schedule, the CBC step, the key hash that turns a text into a
// key, the 128-bit mixing cipher behind it, a random-key filler and a buffer
// XOR. Every routine works on buffers that the caller owns and keeps no state.
//
// The block transform starts from the Blowfish constants but is not Blowfish:
// every stored text depends on its exact output, so it must never change.

#include <array>
#include <cstdint>
#include <string>

// Root of the cipher classes: a name and a tag, as every object of the cipher library has.
// Ownership is plain C++ ownership of the object.
class TQbBase {
  public:
    TQbBase() = default;
    TQbBase(const TQbBase&) = default;
    TQbBase& operator=(const TQbBase&) = default;
    virtual ~TQbBase() = default;

    std::string Name;
    std::int32_t Tag = 0;
};

using TBlowfishKey = std::array<std::uint8_t, 16>;
using TBlowfishBlock = std::array<std::uint8_t, 8>;
using TMixCipherBlockData = std::array<std::uint8_t, 16>;

// The keyed P-array. The transform only ever uses the XOR of its even and of
// its odd entries, so BlowfishInitKey keeps that fold beside it: one fold per
// key instead of one per block.
struct TBlowfishContext {
    std::array<std::uint32_t, 18> P{};
    std::uint32_t FoldLeft = 0;
    std::uint32_t FoldRight = 0;
};

struct TKeyHashContext {
    std::int32_t Index = 0;
    std::array<std::uint8_t, 256> State{};
    std::int32_t Count = 0;
    std::array<std::uint32_t, 4> Accumulator{};
};

struct TMixCipherContext {
    bool Encrypt = true;
    std::int32_t Rounds = 0;
    std::array<std::uint32_t, 32> SubKeys{};
};

void BlowfishInitKey(const TBlowfishKey& Key, TBlowfishContext& Context);
void BlowfishBlock(const TBlowfishContext& Context, TBlowfishBlock& Block, bool Encrypt);
void BlowfishCBCBlock(const TBlowfishContext& Context, const TBlowfishBlock& Previous,
                      TBlowfishBlock& Block, bool Encrypt);

// Count random bytes from the system's random source.
void RandomKey(std::uint8_t* Key, std::int32_t Count);
// The key hash of the text's bytes, Count bytes long (at most 256 are written).
void KeyFromString(std::uint8_t* Key, std::int32_t Count, const std::string& Text);

void KeyHashInit(TKeyHashContext& Context);
void KeyHashUpdate(TKeyHashContext& Context, const std::uint8_t* Data, std::int32_t Length);
// Pads the context (which stays padded) and writes Min(256, DigestLength) bytes.
void KeyHashFinal(TKeyHashContext& Context, std::uint8_t* Digest, std::int32_t DigestLength);
void KeyHash(std::uint8_t* Digest, std::int32_t DigestLength, const std::uint8_t* Data,
             std::int32_t Length);

void Mix(std::uint32_t& A, std::uint32_t& B, std::uint32_t& C, std::uint32_t& D);
void MixCipherInitKey(const std::array<std::uint32_t, 4>& Key, TMixCipherContext& Context,
                      std::int32_t Rounds, bool Encrypt);
void MixCipherBlock(const TMixCipherContext& Context, TMixCipherBlockData& Block);

void XorBytes(std::uint8_t* Dest, const std::uint8_t* Source, std::int32_t Count);
