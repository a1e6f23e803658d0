#include "platform/ui/Timer.h"
#include "support/ManualClock.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <stdexcept>
#include <vector>

namespace {

// A timer under a manual clock that records the tick of every firing.
struct TimedFixture : ::testing::Test {
    qb::ManualClock clock;
    qb::Timer timer{nullptr, 5000};
    std::vector<qint64> fired;

    void SetUp() override {
        timer.setOnTimer([this] { fired.push_back(clock.tickMs()); });
    }
};

using TimerTest = TimedFixture;

}  // namespace

TEST_F(TimerTest, EnablingARunningTimerDoesNotRestartIt) {
    timer.setEnabled(true);
    clock.advance(3000);
    timer.setEnabled(true);  // a second notice while the first one's time runs
    clock.advance(2000);
    EXPECT_EQ(fired, (std::vector<qint64>{5000}));
    clock.advance(5000);
    EXPECT_EQ(fired, (std::vector<qint64>{5000, 10000}));  // it repeats until switched off
}

TEST_F(TimerTest, OffThenOnStartsAfresh) {
    timer.setEnabled(true);
    clock.advance(3000);
    timer.setEnabled(false);
    timer.setEnabled(true);
    clock.advance(4999);
    EXPECT_TRUE(fired.empty());
    clock.advance(1);
    EXPECT_EQ(fired, (std::vector<qint64>{8000}));
}

TEST_F(TimerTest, OnlyANewIntervalRestartsARunningTimer) {
    timer.setEnabled(true);
    clock.advance(1000);
    timer.setInterval(5000);  // unchanged: keeps counting
    clock.advance(4000);
    EXPECT_EQ(fired, (std::vector<qint64>{5000}));
    timer.setInterval(300);
    clock.advance(300);
    EXPECT_EQ(fired, (std::vector<qint64>{5000, 5300}));
    timer.setInterval(0);  // an interval of 0 never fires
    clock.advance(10000);
    EXPECT_EQ(fired.size(), 2u);
    EXPECT_TRUE(timer.isEnabled());
    EXPECT_FALSE(timer.isRunning());
}

TEST_F(TimerTest, AHandlerThatSwitchesItsTimerOffRunsOnce) {
    timer.setInterval(1);
    timer.setOnTimer([this] {
        timer.setEnabled(false);
        fired.push_back(clock.tickMs());
    });
    timer.setEnabled(true);
    clock.advance(100);
    EXPECT_EQ(fired, (std::vector<qint64>{1}));
}

TEST_F(TimerTest, AnErrorInTheHandlerIsShownAndTheTimerGoesOn) {
    qb::ScriptedDialogs boxes;
    timer.setOnTimer([this] {
        fired.push_back(clock.tickMs());
        throw std::runtime_error("Table is not open");
    });
    timer.setEnabled(true);
    clock.advance(10000);
    EXPECT_EQ(fired.size(), 2u);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Table is not open."));
    EXPECT_EQ(boxes.shown[0].icon, qb::MessageIcon::Error);
}

TEST_F(TimerTest, TimersFireInTheOrderOfTheirDueTimes) {
    std::vector<int> order;
    qb::Timer late(nullptr, 30);
    qb::Timer early(nullptr, 20);
    qb::Timer same(nullptr, 20);
    late.setOnTimer([&] { order.push_back(30); });
    early.setOnTimer([&] { order.push_back(20); });
    same.setOnTimer([&] { order.push_back(21); });
    late.setEnabled(true);
    early.setEnabled(true);
    same.setEnabled(true);
    clock.advance(40);
    EXPECT_EQ(order, (std::vector<int>{20, 21, 30, 20, 21}));
}

TEST(TimerClockTest, ManualClockGivesTimeAndPutsThePreviousBack) {
    qb::Clock* system = &qb::clock();
    {
        qb::ManualClock outer(QDateTime(QDate(2005, 3, 5), QTime(23, 59, 59)));
        EXPECT_EQ(&qb::clock(), &outer);
        EXPECT_EQ(qb::clock().today(), QDate(2005, 3, 5));
        outer.advance(1000);
        EXPECT_EQ(qb::clock().today(), QDate(2005, 3, 6));
        EXPECT_EQ(qb::clock().tickMs(), 1000);
        {
            qb::ManualClock inner;
            EXPECT_EQ(&qb::clock(), &inner);
        }
        EXPECT_EQ(&qb::clock(), &outer);
    }
    EXPECT_EQ(&qb::clock(), system);
    EXPECT_EQ(qb::clock().today(), QDate::currentDate());
}

TEST(TimerClockTest, ATimerOutlivesItsManualClock) {
    qb::Timer timer(nullptr, 10);
    {
        qb::ManualClock clock;
        timer.setEnabled(true);
    }
    timer.setEnabled(false);  // must not touch the clock that has gone
    SUCCEED();
}

TEST(TimerEventLoopTest, FiresFromTheEventLoopWithoutAManualClock) {
    qb::Timer timer(nullptr, 1);
    int fired = 0;
    timer.setOnTimer([&] {
        ++fired;
        timer.setEnabled(false);
    });
    timer.setEnabled(true);
    QElapsedTimer waited;
    waited.start();
    while (fired == 0 && waited.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    EXPECT_EQ(fired, 1);
}
