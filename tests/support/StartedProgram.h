#pragma once
// The whole program on an empty diary in a program folder of its own, its windows made and
// started as the program's start makes them: the first show runs the second stage of start-up
// and the manual clock's first millisecond the start-up timer. Boxes are scripted.

#include "app/MainUnit.h"
#include "app/ProgramWindows.h"
#include "platform/ui/Application.h"
#include "support/ManualClock.h"
#include "support/ScriptedDialogs.h"

#include "EmptyDiary.h"

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace qbtest {

class StartedProgram {
  protected:
    // Call from the fixture's SetUp, inside ASSERT_NO_FATAL_FAILURE.
    void startProgram() {
        ASSERT_TRUE(folder.isValid());
        CreateEmptyDiary((folder.path() + QStringLiteral("/Marlowick.mdb")).toStdString());
        qb::setDialogs(&boxes);
        qb::clearQuitRequest();
        windows = std::make_unique<ProgramWindows>(folder.path());
        main = &windows->main();
        main->show();
        clock.advance(1);
        ASSERT_TRUE(main->StartupFinished());
    }

    // Call from the fixture's TearDown: the windows go before the boxes they may still show.
    void stopProgram() {
        windows.reset();
        qb::setDialogs(nullptr);
        qb::clearQuitRequest();
    }

    qb::ManualClock clock;  // 5 March 2005
    QTemporaryDir folder;
    qb::ScriptedDialogs boxes;
    std::unique_ptr<ProgramWindows> windows;
    TMainForm* main = nullptr;
};

}  // namespace qbtest
