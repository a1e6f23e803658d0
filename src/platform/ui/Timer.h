#pragma once
// A timer as the diary's windows use it: an interval, an Enabled switch and an OnTimer handler.
// Unlike QTimer::start, switching on a timer that already runs does not restart it, and only a
// new interval restarts a running one. The handler runs guarded (platform/ui/Guard.h).
//
// Under a TimerClock (platform/core/Clock.h) the timer fires when that clock says, instead of
// from the event loop.

#include "platform/core/Clock.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace qb {

class Timer : public QObject, private ClockTimer {
    Q_OBJECT

  public:
    explicit Timer(QObject* parent = nullptr, int intervalMs = 1000);
    ~Timer() override;

    int interval() const { return interval_; }
    // A new interval restarts a running timer; the same interval changes nothing.
    void setInterval(int ms);

    bool isEnabled() const { return enabled_; }
    // Switching on a running timer, or off a stopped one, changes nothing.
    void setEnabled(bool on);

    void setOnTimer(std::function<void()> handler) { onTimer_ = std::move(handler); }

    // The timer is counting down: enabled with an interval above 0.
    bool isRunning() const { return enabled_ && interval_ > 0; }

  private:
    void start();
    void stop();
    void fire();
    void clockFired() override;
    void clockDetached() override;

    int interval_;
    bool enabled_ = false;
    std::function<void()> onTimer_;
    QTimer qtTimer_;
    TimerClock* timerClock_ = nullptr;
};

}  // namespace qb
