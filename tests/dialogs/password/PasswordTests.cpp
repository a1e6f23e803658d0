#include "dialogs/PasswordUnit.h"
#include "support/WhenModal.h"

#include "EmptyDiary.h"
#include "cipher/QbClass.h"
#include "platform/ui/Application.h"
#include "program/ProgramState.h"
#include "store/DatabaseUnit.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const QString kWrong = QStringLiteral("The password you entered is incorrect.    ");
const QString kDiffer = QStringLiteral(
    "The \"Verify\" password you entered is not the same as the \"Change To\" password.    ");

// A fresh diary in a folder of its own, opened without a password; EntryCipher is its cipher.
class PasswordTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        CreateEmptyDiary((folder.path() + QStringLiteral("/Marlowick.mdb")).toStdString());
        EntryCipher = &cipher;
        FailedPasswordCount = 0;
        qb::clearQuitRequest();
        openModule();
    }

    void TearDown() override {
        module.reset();
        EntryCipher = nullptr;
        qb::clearQuitRequest();
    }

    void openModule(bool readOnly = false) {
        module.reset();
        module = std::make_unique<TDataModule1>(folder.path(), cipher);
        module->ADOConnection1.SetForceReadOnly(readOnly);
        form.FillLoginSeam(*module);
        module->OpenDatabase();
    }

    void setStored(const QString& password) {
        module->PasswordTable.First();
        module->PasswordTable.Edit();
        module->PasswordTable.FieldByName("Password")
            .SetAsString(cipher.EncryptString(password.toStdString()));
        module->PasswordTable.Post();
    }

    QString stored() {
        module->PasswordTable.First();
        return QString::fromStdString(
            cipher.DecryptString(module->PasswordTable.FieldByName("Password").AsString()));
    }

    void enter(QLineEdit* edit, const QString& text) { edit->setText(text); }

    // The program ends at the next turn of its main loop.
    void expectProgramEnds() {
        EXPECT_TRUE(qb::quitRequested());
        bool timedOut = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            timedOut = true;
            QCoreApplication::exit(1);
        });
        watchdog.start(5000);
        EXPECT_EQ(QCoreApplication::exec(), 0);
        EXPECT_FALSE(timedOut);
        qb::clearQuitRequest();
    }

    std::vector<QString> boxTexts() const {
        std::vector<QString> texts;
        for (const auto& box : boxes.shown) {
            texts.push_back(box.text);
        }
        return texts;
    }

    qb::ScriptedDialogs boxes;
    QTemporaryDir folder;
    TQbBlowfish cipher;
    TPasswordForm form;
    std::unique_ptr<TDataModule1> module;
};

using qbtest::whenModal;

}  // namespace

TEST_F(PasswordTest, TheWindowAsLaidOut) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Password - Marlowick"));
    EXPECT_EQ(form.size(), QSize(320, 124));
    EXPECT_EQ(form.ButtonPanel->height(), 43);
    EXPECT_EQ(form.OkButton->text(), QStringLiteral("&OK"));
    EXPECT_EQ(form.CancelButton->text(), QStringLiteral("&Cancel"));
    EXPECT_TRUE(form.OkButton->isDefault());
    EXPECT_EQ(form.QuitMark(), 0);
    EXPECT_FALSE(form.IsChangeMode());
    for (QLineEdit* edit : {form.PasswordEdit, form.ChangeToEdit, form.VerifyEdit}) {
        EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
    }
    form.show();
    for (QLineEdit* edit : {form.PasswordEdit, form.ChangeToEdit, form.VerifyEdit}) {
        EXPECT_EQ(edit->font().pixelSize(), 12) << "the fields' face is taken at the show";
    }
    EXPECT_TRUE(form.PasswordEdit->isVisible());
    EXPECT_FALSE(form.ChangeToEdit->isVisible());
    EXPECT_FALSE(form.VerifyEdit->isVisible());
    form.hide();
}

