#include "platform/ui/Timer.h"

#include "platform/ui/Guard.h"

#include <QPointer>

namespace qb {

Timer::Timer(QObject* parent, int intervalMs) : QObject(parent), interval_(intervalMs) {
    qtTimer_.setSingleShot(false);
    connect(&qtTimer_, &QTimer::timeout, this, [this] { fire(); });
}

Timer::~Timer() {
    stop();
}

void Timer::setInterval(int ms) {
    if (ms == interval_) {
        return;
    }
    interval_ = ms;
    stop();
    start();
}

void Timer::setEnabled(bool on) {
    if (on == enabled_) {
        return;
    }
    enabled_ = on;
    if (on) {
        start();
    } else {
        stop();
    }
}

void Timer::start() {
    if (!isRunning()) {
        return;
    }
    timerClock_ = clock().timerClock();
    if (timerClock_ != nullptr) {
        timerClock_->schedule(this, timerClock_->tickMs() + interval_);
    } else {
        qtTimer_.start(interval_);
    }
}

void Timer::stop() {
    qtTimer_.stop();
    if (timerClock_ != nullptr) {
        timerClock_->cancel(this);
        timerClock_ = nullptr;
    }
}

void Timer::fire() {
    if (!isRunning()) {
        return;
    }
    if (onTimer_) {
        // The handler may switch the timer off or delete its window; keep a copy to run.
        std::function<void()> handler = onTimer_;
        runGuarded(handler);
    }
}

void Timer::clockFired() {
    TimerClock* host = timerClock_;
    const qint64 firedAt = host->tickMs();
    QPointer<Timer> alive(this);
    fire();
    if (alive.isNull()) {
        return;
    }
    // Due again one interval later, unless the handler stopped or restarted the timer.
    if (timerClock_ == host && isRunning() && !host->isScheduled(this)) {
        host->schedule(this, firedAt + interval_);
    }
}

void Timer::clockDetached() {
    timerClock_ = nullptr;
}

}  // namespace qb
