#pragma once
// The about box. For now a plain modal dialog with the program's title and an OK button; its
// entry count and link come with its own work.

#include <QDialog>

class TAboutForm : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutForm(QWidget* parent = nullptr);
};

extern TAboutForm* AboutForm;
