// Throughput of the diary's two cipher operations on a small and a large
// entry, against OpenSSL's Base64 of the very bytes that they turn into text
// or read back: the cipher stream for EncryptString, the stored text for
// DecryptString. Each figure is a median, once of several runs in this
// process (warm caches, reused memory) and once of several fresh processes
// that each time a single call (cold caches, first-touch page faults); for the
// second this program runs itself with "--once". Times are CPU times of the
// working thread.

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <time.h>
#include <unistd.h>

#include "cipher/QbClass.h"

namespace {

// This thread's CPU time: other programs on a shared machine do not stretch
// it, while the page faults and system calls of the work itself count.
struct TThreadClock {
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<TThreadClock>;
    static constexpr bool is_steady = true;

    static time_point now() {
        timespec Now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &Now);
        return time_point(std::chrono::seconds(Now.tv_sec) + std::chrono::nanoseconds(Now.tv_nsec));
    }
};

using Clock = TThreadClock;

constexpr int InProcessRunCount = 9;
constexpr int FreshProcessRunCount = 15;
constexpr std::chrono::milliseconds RunLength{25};
const char* const KeyText = "benchmark key text 12345678";

enum class TOperation { Encrypt, OpenSslEncode, Decrypt, OpenSslDecode };

constexpr std::array<TOperation, 4> Operations = {TOperation::Encrypt, TOperation::OpenSslEncode,
                                                  TOperation::Decrypt, TOperation::OpenSslDecode};

const char* NameOf(TOperation Operation) {
    switch (Operation) {
        case TOperation::Encrypt:
            return "EncryptString";
        case TOperation::OpenSslEncode:
            return "OpenSSL EVP_EncodeBlock";
        case TOperation::Decrypt:
            return "DecryptString";
        case TOperation::OpenSslDecode:
            return "OpenSSL EVP_DecodeBlock";
    }
    return "?";
}

std::size_t Sink = 0;  // keeps the results alive

std::string EntryText(std::size_t Size) {
    static const std::string Line =
        "{\\rtf1\\ansi\\deff0 Dear diary, today the weather was fine and I walked.\\par}\r\n";
    std::string Text;
    while (Text.size() < Size) {
        Text += Line;
    }
    Text.resize(Size);
    return Text;
}

TQbBlowfish KeyedCipher() {
    TQbBlowfish Cipher;
    Cipher.GenerateKey(KeyText);
    return Cipher;
}

// What each operation reads: the entry, its ECB cipher stream, its stored text.
struct TInputs {
    std::string Text;
    std::string CipherStream;
    std::string Stored;

    const std::string& For(TOperation Operation) const {
        switch (Operation) {
            case TOperation::Encrypt:
                return Text;
            case TOperation::OpenSslEncode:
                return CipherStream;
            default:
                return Stored;
        }
    }
};

TInputs MakeInputs(std::size_t Size) {
    TQbBlowfish Cipher = KeyedCipher();
    TInputs Inputs;
    Inputs.Text = EntryText(Size);
    std::istringstream In(Inputs.Text);
    std::ostringstream Out;
    Cipher.EncryptStream(In, Out);
    Inputs.CipherStream = std::move(Out).str();
    Inputs.Stored = Cipher.EncryptString(Inputs.Text);
    return Inputs;
}

// One call of the operation on its input, fresh output memory included.
std::function<void()> WorkOf(TOperation Operation, const std::string& Input, TQbBlowfish& Cipher) {
    switch (Operation) {
        case TOperation::Encrypt:
            return [&] { Sink += Cipher.EncryptString(Input).size(); };
        case TOperation::Decrypt:
            return [&] { Sink += Cipher.DecryptString(Input).size(); };
        case TOperation::OpenSslEncode:
            return [&] {
                const std::size_t Room = (Input.size() + 2) / 3 * 4 + 1;
                std::unique_ptr<unsigned char[]> Out(new unsigned char[Room]);
                Sink += static_cast<std::size_t>(
                    EVP_EncodeBlock(Out.get(), reinterpret_cast<const unsigned char*>(Input.data()),
                                    static_cast<int>(Input.size())));
            };
        case TOperation::OpenSslDecode:
            return [&] {
                const std::size_t Room = (Input.size() + 3) / 4 * 3;
                std::unique_ptr<unsigned char[]> Out(new unsigned char[Room]);
                Sink += static_cast<std::size_t>(
                    EVP_DecodeBlock(Out.get(), reinterpret_cast<const unsigned char*>(Input.data()),
                                    static_cast<int>(Input.size())));
            };
    }
    return [] {};
}

