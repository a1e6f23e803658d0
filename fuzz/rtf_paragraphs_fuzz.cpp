// The paragraph extractor on arbitrary bytes: never crashes, always agrees with the lines the
// reader lays out in the editor, gives no character from "!" to "~" missing from the bytes
// of RTF whose text is its own bytes, and has the text that is followed without the parse
// wherever that is given.

#include <QByteArray>
#include <QStringList>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "platform/rtf/Rtf.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    startFuzzApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList lines = qb::rtf::paragraphs(input);
    QTextDocument doc;
    qb::rtf::read(input, doc);
    if (lines != doc.toPlainText().split(u'\n')) {
        abort();
    }
    if (qb::rtf::asciiTextIsInBytes(input)) {
        for (const QString& line : lines) {
            for (const QChar c : line) {
                if (c.unicode() > 0x20 && c.unicode() < 0x7F &&
                    !input.contains(char(c.unicode()))) {
                    abort();
                }
            }
        }
    }
    std::string ascii;
    if (qb::rtf::asciiTextWithoutParse(input, ascii)) {
        std::string expected;
        for (const QString& line : lines) {
            for (const QChar c : line) {
                if (c != QChar::ObjectReplacementCharacter) {
                    expected += c.unicode() < 0x80 ? char(c.unicode()) : '\x80';
                }
            }
        }
        if (ascii != expected) {
            abort();
        }
    }
    return 0;
}
