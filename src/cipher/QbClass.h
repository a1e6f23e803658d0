#pragma once
// The cipher component: a 16-byte key and the block modes ECB and CBC over
// strings, streams and files. The diary uses one instance in ECB mode:
//
//     TQbBlowfish cipher;                            // all-zero key, cmECB
//     cipher.GenerateKey(keyText);                   // key from a key text
//     std::string stored = cipher.EncryptString(t);  // one-line Base64 text
//     std::string plain = cipher.DecryptString(stored);
//
// Strings are byte strings: their bytes are enciphered as they are. The
// operations raise ECipherException ("Invalid file format") for a malformed
// cipher stream and std::runtime_error ("Invalid Base64 Character") for a
// malformed Base64 text; both derive from std::runtime_error.

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>

#include "cipher/QbCipher.h"

enum TQbCipherMode : std::uint8_t { cmECB = 0, cmCBC = 1 };

class TQbBaseComponent : public TQbBase {
  public:
    // The library's version text; setting it has no effect.
    std::string Version() const;
    void SetVersion(const std::string& Value);
};

class TQbCipher : public TQbBaseComponent {
  public:
    virtual void DecryptFile(const std::filesystem::path& InFile,
                             const std::filesystem::path& OutFile) = 0;
    virtual void DecryptStream(std::istream& InStream, std::ostream& OutStream) = 0;
    virtual std::string DecryptString(const std::string& InString) = 0;
    virtual void EncryptFile(const std::filesystem::path& InFile,
                             const std::filesystem::path& OutFile) = 0;
    virtual void EncryptStream(std::istream& InStream, std::ostream& OutStream) = 0;
    virtual std::string EncryptString(const std::string& InString) = 0;
    virtual std::uint64_t EncryptedSizeNeeded(std::uint32_t InputSize) = 0;
};

class TQbSymmetricCipher : public TQbCipher {
  public:
    virtual void GenerateKey(const std::string& PassPhrase) = 0;
    virtual void GenerateRandomKey() = 0;

    TQbCipherMode CipherMode = cmECB;
};

class TQbBlowfish : public TQbSymmetricCipher {
  public:
    void DecryptFile(const std::filesystem::path& InFile,
                     const std::filesystem::path& OutFile) override;
    void DecryptStream(std::istream& InStream, std::ostream& OutStream) override;
    std::string DecryptString(const std::string& InString) override;
    void EncryptFile(const std::filesystem::path& InFile,
                     const std::filesystem::path& OutFile) override;
    void EncryptStream(std::istream& InStream, std::ostream& OutStream) override;
    std::string EncryptString(const std::string& InString) override;
    std::uint64_t EncryptedSizeNeeded(std::uint32_t InputSize) override;
    void GenerateKey(const std::string& PassPhrase) override;
    void GenerateRandomKey() override;

    TBlowfishKey Key{};

  private:
    // The pad of Key, kept for the key it was made from: a string of a few blocks would
    // otherwise spend most of its time in the key schedule. Key may be assigned at any time,
    // so the pad is checked against it at every use.
    std::uint64_t KeyPad();

    TBlowfishKey PadKey_{};
    std::uint64_t Pad_ = 0;
    bool PadKnown_ = false;
};
