#include "platform/ui/LongWork.h"

#include "platform/ui/Application.h"

#include <QCoreApplication>

namespace qb {

LongWork::LongWork(int intervalMs) : intervalMs_(intervalMs) {}

std::optional<LongWork::Run> LongWork::start() {
    if (running_ || quitRequested()) {
        return std::nullopt;
    }
    return Run(this);
}

void LongWork::requestStop() {
    if (running_) {
        stop_ = true;
    }
}

LongWork::Run::Run(LongWork* owner) : owner_(owner) {
    owner_->running_ = true;
    owner_->stop_ = false;
    owner_->sinceMessages_.invalidate();
}

LongWork::Run::Run(Run&& other) noexcept : owner_(other.owner_) {
    other.owner_ = nullptr;
}

LongWork::Run::~Run() {
    if (owner_) {
        owner_->running_ = false;
        owner_->stop_ = false;
    }
}

bool LongWork::Run::stopRequested() const {
    return quitRequested() || (owner_ && owner_->stop_);
}

bool LongWork::Run::letMessagesThrough() {
    if (owner_ && owner_->sinceMessages_.isValid() &&
        owner_->sinceMessages_.elapsed() < owner_->intervalMs_) {
        return !stopRequested();
    }
    return letMessagesThroughNow();
}

bool LongWork::Run::letMessagesThroughNow() {
    if (!stopRequested()) {
        QCoreApplication::processEvents();
        if (owner_) {
            owner_->sinceMessages_.start();
        }
    }
    return !stopRequested();
}

}  // namespace qb
