#include "platform/rtf/CodePage.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>

namespace {

std::string iconvNameOf(int codePage) {
    switch (codePage) {
        case 932:
            return "CP932";
        case 936:
            return "GBK";
        case 949:
            return "UHC";
        case 950:
            return "BIG5";
        default:
            return "CP" + std::to_string(codePage);
    }
}

// A whole string through iconv, flushed at its end: what the code page says the bytes are;
// nullopt where it refuses them.
std::optional<QByteArray> convertWhole(const std::string& to, const std::string& from,
                                       QByteArray input) {
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    QByteArray output(input.size() * 8 + 16, '\0');
    char* in = input.data();
    size_t inLeft = static_cast<size_t>(input.size());
    char* out = output.data();
    size_t outLeft = static_cast<size_t>(output.size());
    const bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1) &&
                    iconv(cd, nullptr, nullptr, &out, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (!ok) {
        return std::nullopt;
    }
    output.truncate(output.size() - static_cast<qsizetype>(outLeft));
    return output;
}

std::optional<QString> decodeWhole(int codePage, const QByteArray& bytes) {
    const auto utf8 = convertWhole("UTF-8", iconvNameOf(codePage), bytes);
    return utf8 ? std::optional<QString>(QString::fromUtf8(*utf8)) : std::nullopt;
}

QByteArray encodeWhole(int codePage, const QString& text) {
    const auto bytes = convertWhole(iconvNameOf(codePage), "UTF-8", text.toUtf8());
    EXPECT_TRUE(bytes.has_value()) << codePage;
    return bytes.value_or(QByteArray());
}

struct CodePageCase {
    int codePage;
    bool singleByte;
    const char16_t* sample;  // a line of the code page's own script
};

class CodePages : public ::testing::TestWithParam<CodePageCase> {};

// Each defined byte decodes as the code page defines it, one byte at a time as the reader
// meets them in \'hh, even where the converter waits for a following combining mark.
TEST_P(CodePages, EachByteDecodesAsTheWholeStringDoes) {
    const CodePageCase& c = GetParam();
    if (!c.singleByte) {
        return;  // a byte of a multi-byte code page means nothing alone
    }
    qb::rtf::CodePageDecoder decoder(c.codePage);
    for (int b = 0x80; b < 0x100; ++b) {
        QByteArray one(1, static_cast<char>(b));
        QString decoded;
        decoder.decode(one, decoded);
        // A blank after the byte ends any wait for a combining mark.
        const auto whole = decodeWhole(c.codePage, one + ' ');
        const QString expected = whole ? whole->left(whole->size() - 1) : QString(QChar(b));
        EXPECT_EQ(decoded, expected) << "code page " << c.codePage << ", byte " << b;
    }
}

TEST_P(CodePages, TextOfTheCodePagesScriptReadsBack) {
    const CodePageCase& c = GetParam();
    const QString sample = QString::fromUtf16(c.sample);
    const QByteArray bytes = encodeWhole(c.codePage, sample);
    qb::rtf::CodePageDecoder decoder(c.codePage);
    QString whole;
    decoder.decode(bytes, whole);
    EXPECT_EQ(whole, sample) << c.codePage;
    if (c.singleByte) {
        QString byteByByte;
        for (char b : bytes) {
            decoder.decode(QByteArray(1, b), byteByByte);
        }
        EXPECT_EQ(byteByByte, sample) << c.codePage;
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryCodePageTheReaderKnows, CodePages,
    ::testing::Values(CodePageCase{1250, true, u"Zażółć gęślą jaźń, příliš žluťoučký"},
                      CodePageCase{1251, true, u"Привет, дневник"},
                      CodePageCase{1252, true, u"Café, naïve, “quotes” €"},
                      CodePageCase{1253, true, u"Καλημέρα ημερολόγιο"},
                      CodePageCase{1254, true, u"Günlük, şimdi, ığdır"},
                      CodePageCase{1255, true, u"שלום יומן"},
                      CodePageCase{1256, true, u"مرحبا يوميات"},
                      CodePageCase{1257, true, u"Labdien, dienoraštis"},
                      CodePageCase{1258, true, u"Nhât kư, Đà Nông"},
                      CodePageCase{874, true, u"สวัสดี"}, CodePageCase{932, false, u"日記を書く"},
                      CodePageCase{936, false, u"日记本"}, CodePageCase{949, false, u"일기장"},
                      CodePageCase{950, false, u"日記簿"}),
    [](const ::testing::TestParamInfo<CodePageCase>& row) {
        return "cp" + std::to_string(row.param.codePage);
    });

}  // namespace
