#include "dialogs/MessageUnit.h"

TMessageForm* MessageForm = nullptr;

TMessageForm::TMessageForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("MessageForm"));
    resize(380, 35);
}
