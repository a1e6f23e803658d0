// Runs under Xvfb: which window the window manager is told owns a box, as another X client reads
// it. A box owned by no window may open below a main window that stays on top, and then holds
// the keyboard where the user cannot see it.

#include "platform/ui/QtDialogs.h"
#include "support/WhenModal.h"
#include "support/XTransientFor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QTest>
#include <QWidget>

#include <functional>
#include <vector>

using qbtest::transientFor;

// The user answers one box and the program asks the next at once (a name refused, then the
// name asked again): no window is active in between, yet the next box belongs to the window the
// user works in, and so does the one after it.
TEST(QtDialogsX11Test, ABoxOpenedAsTheLastOneClosesBelongsToTheWindowTheUserWorksIn) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    qb::QtDialogs dialogs;
    QWidget main;
    main.setWindowFlag(Qt::WindowStaysOnTopHint);
    main.resize(400, 300);
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));

    std::vector<xcb_window_t> owners;
    std::function<void(QWidget*)> answer = [&](QWidget* box) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
        owners.push_back(transientFor(box->winId()));
        if (owners.size() < 3) {
            qbtest::whenModal(answer);  // the next box, opened once this one has closed
        }
        qobject_cast<QDialog*>(box)->accept();
    };
    qbtest::whenModal(answer);
    dialogs.inputBox(QStringLiteral("New Document Name"), QStringLiteral("Name:"), QString());
    dialogs.messageBox(QStringLiteral("A document name cannot be made of dots only."),
                       QStringLiteral("Invalid Name"), qb::MessageButtons::Ok,
                       qb::MessageIcon::Warning);
    dialogs.inputBox(QStringLiteral("New Document Name"), QStringLiteral("Name:"), QString());

    ASSERT_EQ(owners.size(), 3u);
    for (xcb_window_t owner : owners) {
        EXPECT_EQ(owner, main.winId());
    }
}
