#include "cipher/QbString.h"

#include <array>
#include <cstring>
#include <istream>
#include <ostream>
#include <stdexcept>
#include <string_view>

namespace {

constexpr std::string_view Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char Pad = '=';
// 45 bytes make exactly 60 characters, so pieces join into one Base64 text.
constexpr std::size_t EncodePiece = 45;
constexpr std::size_t DecodePiece = 88;
constexpr std::size_t BlockSize = 8;

// ---- Base64 ----------------------------------------------------------------

// Alphabet positions; anything else, "=" included, has the top bit set so that
// one test over a whole group finds it.
constexpr std::uint8_t NotADigit = 0x80;

constexpr std::array<std::uint8_t, 256> MakeDigitTable() {
    std::array<std::uint8_t, 256> Table{};
    Table.fill(NotADigit);
    for (std::size_t i = 0; i < Alphabet.size(); ++i) {
        Table[static_cast<unsigned char>(Alphabet[i])] = static_cast<std::uint8_t>(i);
    }
    return Table;
}

constexpr std::array<std::uint8_t, 256> DigitTable = MakeDigitTable();

// The two characters of every 12-bit value: half a group per lookup.
constexpr std::array<char, 2 * 4096> MakePairTable() {
    std::array<char, 2 * 4096> Table{};
    for (std::size_t i = 0; i < 4096; ++i) {
        Table[2 * i] = Alphabet[i >> 6];
        Table[2 * i + 1] = Alphabet[i & 63];
    }
    return Table;
}

constexpr std::array<char, 2 * 4096> PairTable = MakePairTable();

constexpr std::size_t EncodedSize(std::size_t Bytes) {
    return (Bytes + 2) / 3 * 4;
}

// Room for the bytes of Count characters: three per group, a cut-off one included.
constexpr std::size_t DecodedSizeBound(std::size_t Count) {
    return (Count + 3) / 4 * 3;
}

[[noreturn]] void InvalidCharacter() {
    throw std::runtime_error("Invalid Base64 Character");
}

void EncodeTriple(const std::uint8_t* Bytes, char* Text) {
    const std::uint32_t Group =
        std::uint32_t{Bytes[0]} << 16 | std::uint32_t{Bytes[1]} << 8 | std::uint32_t{Bytes[2]};
    std::memcpy(Text, &PairTable[2 * (Group >> 12)], 2);
    std::memcpy(Text + 2, &PairTable[2 * (Group & 0xFFF)], 2);
}

// Writes EncodedSize(Count) characters.
void EncodeBase64(const std::uint8_t* Bytes, std::size_t Count, char* Text) {
    const std::size_t Whole = Count / 3 * 3;
    for (std::size_t i = 0; i < Whole; i += 3, Text += 4) {
        EncodeTriple(Bytes + i, Text);
    }
    const std::size_t Left = Count - Whole;
    if (Left == 0) {
        return;
    }
    const std::array<std::uint8_t, 3> Last = {
        Bytes[Whole], Left > 1 ? Bytes[Whole + 1] : std::uint8_t{0}, 0};
    EncodeTriple(Last.data(), Text);
    Text[3] = Pad;
    if (Left == 1) {
        Text[2] = Pad;
    }
}

std::uint32_t Digit(char Character) {
    const std::uint8_t Value = DigitTable[static_cast<unsigned char>(Character)];
    if (Value == NotADigit) {
        InvalidCharacter();
    }
    return Value;
}

// A group with a "=" or a stray character: "=" may stand only in the last two
// places and ends the group's bytes. Returns the number of bytes written.
std::size_t DecodeOddGroup(const char* Group, std::uint8_t* Bytes) {
    const std::uint32_t D0 = Digit(Group[0]);
    const std::uint32_t D1 = Digit(Group[1]);
    if (Group[3] != Pad) {
        Digit(Group[3]);
    }
    Bytes[0] = static_cast<std::uint8_t>(D0 << 2 | D1 >> 4);
    if (Group[2] == Pad) {
        return 1;
    }
    const std::uint32_t D2 = Digit(Group[2]);
    Bytes[1] = static_cast<std::uint8_t>(D1 << 4 | D2 >> 2);
    if (Group[3] == Pad) {
        return 2;
    }
    Bytes[2] = static_cast<std::uint8_t>(D2 << 6 | Digit(Group[3]));
    return 3;
}

// Decodes Count characters into at most DecodedSizeBound(Count) bytes and
// returns how many it wrote. A cut-off last group is read as if padded, never
// from past the text.
std::size_t DecodeBase64(const char* Text, std::size_t Count, std::uint8_t* Bytes) {
    const auto* In = reinterpret_cast<const unsigned char*>(Text);
    const auto* const End = In + Count / 4 * 4;
    std::uint8_t* Out = Bytes;
    for (; In != End; In += 4) {
        const std::uint32_t D0 = DigitTable[In[0]];
        const std::uint32_t D1 = DigitTable[In[1]];
        const std::uint32_t D2 = DigitTable[In[2]];
        const std::uint32_t D3 = DigitTable[In[3]];
        if (((D0 | D1 | D2 | D3) & NotADigit) != 0) {
            Out += DecodeOddGroup(reinterpret_cast<const char*>(In), Out);
            continue;
        }
        const std::uint32_t Group = D0 << 18 | D1 << 12 | D2 << 6 | D3;
        Out[0] = static_cast<std::uint8_t>(Group >> 16);
        Out[1] = static_cast<std::uint8_t>(Group >> 8);
        Out[2] = static_cast<std::uint8_t>(Group);
        Out += 3;
    }
    if (const std::size_t Left = Count % 4; Left != 0) {
        std::array<char, 4> Last = {Pad, Pad, Pad, Pad};
        std::memcpy(Last.data(), In, Left);
        Out += DecodeOddGroup(Last.data(), Out);
    }
    return static_cast<std::size_t>(Out - Bytes);
}

// ---- Blocks as 64-bit words ----------------------------------------------------

// A block in memory order: XOR on words is XOR on the bytes, whatever the
// host's byte order.
using TBlockWord = std::uint64_t;

TBlockWord LoadBlock(const std::uint8_t* Bytes) {
    TBlockWord Word;
    std::memcpy(&Word, Bytes, sizeof Word);
    return Word;
}

void StoreBlock(TBlockWord Word, std::uint8_t* Bytes) {
    std::memcpy(Bytes, &Word, sizeof Word);
}

// The transform XORs every block with one fixed pad: the zero block transformed.
TBlockWord PadOf(const TBlowfishContext& Context) {
    TBlowfishBlock Zero{};
    BlowfishBlock(Context, Zero, true);
    return LoadBlock(Zero.data());
}

TBlowfishContext ContextOf(const TBlowfishKey& Key) {
    TBlowfishContext Context;
    BlowfishInitKey(Key, Context);
    return Context;
}

// The final plain block: the last Count (0 to 7) bytes, zeros, the count in byte 7.
TBlockWord FinalPlainBlock(const std::uint8_t* Tail, std::size_t Count) {
    TBlowfishBlock Block{};
    std::memcpy(Block.data(), Tail, Count);
    Block[BlockSize - 1] = static_cast<std::uint8_t>(Count);
    return LoadBlock(Block.data());
}

// A string whose bytes the caller writes all of before reading any.
std::string StringOfSize(std::size_t Size) {
    std::string Result;
#if defined(__cpp_lib_string_resize_and_overwrite)
    Result.resize_and_overwrite(Size, [](char*, std::size_t Count) { return Count; });
#else
    Result.resize(Size);
#endif
    return Result;
}

std::uint8_t* BytesOf(std::string& Data) {
    return reinterpret_cast<std::uint8_t*>(Data.data());
}

const std::uint8_t* BytesOf(const std::string& Data) {
    return reinterpret_cast<const std::uint8_t*>(Data.data());
}

// The Base64 text of a cipher stream of Blocks blocks that NextBlock hands out
// in order, three blocks (32 characters) at a time.
template <typename NextBlockFunction>
std::string EncodeBlocks(std::size_t Blocks, NextBlockFunction&& NextBlock) {
    std::string Text = StringOfSize(EncodedSize(Blocks * BlockSize));
    char* Out = Text.data();
    std::array<std::uint8_t, 3 * BlockSize> Chunk;
    std::size_t Left = Blocks;
    for (; Left >= 3; Left -= 3, Out += 32) {
        StoreBlock(NextBlock(), &Chunk[0]);
        StoreBlock(NextBlock(), &Chunk[8]);
        StoreBlock(NextBlock(), &Chunk[16]);
        for (std::size_t i = 0; i < 8; ++i) {
            EncodeTriple(&Chunk[3 * i], Out + 4 * i);
        }
    }
    for (std::size_t i = 0; i < Left; ++i) {
        StoreBlock(NextBlock(), &Chunk[BlockSize * i]);
    }
    EncodeBase64(Chunk.data(), Left * BlockSize, Out);
    return Text;
}

std::string EncipherECB(const std::string& Plain, const TBlowfishKey& Key) {
    const TBlockWord KeyPad = PadOf(ContextOf(Key));
    const std::uint8_t* Bytes = BytesOf(Plain);
    const std::size_t Full = Plain.size() / BlockSize;
    const TBlockWord Final = FinalPlainBlock(Bytes + Full * BlockSize, Plain.size() % BlockSize);
    std::size_t Index = 0;
    return EncodeBlocks(Full + 1, [&] {
        const TBlockWord Block = Index < Full ? LoadBlock(Bytes + Index * BlockSize) : Final;
        ++Index;
        return Block ^ KeyPad;
    });
}

std::string EncipherCBC(const std::string& Plain, const TBlowfishKey& Key,
                        const TQbMillisecondTimer& Timer) {
    const TBlowfishContext Context = ContextOf(Key);
    const TBlockWord KeyPad = PadOf(Context);
    const std::uint8_t* Bytes = BytesOf(Plain);
    const std::size_t Full = Plain.size() / BlockSize;
    const TBlockWord Final = FinalPlainBlock(Bytes + Full * BlockSize, Plain.size() % BlockSize);
    TBlockWord Chain = LoadBlock(ChainingBlock(Context, Timer).data());
    // Index 0 is the chaining block itself, which goes out first.
    std::size_t Index = 0;
    return EncodeBlocks(Full + 2, [&] {
        if (Index++ != 0) {
            const std::size_t Block = Index - 2;
            Chain ^= (Block < Full ? LoadBlock(Bytes + Block * BlockSize) : Final) ^ KeyPad;
        }
        return Chain;
    });
}

// The Base64 text decoded into the result, deciphered in place and cut to the
// final block's count. In CBC mode the first block is the chaining value and
// the plain blocks move down by one as they are made.
std::string Decipher(const std::string& Text, const TBlowfishKey& Key, bool Chained) {
    std::string Plain = StringOfSize(DecodedSizeBound(Text.size()));
    std::uint8_t* Bytes = BytesOf(Plain);
    // Bytes after the last whole block are never read.
    const std::size_t Blocks = DecodeBase64(Text.data(), Text.size(), Bytes) / BlockSize;
    const std::size_t FirstCipherBlock = Chained ? 1 : 0;
    if (Blocks <= FirstCipherBlock) {
        RaiseInvalidFileFormat();
    }
    const std::size_t PlainBlocks = Blocks - FirstCipherBlock;
    const TBlockWord KeyPad = PadOf(ContextOf(Key));
    if (Chained) {
        TBlockWord Previous = LoadBlock(Bytes);
        for (std::size_t i = 0; i < PlainBlocks; ++i) {
            const TBlockWord Block = LoadBlock(Bytes + (i + 1) * BlockSize);
            StoreBlock(Block ^ KeyPad ^ Previous, Bytes + i * BlockSize);
            Previous = Block;
        }
    } else {
        for (std::size_t i = 0; i < PlainBlocks; ++i) {
            StoreBlock(LoadBlock(Bytes + i * BlockSize) ^ KeyPad, Bytes + i * BlockSize);
        }
    }
    const std::size_t FinalOffset = (PlainBlocks - 1) * BlockSize;
    TBlowfishBlock Final;
    std::memcpy(Final.data(), Bytes + FinalOffset, BlockSize);
    Plain.resize(FinalOffset + FinalBlockCount(Final));
    return Plain;
}

}  // namespace

