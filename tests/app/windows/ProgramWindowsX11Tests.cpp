// Runs under Xvfb: the whole program on an empty diary, its windows as another X client (a window
// manager) sees them.

#include "app/MainExtensionUnit.h"
#include "app/MainUnit.h"
#include "app/ProgramWindows.h"
#include "dialogs/AboutUnit.h"
#include "dialogs/OptionsUnit.h"
#include "dialogs/PasswordUnit.h"
#include "platform/core/Clock.h"
#include "platform/core/Dialogs.h"
#include "platform/ui/Application.h"

#include "EmptyDiary.h"
#include "support/WhenModal.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <functional>
#include <memory>

namespace {

// The window that an X window is transient for (0 for none), as another client reads it.
xcb_window_t transientFor(xcb_window_t window) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    auto* reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0, 1),
        nullptr);
    xcb_window_t owner = 0;
    if (reply && xcb_get_property_value_length(reply) == 4) {
        owner = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
    }
    std::free(reply);
    xcb_disconnect(connection);
    return owner;
}

class ProgramWindowsX11 : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        ASSERT_TRUE(folder.isValid());
        CreateEmptyDiary((folder.path() + QStringLiteral("/Marlowick.mdb")).toStdString());
        qb::setDialogs(&boxes);
        qb::clearQuitRequest();
        windows = std::make_unique<ProgramWindows>(folder.path());
        main = &windows->main();
        main->show();
        clock.advance(1);  // the start-up timer
        ASSERT_TRUE(main->StartupFinished());
        activate(main);
    }

    void TearDown() override {
        windows.reset();
        qb::setDialogs(nullptr);
        qb::clearQuitRequest();
    }

    static void activate(QWidget* window) {
        window->raise();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }

    // Runs the command, looks at the modal window it opens, and closes that window again.
    static void whileOpen(const std::function<void()>& command,
                          const std::function<void(QDialog*)>& look) {
        bool looked = false;
        qbtest::whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
            look(dialog);
            looked = true;
            dialog->reject();
        });
        command();
        EXPECT_TRUE(looked);
    }

    qb::ManualClock clock;
    QTemporaryDir folder;
    qb::ScriptedDialogs boxes;
    std::unique_ptr<ProgramWindows> windows;
    TMainForm* main = nullptr;
};

// A window manager keeps a window above the window it is transient for, also above a main
// window that stays on top.
TEST_F(ProgramWindowsX11, TheDialogsAreOwnedByTheMainWindowAlsoWhenItStaysOnTop) {
    for (const bool onTop : {false, true}) {
        main->MainStayOnTopMenuItem->setChecked(onTop);
        main->MainStayOnTopMenuItemClick();
        activate(main);
        // Pinning makes the window anew; the widget's own id can stay the old one.
        const auto owner = static_cast<xcb_window_t>(main->windowHandle()->winId());
        for (QAction* command :
             {main->OptionsAction, main->AboutAction, main->ChangePasswordAction}) {
            whileOpen([&] { main->ExecuteAction(command); },
                      [&](QDialog* dialog) {
                          EXPECT_EQ(transientFor(
                                        static_cast<xcb_window_t>(dialog->windowHandle()->winId())),
                                    owner)
                              << command->objectName().toStdString() << " on top " << onTop;
                      });
        }
    }
}

}  // namespace
