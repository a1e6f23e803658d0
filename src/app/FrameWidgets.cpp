#include "app/FrameWidgets.h"

#include "platform/ui/Guard.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace qb {

SideSplitter::SideSplitter(QWidget* sized, int minimumWidth, QWidget* parent)
    : QWidget(parent), sized_(sized), minimumWidth_(minimumWidth) {
    setFixedWidth(8);
    setCursor(Qt::SplitHCursor);
}

void SideSplitter::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    dragging_ = true;
    pressX_ = qRound(event->globalPosition().x());
    startWidth_ = sized_->width();
}

void SideSplitter::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        return;
    }
    const int dx = qRound(event->globalPosition().x()) - pressX_;
    int width = std::max(minimumWidth_, startWidth_ - dx);
    // Leave the centre some room, as a framework splitter does.
    if (parentWidget()) {
        width = std::min(width, std::max(minimumWidth_, parentWidget()->width() - 60));
    }
    sized_->setFixedWidth(width);
}

void SideSplitter::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
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

QPixmap undockImagePicture() {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    painter.drawRect(2, 5, 9, 8);
    painter.drawRect(5, 2, 9, 8);
    return picture;
}

}  // namespace qb
