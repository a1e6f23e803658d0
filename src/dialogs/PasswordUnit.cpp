#include "dialogs/PasswordUnit.h"

#include "cipher/QbClass.h"
#include "pages/ShadeUnit.h"
#include "platform/core/Dialogs.h"
#include "platform/db/Table.h"
#include "platform/ui/Application.h"
#include "platform/ui/Components.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/Guard.h"
#include "platform/ui/LazyIcon.h"
#include "platform/ui/PaintBox.h"
#include "program/ProgramState.h"
#include "store/DatabaseUnit.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <stdexcept>

std::int32_t FailedPasswordCount = 0;
TPasswordForm* PasswordForm = nullptr;

namespace {

constexpr int kClientWidth = 320;
constexpr int kClientHeight = 124;
constexpr int kPanelHeight = 43;
constexpr int kEditLeft = 104;
constexpr int kEditWidth = 192;
constexpr int kEditHeight = 24;

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, int top) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(24, top + 4, kEditLeft - 28, 16);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, int left,
                        QStyle::StandardPixmap glyph) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, 9, 75, 25);
    button->setIcon(qb::lazyStandardIcon(button->style(), glyph));
    return button;
}

}  // namespace

TPasswordForm::TPasswordForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("PasswordForm"));
    setWindowTitle(QStringLiteral("Password - Marlowick"));
    setFixedSize(kClientWidth, kClientHeight);

    PaintBox1 = new qb::PaintBox(this);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    PaintBox1->setGeometry(0, 0, kClientWidth, kClientHeight - kPanelHeight);
    qb::setHint(PaintBox1, QStringLiteral("ShadeLeftToRight"));
    qb::setTag(PaintBox1, 20);
    PaintBox1->setOnPaint([](qb::PaintBox& sender, QPainter& canvas) {
        ShadePaintBox(canvas,
                      {sender.width(), sender.height(), qb::hint(&sender), qb::tag(&sender)},
                      ShadeTint::ButtonFace());
    });

    PasswordLabel = makeLabel(this, "PasswordLabel", QStringLiteral("Password:"), 26);
    PasswordEdit = MakePasswordEdit(26);
    PasswordEdit->setObjectName(QStringLiteral("PasswordEdit"));
    ChangeToLabel = makeLabel(this, "ChangeToLabel", QStringLiteral("Change To:"), 10);
    ChangeToEdit = MakePasswordEdit(10);
    ChangeToEdit->setObjectName(QStringLiteral("ChangeToEdit"));
    VerifyLabel = makeLabel(this, "VerifyLabel", QStringLiteral("Verify:"), 44);
    VerifyEdit = MakePasswordEdit(44);
    VerifyEdit->setObjectName(QStringLiteral("VerifyEdit"));
    for (QWidget* changeField :
         {static_cast<QWidget*>(ChangeToLabel), static_cast<QWidget*>(ChangeToEdit),
          static_cast<QWidget*>(VerifyLabel), static_cast<QWidget*>(VerifyEdit)}) {
        changeField->hide();
    }

    ButtonPanel = new QWidget(this);
    ButtonPanel->setObjectName(QStringLiteral("Panel1"));
    ButtonPanel->setGeometry(0, kClientHeight - kPanelHeight, kClientWidth, kPanelHeight);
    OkButton =
        makeButton(ButtonPanel, "OkButton", QStringLiteral("&OK"), 152, QStyle::SP_DialogOkButton);
    qb::setTag(OkButton, 999);
    OkButton->setDefault(true);
    CancelButton = makeButton(ButtonPanel, "CancelButton", QStringLiteral("&Cancel"), 235,
                              QStyle::SP_DialogCancelButton);
    qb::setTag(CancelButton, 0);
    connect(OkButton, &QPushButton::clicked, this, qb::guarded([this] { OkButtonClick(); }));
    connect(CancelButton, &QPushButton::clicked, this,
            qb::guarded([this] { CancelButtonClick(); }));

    setTabOrder(PasswordEdit, ChangeToEdit);
    setTabOrder(ChangeToEdit, VerifyEdit);
    setTabOrder(VerifyEdit, OkButton);
    setTabOrder(OkButton, CancelButton);
    FormCreate();
}

QLineEdit* TPasswordForm::MakePasswordEdit(int top) {
    auto* edit = new QLineEdit(this);
    edit->setGeometry(kEditLeft, top, kEditWidth, kEditHeight);
    // Every character shows as the same filled circle, in navy.
    edit->setEchoMode(QLineEdit::Password);
    QFont font = edit->font();
    font.setPixelSize(12);
    qb::setFontWhenShown(edit, font);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, qb::toQColor(qb::clNavy));
    edit->setPalette(palette);
    return edit;
}

