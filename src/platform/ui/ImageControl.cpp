#include "platform/ui/ImageControl.h"

#include "platform/ui/Guard.h"

#include <QMouseEvent>
#include <QPainter>

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

}  // namespace qb
