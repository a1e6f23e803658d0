#pragma once
// For the search's tests: a diary whose day entries and documents are written from paragraphs,
// and empty files in its picture folder tree.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <string>

#include "editors/EditorTestSupport.h"
#include "program/StaticUnit.h"

namespace qbtest {

// The RTF of plain paragraphs.
inline QByteArray rtfOf(const QStringList& paragraphs) {
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 " + paragraphs.join("\\par ").toUtf8() + "}";
}

class SearchTestDiary : public TestDiary {
  public:
    void addDay(const QString& key, const QStringList& paragraphs, bool encipher = true) {
        const std::string rtf = rtfOf(paragraphs).toStdString();
        addRow(module->EntryTable, "sYYYYMMDD", key, encipher ? EncodeEntryText(rtf) : rtf);
    }
    void addDocument(const QString& name, const QStringList& paragraphs) {
        addRow(module->OtherDocTable, "Name", name,
               EncodeEntryText(rtfOf(paragraphs).toStdString()));
    }
    // An empty file at relative, below the program folder.
    void picture(const QString& relative) {
        const QString path = folder + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    }
};

}  // namespace qbtest
