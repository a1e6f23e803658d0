#include "platform/ini/IniFile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include "platform/rtf/CodePage.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace qb {
namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

// One line of the file: [begin, contentEnd) is its text, [contentEnd, end) its line break.
struct Line {
    qsizetype begin = 0;
    qsizetype contentEnd = 0;
    qsizetype end = 0;
};

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    Line span;
    LineKind kind = LineKind::Other;
    QString name;   // section or key name, trimmed
    QString value;  // key value, trimmed
};

std::vector<Line> splitLines(const QByteArray& bytes, qsizetype start) {
    std::vector<Line> lines;
    qsizetype pos = start;
    while (pos < bytes.size()) {
        qsizetype newline = bytes.indexOf('\n', pos);
        Line line;
        line.begin = pos;
        if (newline < 0) {
            line.contentEnd = line.end = bytes.size();
        } else {
            line.end = newline + 1;
            line.contentEnd =
                (newline > pos && bytes.at(newline - 1) == '\r') ? newline - 1 : newline;
        }
        lines.push_back(line);
        pos = line.end;
    }
    return lines;
}

// A line that is valid UTF-8 is read as UTF-8, any other as Windows-1252, the code page of the
// settings files that come from Windows. Deciding line by line keeps a file readable that holds
// both: such a file after this program has written keys into it, which it writes in UTF-8.
QString decodeLine(QByteArrayView bytes, bool* windows1252 = nullptr) {
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    if (windows1252 != nullptr) {
        *windows1252 = utf8.hasError();
    }
    if (!utf8.hasError()) {
        return text;
    }
    text.clear();
    rtf::CodePageDecoder(1252).decode(bytes.toByteArray(), text);
    return text;
}

bool isAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char b) { return static_cast<unsigned char>(b) < 0x80; });
}

// How lines this program writes into the file are spelt: in UTF-8, unless the file's own lines
// are in Windows-1252 and none of them needs UTF-8, so that the file keeps one encoding.
enum class Encoding { Utf8, Windows1252 };

// The line in the file's encoding; a line with a character Windows-1252 lacks is UTF-8.
QByteArray encodeLine(const QString& line, Encoding encoding) {
    if (encoding == Encoding::Windows1252) {
        QByteArray bytes;
        bytes.reserve(line.size());
        for (QChar c : line) {
            const char16_t u = c.unicode();
            const unsigned char b = u < 0x80 ? static_cast<unsigned char>(u) : rtf::cp1252ByteOf(u);
            if (b == 0 && u != 0) {
                return line.toUtf8();
            }
            bytes += static_cast<char>(b);
        }
        // Bytes that would read back as UTF-8 ("\xc3\xa9" for "Ã©") are written as UTF-8.
        bool readsAsWindows1252 = false;
        decodeLine(bytes, &readsAsWindows1252);
        if (readsAsWindows1252 || isAscii(bytes)) {
            return bytes;
        }
    }
    return line.toUtf8();
}

ParsedLine parseLine(const QByteArray& bytes, const Line& span) {
    ParsedLine parsed;
    parsed.span = span;
    const QString text =
        decodeLine(QByteArrayView(bytes).sliced(span.begin, span.contentEnd - span.begin))
            .trimmed();
    if (text.isEmpty() || text.startsWith(u';')) {
        return parsed;
    }
    if (text.startsWith(u'[')) {
        qsizetype close = text.indexOf(u']');
        parsed.kind = LineKind::Section;
        parsed.name = text.mid(1, close < 0 ? -1 : close - 1).trimmed();
        return parsed;
    }
    qsizetype equals = text.indexOf(u'=');
    if (equals <= 0) {
        return parsed;
    }
    parsed.name = text.left(equals).trimmed();
    if (parsed.name.isEmpty()) {
        return parsed;
    }
    parsed.kind = LineKind::Key;
    parsed.value = text.mid(equals + 1).trimmed();
    return parsed;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The whole file, parsed. A missing file is an empty one.
struct Contents {
    QByteArray bytes;
    qsizetype bodyStart = 0;  // after the byte-order mark
    std::vector<ParsedLine> lines;
    Encoding encoding = Encoding::Utf8;

    static Contents parse(QByteArray data) {
        Contents contents;
        contents.bytes = std::move(data);
        const bool marked = contents.bytes.startsWith(kByteOrderMark);
        if (marked) {
            contents.bodyStart = kByteOrderMark.size();
        }
        bool anyWindows1252 = false;
        bool anyUtf8 = false;
        for (const Line& span : splitLines(contents.bytes, contents.bodyStart)) {
            contents.lines.push_back(parseLine(contents.bytes, span));
            const QByteArrayView line =
                QByteArrayView(contents.bytes).sliced(span.begin, span.contentEnd - span.begin);
            if (!isAscii(line)) {
                bool windows1252 = false;
                decodeLine(line, &windows1252);
                (windows1252 ? anyWindows1252 : anyUtf8) = true;
            }
        }
        if (anyWindows1252 && !anyUtf8 && !marked) {
            contents.encoding = Encoding::Windows1252;
        }
        return contents;
    }

    // Index of the first section line with that name, or -1.
    qsizetype findSection(const QString& section) const {
        const QString wanted = section.trimmed();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].kind == LineKind::Section && sameName(lines[i].name, wanted)) {
                return static_cast<qsizetype>(i);
            }
        }
        return -1;
    }

    // The lines of a section run from its header to the next section line.
    qsizetype sectionEnd(qsizetype header) const {
        std::size_t i = static_cast<std::size_t>(header) + 1;
        while (i < lines.size() && lines[i].kind != LineKind::Section) {
            ++i;
        }
        return static_cast<qsizetype>(i);
    }

    qsizetype findKey(qsizetype header, const QString& key) const {
        const QString wanted = key.trimmed();
        for (qsizetype i = header + 1; i < sectionEnd(header); ++i) {
            const ParsedLine& line = lines[static_cast<std::size_t>(i)];
            if (line.kind == LineKind::Key && sameName(line.name, wanted)) {
                return i;
            }
        }
        return -1;
    }

    // The line break the file already uses, so that added lines match the rest.
    QByteArray lineBreak() const {
        qsizetype newline = bytes.indexOf('\n');
        if (newline > 0 && bytes.at(newline - 1) == '\r') {
            return QByteArrayLiteral("\r\n");
        }
        return QByteArrayLiteral("\n");
    }
};