void Base64EncodeStream(std::istream& InStream, std::ostream& OutStream) {
    std::array<char, EncodePiece> Piece;
    std::array<char, EncodedSize(EncodePiece)> Text;
    for (;;) {
        InStream.read(Piece.data(), EncodePiece);
        const auto Count = static_cast<std::size_t>(InStream.gcount());
        if (Count == 0) {
            break;
        }
        EncodeBase64(reinterpret_cast<const std::uint8_t*>(Piece.data()), Count, Text.data());
        OutStream.write(Text.data(), static_cast<std::streamsize>(EncodedSize(Count)));
        if (!OutStream) {
            throw EQbStreamError("Stream write error");
        }
        if (Count < EncodePiece) {
            break;
        }
    }
}

void Base64DecodeStream(std::istream& InStream, std::ostream& OutStream) {
    std::array<char, DecodePiece> Piece;
    std::array<std::uint8_t, DecodedSizeBound(DecodePiece)> Bytes;
    for (;;) {
        InStream.read(Piece.data(), DecodePiece);
        const auto Count = static_cast<std::size_t>(InStream.gcount());
        if (Count == 0) {
            break;
        }
        const std::size_t Decoded = DecodeBase64(Piece.data(), Count, Bytes.data());
        OutStream.write(reinterpret_cast<const char*>(Bytes.data()),
                        static_cast<std::streamsize>(Decoded));
        if (!OutStream) {
            throw EQbStreamError("Stream write error");
        }
        if (Count < DecodePiece) {
            break;
        }
    }
}

std::string StringECB(const std::string& InString, const TBlowfishKey& Key, bool Encrypt) {
    return Encrypt ? EncipherECB(InString, Key) : Decipher(InString, Key, false);
}

std::string StringCBC(const std::string& InString, const TBlowfishKey& Key, bool Encrypt,
                      const TQbMillisecondTimer& Timer) {
    return Encrypt ? EncipherCBC(InString, Key, Timer) : Decipher(InString, Key, true);
}
