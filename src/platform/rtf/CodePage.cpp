#include "platform/rtf/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace qb::rtf {

namespace {

bool isMultiByte(int codePage) {
    switch (codePage) {
        case 932:
        case 936:
        case 949:
        case 950:
        case 1361:
        case 65001:
            return true;
        default:
            return false;
    }
}

std::string iconvName(int codePage) {
    switch (codePage) {
        case 932:
            return "CP932";
        case 936:
            return "GBK";
        case 949:
            return "UHC";
        case 950:
            return "BIG5";
        case 1361:
            return "JOHAB";
        case 10000:
            return "MACINTOSH";
        case 65001:
            return "UTF-8";
        default:
            return "CP" + std::to_string(codePage);
    }
}

// One character of a single-byte code page through iconv; 0 when it is not defined there.
// The Hebrew and Vietnamese converters hold a base letter back in case a combining mark
// follows, so the character comes out only when the converter is flushed.
char16_t decodeOne(iconv_t cd, unsigned char byte) {
    char in[1] = {static_cast<char>(byte)};
    char16_t out[4] = {};
    char* inPtr = in;
    size_t inLeft = 1;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
        iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
        outLeft != sizeof out - sizeof(char16_t)) {
        return 0;
    }
    return out[0];
}

using Table = std::array<char16_t, 256>;

// Tables of the single-byte code pages met so far: pure functions of the code page, built
// once and never changed, so sharing them between documents and threads is safe.
const Table* singleByteTable(int codePage) {
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<Table>> tables;
    std::lock_guard lock(mutex);
    auto found = tables.find(codePage);
    if (found != tables.end()) {
        return found->second.get();
    }
    iconv_t cd = iconv_open("UTF-16LE", iconvName(codePage).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return nullptr;
    }
    auto table = std::make_unique<Table>();
    for (int b = 0; b < 256; ++b) {
        const char16_t c = b < 0x80 ? char16_t(b) : decodeOne(cd, static_cast<unsigned char>(b));
        (*table)[b] = c != 0 ? c : char16_t(b);
    }
    iconv_close(cd);
    return tables.emplace(codePage, std::move(table)).first->second.get();
}

}  // namespace

int codePageOfCharset(int charset) {
    switch (charset) {
        case 0:
        case 2:  // Symbol: shown through cp1252, the nearest readable choice
            return 1252;
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 130:
            return 1361;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        case 255:
            return 850;
        default:
            return 0;
    }
}

struct CodePageDecoder::Iconv {
    explicit Iconv(iconv_t d) : cd(d) {}
    ~Iconv() { iconv_close(cd); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    iconv_t cd;
};

CodePageDecoder::CodePageDecoder(int codePage) : codePage_(codePage) {
    if (isMultiByte(codePage)) {
        iconv_t cd = iconv_open("UTF-16LE", iconvName(codePage).c_str());
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_ = std::make_unique<Iconv>(cd);
            return;
        }
    } else {
        table_ = singleByteTable(codePage);
    }
    if (table_ == nullptr) {
        table_ = singleByteTable(1252);
    }
    keepsAscii_ = table_ != nullptr;
    for (char16_t b = 0x20; keepsAscii_ && b < 0x7F; ++b) {
        keepsAscii_ = (*table_)[b] == b;
    }
}

CodePageDecoder::~CodePageDecoder() = default;

void CodePageDecoder::decode(const QByteArray& bytes, QString& out) {
    if (table_ != nullptr) {
        const qsizetype at = out.size();
        out.resize(at + bytes.size());
        QChar* dst = out.data() + at;
        for (char b : bytes) {
            *dst++ = QChar((*table_)[static_cast<unsigned char>(b)]);
        }
        return;
    }
    if (!iconv_) {
        return;
    }
    std::vector<char16_t> buffer(static_cast<size_t>(bytes.size()) + 4);
    QByteArray input = bytes;
    char* inPtr = input.data();
    size_t inLeft = static_cast<size_t>(input.size());
    iconv(iconv_->cd, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buffer.data());
        size_t outLeft = buffer.size() * sizeof(char16_t);
        const size_t r = iconv(iconv_->cd, &inPtr, &inLeft, &outPtr, &outLeft);
        const auto produced =
            static_cast<qsizetype>((buffer.size() * sizeof(char16_t) - outLeft) / sizeof(char16_t));
        out.append(reinterpret_cast<const QChar*>(buffer.data()), produced);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) {
                continue;
            }
            // An invalid or cut-off sequence: one replacement character, then go on.
            out.append(QChar::ReplacementCharacter);
            ++inPtr;
            --inLeft;
            iconv(iconv_->cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
}

unsigned char cp1252ByteOf(char16_t c) {
    if (c >= 0xA0 && c <= 0xFF) {
        return static_cast<unsigned char>(c);
    }
    // cp1252 differs from Latin-1 only in 0x80..0x9F.
    static const std::vector<std::pair<char16_t, unsigned char>> reverse = [] {
        std::vector<std::pair<char16_t, unsigned char>> r;
        const Table* table = singleByteTable(1252);
        for (int b = 0x80; b < 0xA0; ++b) {
            const char16_t u = table != nullptr ? (*table)[b] : char16_t(b);
            if (u != char16_t(b)) {
                r.emplace_back(u, static_cast<unsigned char>(b));
            }
        }
        std::sort(r.begin(), r.end());
        return r;
    }();
    auto it = std::lower_bound(reverse.begin(), reverse.end(), std::pair{c, (unsigned char)0});
    return it != reverse.end() && it->first == c ? it->second : 0;
}

}  // namespace qb::rtf
