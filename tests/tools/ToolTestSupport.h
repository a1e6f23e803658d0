#pragma once
// For the tests of the export and picture-import dialogs: a diary in a temporary program folder
// (the empty database opened by the database module, the program-wide state pointed at it), files
// with chosen bytes and dates, and a dialogs service that can act while a box is up.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>

#include "EmptyDiary.h"
#include "cipher/QbClass.h"
#include "pages/CalendarProgram.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"
#include "support/ScriptedDialogs.h"

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

// A scripted service whose hook runs while a message box is up (the import and the export let
// messages through, so a user can click meanwhile).
class HookedDialogs : public qb::ScriptedDialogs {
  public:
    std::function<void(const QString& title)> whileBoxIsUp;

    qb::MessageResult messageBox(const QString& text, const QString& title,
                                 qb::MessageButtons buttons, qb::MessageIcon icon) override {
        const qb::MessageResult answer = ScriptedDialogs::messageBox(text, title, buttons, icon);
        if (whileBoxIsUp) {
            whileBoxIsUp(title);
        }
        return answer;
    }

    QStringList titles() const {
        QStringList list;
        for (const Shown& box : shown) {
            list << box.title;
        }
        return list;
    }
};

class ToolDiary : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        appFolder = dir.path() + QStringLiteral("/program/");
        ASSERT_TRUE(QDir().mkpath(appFolder));
        CreateEmptyDiary((appFolder + QString::fromLatin1(DatabaseFileName)).toStdString());
        module = std::make_unique<TDataModule1>(appFolder, cipher);
        module->OpenDatabase();
        ASSERT_EQ(module->QuitMarkValue(), 0);
        DataModule1 = module.get();
        AppFolder = appFolder;
        EntryCipher = &cipher;
        DatabaseReadOnly = false;
    }

    void TearDown() override {
        DataModule1 = nullptr;
        EntryCipher = nullptr;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor stayed";
    }

    void addEntry(const QString& key, const std::string& stored) {
        qb::db::Table& entries = module->EntryTable;
        entries.Insert();
        entries.FieldByName("sYYYYMMDD").SetAsQString(key);
        entries.FieldByName("Entry").SetAsString(stored);
        entries.Post();
    }

    void addDocument(const QString& name, const std::string& stored) {
        qb::db::Table& documents = module->OtherDocTable;
        documents.Insert();
        documents.FieldByName("Name").SetAsQString(name);
        documents.FieldByName("Entry").SetAsString(stored);
        documents.Post();
    }

    bool hasEntry(const QString& key) { return qb::LocateDayEntry(module->EntryTable, key); }
    QString monthDays(const QString& monthKey) {
        return GetMonthDays(module->MonthLookupTable, monthKey);
    }

    QTemporaryDir dir;
    QString appFolder;
    TQbBlowfish cipher;
    std::unique_ptr<TDataModule1> module;
};

}  // namespace qbtest
