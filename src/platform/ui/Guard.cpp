#include "platform/ui/Guard.h"

#include "platform/core/Dialogs.h"
#include "platform/ui/Application.h"

namespace qb {

void showException(const QString& message) {
    QString text = message;
    if (!text.isEmpty() && text.back() > QLatin1Char('.')) {
        text += QLatin1Char('.');
    }
    dialogs().messageBox(text, applicationTitle(), MessageButtons::Ok, MessageIcon::Error);
}

void showException(const std::exception& error) {
    showException(QString::fromUtf8(error.what()));
}

bool runGuarded(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        showException(error);
    } catch (...) {
        showException(QStringLiteral("Unknown error"));
    }
    return false;
}

void runHandler(const std::function<void()>& handler) {
    if (handler) {
        runGuarded(handler);
    }
}

}  // namespace qb
