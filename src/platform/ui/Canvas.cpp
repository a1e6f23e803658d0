#include "platform/ui/Canvas.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace qb {

Canvas::Canvas(QPainter& painter) : painter_(painter) {
    antialiasing_ = painter_.testRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

Canvas::~Canvas() {
    if (painter_.isActive()) {
        painter_.setRenderHint(QPainter::Antialiasing, antialiasing_);
    }
}

void Canvas::SetPenColor(TColor color) {
    pen_ = color;
}

void Canvas::SetBrushColor(TColor color) {
    brush_ = color;
    hollow_ = false;
}

void Canvas::FillRect(const TRect& r) {
    FillRect(r, brush_);
}

void Canvas::FillRect(const TRect& r, TColor color) {
    // A rectangle given with its corners the other way round covers the same pixels.
    const int left = std::min(r.Left, r.Right);
    const int right = std::max(r.Left, r.Right);
    const int top = std::min(r.Top, r.Bottom);
    const int bottom = std::max(r.Top, r.Bottom);
    if (right > left && bottom > top) {
        painter_.fillRect(QRect(left, top, right - left, bottom - top), toQColor(color));
    }
}

void Canvas::Rectangle(const TRect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) {
        return;
    }
    if (!hollow_) {
        FillRect(r);
    }
    const QColor pen = toQColor(pen_);
    painter_.fillRect(QRect(r.Left, r.Top, r.Width(), 1), pen);
    painter_.fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), pen);
    painter_.fillRect(QRect(r.Left, r.Top, 1, r.Height()), pen);
    painter_.fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), pen);
}

void Canvas::RoundRect(const TRect& r, int w, int h) {
    if (r.Width() <= 0 || r.Height() <= 0) {
        return;
    }
    painter_.save();
    painter_.setPen(QPen(toQColor(pen_), 0));
    painter_.setBrush(hollow_ ? QBrush(Qt::NoBrush) : QBrush(toQColor(brush_)));
    painter_.drawRoundedRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1), w / 2.0, h / 2.0);
    painter_.restore();
}

void Canvas::Ellipse(const TRect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) {
        return;
    }
    painter_.save();
    painter_.setPen(QPen(toQColor(pen_), 0));
    painter_.setBrush(hollow_ ? QBrush(Qt::NoBrush) : QBrush(toQColor(brush_)));
    painter_.drawEllipse(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
    painter_.restore();
}

void Canvas::MoveTo(int x, int y) {
    position_ = QPoint(x, y);
}

void Canvas::LineTo(int x, int y) {
    // Steps along the longer axis; the end point itself is left out.
    const int dx = x - position_.x();
    const int dy = y - position_.y();
    const int steps = std::max(std::abs(dx), std::abs(dy));
    for (int i = 0; i < steps; ++i) {
        // Integer rounding of i * d / steps, halves away from the start as line drawing does.
        const auto along = [&](int d) {
            const int num = 2 * i * d + (d >= 0 ? steps : -steps);
            return num / (2 * steps);
        };
        plot(position_.x() + along(dx), position_.y() + along(dy));
    }
    position_ = QPoint(x, y);
}

void Canvas::Polyline(std::initializer_list<QPoint> points) {
    bool first = true;
    for (const QPoint& p : points) {
        if (first) {
            MoveTo(p.x(), p.y());
            first = false;
        } else {
            LineTo(p.x(), p.y());
        }
    }
}

void Canvas::SetPixel(int x, int y, TColor color) {
    painter_.fillRect(QRect(x, y, 1, 1), toQColor(color));
}

TColor Canvas::Pixel(int x, int y) const {
    const auto* image = dynamic_cast<const QImage*>(painter_.device());
    if (!image) {
        return clWhite;
    }
    // What was drawn is already in the image: the raster engine paints straight into it.
    const QPoint at = painter_.transform().map(QPoint(x, y));
    return image->rect().contains(at) ? fromQRgb(image->pixel(at)) : clWhite;
}

void Canvas::plot(int x, int y) {
    painter_.fillRect(QRect(x, y, 1, 1), toQColor(pen_));
}

}  // namespace qb
