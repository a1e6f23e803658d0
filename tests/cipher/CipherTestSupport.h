#pragma once
// Small helpers shared by the cipher tests.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "cipher/QbCipher.h"

namespace cipher_test {

// The fold words of the all-zero key: every block's halves are XORed with them.
inline constexpr std::uint32_t ZeroKeyFoldLeft = 0x69B57E7D;
inline constexpr std::uint32_t ZeroKeyFoldRight = 0x8EE76924;

inline std::string Bytes(std::initializer_list<int> Values) {
    std::string Result;
    for (int Value : Values) {
        Result += static_cast<char>(Value);
    }
    return Result;
}

inline std::string Hex(const std::string& Data) {
    static const char* Digits = "0123456789abcdef";
    std::string Result;
    for (unsigned char Byte : Data) {
        Result += Digits[Byte >> 4];
        Result += Digits[Byte & 15];
    }
    return Result;
}

template <std::size_t N>
std::string Hex(const std::array<std::uint8_t, N>& Data) {
    return Hex(std::string(Data.begin(), Data.end()));
}

// Any text of the given length, with every byte value and zero bytes in it.
inline std::string PatternText(std::size_t Length) {
    std::string Text(Length, '\0');
    std::uint32_t Seed = 12345;
    for (char& Character : Text) {
        Seed = Seed * 1103515245u + 12345u;
        Character = static_cast<char>(Seed >> 16);
    }
    return Text;
}

// Halves XORed with the fold words: the transform in its plainest form.
inline std::string FoldBlocks(const std::string& Data, std::uint32_t Left, std::uint32_t Right) {
    std::string Result = Data;
    for (std::size_t i = 0; i < Result.size(); ++i) {
        const std::uint32_t Word = (i % 8) < 4 ? Left : Right;
        Result[i] = static_cast<char>(static_cast<unsigned char>(Result[i]) ^
                                      static_cast<std::uint8_t>(Word >> (8 * (i % 4))));
    }
    return Result;
}

}  // namespace cipher_test
