#include "platform/ui/ProgramStyle.h"

#include <QApplication>
#include <QPointer>

#include <algorithm>

namespace qb {
namespace {

QPointer<ProgramStyle>& stylePointer() {
    // The application owns its style; the pointer only finds it again.
    static QPointer<ProgramStyle> style;
    return style;
}

}  // namespace

ProgramStyle::ProgramStyle() : QProxyStyle(nullptr) {}

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