TEST_F(PasswordTest, LogInTakesThreeTries) {
    struct Case {
        const char* name;
        std::vector<QString> typed;
        bool accepted;
        int wrongBoxes;
    };
    const Case cases[] = {
        {"right at once", {QStringLiteral("Secret")}, true, 0},
        {"case matters, then right",
         {QStringLiteral("secret"), QStringLiteral("SECRET"), QStringLiteral("Secret")},
         true,
         2},
        {"three wrong",
         {QStringLiteral("a"), QStringLiteral("Secret "), QStringLiteral("")},
         false,
         3},
    };
    setStored(QStringLiteral("Secret"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FailedPasswordCount = 0;
        form.SetQuitMark(0);
        boxes.shown.clear();
        form.show();
        for (std::size_t i = 0; i < c.typed.size(); ++i) {
            ASSERT_TRUE(form.isVisible()) << "try " << i + 1;
            enter(form.PasswordEdit, c.typed[i]);
            form.OkButton->click();
            if (form.isVisible()) {
                // The next typing replaces the wrong password.
                EXPECT_EQ(form.focusWidget(), form.PasswordEdit);
                EXPECT_EQ(form.PasswordEdit->selectedText(), c.typed[i]);
            }
        }
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.result(), c.accepted ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(boxTexts(), std::vector<QString>(std::size_t(c.wrongBoxes), kWrong));
        for (const auto& box : boxes.shown) {
            EXPECT_EQ(box.title, QStringLiteral("Invalid Password"));
            EXPECT_EQ(box.icon, qb::MessageIcon::Warning);
        }
        EXPECT_EQ(FailedPasswordCount, c.wrongBoxes);
        EXPECT_EQ(form.QuitMark(), c.accepted ? 0 : 1);
        if (!c.accepted) {
            expectProgramEnds();
        } else {
            EXPECT_FALSE(qb::quitRequested());
        }
    }
}

TEST_F(PasswordTest, CancelEscAndTheCloseButtonEndTheProgram) {
    const std::pair<const char*, std::function<void(TPasswordForm&)>> ways[] = {
        {"Cancel", [](TPasswordForm& f) { f.CancelButton->click(); }},
        {"Esc",
         [](TPasswordForm& f) {
             QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(f.PasswordEdit, &esc);
         }},
        {"close button", [](TPasswordForm& f) { f.close(); }},
    };
    for (const auto& [name, act] : ways) {
        SCOPED_TRACE(name);
        form.SetQuitMark(0);
        form.show();
        act(form);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.QuitMark(), 1);
        EXPECT_TRUE(boxes.shown.empty());
        expectProgramEnds();
    }
}

TEST_F(PasswordTest, OpenDatabaseGoesOnOnlyAfterTheRightPassword) {
    setStored(QStringLiteral("Tuesday"));
    // A wrong try, then the right one: every table is open and start-up may go on.
    whenModal([this](QWidget* modal) {
        EXPECT_EQ(modal, &form);
        enter(form.PasswordEdit, QStringLiteral("tuesday"));
        form.OkButton->click();
        enter(form.PasswordEdit, QStringLiteral("Tuesday"));
        form.OkButton->click();
    });
    openModule();
    EXPECT_EQ(module->QuitMarkValue(), 0);
    EXPECT_TRUE(module->OtherDocTable.Active());
    EXPECT_EQ(boxTexts(), std::vector<QString>{kWrong});
    EXPECT_FALSE(qb::quitRequested());

    // Esc at the log-in: the mark is set and the tables stay closed.
    boxes.shown.clear();
    whenModal([](QWidget* modal) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(modal, &esc);
    });
    openModule();
    EXPECT_EQ(module->QuitMarkValue(), 1);
    EXPECT_FALSE(module->EntryTable.Active());
    expectProgramEnds();
}

