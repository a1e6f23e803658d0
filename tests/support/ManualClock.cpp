#include "support/ManualClock.h"

#include <algorithm>

namespace qb {

ManualClock::ManualClock() : ManualClock(QDateTime(QDate(2005, 3, 5), QTime(9, 0))) {}

ManualClock::ManualClock(const QDateTime& start) : start_(start), previous_(&clock()) {
    setClock(this);
}

ManualClock::~ManualClock() {
    std::vector<Entry> left;
    left.swap(pending_);
    for (const Entry& entry : left) {
        entry.timer->clockDetached();
    }
    setClock(previous_);
}

void ManualClock::advance(qint64 ms) {
    const qint64 target = tick_ + std::max<qint64>(ms, 0);
    for (;;) {
        auto next =
            std::min_element(pending_.begin(), pending_.end(), [](const Entry& a, const Entry& b) {
                return a.due != b.due ? a.due < b.due : a.order < b.order;
            });
        if (next == pending_.end() || next->due > target) {
            break;
        }
        tick_ = std::max(tick_, next->due);
        ClockTimer* timer = next->timer;
        pending_.erase(next);
        timer->clockFired();
    }
    tick_ = target;
}

void ManualClock::schedule(ClockTimer* timer, qint64 dueTick) {
    cancel(timer);
    pending_.push_back({timer, dueTick, nextOrder_++});
}

void ManualClock::cancel(ClockTimer* timer) {
    std::erase_if(pending_, [timer](const Entry& entry) { return entry.timer == timer; });
}

bool ManualClock::isScheduled(const ClockTimer* timer) const {
    return std::any_of(pending_.begin(), pending_.end(),
                       [timer](const Entry& entry) { return entry.timer == timer; });
}

}  // namespace qb
