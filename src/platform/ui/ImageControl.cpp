#include "platform/ui/ImageControl.h"

#include "platform/ui/Guard.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace qb {

ImageControl::ImageControl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    resize(16, 16);
}

void ImageControl::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void ImageControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

void ImageControl::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = true;
    }
    runHandler(onMouseDown);
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    // The image may have moved by one pixel while pressed (the pressed look), so the click is
    // judged, before any handler moves it back, against its rectangle grown by that pixel.
    const bool click = event->button() == Qt::LeftButton && leftPressed_ &&
                       rect().adjusted(-1, -1, 1, 1).contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = false;
    }
    if (click) {
        runHandler(onClick);
    }
    runHandler(onMouseUp);
}

void ImageControl::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    runHandler(onMouseMove);
}

void ImageControl::enterEvent(QEnterEvent*) {
    runHandler(onMouseMove);
}

QPixmap closeImagePicture() {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    painter.fillPath(frame, QColor(0xC8, 0x3C, 0x28));
    painter.setPen(QPen(Qt::white, 2));
    painter.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
    painter.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
    return picture;
}

}  // namespace qb
