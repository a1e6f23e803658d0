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
#include "tools/DesktopCalendarUnit.h"
#include "tools/PictureUnit.h"

#include "EmptyDiary.h"
#include "support/StartedProgram.h"
#include "support/WaitFor.h"
#include "support/WhenModal.h"
#include "support/XKeyboard.h"
#include "support/XTransientFor.h"
#include "support/XWindowState.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <xcb/xcb.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

using qbtest::transientFor;

// Keys typed as the user types them, to the window that has the X input focus; the program
// then reads and handles them.
class Keyboard : public qbtest::XKeyboard {
  public:
    void type(const std::vector<xcb_keysym_t>& chord) {
        XKeyboard::type(chord);
        QTest::qWait(100);
    }
};

constexpr xcb_keysym_t kF7 = 0xffc4;
constexpr xcb_keysym_t kF8 = 0xffc5;
constexpr xcb_keysym_t kControl = 0xffe3;
constexpr xcb_keysym_t kT = 0x0074;

// Qt's complaints about one key bound twice.
std::vector<QString> ambiguities;
void noteAmbiguity(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (message.contains(QStringLiteral("Ambiguous shortcut"))) {
        ambiguities.push_back(message);
    }
}

class ProgramWindowsX11 : public ::testing::Test, protected qbtest::StartedProgram {
  protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        ASSERT_NO_FATAL_FAILURE(startProgram());
        activate(main);
    }

    void TearDown() override { stopProgram(); }

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

TEST_F(ProgramWindowsX11, EachWindowsOwnKeysComeFirstAndTheMainWindowsKeysServeTheOthers) {
    const QString day = AppFolder + QStringLiteral("Pictures/2005/03/01/");
    ASSERT_TRUE(QDir().mkpath(day));
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        ASSERT_TRUE(picture.save(day + QString::fromLatin1(name)));
    }
    PictureForm->RefreshPictureList();
    ambiguities.clear();
    const QtMessageHandler previous = qInstallMessageHandler(noteAmbiguity);
    Keyboard keys;
    const QDate march = CalendarDate;

    // The main window's own keys.
    keys.type({kF8});
    EXPECT_EQ(CalendarDate, march.addMonths(1));
    keys.type({kF7});
    EXPECT_EQ(CalendarDate, march);

    // The viewer's F8 and F7 step through its list and leave the months alone.
    PictureForm->show();
    activate(PictureForm);
    PictureForm->PictureListView->setFocus();
    keys.type({kF8});
    EXPECT_EQ(PictureForm->selectedRow(), 0);
    keys.type({kF8});
    EXPECT_EQ(PictureForm->selectedRow(), 1);
    keys.type({kF7});
    EXPECT_EQ(PictureForm->selectedRow(), 0);
    EXPECT_EQ(CalendarDate, march);

    // A key the viewer has no use for reaches the main window's action.
    ASSERT_EQ(main->PageCount(), 0);
    activate(PictureForm);
    keys.type({kControl, kT});
    EXPECT_EQ(main->PageCount(), 1);  // today's page

    // The desktop calendar has no keys of its own: F8 turns the month there too, also while
    // the main window is hidden.
    main->hide();
    DesktopCalendarForm->ShowRestored();
    activate(DesktopCalendarForm);
    keys.type({kF8});
    EXPECT_EQ(CalendarDate, march.addMonths(1));

    // A modal window holds the program: the main window takes no command from it.
    whileOpen([&] { main->ExecuteAction(main->AboutAction); },
              [&](QDialog*) {
                  keys.type({kF7});
                  EXPECT_EQ(CalendarDate, march.addMonths(1));
              });

    qInstallMessageHandler(previous);
    EXPECT_TRUE(ambiguities.empty()) << ambiguities.front().toStdString();
}

// With the desktop calendar hidden, the hide/show hot key minimises the program as the window
// manager sees it (WM_STATE iconic), and the next press gives it back (normal).
TEST_F(ProgramWindowsX11, TheHideShowHotKeyMinimisesTheProgramAndTheNextPressRestoresIt) {
    qbtest::WindowManager manager;
    ASSERT_TRUE(manager.managing()) << "openbox could not be started";
    if (DesktopCalendarForm) {
        DesktopCalendarForm->hide();
    }
    main->hide();
    main->showNormal();  // mapped again, now under the window manager
    const auto window = static_cast<xcb_window_t>(main->winId());
    ASSERT_TRUE(QTest::qWaitFor([&] { return qbtest::wmState(window) == 1; }, 5000));
    main->WMHotKey(HotKeyHideShow);
    EXPECT_TRUE(QTest::qWaitFor([&] { return qbtest::wmState(window) == 3; }, 5000))
        << "WM_STATE " << qbtest::wmState(window);
    main->WMHotKey(HotKeyHideShow);
    EXPECT_TRUE(QTest::qWaitFor([&] { return qbtest::wmState(window) == 1; }, 5000))
        << "WM_STATE " << qbtest::wmState(window);
}

}  // namespace
