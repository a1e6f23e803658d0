#pragma once
// For the tests of the export and picture-import dialogs: a diary in a temporary program folder
// (the empty database opened by the database module, the program-wide state pointed at it), files
// with chosen bytes and dates (tools/ToolTestFiles.h), and a dialogs service that can act while a
// box is up.

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
#include "ToolTestFiles.h"
#include "cipher/QbClass.h"
#include "pages/CalendarProgram.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"
#include "support/ScriptedDialogs.h"

namespace qbtest {

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
