// Synthesises the program's three short wave sounds into the folder given as argument:
//   BALLOON.wav  a soft rising two-note chime (6400 bytes),
//   START.wav    a short click-like blip (2202 bytes),
//   MINIMIZE.wav a falling sweep (22580 bytes).
// Each is a RIFF WAVE file with PCM data, one channel, 22050 samples per second, 16 bits; the
// sizes are whole files, header included.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr std::size_t kHeader = 44;

void put16(std::vector<char>& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void put32(std::vector<char>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
    }
}

void putTag(std::vector<char>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

// A wave of fileSize bytes whose sample n is signal(t) for t = n / rate, in -1 .. 1.
std::vector<char> makeWave(std::size_t fileSize, const std::function<double(double)>& signal) {
    const std::size_t samples = (fileSize - kHeader) / 2;
    const auto dataBytes = static_cast<std::uint32_t>(samples * 2);
    std::vector<char> out;
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // one channel
    put32(out, kRate);
    put32(out, kRate * 2);  // bytes per second
    put16(out, 2);          // block align
    put16(out, 16);         // bits per sample
    putTag(out, "data");
    put32(out, dataBytes);
    for (std::size_t n = 0; n < samples; ++n) {
        const double t = static_cast<double>(n) / kRate;
        double v = signal(t);
        v = v > 1.0 ? 1.0 : (v < -1.0 ? -1.0 : v);
        put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * 32000))));
    }
    return out;
}

// Fades the first and last milliseconds so that no sound starts or ends with a click.
double edges(double t, double length) {
    constexpr double ramp = 0.004;
    if (t < ramp) {
        return t / ramp;
    }
    if (length - t < ramp) {
        return (length - t) / ramp;
    }
    return 1.0;
}

bool save(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    constexpr double twoPi = 2.0 * std::numbers::pi;

    const double balloonLength = ((6400 - kHeader) / 2) / double(kRate);
    auto balloon = [=](double t) {
        const double note = t < balloonLength / 2 ? 880.0 : 1318.5;
        return 0.45 * std::sin(twoPi * note * t) * std::exp(-6.0 * t) * edges(t, balloonLength);
    };
    const double startLength = ((2202 - kHeader) / 2) / double(kRate);
    auto start = [=](double t) {
        return 0.5 * std::sin(twoPi * 1046.5 * t) * std::exp(-40.0 * t) * edges(t, startLength);
    };
    const double minimizeLength = ((22580 - kHeader) / 2) / double(kRate);
    auto minimize = [=](double t) {
        // A sweep from 900 Hz down to 300 Hz: the phase is the integral of the frequency.
        const double f0 = 900.0;
        const double f1 = 300.0;
        const double phase = twoPi * (f0 * t + (f1 - f0) * t * t / (2.0 * minimizeLength));
        return 0.35 * std::sin(phase) * (1.0 - t / minimizeLength) * edges(t, minimizeLength);
    };

    const bool ok = save(folder + "/BALLOON.wav", makeWave(6400, balloon)) &&
                    save(folder + "/START.wav", makeWave(2202, start)) &&
                    save(folder + "/MINIMIZE.wav", makeWave(22580, minimize));
    if (!ok) {
        std::fprintf(stderr, "cannot write the waves into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
