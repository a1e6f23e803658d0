#pragma once
// The message window: created with the other windows and never shown.

#include <QWidget>

class TMessageForm : public QWidget {
    Q_OBJECT

  public:
    explicit TMessageForm(QWidget* parent = nullptr);
};

extern TMessageForm* MessageForm;
