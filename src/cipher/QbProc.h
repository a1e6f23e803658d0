#pragma once
// The block modes over streams and files.
//
// Streams are std::istream / std::ostream opened in binary mode. The input
// must be seekable: its whole size gives the number of blocks while reading
// starts at its current position, so hand it over positioned at its start.
// The output is written at its current position.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <stdexcept>

#include "cipher/QbCipher.h"

// A malformed cipher stream: always "Invalid file format".
class ECipherException : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A stream or file that cannot be opened, created, sized or written.
class EQbStreamError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

using TProgressHook = void (*)(std::int32_t Position, std::int32_t Size);

// Called with (input position, input size) while a stream is worked through,
// after each full block at a position that is a multiple of ProgressInterval,
// and once at the end. Process-wide; none by default.
extern TProgressHook ProgressHook;
extern std::int32_t ProgressInterval;

// The millisecond clock read twice to make the CBC chaining block.
using TQbMillisecondTimer = std::function<std::uint32_t()>;
// Milliseconds of a monotonic clock, wrapping at 2^32.
std::uint32_t SystemMilliseconds();

// Raises ECipherException "Invalid file format".
[[noreturn]] void RaiseInvalidFileFormat();
// The number of plain bytes in a deciphered final block, its byte 7. A count
// above 7 is never written and would run past the block: it raises
// "Invalid file format".
std::uint8_t FinalBlockCount(const TBlowfishBlock& Block);
// The CBC chaining block: two timer readings (left half, then right half),
// transformed.
TBlowfishBlock ChainingBlock(const TBlowfishContext& Context, const TQbMillisecondTimer& Timer);

void StreamECB(std::istream& InStream, std::ostream& OutStream, const TBlowfishKey& Key,
               bool Encrypt);
void StreamCBC(std::istream& InStream, std::ostream& OutStream, const TBlowfishKey& Key,
               bool Encrypt, const TQbMillisecondTimer& Timer = SystemMilliseconds);

// InFile and OutFile must be different files: the output is created (an
// existing one replaced) only after that is checked.
void FileECB(const std::filesystem::path& InFile, const std::filesystem::path& OutFile,
             const TBlowfishKey& Key, bool Encrypt);
void FileCBC(const std::filesystem::path& InFile, const std::filesystem::path& OutFile,
             const TBlowfishKey& Key, bool Encrypt,
             const TQbMillisecondTimer& Timer = SystemMilliseconds);
