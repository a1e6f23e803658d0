#include "cipher/QbProc.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <istream>
#include <ostream>
#include <string>

#include "cipher/QbUtils.h"

TProgressHook ProgressHook = nullptr;
std::int32_t ProgressInterval = 64;

namespace {

constexpr std::int64_t BlockSize = 8;
// Byte 7 of the final block counts the plain bytes in bytes 0 to 6.
constexpr std::size_t CountByte = 7;

std::int64_t StreamSize(std::istream& In) {
    const std::istream::pos_type Here = In.tellg();
    if (Here == std::istream::pos_type(-1)) {
        throw EQbStreamError("Stream read error");
    }
    In.seekg(0, std::ios::end);
    const std::istream::pos_type End = In.tellg();
    In.seekg(Here);
    if (End == std::istream::pos_type(-1) || !In) {
        throw EQbStreamError("Stream read error");
    }
    return static_cast<std::int64_t>(End);
}

// A short read means the cipher stream is cut off.
void ReadBytes(std::istream& In, std::uint8_t* Buffer, std::int64_t Count) {
    In.read(reinterpret_cast<char*>(Buffer), Count);
    if (In.gcount() < Count) {
        RaiseInvalidFileFormat();
    }
}

void WriteBytes(std::ostream& Out, const std::uint8_t* Buffer, std::int64_t Count) {
    Out.write(reinterpret_cast<const char*>(Buffer), Count);
    if (!Out) {
        throw EQbStreamError("Stream write error");
    }
}

class TProgress {
  public:
    TProgress(std::istream& In, std::int64_t Size) : In_(In), Size_(Size) {}

    void Step() {
        if (ProgressHook == nullptr) {
            return;
        }
        const std::int64_t Position = In_.tellg();
        // An interval below 1 would divide by zero; it reports every block instead.
        if (Position % Max(1, ProgressInterval) == 0) {
            Report(Position);
        }
    }

    void Done() {
        if (ProgressHook != nullptr) {
            Report(In_.tellg());
        }
    }

  private:
    void Report(std::int64_t Position) const {
        ProgressHook(static_cast<std::int32_t>(Position), static_cast<std::int32_t>(Size_));
    }

    std::istream& In_;
    std::int64_t Size_;
};

TBlowfishBlock ReadFinalPlainBlock(std::istream& In, std::int64_t Size) {
    TBlowfishBlock Block{};
    const std::int64_t Count = Size % BlockSize;
    ReadBytes(In, Block.data(), Count);
    Block[CountByte] = static_cast<std::uint8_t>(Count);
    return Block;
}

void WriteFinalPlainBlock(std::ostream& Out, const TBlowfishBlock& Block) {
    WriteBytes(Out, Block.data(), FinalBlockCount(Block));
}

template <typename Mode>
void RunOnFiles(const std::filesystem::path& InFile, const std::filesystem::path& OutFile,
                Mode&& Run) {
    std::ifstream In(InFile, std::ios::binary);
    if (!In) {
        throw EQbStreamError("Cannot open file \"" + InFile.string() + "\". " +
                             std::strerror(errno));
    }
    // Creating the output would empty the input when both name one file.
    std::error_code Ignored;
    if (std::filesystem::equivalent(InFile, OutFile, Ignored)) {
        throw EQbStreamError("Cannot create file \"" + OutFile.string() +
                             "\". It is the input file.");
    }
    std::ofstream Out(OutFile, std::ios::binary | std::ios::trunc);
    if (!Out) {
        throw EQbStreamError("Cannot create file \"" + OutFile.string() + "\". " +
                             std::strerror(errno));
    }
    Run(In, Out);
    Out.flush();
    if (!Out) {
        throw EQbStreamError("Stream write error");
    }
}

}  // namespace

void RaiseInvalidFileFormat() {
    throw ECipherException("Invalid file format");
}

std::uint8_t FinalBlockCount(const TBlowfishBlock& Block) {
    const std::uint8_t Count = Block[CountByte];
    if (Count > CountByte) {
        RaiseInvalidFileFormat();
    }
    return Count;
}

