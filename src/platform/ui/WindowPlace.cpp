#include "platform/ui/WindowPlace.h"

#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace qb {

QRect FitWithin(const QRect& frame, const QRect& area) {
    QRect fitted(frame.topLeft(), frame.size().boundedTo(area.size()));
    // The top-left wins where both edges cannot be kept: the title bar stays reachable.
    fitted.moveLeft(
        std::max(area.left(), std::min(fitted.left(), area.right() + 1 - fitted.width())));
    fitted.moveTop(
        std::max(area.top(), std::min(fitted.top(), area.bottom() + 1 - fitted.height())));
    return fitted;
}

namespace {

// The window manager's frame round a window, as far as it is known. A window mapped a moment
// ago may not have been framed yet: then a frame as large as a title bar stands in, so that the
// real one, once it comes, still lies on the area.
QMargins frameOf(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    const QMargins known(inner.left() - frame.left(), inner.top() - frame.top(),
                         frame.right() - inner.right(), frame.bottom() - inner.bottom());
    const bool framed = !(window.windowFlags() & Qt::FramelessWindowHint) &&
                        QGuiApplication::platformName() != QLatin1String("offscreen");
    if (!known.isNull() || !framed) {
        return known;
    }
    // Window managers draw borders of a few pixels at least.
    const int border =
        std::max(6, window.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &window));
    const int title = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    return {border, title + border, border, border};
}

}  // namespace

void PlaceWithin(QWidget& window, const QRect& area,
                 const std::function<QPoint(const QSize& frame)>& where) {
    const QMargins margins = frameOf(window);
    const QSize frameExtra(margins.left() + margins.right(), margins.top() + margins.bottom());
    const QSize room = (area.size() - frameExtra).expandedTo(QSize(1, 1));
    // The layout's own minimum (tool bars of fixed widths side by side) may exceed the screen.
    const QSize minimum = window.minimumSize().expandedTo(window.minimumSizeHint());
    if (minimum.width() > room.width() || minimum.height() > room.height()) {
        window.setMinimumSize(minimum.boundedTo(room));
    }
    if (window.width() > room.width() || window.height() > room.height()) {
        window.resize(window.size().boundedTo(room));
    }
    const QSize frame = window.size() + frameExtra;
    const QPoint place = FitWithin(QRect(where(frame), frame), area).topLeft();
    // move() places the frame where Qt knows it, else the window itself.
    const bool frameKnown = window.frameGeometry() != window.geometry();
    window.move(frameKnown ? place : place + QPoint(margins.left(), margins.top()));
}

QRect AvailableAreaOf(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace qb