double Seconds(Clock::duration Duration) {
    return std::chrono::duration<double>(Duration).count();
}

double Median(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

// Megabytes of plain entry per second, repeating the work for one run's length.
double InProcessRun(std::size_t PlainBytes, const std::function<void()>& Work) {
    // Reading the CPU clock is a system call: a megabyte of calls between readings.
    const std::size_t CallsPerReading =
        std::max<std::size_t>(1, (std::size_t{1} << 20) / PlainBytes);
    const auto Start = Clock::now();
    std::size_t Calls = 0;
    Clock::duration Elapsed{};
    do {
        for (std::size_t i = 0; i < CallsPerReading; ++i) {
            Work();
        }
        Calls += CallsPerReading;
        Elapsed = Clock::now() - Start;
    } while (Elapsed < RunLength);
    return static_cast<double>(PlainBytes) * static_cast<double>(Calls) / 1e6 / Seconds(Elapsed);
}

// Read in one piece of exact size, so that every child's memory is laid out
// alike when its timed call allocates.
std::string ReadFile(const std::filesystem::path& Path) {
    std::string Data(std::filesystem::file_size(Path), '\0');
    std::ifstream(Path, std::ios::binary)
        .read(Data.data(), static_cast<std::streamsize>(Data.size()));
    return Data;
}

void WriteFile(const std::filesystem::path& Path, const std::string& Data) {
    std::ofstream(Path, std::ios::binary)
        .write(Data.data(), static_cast<std::streamsize>(Data.size()));
}

// The child: "--once <operation> <input file>" prints the nanoseconds of the
// first and only call.
int RunOnce(int Operation, const char* InputFile) {
    const std::string Input = ReadFile(InputFile);
    TQbBlowfish Cipher = KeyedCipher();
    const std::function<void()> Work = WorkOf(static_cast<TOperation>(Operation), Input, Cipher);
    const auto Start = Clock::now();
    Work();
    const auto Elapsed = Clock::now() - Start;
    std::printf("%lld\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::nanoseconds>(Elapsed).count()));
    return Sink == 0 ? 1 : 0;
}

// Megabytes of plain entry per second of one call in a process of its own.
double FreshProcessRun(TOperation Operation, std::size_t PlainBytes,
                       const std::filesystem::path& InputFile) {
    const std::string Self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string Command = "'" + Self + "' --once " +
                                std::to_string(static_cast<int>(Operation)) + " '" +
                                InputFile.string() + "'";
    FILE* Child = popen(Command.c_str(), "r");
    long long Nanoseconds = 0;
    if (Child == nullptr || std::fscanf(Child, "%lld", &Nanoseconds) != 1 || pclose(Child) != 0 ||
        Nanoseconds <= 0) {
        std::fprintf(stderr, "fresh process run failed: %s\n", Command.c_str());
        std::exit(1);
    }
    return static_cast<double>(PlainBytes) * 1e3 / static_cast<double>(Nanoseconds);
}

struct TFigures {
    double InProcess = 0;
    double Fresh = 0;
};

// The operations take their runs in turn, so that a busy spell of a shared
// machine weighs on all of them alike.
std::array<TFigures, Operations.size()> Measure(const TInputs& Inputs,
                                                const std::filesystem::path& Folder) {
    TQbBlowfish Cipher = KeyedCipher();
    const std::size_t PlainBytes = Inputs.Text.size();
    std::array<std::function<void()>, Operations.size()> Works;
    std::array<std::filesystem::path, Operations.size()> InputFiles;
    for (std::size_t i = 0; i < Operations.size(); ++i) {
        Works[i] = WorkOf(Operations[i], Inputs.For(Operations[i]), Cipher);
        InputFiles[i] = Folder / ("input" + std::to_string(i));
        WriteFile(InputFiles[i], Inputs.For(Operations[i]));
    }
    std::array<std::vector<double>, Operations.size()> InProcessRuns, FreshRuns;
    for (int Run = 0; Run < InProcessRunCount; ++Run) {
        for (std::size_t i = 0; i < Operations.size(); ++i) {
            InProcessRuns[i].push_back(InProcessRun(PlainBytes, Works[i]));
        }
    }
    for (int Run = 0; Run < FreshProcessRunCount; ++Run) {
        for (std::size_t i = 0; i < Operations.size(); ++i) {
            FreshRuns[i].push_back(FreshProcessRun(Operations[i], PlainBytes, InputFiles[i]));
        }
    }
    std::array<TFigures, Operations.size()> Figures;
    for (std::size_t i = 0; i < Operations.size(); ++i) {
        Figures[i] = {Median(InProcessRuns[i]), Median(FreshRuns[i])};
    }
    return Figures;
}

void PrintRow(const char* Size, const char* Name, const TFigures& Figures) {
    std::printf("%-6s %-28s %12.1f %14.1f\n", Size, Name, Figures.InProcess, Figures.Fresh);
}

void PrintRatio(const char* Size, const char* Name, const TFigures& Ours,
                const TFigures& Reference) {
    std::printf("%-6s %-28s %11.2fx %13.2fx\n", Size, Name, Ours.InProcess / Reference.InProcess,
                Ours.Fresh / Reference.Fresh);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--once") {
        return RunOnce(std::atoi(argv[2]), argv[3]);
    }
    const std::filesystem::path Folder =
        std::filesystem::temp_directory_path() / ("cipher_bench." + std::to_string(getpid()));
    std::filesystem::create_directories(Folder);

    std::printf(
        "MB/s of plain entry bytes (thread CPU time); median of %d runs in one process "
        "| of %d fresh processes, one call each\n",
        InProcessRunCount, FreshProcessRunCount);
    std::printf("%-6s %-28s %12s %14s\n", "size", "operation", "one process", "fresh process");
    // The goal of a short text: its rate against OpenSSL's, in-process runs.
    std::array<double, 2> ShortRatios{};
    for (std::size_t Size : {std::size_t{64}, std::size_t{4} << 10, std::size_t{1} << 20}) {
        const char* SizeName = Size < (1 << 10) ? "64 B" : Size < (1 << 20) ? "4 KB" : "1 MB";
        const TInputs Inputs = MakeInputs(Size);
        if (KeyedCipher().DecryptString(Inputs.Stored) != Inputs.Text) {
            std::fprintf(stderr, "round trip failed\n");
            return 1;
        }
        const std::array<TFigures, Operations.size()> Figures = Measure(Inputs, Folder);
        for (std::size_t i = 0; i < Operations.size(); ++i) {
            PrintRow(SizeName, NameOf(Operations[i]), Figures[i]);
            if (i % 2 == 1) {
                PrintRatio(SizeName, i == 1 ? "  Encrypt / OpenSSL" : "  Decrypt / OpenSSL",
                           Figures[i - 1], Figures[i]);
                if (Size == 64) {
                    ShortRatios[i / 2] = Figures[i - 1].InProcess / Figures[i].InProcess;
                }
            }
        }
    }
    std::printf("EncryptString 64 B / OpenSSL EVP_EncodeBlock  %.2fx\n", ShortRatios[0]);
    std::printf("DecryptString 64 B / OpenSSL EVP_DecodeBlock  %.2fx\n", ShortRatios[1]);
    std::filesystem::remove_all(Folder);
    return Sink == 0 ? 1 : 0;
}
