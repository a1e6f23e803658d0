#include "menupaint/ControlSubClass.h"

#include "menupaint/ControlPainters.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include <exception>

namespace {

const char* const kHookProperty = "qb_controlSubClass";

TBorderStyle BorderStyleOf(const QWidget& control) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) {
        return edit->hasFrame() ? bsSingle : bsNone;
    }
    if (const auto* frame = qobject_cast<const QFrame*>(&control)) {
        return frame->frameShape() == QFrame::NoFrame ? bsNone : bsSingle;
    }
    return bsSingle;
}

// A double click on these is a second press for the hook: the control takes it as one.
bool PressesOnDoubleClick(const QWidget& control) {
    return qobject_cast<const QAbstractButton*>(&control) != nullptr;
}

bool HasFocusInside(const QWidget& control) {
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && (focus == &control || control.isAncestorOf(focus));
}

}  // namespace

TControlSubClass::TControlSubClass(TFlatMenuPainter& painter, QWidget& control)
    : QObject(&painter),
      Control(&control),
      FlatMenuPainter(&painter),
      SavedBorderStyle(BorderStyleOf(control)) {
    control.setProperty(kHookProperty, QVariant::fromValue<QObject*>(this));
    // A freed control takes its hook with it; nothing is left pointing at it.
    connect(&control, &QObject::destroyed, this, [this] {
        repaintOnUnhook_ = false;
        deleteLater();
    });
    if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
        // A box that changes its check mark loses its hot look until the mouse comes again.
        connect(button, &QAbstractButton::toggled, this, [this] {
            Hot = false;
            repaint();
        });
    }
    control.installEventFilter(this);
}

TControlSubClass::~TControlSubClass() {
    if (Control) {
        Control->removeEventFilter(this);
        Control->setProperty(kHookProperty, QVariant());
        if (repaintOnUnhook_) {
            Control->update();
        }
    }
}

TControlSubClass* TControlSubClass::HookControl(TFlatMenuPainter& painter, QWidget& control) {
    if (TControlSubClass* hook = HookOf(control)) {
        return hook;
    }
    return new TControlSubClass(painter, control);
}

TControlSubClass* TControlSubClass::HookOf(const QWidget& control) {
    auto* hook = qobject_cast<TControlSubClass*>(control.property(kHookProperty).value<QObject*>());
    return hook != nullptr && hook->Control == &control ? hook : nullptr;
}

QList<TControlSubClass*> TControlSubClass::HooksOf(const TFlatMenuPainter& painter) {
    return painter.findChildren<TControlSubClass*>(Qt::FindDirectChildrenOnly);
}

void TControlSubClass::UnhookControls(TFlatMenuPainter& painter, const QWidget* inside,
                                      bool repaint) {
    const QList<TControlSubClass*> hooks = HooksOf(painter);
    // Last first, as they were made.
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
        TControlSubClass* hook = *it;
        if (inside == nullptr ||
            (hook->Control && (hook->Control == inside || inside->isAncestorOf(hook->Control)))) {
            hook->Unhook(repaint);
        }
    }
}

void TControlSubClass::Unhook(bool repaint) {
    repaintOnUnhook_ = repaint;
    delete this;
}

void TControlSubClass::HandOver(TFlatMenuPainter& painter) {
    setParent(&painter);
    FlatMenuPainter = &painter;
    repaint();
}

void TControlSubClass::repaint() {
    if (Control) {
        Control->update();
    }
}

bool TControlSubClass::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Control || repainting_) {
        return false;
    }
    if (!FlatMenuPainter || !FlatMenuPainter->Active()) {
        // The owner was switched off or freed without unhooking: detach now, once.
        Unhook(true);
        return false;
    }
    QWidget& control = *Control;
    switch (event->type()) {
        case QEvent::Paint: {
            // The control paints itself first (the same event, sent again past this filter),
            // then the flat look goes over it within the same paint. A tool button is drawn by
            // its painter alone.
            if (!FlatControlPaint::PaintsAlone(control)) {
                repainting_ = true;
                const QPointer<TControlSubClass> alive(this);
                QCoreApplication::sendEvent(&control, event);
                if (!alive) {
                    return true;
                }
                repainting_ = false;
            }
            PaintControl();
            return true;
        }
        case QEvent::FocusIn:
            Hot = true;
            repaint();
            break;
        case QEvent::FocusOut:
            Hot = false;
            repaint();
            break;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
                SpaceDown = true;
                if (!SpaceRepeat) {
                    repaint();
                }
                SpaceRepeat = true;
            }
            break;
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            // Held keys repeat as release and press pairs: only the real release counts.
            if (key->key() == Qt::Key_Space && !key->isAutoRepeat()) {
                SpaceDown = false;
                SpaceRepeat = false;
                repaint();
            }
            break;
        }
        case QEvent::MouseMove:
        case QEvent::HoverMove:
            if (control.isEnabled() && qobject_cast<QAbstractSpinBox*>(&control) != nullptr) {
                repaint();
            }
            break;
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                MouseDown = true;
                repaint();
            }
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                MouseDown = false;
                repaint();
            }
            break;
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
                PressesOnDoubleClick(control)) {
                MouseDown = true;
                repaint();
            }
            break;
        case QEvent::EnabledChange:
            Hot = false;
            repaint();
            break;
        case QEvent::Enter:
            if (control.isEnabled()) {
                Hot = true;
                repaint();
            }
            break;
        case QEvent::Leave:
            if (control.isEnabled()) {
                Hot = false;
                repaint();
            }
            break;
        default:
            break;
    }
    return false;
}

void TControlSubClass::PaintControl() {
    QWidget& control = *Control;
    Focused = HasFocusInside(control);
    const FlatControlPaint::Painter painter = FlatControlPaint::PainterOf(control);
    if (painter == nullptr || paintFailed_) {
        return;
    }
    // No exception may leave a paint event: a control whose flat look fails keeps its own look
    // from then on, and says so once.
    try {
        FlatMenuPainter->EnsureColors(&control);
        QPainter qp(&control);
        qb::Canvas canvas(qp);
        painter({control, canvas, *this, *FlatMenuPainter});
    } catch (const std::exception& error) {
        paintFailed_ = true;
        qWarning("Flat controls: %s could not be painted (%s); it keeps its own look.",
                 control.metaObject()->className(), error.what());
    }
}
