#pragma once
// For widget tests that open a modal window: the call that opens it blocks, so what the test
// does inside the window is queued beforehand and runs once the window is open.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace qbtest {

// Runs act on the next modal window once it is open.
inline void whenModal(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer(qApp);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            act(modal);
        }
    });
    poll->start();
}

}  // namespace qbtest
