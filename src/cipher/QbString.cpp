#include "cipher/QbString.h"

#include <array>
#include <bit>
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

// Where byte Index of a Width-byte word lies when the word is stored: tables
// below hold whole output words so that one store writes several characters
// or bytes in their order, on hosts of either byte order.
constexpr unsigned ByteShift(unsigned Index, unsigned Width) {
    return 8 * (std::endian::native == std::endian::little ? Index : Width - 1 - Index);
}

// Alphabet positions; anything else, "=" included, is NotADigit.
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

// For each place in a group of four characters, what a character there adds
// to the group's three bytes, as stored; the fourth byte, unused, marks a
// character that is not a digit.
constexpr std::uint32_t OddGroupMark = 0xFFu << ByteShift(3, 4);

constexpr std::array<std::array<std::uint32_t, 256>, 4> MakeGroupTables() {
    std::array<std::array<std::uint32_t, 256>, 4> Tables{};
    for (unsigned Place = 0; Place < 4; ++Place) {
        for (unsigned Character = 0; Character < 256; ++Character) {
            const std::uint8_t Value = DigitTable[Character];
            if (Value == NotADigit) {
                Tables[Place][Character] = OddGroupMark;
                continue;
            }
            const std::uint32_t Bits = std::uint32_t{Value} << (18 - 6 * Place);
            std::uint32_t Word = 0;
            for (unsigned Byte = 0; Byte < 3; ++Byte) {
                Word |= ((Bits >> (16 - 8 * Byte)) & 0xFF) << ByteShift(Byte, 4);
            }
            Tables[Place][Character] = Word;
        }
    }
    return Tables;
}

constexpr std::array<std::array<std::uint32_t, 256>, 4> GroupTables = MakeGroupTables();

// The two characters of every 12-bit value, as stored: half a group per lookup.
constexpr std::array<std::uint16_t, 4096> MakePairTable() {
    std::array<std::uint16_t, 4096> Table{};
    for (std::size_t i = 0; i < Table.size(); ++i) {
        const auto First = static_cast<std::uint16_t>(Alphabet[i >> 6]);
        const auto Second = static_cast<std::uint16_t>(Alphabet[i & 63]);
        Table[i] = static_cast<std::uint16_t>(First << ByteShift(0, 2) | Second << ByteShift(1, 2));
    }
    return Table;
}

constexpr std::array<std::uint16_t, 4096> PairTable = MakePairTable();

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

// The value of eight bytes stored in order, the first most significant.
std::uint64_t BigEndianValue(std::uint64_t Stored) {
    if constexpr (std::endian::native == std::endian::little) {
        return __builtin_bswap64(Stored);
    } else {
        return Stored;
    }
}

void EncodeTriple(const std::uint8_t* Bytes, char* Text) {
    const std::uint32_t Group =
        std::uint32_t{Bytes[0]} << 16 | std::uint32_t{Bytes[1]} << 8 | std::uint32_t{Bytes[2]};
    std::memcpy(Text, &PairTable[Group >> 12], 2);
    std::memcpy(Text + 2, &PairTable[Group & 0xFFF], 2);
}

// The 48 low bits of Bits, six bytes, as eight characters.
void EncodeSix(std::uint64_t Bits, char* Text) {
    std::memcpy(Text, &PairTable[(Bits >> 36) & 0xFFF], 2);
    std::memcpy(Text + 2, &PairTable[(Bits >> 24) & 0xFFF], 2);
    std::memcpy(Text + 4, &PairTable[(Bits >> 12) & 0xFFF], 2);
    std::memcpy(Text + 6, &PairTable[Bits & 0xFFF], 2);
}

