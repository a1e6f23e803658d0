#include "editors/EditorThumbnail.h"

#include "platform/ui/Guard.h"

#include <QFocusEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace qb {

ThumbnailPanelControl::ThumbnailPanelControl(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void ThumbnailPanelControl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (onEnter) {
        const Qt::FocusReason reason = event->reason();
        runGuarded([&] { onEnter(reason); });
    }
}

void ThumbnailPanelControl::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    runHandler(onExit);
}

void ThumbnailPanelControl::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = true;
    }
}

void ThumbnailPanelControl::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const bool click = event->button() == Qt::LeftButton && leftPressed_ &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = false;
    }
    if (click) {
        runHandler(onClick);
    }
}

QPixmap thumbnailPicture(const QImage& image) {
    if (image.isNull()) {
        return brokenThumbnailPicture();
    }
    return QPixmap::fromImage(image.scaled(kThumbnailSide, kThumbnailSide, Qt::KeepAspectRatio,
                                           Qt::SmoothTransformation));
}

QPixmap brokenThumbnailPicture() {
    QPixmap picture(kThumbnailSide, kThumbnailSide);
    picture.fill(QColor(0xe8, 0xe8, 0xe8));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x90, 0x90, 0x90), 1));
    painter.drawRect(QRectF(0.5, 0.5, kThumbnailSide - 1, kThumbnailSide - 1));
    // A grey square with a red cross, as a broken picture is commonly shown.
    painter.setPen(QPen(QColor(0xb0, 0x30, 0x30), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(24, 24), QPointF(50, 50));
    painter.drawLine(QPointF(50, 24), QPointF(24, 50));
    return picture;
}

}  // namespace qb
