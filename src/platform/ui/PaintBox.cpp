#include "platform/ui/PaintBox.h"

#include "platform/ui/Guard.h"

namespace qb {

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {}

void PaintBox::paintEvent(QPaintEvent*) {
    if (!onPaint_) {
        return;
    }
    QPainter canvas(this);
    runGuarded([&] { onPaint_(*this, canvas); });
}

}  // namespace qb