// 24 bytes stored as three 64-bit words: 32 characters.
void EncodeTwentyFour(std::uint64_t First, std::uint64_t Second, std::uint64_t Third, char* Text) {
    const std::uint64_t A = BigEndianValue(First);
    const std::uint64_t B = BigEndianValue(Second);
    const std::uint64_t C = BigEndianValue(Third);
    EncodeSix(A >> 16, Text);
    EncodeSix(A << 32 | B >> 32, Text + 8);
    EncodeSix(B << 16 | C >> 48, Text + 16);
    EncodeSix(C, Text + 24);
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
    const std::array<std::uint8_t, 3> Last = {Bytes[Whole],
                                              Left > 1 ? Bytes[Whole + 1] : std::uint8_t{0}, 0};
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
std::size_t DecodeOddGroup(const unsigned char* Group, std::uint8_t* Bytes) {
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

// The three bytes of a group as stored, with OddGroupMark bits when the group
// holds anything but four digits.
std::uint32_t GroupWord(const unsigned char* Group) {
    return GroupTables[0][Group[0]] | GroupTables[1][Group[1]] | GroupTables[2][Group[2]] |
           GroupTables[3][Group[3]];
}

std::size_t DecodeGroup(const unsigned char* Group, std::uint8_t* Bytes) {
    const std::uint32_t Word = GroupWord(Group);
    if ((Word & OddGroupMark) != 0) {
        return DecodeOddGroup(Group, Bytes);
    }
    std::memcpy(Bytes, &Word, 3);
    return 3;
}

// Decodes Count characters into at most DecodedSizeBound(Count) bytes and
// returns how many it wrote. A cut-off last group is read as if padded, never
// from past the text.
std::size_t DecodeBase64(const char* Text, std::size_t Count, std::uint8_t* Bytes) {
    const auto* In = reinterpret_cast<const unsigned char*>(Text);
    const auto* const End = In + Count / 4 * 4;
    std::uint8_t* Out = Bytes;
    // Two groups a step, their six bytes in one eight-byte store; the two bytes
    // beyond lie in room that a third group still to come owns.
    while (End - In >= 12) {
        const std::uint64_t First = GroupWord(In);
        const std::uint64_t Second = GroupWord(In + 4);
        if (((First | Second) & OddGroupMark) != 0) {
            Out += DecodeGroup(In, Out);
            Out += DecodeGroup(In + 4, Out);
        } else {
            const std::uint64_t Six = std::endian::native == std::endian::little
                                          ? First | Second << 24
                                          : First << 32 | Second << 8;
            std::memcpy(Out, &Six, sizeof Six);
            Out += 6;
        }
        In += 8;
    }
    for (; In != End; In += 4) {
        Out += DecodeGroup(In, Out);
    }
    if (const std::size_t Left = Count % 4; Left != 0) {
        std::array<unsigned char, 4> Last = {Pad, Pad, Pad, Pad};
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
        const TBlockWord First = NextBlock();
        const TBlockWord Second = NextBlock();
        const TBlockWord Third = NextBlock();
        EncodeTwentyFour(First, Second, Third, Out);
    }
    for (std::size_t i = 0; i < Left; ++i) {
        StoreBlock(NextBlock(), &Chunk[BlockSize * i]);
    }
    EncodeBase64(Chunk.data(), Left * BlockSize, Out);
    return Text;
}

// The plain blocks of a text in order: its full blocks, then the final block.
class TPlainBlocks {
  public:
    explicit TPlainBlocks(const std::string& Plain)
        : Bytes_(BytesOf(Plain)),
          Full_(Plain.size() / BlockSize),
          Final_(FinalPlainBlock(Bytes_ + Full_ * BlockSize, Plain.size() % BlockSize)) {}

    std::size_t Count() const { return Full_ + 1; }

    TBlockWord Next() {
        const TBlockWord Block = Index_ < Full_ ? LoadBlock(Bytes_ + Index_ * BlockSize) : Final_;
        ++Index_;
        return Block;
    }

  private:
    const std::uint8_t* Bytes_;
    std::size_t Full_;
    TBlockWord Final_;
    std::size_t Index_ = 0;
};

std::string EncipherECB(const std::string& Plain, TBlockWord KeyPad) {
    TPlainBlocks Blocks(Plain);
    return EncodeBlocks(Blocks.Count(), [&] { return Blocks.Next() ^ KeyPad; });
}

std::string EncipherCBC(const std::string& Plain, const TBlowfishKey& Key,
                        const TQbMillisecondTimer& Timer) {
    const TBlowfishContext Context = ContextOf(Key);
    const TBlockWord KeyPad = PadOf(Context);
    TPlainBlocks Blocks(Plain);
    // The chaining block goes out first; every block after it chains on the one before.
    TBlockWord Chain = LoadBlock(ChainingBlock(Context, Timer).data());
    bool ChainSent = false;
    return EncodeBlocks(Blocks.Count() + 1, [&] {
        if (ChainSent) {
            Chain ^= Blocks.Next() ^ KeyPad;
        }
        ChainSent = true;
        return Chain;
    });
}

// The Base64 text decoded into the result, deciphered in place and cut to the
// final block's count. In CBC mode the first block is the chaining value and
// the plain blocks move down by one as they are made.
std::string Decipher(const std::string& Text, TBlockWord KeyPad, bool Chained) {
    std::string Plain = StringOfSize(DecodedSizeBound(Text.size()));
    std::uint8_t* Bytes = BytesOf(Plain);
    // Bytes after the last whole block are never read.
    const std::size_t Blocks = DecodeBase64(Text.data(), Text.size(), Bytes) / BlockSize;
    const std::size_t FirstCipherBlock = Chained ? 1 : 0;
    if (Blocks <= FirstCipherBlock) {
        RaiseInvalidFileFormat();
    }
    const std::size_t PlainBlocks = Blocks - FirstCipherBlock;
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

std::uint64_t KeyPadOf(const TBlowfishKey& Key) {
    return PadOf(ContextOf(Key));
}

std::string StringECBWithPad(const std::string& InString, std::uint64_t KeyPad, bool Encrypt) {
    return Encrypt ? EncipherECB(InString, KeyPad) : Decipher(InString, KeyPad, false);
}

std::string StringECB(const std::string& InString, const TBlowfishKey& Key, bool Encrypt) {
    return StringECBWithPad(InString, KeyPadOf(Key), Encrypt);
}

std::string StringCBC(const std::string& InString, const TBlowfishKey& Key, bool Encrypt,
                      const TQbMillisecondTimer& Timer) {
    return Encrypt ? EncipherCBC(InString, Key, Timer) : Decipher(InString, KeyPadOf(Key), true);
}
