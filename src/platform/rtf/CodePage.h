#pragma once
// Windows code pages as RTF uses them, decoded through iconv.

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>

namespace qb::rtf {

// The code page that a font's \fcharset stands for; 0 when the charset defers to the
// document's \ansicpg.
int codePageOfCharset(int charset);

// Decodes bytes of one code page. Single-byte code pages go through a table built once from
// iconv; multi-byte ones (East Asian, UTF-8) through iconv itself. Bytes a code page does
// not define become the character of the same number (as Windows does for cp1252's holes).
class CodePageDecoder {
  public:
    explicit CodePageDecoder(int codePage);
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    int codePage() const { return codePage_; }
    // True when the printable ASCII bytes stand for themselves, one byte per character.
    bool keepsAscii() const { return keepsAscii_; }
    void decode(const QByteArray& bytes, QString& out);

  private:
    struct Iconv;
    int codePage_;
    const std::array<char16_t, 256>* table_ = nullptr;
    std::unique_ptr<Iconv> iconv_;
    bool keepsAscii_ = false;
};

// The cp1252 byte of a character, or 0 when cp1252 has none above 0x7F (ASCII is not asked).
unsigned char cp1252ByteOf(char16_t c);

}  // namespace qb::rtf
