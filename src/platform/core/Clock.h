#pragma once
// The program's one source of time: a monotonic millisecond tick, today's date and the current
// date and time. Behaviour tests install a clock of their own that they move on by hand; the
// platform timers (platform/ui/Timer.h) then fire from that clock instead of the event loop, so
// that a test of a 5000-ms notice neither waits five seconds nor depends on the machine's speed.

#include <QDate>
#include <QDateTime>
#include <QtGlobal>

namespace qb {

class TimerClock;

// Something that a timer clock calls back when its due time has come (a platform timer).
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
    virtual TimerClock* timerClock() { return nullptr; }
};

// The program's clock: the system clock until another one is installed.
Clock& clock();
// Installs a clock (not owned); nullptr puts the system clock back.
void setClock(Clock* source);

// A clock that runs the platform timers itself: it calls each back when its due tick comes.
class TimerClock : public Clock {
  public:
    TimerClock* timerClock() override { return this; }

    // One entry per timer; scheduling again replaces the entry.
    virtual void schedule(ClockTimer* timer, qint64 dueTick) = 0;
    virtual void cancel(ClockTimer* timer) = 0;
    virtual bool isScheduled(const ClockTimer* timer) const = 0;
};

}  // namespace qb
