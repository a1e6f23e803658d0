#pragma once
// The about box: a modal dialog with the program's title, its version, the number of entries in
// the diary (counted again at every opening) and a link to the program's web site.

#include <QDialog>

#include "platform/ui/LazyWindow.h"

class QLabel;
class QPushButton;

namespace qb {
class PaintBox;
}

class TAboutForm : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutForm(QWidget* parent = nullptr);

    qb::PaintBox* PaintBox1 = nullptr;
    QLabel* TitleLabel = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* EntryCountLabel = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* VersionLabel = nullptr;
    QLabel* DateLabel = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* OkBitButton = nullptr;

    void FormCreate();
    void FormShow();
    void Label3MouseDown();
    void OkBitButtonClick();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Made at its first use (the program hands it a maker).
extern qb::LazyWindow<TAboutForm> AboutForm;