TEST_F(PasswordTest, ChangeModeChecksTheVerifyField) {
    setStored(QStringLiteral("old"));
    form.SetChangeMode();
    form.show();
    EXPECT_FALSE(form.PasswordEdit->isVisible());
    EXPECT_TRUE(form.ChangeToEdit->isVisible());
    EXPECT_TRUE(form.VerifyEdit->isVisible());
    EXPECT_EQ(form.focusWidget(), form.ChangeToEdit);

    enter(form.ChangeToEdit, QStringLiteral("New"));
    enter(form.VerifyEdit, QStringLiteral("new"));
    form.OkButton->click();
    ASSERT_EQ(boxTexts(), std::vector<QString>{kDiffer});
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Invalid Password"));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.focusWidget(), form.VerifyEdit);
    EXPECT_EQ(form.VerifyEdit->selectedText(), QStringLiteral("new"));
    EXPECT_EQ(stored(), QStringLiteral("old"));

    enter(form.VerifyEdit, QStringLiteral("New"));
    form.OkButton->click();
    EXPECT_EQ(stored(), QStringLiteral("New"));
    EXPECT_EQ(boxes.shown.back().text, QStringLiteral("Your password has been changed.    "));
    EXPECT_EQ(boxes.shown.back().title, QStringLiteral("Password Changed"));
    EXPECT_EQ(boxes.shown.back().icon, qb::MessageIcon::Information);
    EXPECT_FALSE(form.isVisible());

    // A second "Set/Change Password" starts with both fields empty; Cancel stores nothing.
    form.SetChangeMode();
    form.show();
    EXPECT_EQ(form.ChangeToEdit->text(), QString());
    EXPECT_EQ(form.VerifyEdit->text(), QString());
    enter(form.ChangeToEdit, QStringLiteral("x"));
    enter(form.VerifyEdit, QStringLiteral("x"));
    form.CancelButton->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(stored(), QStringLiteral("New"));
    EXPECT_EQ(form.QuitMark(), 0);
    EXPECT_FALSE(qb::quitRequested());
}

TEST_F(PasswordTest, ABlankPasswordIsAskedForFirst) {
    setStored(QStringLiteral("old"));
    form.SetChangeMode();
    form.show();
    boxes.messageAnswers = {qb::MessageResult::No};
    form.OkButton->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral("Are you sure you want to set a blank password?"));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Set Blank Password"));
    EXPECT_EQ(boxes.shown[0].buttons, qb::MessageButtons::YesNo);
    EXPECT_EQ(boxes.shown[0].icon, qb::MessageIcon::Question);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(stored(), QStringLiteral("old"));

    boxes.messageAnswers = {qb::MessageResult::Yes};
    form.OkButton->click();
    EXPECT_EQ(boxes.shown.back().text, QStringLiteral("Your password has been changed.    "));
    EXPECT_FALSE(form.isVisible());
    // The empty text's cipher text: the next start shows no log-in.
    EXPECT_EQ(stored(), QString());
    boxes.shown.clear();
    openModule();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(module->QuitMarkValue(), 0);
    EXPECT_TRUE(module->EntryTable.Active());
}

TEST_F(PasswordTest, AFailedWriteIsShownAndTheDialogStays) {
    setStored(QStringLiteral("old"));
    boxes.shown.clear();
    whenModal([this](QWidget*) {
        enter(form.PasswordEdit, QStringLiteral("old"));
        form.OkButton->click();
    });
    openModule(/*readOnly=*/true);
    ASSERT_EQ(module->QuitMarkValue(), 0);
    form.SetChangeMode();
    form.show();
    enter(form.ChangeToEdit, QStringLiteral("new"));
    enter(form.VerifyEdit, QStringLiteral("new"));
    form.OkButton->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].icon, qb::MessageIcon::Error);  // the default handler's box
    EXPECT_NE(boxes.shown[0].text, QStringLiteral("Your password has been changed.    "));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(stored(), QStringLiteral("old"));
    form.CancelButton->click();
}
