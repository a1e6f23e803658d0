#pragma once
// Small helpers shared by the RTF tests.

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextDocument>

#include "platform/rtf/Rtf.h"

#include <ostream>

// Readable failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace qb::rtf::test {

inline QByteArray fixture(const char* name) {
    QFile f(QStringLiteral(QB_TEST_DATA_DIR "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return f.readAll();
}

// The lines an editor without word wrap shows for data.
inline QStringList editorLines(const QByteArray& data) {
    QTextDocument doc;
    read(data, doc);
    return doc.toPlainText().split(u'\n');
}

}  // namespace qb::rtf::test
