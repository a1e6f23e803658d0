#pragma once
// For benchmarks of real windows: the event loop runs until it has nothing left to do, so that a
// measured step includes the layout and painting it causes.

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

namespace bench {

inline void untilIdle() {
    QEventLoop loop;
    const auto idle =
        QObject::connect(QAbstractEventDispatcher::instance(),
                         &QAbstractEventDispatcher::aboutToBlock, &loop, &QEventLoop::quit);
    QTimer::singleShot(0, &loop, [] {});
    loop.exec();
    QObject::disconnect(idle);
}

}  // namespace bench
