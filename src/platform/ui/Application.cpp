#include "platform/ui/Application.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace qb {
namespace {

bool quitAsked = false;
bool exitPending = false;
// Counts the forgotten requests: an exit queued before the last one was forgotten stays undone.
unsigned quitRound = 0;

}  // namespace

// Kept as a property of the application object, not as Qt's display name: on X11 Qt appends the
// display name to every window caption, which would break the captions the windows set.
constexpr char kTitleProperty[] = "qbApplicationTitle";

QString applicationTitle() {
    QCoreApplication* app = QCoreApplication::instance();
    return app ? app->property(kTitleProperty).toString() : QString();
}

void setApplicationTitle(const QString& title) {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->setProperty(kTitleProperty, title);
    }
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
        QTimer::singleShot(0, QCoreApplication::instance(), [round = quitRound] {
            if (round != quitRound) {
                return;
            }
            exitPending = false;
            QCoreApplication::exit(0);
        });
    }
}

bool quitRequested() {
    return quitAsked;
}

bool quitPending() {
    return exitPending;
}

void clearQuitRequest() {
    quitAsked = false;
    exitPending = false;
    ++quitRound;
}

std::vector<QPointer<QWidget>> minimizeApplication() {
    std::vector<QPointer<QWidget>> minimised;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        // The window type, not a flag test: every window type shares Qt::Window's bit.
        const Qt::WindowType type = window->windowType();
        const bool iconifiable =
            type == Qt::Window || type == Qt::Dialog || type == Qt::Tool || type == Qt::Sheet;
        if (iconifiable && window->isVisible() && !(window->windowState() & Qt::WindowMinimized)) {
            window->setWindowState(window->windowState() | Qt::WindowMinimized);
            minimised.emplace_back(window);
        }
    }
    return minimised;
}

void restoreWindows(const std::vector<QPointer<QWidget>>& windows) {
    for (const QPointer<QWidget>& window : windows) {
        if (window && (window->windowState() & Qt::WindowMinimized)) {
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        }
    }
}

}  // namespace qb