TBlowfishBlock ChainingBlock(const TBlowfishContext& Context, const TQbMillisecondTimer& Timer) {
    TBlowfishBlock Block{};
    const std::uint32_t Left = Timer();
    const std::uint32_t Right = Timer();
    for (std::size_t i = 0; i < 4; ++i) {
        Block[i] = static_cast<std::uint8_t>(Left >> (8 * i));
        Block[4 + i] = static_cast<std::uint8_t>(Right >> (8 * i));
    }
    BlowfishBlock(Context, Block, true);
    return Block;
}

std::uint32_t SystemMilliseconds() {
    const auto Now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Now).count());
}

void StreamECB(std::istream& InStream, std::ostream& OutStream, const TBlowfishKey& Key,
               bool Encrypt) {
    TBlowfishContext Context;
    BlowfishInitKey(Key, Context);
    const std::int64_t Size = StreamSize(InStream);
    const std::int64_t Blocks = Size / BlockSize + (Encrypt ? 1 : 0);
    TProgress Progress(InStream, Size);

    TBlowfishBlock Block;
    for (std::int64_t i = 0; i + 1 < Blocks; ++i) {
        ReadBytes(InStream, Block.data(), BlockSize);
        BlowfishBlock(Context, Block, Encrypt);
        WriteBytes(OutStream, Block.data(), BlockSize);
        Progress.Step();
    }
    if (Encrypt) {
        Block = ReadFinalPlainBlock(InStream, Size);
        BlowfishBlock(Context, Block, Encrypt);
        WriteBytes(OutStream, Block.data(), BlockSize);
    } else {
        ReadBytes(InStream, Block.data(), BlockSize);
        BlowfishBlock(Context, Block, Encrypt);
        WriteFinalPlainBlock(OutStream, Block);
    }
    Progress.Done();
}

void StreamCBC(std::istream& InStream, std::ostream& OutStream, const TBlowfishKey& Key,
               bool Encrypt, const TQbMillisecondTimer& Timer) {
    TBlowfishContext Context;
    BlowfishInitKey(Key, Context);
    const std::int64_t Size = StreamSize(InStream);
    std::int64_t Blocks = Size / BlockSize;
    TProgress Progress(InStream, Size);

    TBlowfishBlock Chain;
    if (Encrypt) {
        Chain = ChainingBlock(Context, Timer);
        WriteBytes(OutStream, Chain.data(), BlockSize);
        ++Blocks;
    } else {
        ReadBytes(InStream, Chain.data(), BlockSize);
        --Blocks;
    }

    TBlowfishBlock Block;
    for (std::int64_t i = 0; i + 1 < Blocks; ++i) {
        ReadBytes(InStream, Block.data(), BlockSize);
        const TBlowfishBlock Read = Block;
        BlowfishCBCBlock(Context, Chain, Block, Encrypt);
        WriteBytes(OutStream, Block.data(), BlockSize);
        Chain = Encrypt ? Block : Read;
        Progress.Step();
    }
    if (Encrypt) {
        Block = ReadFinalPlainBlock(InStream, Size);
        BlowfishCBCBlock(Context, Chain, Block, Encrypt);
        WriteBytes(OutStream, Block.data(), BlockSize);
    } else {
        ReadBytes(InStream, Block.data(), BlockSize);
        BlowfishCBCBlock(Context, Chain, Block, Encrypt);
        WriteFinalPlainBlock(OutStream, Block);
    }
    Progress.Done();
}

void FileECB(const std::filesystem::path& InFile, const std::filesystem::path& OutFile,
             const TBlowfishKey& Key, bool Encrypt) {
    RunOnFiles(InFile, OutFile,
               [&](std::istream& In, std::ostream& Out) { StreamECB(In, Out, Key, Encrypt); });
}

void FileCBC(const std::filesystem::path& InFile, const std::filesystem::path& OutFile,
             const TBlowfishKey& Key, bool Encrypt, const TQbMillisecondTimer& Timer) {
    RunOnFiles(InFile, OutFile, [&](std::istream& In, std::ostream& Out) {
        StreamCBC(In, Out, Key, Encrypt, Timer);
    });
}
