#pragma once
// The main window on an empty diary in a program folder of its own, its boxes scripted. The
// fixture opens the window and the diary and then makes and wires what it needs
// (ConnectProgramWindows) before its tests run.

#include "EmptyDiary.h"
#include "app/MainUnit.h"
#include "program/ProgramState.h"
#include "store/DatabaseUnit.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>

namespace qb::test {

class MainWindowOnDiary : public ::testing::Test {
  protected:
    // Call first in SetUp, inside ASSERT_NO_FATAL_FAILURE.
    void openMainWindow() {
        ASSERT_TRUE(folder.isValid());
        main = std::make_unique<TMainForm>();
        FirstShow = false;
        AppFolder = folder.path() + QLatin1Char('/');
        CreateEmptyDiary((AppFolder + QStringLiteral("Marlowick.mdb")).toStdString());
        store = std::make_unique<TDataModule1>(AppFolder, *EntryCipher);
        DataModule1 = store.get();
        store->OpenDatabase();
    }

    // Call last in TearDown, once the fixture's other windows are gone: the pages close, then
    // the window, then the diary.
    void closeMainWindow() {
        main->CloseAllPages(true);
        main.reset();
        DataModule1 = nullptr;
        store.reset();
    }

    QTemporaryDir folder;
    ScriptedDialogs boxes;
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TDataModule1> store;
};

}  // namespace qb::test
