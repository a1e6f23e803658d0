#pragma once
// The program's one source of time: a monotonic millisecond tick, today's date and the current
// date and time. Behaviour tests install a ManualClock and move time on by hand; the platform
// timers (platform/ui/Timer.h) then fire from ManualClock::advance instead of the event loop, so
// that a test of a 5000-ms notice neither waits five seconds nor depends on the machine's speed.

#include <QDate>
#include <QDateTime>
#include <QtGlobal>

#include <vector>

namespace qb {

class ManualClock;

// Something that a manual clock calls back when its due time has come (a platform timer).
class ClockTimer {
  public:
    // The due time has come; the clock has already forgotten this entry.
    virtual void clockFired() = 0;
    // The clock is going away; forget it.
    virtual void clockDetached() = 0;

  protected:
    ~ClockTimer() = default;
};

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; never goes back.
    virtual qint64 tickMs() const = 0;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
    // The clock that runs the timers itself; nullptr when the event loop runs them.
    virtual ManualClock* manual() { return nullptr; }
};

// The program's clock: the system clock until another one is installed.
Clock& clock();
// Installs a clock (not owned); nullptr puts the system clock back.
void setClock(Clock* source);

// A clock for tests: time stands still until advance() moves it, and the timers due on the way
// fire in the order of their due times (the earlier scheduled first among equal ones).
class ManualClock : public Clock {
  public:
    // Installs itself; the start is 5 March 2005, 09:00.
    ManualClock();
    explicit ManualClock(const QDateTime& start);
    ~ManualClock() override;  // detaches its timers and puts the previous clock back
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    qint64 tickMs() const override { return tick_; }
    QDateTime now() const override { return start_.addMSecs(tick_); }
    ManualClock* manual() override { return this; }

    // Moves time on by ms (>= 0), firing every timer that falls due on the way.
    void advance(qint64 ms);

    // For the timers: one entry per timer; scheduling again replaces the entry.
    void schedule(ClockTimer* timer, qint64 dueTick);
    void cancel(ClockTimer* timer);
    bool isScheduled(const ClockTimer* timer) const;

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
