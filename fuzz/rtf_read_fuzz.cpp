// Reads arbitrary bytes as RTF and writes the result back: neither may crash, hang or leak,
// the written RTF must read back to the same text, and writing it out again straight from the
// bytes must give the very same RTF.

#include <QByteArray>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>
#include <optional>

#include "FuzzSupport.h"
#include "platform/rtf/Rtf.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    startFuzzApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTextDocument doc;
    qb::rtf::read(input, doc);
    const QByteArray written = qb::rtf::write(doc);
    if (const std::optional<QByteArray> rewritten = qb::rtf::rewrite(input, doc.defaultFont());
        rewritten && *rewritten != written) {
        abort();
    }
    for (char c : written) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            abort();  // the writer emits 7-bit ASCII only
        }
    }
    QTextDocument again;
    qb::rtf::read(written, again);
    if (again.toPlainText() != doc.toPlainText() || qb::rtf::write(again) != written) {
        abort();
    }
    return 0;
}