std::optional<Contents> readContents(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return Contents::parse(QByteArray());
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return Contents::parse(file.readAll());
}

// Names and values are single-line texts: a line break inside one would make a line of its own.
QString singleLine(const QString& text) {
    QString flat = text;
    flat.replace(u'\r', u' ').replace(u'\n', u' ');
    return flat;
}

// Inserts a new line before byte position `at`, which starts a line or is the end of the file.
void insertLine(QByteArray& bytes, qsizetype at, const QByteArray& text,
                const QByteArray& lineBreak) {
    QByteArray insertion;
    if (at > 0 && bytes.at(at - 1) != '\n') {
        insertion += lineBreak;  // the last line of the file had no break of its own
    }
    insertion += text + lineBreak;
    bytes.insert(at, insertion);
}

QByteArray withValue(const Contents& contents, const QString& section, const QString& key,
                     const QString& value) {
    QByteArray bytes = contents.bytes;
    const QByteArray keyLine =
        encodeLine(singleLine(key.trimmed()) + u'=' + singleLine(value), contents.encoding);
    const QByteArray lineBreak = contents.lineBreak();
    const qsizetype header = contents.findSection(section);
    if (header < 0) {
        insertLine(bytes, bytes.size(),
                   encodeLine(u'[' + singleLine(section.trimmed()) + u']', contents.encoding),
                   lineBreak);
        insertLine(bytes, bytes.size(), keyLine, lineBreak);
        return bytes;
    }
    const qsizetype existing = contents.findKey(header, key);
    if (existing >= 0) {
        const Line& span = contents.lines[static_cast<std::size_t>(existing)].span;
        bytes.replace(span.begin, span.contentEnd - span.begin, keyLine);
        return bytes;
    }
    // After the section's last key, so that comments and blank lines that lead into the next
    // section stay in front of it.
    qsizetype last = header;
    for (qsizetype i = header + 1; i < contents.sectionEnd(header); ++i) {
        if (contents.lines[static_cast<std::size_t>(i)].kind == LineKind::Key) {
            last = i;
        }
    }
    insertLine(bytes, contents.lines[static_cast<std::size_t>(last)].span.end, keyLine, lineBreak);
    return bytes;
}

int hexDigit(QChar c) {
    if (c >= u'0' && c <= u'9') {
        return c.unicode() - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c.unicode() - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c.unicode() - u'A' + 10;
    }
    return -1;
}

}  // namespace

IniWriteError::IniWriteError(const QString& path)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString()) {}

std::optional<std::int32_t> parseProfileInteger(const QString& text) {
    QStringView rest(text);
    bool negative = false;
    if (!rest.isEmpty() && (rest.front() == u'-' || rest.front() == u'+')) {
        negative = rest.front() == u'-';
        rest = rest.mid(1);
    }
    int base = 10;
    if (rest.startsWith(u'$')) {
        base = 16;
        rest = rest.mid(1);
    } else if (rest.startsWith(u"0x") || rest.startsWith(u"0X")) {
        base = 16;
        rest = rest.mid(2);
    }
    if (rest.isEmpty()) {
        return std::nullopt;
    }
    const std::int64_t limit = base == 16 ? 0xFFFFFFFFLL : (negative ? 0x80000000LL : 0x7FFFFFFFLL);
    std::int64_t magnitude = 0;
    for (QChar c : rest) {
        const int digit = hexDigit(c);
        if (digit < 0 || digit >= base) {
            return std::nullopt;
        }
        magnitude = magnitude * base + digit;
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    // A hexadecimal text is a 32-bit pattern; the sign applies to that pattern.
    std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    if (negative) {
        bits = 0u - bits;
    }
    return static_cast<std::int32_t>(bits);
}

IniFile::IniFile(QString path) : path_(std::move(path)) {}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    const std::optional<Contents> contents = readContents(path_);
    if (!contents) {
        return defaultValue;
    }
    const qsizetype header = contents->findSection(section);
    if (header < 0) {
        return defaultValue;
    }
    const qsizetype line = contents->findKey(header, key);
    if (line < 0) {
        return defaultValue;
    }
    return contents->lines[static_cast<std::size_t>(line)].value;
}

std::int32_t IniFile::readInteger(const QString& section, const QString& key,
                                  std::int32_t defaultValue) const {
    return parseProfileInteger(readString(section, key, QString())).value_or(defaultValue);
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const {
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    // A file that exists but cannot be read is never replaced: that would lose its keys.
    const std::optional<Contents> contents = readContents(path_);
    if (!contents) {
        throw IniWriteError(path_);
    }
    const QByteArray bytes = withValue(*contents, section, key, value);
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw IniWriteError(path_);
    }
}

void IniFile::writeInteger(const QString& section, const QString& key, std::int32_t value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::remove(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return true;
    }
    return file.remove();
}

}  // namespace qb
