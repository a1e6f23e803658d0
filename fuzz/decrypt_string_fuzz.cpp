// The cipher's string operations on arbitrary bytes, in both modes: decrypting any text either
// gives bytes or raises the cipher's own errors, and every byte string enciphers to one line of
// Base64 that deciphers to the same bytes.

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "cipher/QbClass.h"
#include "cipher/QbString.h"

namespace {

bool isBase64Line(const std::string& text) {
    for (char c : text) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != '+' && c != '/' && c != '=') {
            return false;
        }
    }
    return text.size() % 4 == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    static TQbBlowfish cipher = [] {
        TQbBlowfish made;
        made.GenerateKey("fuzz key");
        return made;
    }();
    cipher.CipherMode = (data[0] & 1) ? cmCBC : cmECB;
    const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);

    try {
        cipher.DecryptString(input);
    } catch (const std::runtime_error&) {
        // a malformed text: the documented outcome
    }

    // The chaining block comes from the clock in the program; a fixed one keeps runs repeatable.
    const std::string stored = cipher.CipherMode == cmCBC
                                   ? StringCBC(input, cipher.Key, true, [] { return 12345u; })
                                   : cipher.EncryptString(input);
    if (!isBase64Line(stored) || cipher.DecryptString(stored) != input) {
        abort();
    }
    return 0;
}
