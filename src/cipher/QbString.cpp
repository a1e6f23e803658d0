#include "cipher/QbString.h"

#include <array>
#include <istream>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace {

constexpr std::string_view Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char Pad = '=';
// 45 bytes make exactly 60 characters, so pieces join into one Base64 text.
constexpr std::streamsize EncodePiece = 45;
constexpr std::streamsize DecodePiece = 88;
constexpr std::int8_t NotInAlphabet = -1;

constexpr std::array<std::int8_t, 256> MakeDecodeTable() {
    std::array<std::int8_t, 256> Table{};
    Table.fill(NotInAlphabet);
    for (std::size_t i = 0; i < Alphabet.size(); ++i) {
        Table[static_cast<unsigned char>(Alphabet[i])] = static_cast<std::int8_t>(i);
    }
    return Table;
}

constexpr std::array<std::int8_t, 256> DecodeTable = MakeDecodeTable();

[[noreturn]] void InvalidCharacter() {
    throw std::runtime_error("Invalid Base64 Character");
}

void EncodePieceTo(const unsigned char* Bytes, std::streamsize Count, std::string& Text) {
    Text.clear();
    for (std::streamsize i = 0; i < Count; i += 3) {
        const std::streamsize Left = Count - i;
        const std::uint32_t Group = std::uint32_t{Bytes[i]} << 16 |
                                    (Left > 1 ? std::uint32_t{Bytes[i + 1]} << 8 : 0) |
                                    (Left > 2 ? std::uint32_t{Bytes[i + 2]} : 0);
        Text += Alphabet[(Group >> 18) & 63];
        Text += Alphabet[(Group >> 12) & 63];
        Text += Left > 1 ? Alphabet[(Group >> 6) & 63] : Pad;
        Text += Left > 2 ? Alphabet[Group & 63] : Pad;
    }
}

std::uint32_t Digit(char Character) {
    const std::int8_t Value = DecodeTable[static_cast<unsigned char>(Character)];
    if (Value == NotInAlphabet) {
        InvalidCharacter();
    }
    return static_cast<std::uint32_t>(Value);
}

// One group of four characters; a "=" may stand only in the last two places.
void DecodeGroup(const char* Group, std::string& Bytes) {
    const std::uint32_t D0 = Digit(Group[0]);
    const std::uint32_t D1 = Digit(Group[1]);
    if (Group[3] != Pad) {
        Digit(Group[3]);
    }
    Bytes += static_cast<char>((D0 << 2 | D1 >> 4) & 0xFF);
    if (Group[2] == Pad) {
        return;
    }
    const std::uint32_t D2 = Digit(Group[2]);
    Bytes += static_cast<char>((D1 << 4 | D2 >> 2) & 0xFF);
    if (Group[3] == Pad) {
        return;
    }
    Bytes += static_cast<char>((D2 << 6 | Digit(Group[3])) & 0xFF);
}

template <typename Mode>
std::string EncipherToBase64(const std::string& InString, Mode&& Run) {
    std::istringstream In(InString, std::ios::binary);
    std::stringstream CipherStream(std::ios::in | std::ios::out | std::ios::binary);
    Run(In, CipherStream);
    CipherStream.seekg(0);
    std::ostringstream Out(std::ios::binary);
    Base64EncodeStream(CipherStream, Out);
    return std::move(Out).str();
}

template <typename Mode>
std::string DecipherFromBase64(const std::string& InString, Mode&& Run) {
    std::istringstream In(InString, std::ios::binary);
    std::stringstream CipherStream(std::ios::in | std::ios::out | std::ios::binary);
    Base64DecodeStream(In, CipherStream);
    CipherStream.seekg(0);
    std::ostringstream Out(std::ios::binary);
    Run(CipherStream, Out);
    return std::move(Out).str();
}

}  // namespace

void Base64EncodeStream(std::istream& InStream, std::ostream& OutStream) {
    std::array<char, EncodePiece> Piece;
    std::string Text;
    Text.reserve(EncodePiece / 3 * 4);
    for (;;) {
        InStream.read(Piece.data(), EncodePiece);
        const std::streamsize Count = InStream.gcount();
        if (Count == 0) {
            break;
        }
        EncodePieceTo(reinterpret_cast<const unsigned char*>(Piece.data()), Count, Text);
        OutStream.write(Text.data(), static_cast<std::streamsize>(Text.size()));
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
    std::string Bytes;
    Bytes.reserve(DecodePiece / 4 * 3);
    for (;;) {
        InStream.read(Piece.data(), DecodePiece);
        const std::streamsize Count = InStream.gcount();
        if (Count == 0) {
            break;
        }
        Bytes.clear();
        for (std::streamsize i = 0; i < Count; i += 4) {
            // A cut-off last group is read as if padded, never from past the text.
            std::array<char, 4> Group = {Pad, Pad, Pad, Pad};
            for (std::streamsize j = 0; j < 4 && i + j < Count; ++j) {
                Group[static_cast<std::size_t>(j)] = Piece[static_cast<std::size_t>(i + j)];
            }
            DecodeGroup(Group.data(), Bytes);
        }
        OutStream.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
        if (!OutStream) {
            throw EQbStreamError("Stream write error");
        }
        if (Count < DecodePiece) {
            break;
        }
    }
}

std::string StringECB(const std::string& InString, const TBlowfishKey& Key, bool Encrypt) {
    const auto Run = [&](std::istream& In, std::ostream& Out) { StreamECB(In, Out, Key, Encrypt); };
    return Encrypt ? EncipherToBase64(InString, Run) : DecipherFromBase64(InString, Run);
}

std::string StringCBC(const std::string& InString, const TBlowfishKey& Key, bool Encrypt,
                      const TQbMillisecondTimer& Timer) {
    const auto Run = [&](std::istream& In, std::ostream& Out) {
        StreamCBC(In, Out, Key, Encrypt, Timer);
    };
    return Encrypt ? EncipherToBase64(InString, Run) : DecipherFromBase64(InString, Run);
}
