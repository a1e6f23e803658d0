#pragma once
// Where the program puts its windows: on the screen's available area, title bar included,
// whatever the screen's size and scale, and never with a minimum size larger than that area.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>

class QWidget;

namespace qb {

// The frame moved, and shrunk where it is larger than the area, to lie wholly within the area.
QRect FitWithin(const QRect& frame, const QRect& area);

// Places a top-level window on area: its minimum size capped so that its frame fits there, its
// size shrunk to fit, then its frame put at where(frame size) as far as the area allows.
void PlaceWithin(QWidget& window, const QRect& area,
                 const std::function<QPoint(const QSize& frame)>& where);

// The area of the screen the window is (or will be) on; the primary screen's, else 1024x768.
QRect AvailableAreaOf(const QWidget& window);

}  // namespace qb
