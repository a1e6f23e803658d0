#pragma once
// For the tools' tests, with or without a window: files with chosen bytes and dates, what a
// folder holds, and readable texts in failure messages.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>

// Readable values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"' << bytes.toStdString() << '"';
}

namespace qbtest {

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& bytes,
                      const QDateTime& modified = QDateTime()) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
    file.flush();  // a write still buffered would stamp the file again when it closes
    if (modified.isValid()) {
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }
}

// Every file below folder, as paths relative to it, sorted.
inline QStringList filesBelow(const QString& folder) {
    QStringList files;
    QDir root(folder);
    std::function<void(const QString&)> walk = [&](const QString& path) {
        QDir dir(path);
        for (const QFileInfo& info :
             dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
            if (info.isDir()) {
                walk(info.filePath());
            } else {
                files << root.relativeFilePath(info.filePath());
            }
        }
    };
    walk(folder);
    files.sort();
    return files;
}

}  // namespace qbtest
