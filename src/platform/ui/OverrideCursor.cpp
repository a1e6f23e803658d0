#include "platform/ui/OverrideCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace qb {

OverrideCursor::OverrideCursor(Qt::CursorShape shape) {
    if (QGuiApplication::instance() != nullptr) {
        QGuiApplication::setOverrideCursor(QCursor(shape));
        active_ = true;
    }
}

OverrideCursor::~OverrideCursor() {
    restore();
}

void OverrideCursor::restore() {
    if (active_) {
        active_ = false;
        QGuiApplication::restoreOverrideCursor();
    }
}

}  // namespace qb
