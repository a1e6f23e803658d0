#pragma once
// The message window: created with the other windows and never shown.

#include <QWidget>

class QLabel;

namespace qb {
class PaintBox;
class Timer;
}  // namespace qb

class TMessageForm : public QWidget {
    Q_OBJECT

  public:
    explicit TMessageForm(QWidget* parent = nullptr);

    qb::PaintBox* PaintBox1 = nullptr;
    QLabel* MessageLabel = nullptr;
    qb::Timer* Timer1 = nullptr;
};

extern TMessageForm* MessageForm;
