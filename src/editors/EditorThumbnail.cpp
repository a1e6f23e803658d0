#include "editors/EditorThumbnail.h"

#include "platform/ui/Guard.h"

#include <QFocusEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

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

ThumbnailCaption::ThumbnailCaption(const QString& name, QWidget* parent) : QLabel(name, parent) {}

void ThumbnailCaption::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    // Two pieces, each in its own direction. (Unicode isolates around the base would do the
    // same in one, but the fonts have no glyphs for them, and the fallback font taken for them
    // moves the line.)
    const QString name = text();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    const int flags =
        int((alignment() & Qt::AlignVertical_Mask) | Qt::AlignLeft | Qt::AlignAbsolute);
    QPainter painter(this);
    QRect piece = contentsRect();
    style()->drawItemText(&painter, piece, flags, palette(), isEnabled(), base, foregroundRole());
    piece.setLeft(piece.left() + fontMetrics().horizontalAdvance(base));
    style()->drawItemText(&painter, piece, flags, palette(), isEnabled(), extension,
                          foregroundRole());
}

}  // namespace qb
