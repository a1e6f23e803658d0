// Test main for programs that need a Qt application object. The offscreen platform is the
// default so that the tests need no display; a test run under xvfb-run sets QT_QPA_PLATFORM=xcb.
//
// The tests of one program run in one process, in any order: each test must leave the process as
// it found it. After every test the main checks the three things a test most often leaves behind
// for the next one: a top-level window, a quit request that would end the next event loop, and
// the mouse pointer where the test moved it. Each is reported as a failure of that test and then
// put right, so that the tests after it are judged on their own.
#include "platform/ui/Application.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QPoint>
#include <QSet>
#include <QWidget>
#include <QWindow>

#if QB_TEST_APP == 2
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

namespace {

#if QB_TEST_APP == 2
using TopLevel = QWidget;
QList<QWidget*> topLevels() {
    return QApplication::topLevelWidgets();
}
#else
using TopLevel = QWindow;
QList<QWindow*> topLevels() {
    return QGuiApplication::topLevelWindows();
}
#endif

// Windows Qt keeps for itself and frees on its own timers (a tool tip fading out).
bool ownedByQt(const QObject* window) {
    return window->inherits("QTipLabel");
}

QString describe(const QObject* window) {
    QString title;
    if (const auto* widget = qobject_cast<const QWidget*>(window)) {
        title = widget->windowTitle();
    } else if (const auto* qwindow = qobject_cast<const QWindow*>(window)) {
        title = qwindow->title();
    }
    return QStringLiteral("%1 \"%2\" (title \"%3\")")
        .arg(QString::fromLatin1(window->metaObject()->className()), window->objectName(), title);
}

class LeftBehindCheck : public ::testing::EmptyTestEventListener {
  public:
    void OnTestStart(const ::testing::TestInfo&) override {
        windowsBefore_.clear();
        for (TopLevel* window : topLevels()) {
            windowsBefore_.insert(window);
        }
        pointer_ = QCursor::pos();
    }

    void OnTestEnd(const ::testing::TestInfo&) override {
        // What the test handed to deleteLater is gone once an event loop turns; the next test
        // would turn one.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (TopLevel* window : topLevels()) {
            if (!windowsBefore_.contains(window) && !ownedByQt(window)) {
                ADD_FAILURE() << "The test left a top-level window behind: "
                              << describe(window).toStdString();
            }
        }
        if (qb::quitRequested() || qb::quitPending()) {
            ADD_FAILURE() << "The test left a quit request behind (qb::clearQuitRequest)";
            qb::clearQuitRequest();
        }
        const QPoint pointer = QCursor::pos();
        if (pointer != pointer_) {
            ADD_FAILURE() << "The test left the mouse pointer at (" << pointer.x() << ","
                          << pointer.y() << "), not at (" << pointer_.x() << "," << pointer_.y()
                          << ") where it found it";
            QCursor::setPos(pointer_);
        }
    }

  private:
    QSet<TopLevel*> windowsBefore_;
    QPoint pointer_;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    TestApplication app(argc, argv);
    // Appended after the result printer, so that it runs before the printer ends each test.
    ::testing::UnitTest::GetInstance()->listeners().Append(new LeftBehindCheck);
    return RUN_ALL_TESTS();
}
