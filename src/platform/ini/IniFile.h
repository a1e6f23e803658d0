#pragma once
// The settings file, read and written one key at a time with the semantics of the Windows
// profile functions that the program's settings rely on:
//  - nothing is cached: every read reads the file, every write is on disk when it returns and
//    replaces the file atomically (temporary file in the same folder, then rename);
//  - section and key names are compared without case and without surrounding blanks, values
//    are read without surrounding blanks, the first matching section and key win;
//  - a line whose first non-blank character is ";" is a comment; CRLF and LF both end a line;
//    a UTF-8 byte-order mark at the start is skipped;
//  - a line is read as UTF-8 when it is valid UTF-8, else as Windows-1252; written lines are
//    UTF-8, except in a file whose lines are in Windows-1252 and none needs UTF-8: there a line
//    is written in Windows-1252 when every character has a byte there, so the file keeps one
//    encoding; either way a value written reads back as it was given;
//  - a write replaces the value in place, else adds the key at the end of its section, else
//    adds the section at the end of the file; every other line stays byte for byte.

#include <QString>

#include <cstdint>
#include <optional>
#include <stdexcept>

namespace qb {

// Raised when the file system refuses a write; what() is "Unable to write to <path>".
class IniWriteError : public std::runtime_error {
  public:
    explicit IniWriteError(const QString& path);
};

// An integer text as the settings file holds it: an optional sign, then decimal digits, or
// hexadecimal digits after "$", "0x" or "0X". Hexadecimal texts of up to eight digits give
// their 32-bit pattern ("$FFFFFFFF" is -1); anything else, or a decimal text outside the 32-bit
// range, gives nullopt.
std::optional<std::int32_t> parseProfileInteger(const QString& text);

class IniFile {
  public:
    explicit IniFile(QString path);

    const QString& path() const { return path_; }

    // A missing file, section or key gives the default.
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    // A missing key, an empty value or a text that is no integer gives the default.
    std::int32_t readInteger(const QString& section, const QString& key,
                             std::int32_t defaultValue) const;
    // Any non-zero integer is true.
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    // Throws IniWriteError when the file cannot be read back or written; the file is then
    // left as it was.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, std::int32_t value);
    void writeBool(const QString& section, const QString& key, bool value);

    // Deletes the file; a missing file is no error. False when the file stays.
    static bool remove(const QString& path);

  private:
    QString path_;
};

}  // namespace qb
