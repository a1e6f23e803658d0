#include "dialogs/AboutUnit.h"

#include "app/MainExtensionUnit.h"

#include <QLabel>
#include <QPushButton>

TAboutForm* AboutForm = nullptr;

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(FullTitle);
    setFixedSize(386, 204);
    auto* version = new QLabel(QStringLiteral("Version: 2.0 - 10/10/2005"), this);
    version->move(20, 114);
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OkBitButton"));
    ok->setDefault(true);
    ok->setGeometry(291, 169, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
