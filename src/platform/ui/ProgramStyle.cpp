#include "platform/ui/ProgramStyle.h"

#include "platform/ui/LazyIcon.h"

#include <QApplication>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace qb {
namespace {

QPointer<ProgramStyle>& stylePointer() {
    // The application owns its style; the pointer only finds it again.
    static QPointer<ProgramStyle> style;
    return style;
}

}  // namespace

ProgramStyle::ProgramStyle() : QProxyStyle(nullptr) {}

QIcon ProgramStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                 const QWidget* widget) const {
    if (option && option->type != QStyleOption::SO_Default) {
        return QProxyStyle::standardIcon(which, option, widget);  // kept only as the base type
    }
    std::optional<QStyleOption> kept;
    if (option) {
        kept = *option;
        kept->styleObject = nullptr;  // it may be gone by then
    }
    // The widget may be gone when the icon is first drawn; the icon then goes without it.
    return lazyIcon([base = QPointer<QStyle>(baseStyle()), which, kept,
                     owner = QPointer<QWidget>(const_cast<QWidget*>(widget))]() -> QIcon {
        return base ? base->standardIcon(which, kept ? &*kept : nullptr, owner.data()) : QIcon();
    });
}

void ProgramStyle::addHook(StyleHook* hook) {
    if (hook && std::find(hooks_.begin(), hooks_.end(), hook) == hooks_.end()) {
        hooks_.push_back(hook);
    }
}

void ProgramStyle::removeHook(StyleHook* hook) {
    hooks_.erase(std::remove(hooks_.begin(), hooks_.end(), hook), hooks_.end());
}

int ProgramStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
    for (const StyleHook* hook : hooks_) {
        if (const auto answer = hook->styleHint(hint, option, widget, returnData)) {
            return *answer;
        }
    }
    if (hint == SH_ToolTip_WakeUpDelay) {
        return toolTipDelay_;
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void ProgramStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    for (const StyleHook* hook : hooks_) {
        if (hook->drawControl(element, option, painter, widget)) {
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void ProgramStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    for (const StyleHook* hook : hooks_) {
        if (hook->drawPrimitive(element, option, painter, widget)) {
            return;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

QSize ProgramStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                     const QSize& size, const QWidget* widget) const {
    for (const StyleHook* hook : hooks_) {
        if (const auto answer = hook->sizeFromContents(type, option, size, widget)) {
            return *answer;
        }
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

int ProgramStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                              const QWidget* widget) const {
    for (const StyleHook* hook : hooks_) {
        if (const auto answer = hook->pixelMetric(metric, option, widget)) {
            return *answer;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

ProgramStyle& programStyle() {
    QPointer<ProgramStyle>& style = stylePointer();
    if (!style) {
        style = new ProgramStyle;
        QApplication::setStyle(style);
    }
    return *style;
}

ProgramStyle* existingProgramStyle() {
    return stylePointer().data();
}

}  // namespace qb
