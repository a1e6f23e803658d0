#include "editors/EditorImage.h"

#include "platform/ui/Guard.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace qb {

namespace {

const QColor kInk(0x3a, 0x5f, 0x8f);

QPixmap blankPicture() {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    return picture;
}

QPixmap arrowPicture(bool pointsLeft) {
    QPixmap picture = blankPicture();
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    QPolygonF arrow;
    if (pointsLeft) {
        arrow << QPointF(3, 8) << QPointF(12, 2) << QPointF(12, 14);
    } else {
        arrow << QPointF(13, 8) << QPointF(4, 2) << QPointF(4, 14);
    }
    painter.drawPolygon(arrow);
    return picture;
}

}  // namespace

QPixmap previousPicture() {
    return arrowPicture(true);
}

QPixmap nextPicture() {
    return arrowPicture(false);
}

QPixmap refreshPicture() {
    QPixmap picture = blankPicture();
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kInk, 2));
    painter.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 270 * 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    QPolygonF head;
    head << QPointF(9, 0.5) << QPointF(14, 3.5) << QPointF(9, 7);
    painter.drawPolygon(head);
    return picture;
}

QPixmap explorePicture() {
    QPixmap picture = blankPicture();
    QPainter painter(&picture);
    painter.setPen(QColor(0x8a, 0x6d, 0x1f));
    painter.setBrush(QColor(0xf2, 0xc9, 0x4c));
    QPainterPath folder;
    folder.moveTo(1, 4);
    folder.lineTo(6, 4);
    folder.lineTo(7, 5);
    folder.lineTo(14, 5);
    folder.lineTo(14, 13);
    folder.lineTo(1, 13);
    folder.closeSubpath();
    painter.drawPath(folder);
    return picture;
}

}  // namespace qb
