#include "dialogs/MessageUnit.h"

#include "program/ProgramState.h"
#include "pages/ShadeUnit.h"
#include "platform/ui/Components.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/Timer.h"

#include <QLabel>

TMessageForm* MessageForm = nullptr;

TMessageForm::TMessageForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("MessageForm"));
    setFixedSize(380, 35);
    PaintBox1 = new qb::PaintBox(this);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    PaintBox1->setGeometry(rect());
    qb::setHint(PaintBox1, QStringLiteral("ShadeBarred"));
    PaintBox1->setOnPaint([](qb::PaintBox& box, QPainter& canvas) {
        PaintShadeBarred(canvas, {box.width(), box.height(), qb::hint(&box), qb::tag(&box)},
                         qb::colorToRGB(BackgroundColor));
    });
    MessageLabel = new QLabel(this);
    MessageLabel->setObjectName(QStringLiteral("MessageLabel"));
    MessageLabel->setGeometry(rect());
    MessageLabel->setAlignment(Qt::AlignCenter);
    Timer1 = new qb::Timer(this, 50);  // nothing switches it on
    Timer1->setObjectName(QStringLiteral("Timer1"));
}
