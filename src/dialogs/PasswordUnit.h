#pragma once
// The log-in and password dialog. In log-in mode the database module shows it once during
// start-up, when a password is set, and start-up goes on only after the right password; Cancel,
// Esc, the close button or the third wrong password end the program through the quit mark (the
// Tag of CancelButton). In change mode ("Set/Change Password") it stores a new password.
//
// The program wires it to the database module with FillLoginSeam, which also gives it the
// module's PasswordTable. The stored password is the cipher text of EntryCipher
// (MainExtensionUnit.h) in the column Password.

#include <QDialog>

#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;
class TDataModule1;

namespace qb {
class PaintBox;
namespace db {
class Table;
}
}  // namespace qb

// Wrong passwords entered at log-in during this run.
extern std::int32_t FailedPasswordCount;

class TPasswordForm : public QDialog {
    Q_OBJECT

  public:
    explicit TPasswordForm(QWidget* parent = nullptr);

    // Makes this dialog the module's log-in: the module shows it, and reads and sets the quit
    // mark through it; the password is read from and written to the module's PasswordTable.
    void FillLoginSeam(TDataModule1& module);
    // The table whose column Password holds the stored password (FillLoginSeam sets it).
    void SetPasswordTable(qb::db::Table* table) { PasswordTable = table; }

    // The program-wide quit mark: 1 once start-up must stop because the program is ending.
    int QuitMark() const;
    void SetQuitMark(int value);

    void SetChangeMode();
    bool IsChangeMode() const { return ChangeMode; }
    void ShowChangeFields();
    // The text of PasswordEdit is the stored password, compared with case.
    bool CheckPassword();

    void OkButtonClick();
    void CancelButtonClick();

    QLabel* PasswordLabel;
    QLineEdit* PasswordEdit;
    QLabel* ChangeToLabel;
    QLineEdit* ChangeToEdit;
    QLabel* VerifyLabel;
    QLineEdit* VerifyEdit;
    QPushButton* OkButton;
    QPushButton* CancelButton;
    qb::PaintBox* PaintBox1;
    QWidget* ButtonPanel;

    // Esc and the close button answer as Cancel does.
    void reject() override;
    void setVisible(bool visible) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void FormCreate();
    void FormShow();
    void ChangePassword();
    void EndProgram();
    QLineEdit* MakePasswordEdit(int top);

    bool ChangeMode = false;
    qb::db::Table* PasswordTable = nullptr;
};

// The log-in and password dialog (second of the ten windows); the Tag of its CancelButton is the
// program-wide quit mark.
extern TPasswordForm* PasswordForm;
