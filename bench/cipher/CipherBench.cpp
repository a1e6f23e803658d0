// Throughput of the diary's two cipher operations on a small and a large
// entry, with a plain Base64 encode of the same bytes as the reference.

#include <chrono>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>

#include "cipher/QbClass.h"
#include "cipher/QbString.h"

namespace {

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

// Megabytes of Bytes per second, repeating Work for at least half a second.
double MegabytesPerSecond(std::size_t Bytes, const std::function<void()>& Work) {
    using Clock = std::chrono::steady_clock;
    const auto Start = Clock::now();
    std::size_t Runs = 0;
    std::chrono::duration<double> Elapsed{};
    do {
        Work();
        ++Runs;
        Elapsed = Clock::now() - Start;
    } while (Elapsed.count() < 0.5);
    return static_cast<double>(Bytes) * static_cast<double>(Runs) / 1e6 / Elapsed.count();
}

std::size_t Sink = 0;  // keeps the results alive

}  // namespace

int main() {
    TQbBlowfish Cipher;
    Cipher.GenerateKey("benchmark key text 12345678");
    std::printf("%-8s %14s %14s %14s\n", "size", "Encrypt MB/s", "Decrypt MB/s", "Base64 MB/s");
    for (std::size_t Size : {std::size_t{4} << 10, std::size_t{1} << 20}) {
        const std::string Text = EntryText(Size);
        const std::string Stored = Cipher.EncryptString(Text);
        if (Cipher.DecryptString(Stored) != Text) {
            std::fprintf(stderr, "round trip failed\n");
            return 1;
        }
        const double Encrypt =
            MegabytesPerSecond(Size, [&] { Sink += Cipher.EncryptString(Text).size(); });
        const double Decrypt =
            MegabytesPerSecond(Size, [&] { Sink += Cipher.DecryptString(Stored).size(); });
        const double Base64 = MegabytesPerSecond(Size, [&] {
            std::istringstream In(Text);
            std::ostringstream Out;
            Base64EncodeStream(In, Out);
            Sink += Out.str().size();
        });
        std::printf("%-8s %14.1f %14.1f %14.1f\n", Size < (1 << 20) ? "4 KB" : "1 MB", Encrypt,
                    Decrypt, Base64);
    }
    return Sink == 0 ? 1 : 0;
}
