// Runs under Xvfb, where Qt opens addresses through xdg-open: the desktop's opener against
// stand-ins for xdg-open on the PATH, and what each one's answer makes of the address.

#include "platform/ui/UrlOpener.h"
#include "support/StandInOpener.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QUrl guide(QStringLiteral("https://example.org/guide"));

}  // namespace

TEST(UrlOpenerTest, TheDesktopOpenerSaysNoWhenItsOpenerFindsNoBrowser) {
    struct Case {
        const char* name;
        QByteArray script;
        bool opens;
    };
    const Case cases[] = {
        {"no browser found", "exit 3", false},
        {"the browser failed", "exit 4", false},
        {"killed", "kill -9 $$", false},
        {"handed to a running browser", "exit 0", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qb::StandInOpener path("touch \"$(dirname \"$0\")/ran\"; " + c.script);
        ASSERT_TRUE(path.written());
        QObject window;
        bool failed = false;
        qb::urlOpener().open(guide, &window, [&failed] { failed = true; });
        const QString ran = path.folder() + QStringLiteral("/ran");
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(ran); }, 5000));
        if (c.opens) {
            QTest::qWait(500);
        } else {
            EXPECT_TRUE(QTest::qWaitFor([&] { return failed; }, 5000));
        }
        EXPECT_EQ(failed, !c.opens);
    }
}

TEST(UrlOpenerTest, AnOpenerThatFailsLateIsHeardWithoutWaitingForIt) {
    qb::StandInOpener path("sleep 3; exit 3");
    ASSERT_TRUE(path.written());
    QObject window;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(100);
    bool failed = false;
    QElapsedTimer clock;
    clock.start();
    qb::urlOpener().open(guide, &window, [&failed] { failed = true; });
    EXPECT_LT(clock.elapsed(), 1500);  // far below the opener's 3 s, even on a loaded machine
    EXPECT_FALSE(failed);
    EXPECT_TRUE(QTest::qWaitFor([&] { return failed; }, 10000));
    EXPECT_GE(clock.elapsed(), 2900);
    EXPECT_GE(ticks, 20);  // the thread went on with its events meanwhile
}

TEST(UrlOpenerTest, AFailureAfterItsWindowWentIsNotReported) {
    qb::StandInOpener path("sleep 1; exit 3");
    ASSERT_TRUE(path.written());
    auto window = std::make_unique<QObject>();
    bool failed = false;
    qb::urlOpener().open(guide, window.get(), [&failed] { failed = true; });
    window.reset();
    QTest::qWait(2500);
    EXPECT_FALSE(failed);
}

TEST(UrlOpenerTest, ABrowserThatRunsInsideTheOpenerIsLeftRunning) {
    qb::StandInOpener path("sleep 3; echo \"$1\" > \"$(dirname \"$0\")/opened\"");
    ASSERT_TRUE(path.written());
    QObject window;
    bool failed = false;
    QElapsedTimer clock;
    clock.start();
    qb::urlOpener().open(guide, &window, [&failed] { failed = true; });
    EXPECT_LT(clock.elapsed(), 1500);  // far below the opener's 3 s, even on a loaded machine
    const QString opened = path.folder() + QStringLiteral("/opened");
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(opened); }, 8000));
    QTest::qWait(300);
    EXPECT_FALSE(failed);
}
