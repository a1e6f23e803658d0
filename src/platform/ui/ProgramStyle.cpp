#include "platform/ui/ProgramStyle.h"

#include <QApplication>
#include <QPointer>

namespace qb {

ProgramStyle::ProgramStyle() : QProxyStyle(nullptr) {}

int ProgramStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
    if (hint == SH_ToolTip_WakeUpDelay) {
        return toolTipDelay_;
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

ProgramStyle& programStyle() {
    // The application owns its style; the pointer only finds it again.
    static QPointer<ProgramStyle> style;
    if (!style) {
        style = new ProgramStyle;
        QApplication::setStyle(style);
    }
    return *style;
}

}  // namespace qb
