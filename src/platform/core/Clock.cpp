#include "platform/core/Clock.h"

#include <QElapsedTimer>

namespace qb {
namespace {

class SystemClock : public Clock {
  public:
    SystemClock() { started_.start(); }
    qint64 tickMs() const override { return started_.elapsed(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }

  private:
    QElapsedTimer started_;
};

Clock& systemClock() {
    static SystemClock system;
    return system;
}

Clock* current = nullptr;

}  // namespace

Clock& clock() {
    return current ? *current : systemClock();
}

void setClock(Clock* source) {
    current = source;
}

}  // namespace qb
