#pragma once
// What this test process has loaded.

#include <QByteArray>
#include <QFile>

namespace qb::test {

// Whether a library whose file name begins with name is mapped into this process.
inline bool LibraryLoaded(const char* name) {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(QByteArray("/") + name);
}

}  // namespace qb::test
