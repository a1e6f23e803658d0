#include "cipher/QbClass.h"

#include <cstring>

#include "cipher/QbConst.h"
#include "cipher/QbProc.h"
#include "cipher/QbString.h"

std::string TQbBaseComponent::Version() const {
    return QbVersionText;
}

void TQbBaseComponent::SetVersion(const std::string& /*Value*/) {}

void TQbBlowfish::DecryptFile(const std::filesystem::path& InFile,
                              const std::filesystem::path& OutFile) {
    if (CipherMode == cmCBC) {
        FileCBC(InFile, OutFile, Key, false);
    } else {
        FileECB(InFile, OutFile, Key, false);
    }
}

void TQbBlowfish::DecryptStream(std::istream& InStream, std::ostream& OutStream) {
    if (CipherMode == cmCBC) {
        StreamCBC(InStream, OutStream, Key, false);
    } else {
        StreamECB(InStream, OutStream, Key, false);
    }
}

namespace {

// Two words instead of a call to memcmp: this runs at every string operation.
bool SameKey(const TBlowfishKey& A, const TBlowfishKey& B) {
    std::uint64_t a[2];
    std::uint64_t b[2];
    std::memcpy(a, A.data(), sizeof a);
    std::memcpy(b, B.data(), sizeof b);
    return ((a[0] ^ b[0]) | (a[1] ^ b[1])) == 0;
}

}  // namespace

std::uint64_t TQbBlowfish::KeyPad() {
    if (!PadKnown_ || !SameKey(PadKey_, Key)) {
        Pad_ = KeyPadOf(Key);
        PadKey_ = Key;
        PadKnown_ = true;
    }
    return Pad_;
}

std::string TQbBlowfish::DecryptString(const std::string& InString) {
    return CipherMode == cmCBC ? StringCBC(InString, Key, false)
                               : StringECBWithPad(InString, KeyPad(), false);
}

void TQbBlowfish::EncryptFile(const std::filesystem::path& InFile,
                              const std::filesystem::path& OutFile) {
    if (CipherMode == cmCBC) {
        FileCBC(InFile, OutFile, Key, true);
    } else {
        FileECB(InFile, OutFile, Key, true);
    }
}

void TQbBlowfish::EncryptStream(std::istream& InStream, std::ostream& OutStream) {
    if (CipherMode == cmCBC) {
        StreamCBC(InStream, OutStream, Key, true);
    } else {
        StreamECB(InStream, OutStream, Key, true);
    }
}

std::string TQbBlowfish::EncryptString(const std::string& InString) {
    return CipherMode == cmCBC ? StringCBC(InString, Key, true)
                               : StringECBWithPad(InString, KeyPad(), true);
}

std::uint64_t TQbBlowfish::EncryptedSizeNeeded(std::uint32_t InputSize) {
    return (std::uint64_t{InputSize} / 8 + 1) * 8;
}

void TQbBlowfish::GenerateKey(const std::string& PassPhrase) {
    KeyFromString(Key.data(), static_cast<std::int32_t>(Key.size()), PassPhrase);
}

void TQbBlowfish::GenerateRandomKey() {
    RandomKey(Key.data(), static_cast<std::int32_t>(Key.size()));
}