void TPasswordForm::FillLoginSeam(TDataModule1& module) {
    SetPasswordTable(&module.PasswordTable);
    module.Login.ShowLoginDialog = [this] { exec(); };
    module.Login.QuitMark = [this] { return QuitMark(); };
    module.Login.SetQuitMark = [this](int value) { SetQuitMark(value); };
    module.Login.Quit = [] { qb::requestQuit(); };
}

int TPasswordForm::QuitMark() const {
    return qb::tag(CancelButton);
}

void TPasswordForm::SetQuitMark(int value) {
    qb::setTag(CancelButton, value);
}

void TPasswordForm::FormCreate() {
    ChangeMode = false;
}

void TPasswordForm::SetChangeMode() {
    ChangeMode = true;
}

void TPasswordForm::setVisible(bool visible) {
    if (visible) {
        qb::applyFontsWhenShown(this);
    }
    QDialog::setVisible(visible);
}

void TPasswordForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - frameGeometry().width()) / 2,
             area.top() + (area.height() - frameGeometry().height()) / 2);
    }
    qb::runGuarded([this] { FormShow(); });
}

void TPasswordForm::FormShow() {
    if (ChangeMode) {
        ShowChangeFields();
    } else {
        PasswordEdit->setFocus();
    }
}

void TPasswordForm::ShowChangeFields() {
    ChangeToLabel->show();
    ChangeToEdit->show();
    ChangeToEdit->clear();
    VerifyLabel->show();
    VerifyEdit->show();
    VerifyEdit->clear();
    PasswordLabel->hide();
    PasswordEdit->hide();
    ChangeToEdit->setFocus();
}

bool TPasswordForm::CheckPassword() {
    if (PasswordTable == nullptr || EntryCipher == nullptr) {
        throw std::runtime_error("The password table is not open");
    }
    PasswordTable->First();
    const std::string stored =
        EntryCipher->DecryptString(PasswordTable->FieldByName("Password").AsString());
    return stored == PasswordEdit->text().toStdString();
}

void TPasswordForm::OkButtonClick() {
    if (ChangeMode) {
        ChangePassword();
        return;
    }
    if (CheckPassword()) {
        accept();
        return;
    }
    qb::dialogs().messageBox(QStringLiteral("The password you entered is incorrect.    "),
                             QStringLiteral("Invalid Password"), qb::MessageButtons::Ok,
                             qb::MessageIcon::Warning);
    FailedPasswordCount = FailedPasswordCount + 1;
    if (FailedPasswordCount >= 3) {
        EndProgram();
        return;
    }
    PasswordEdit->setFocus();
    PasswordEdit->selectAll();
}

void TPasswordForm::ChangePassword() {
    const QString changeTo = ChangeToEdit->text();
    if (changeTo != VerifyEdit->text()) {
        qb::dialogs().messageBox(
            QStringLiteral("The \"Verify\" password you entered is not the same as the "
                           "\"Change To\" password.    "),
            QStringLiteral("Invalid Password"), qb::MessageButtons::Ok, qb::MessageIcon::Warning);
        VerifyEdit->setFocus();
        VerifyEdit->selectAll();
        return;
    }
    if (changeTo.isEmpty() &&
        qb::dialogs().messageBox(QStringLiteral("Are you sure you want to set a blank password?"),
                                 QStringLiteral("Set Blank Password"), qb::MessageButtons::YesNo,
                                 qb::MessageIcon::Question) != qb::MessageResult::Yes) {
        return;
    }
    if (PasswordTable == nullptr || EntryCipher == nullptr) {
        throw std::runtime_error("The password table is not open");
    }
    PasswordTable->First();
    PasswordTable->Edit();
    PasswordTable->FieldByName("Password")
        .SetAsString(EntryCipher->EncryptString(changeTo.toStdString()));
    PasswordTable->Post();
    qb::dialogs().messageBox(QStringLiteral("Your password has been changed.    "),
                             QStringLiteral("Password Changed"), qb::MessageButtons::Ok,
                             qb::MessageIcon::Information);
    accept();
}

void TPasswordForm::CancelButtonClick() {
    if (ChangeMode) {
        done(QDialog::Rejected);
        return;
    }
    EndProgram();
}

void TPasswordForm::reject() {
    qb::runGuarded([this] { CancelButtonClick(); });
}

void TPasswordForm::EndProgram() {
    SetQuitMark(1);
    done(QDialog::Rejected);
    qb::requestQuit();
}
