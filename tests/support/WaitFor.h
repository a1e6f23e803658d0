#pragma once
// For tests that wait on a real window system or X server: the event loop runs until the
// condition holds or the time is up.

#include <QCoreApplication>
#include <QElapsedTimer>

namespace qbtest {

// Lets the event loop run until pred holds or ms milliseconds have passed; pred's last answer.
template <typename P>
bool waitFor(P pred, int ms = 1000) {
    QElapsedTimer waited;
    waited.start();
    while (!pred() && waited.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return pred();
}

}  // namespace qbtest
