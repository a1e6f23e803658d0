// The paragraph extractor on arbitrary bytes: never crashes, and always agrees with the lines
// the reader lays out in the editor.

#include <QByteArray>
#include <QStringList>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

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
    return 0;
}
