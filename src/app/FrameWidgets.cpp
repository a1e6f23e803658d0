#include "app/FrameWidgets.h"

#include "platform/ui/Guard.h"

#include <QMouseEvent>
#include <QPainter>

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
    // Leave the centre some room: a panel never squeezes the pages away.
    if (parentWidget()) {
        width = std::min(width, std::max(minimumWidth_, parentWidget()->width() - 60));
    }
    sized_->setFixedWidth(width);
}

void SideSplitter::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
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
