#pragma once
// A clock for tests: time stands still until advance() moves it, and the platform timers due on
// the way fire in the order of their due times (the earlier scheduled first among equal ones).

#include "platform/core/Clock.h"

#include <QDateTime>

#include <vector>

namespace qb {

class ManualClock : public TimerClock {
  public:
    // Installs itself; the start is 5 March 2005, 09:00.
    ManualClock();
    explicit ManualClock(const QDateTime& start);
    ~ManualClock() override;  // detaches its timers and puts the previous clock back
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    qint64 tickMs() const override { return tick_; }
    QDateTime now() const override { return start_.addMSecs(tick_); }

    // Moves time on by ms (>= 0), firing every timer that falls due on the way.
    void advance(qint64 ms);

    void schedule(ClockTimer* timer, qint64 dueTick) override;
    void cancel(ClockTimer* timer) override;
    bool isScheduled(const ClockTimer* timer) const override;

  private:
    struct Entry {
        ClockTimer* timer;
        qint64 due;
        quint64 order;
    };
    QDateTime start_;
    qint64 tick_ = 0;
    quint64 nextOrder_ = 0;
    std::vector<Entry> pending_;
    Clock* previous_;
};

}  // namespace qb
