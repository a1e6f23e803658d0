#include "platform/ui/Application.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace qb {
namespace {

bool quitAsked = false;
bool exitPending = false;

}  // namespace

QString applicationTitle() {
    return QGuiApplication::applicationDisplayName();
}

void setApplicationTitle(const QString& title) {
    QGuiApplication::setApplicationDisplayName(title);
}

void requestQuit() {
    quitAsked = true;
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    // Hiding a modal window ends its loop without running its close handlers again; the queued
    // call ends the main loop once it runs.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        while (QWidget* modal = QApplication::activeModalWidget()) {
            modal->hide();
        }
    }
    // No exit() now: outside a running loop it would make every later modal loop return at once.
    if (!exitPending) {
        exitPending = true;
        QTimer::singleShot(0, QCoreApplication::instance(), [] {
            exitPending = false;
            QCoreApplication::exit(0);
        });
    }
}

bool quitRequested() {
    return quitAsked;
}

void clearQuitRequest() {
    quitAsked = false;
}

}  // namespace qb
