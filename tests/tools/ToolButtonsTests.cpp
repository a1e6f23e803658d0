// Enter in the two tool dialogs that have no default button: it presses the button that has the
// focus and nothing elsewhere (a press in the folder tree must not start an export or an import).

#include "tools/ExportUnit.h"
#include "tools/ImportPicturesUnit.h"

#include <QPushButton>
#include <QTest>

#include "ToolTestSupport.h"
#include "platform/ui/FolderTree.h"

namespace {

class ToolButtons : public qbtest::ToolDiary {
  protected:
    // Shows the dialog, puts the focus on target and types Enter there; true when the dialog
    // is still open afterwards.
    static bool enterOn(QDialog& dialog, QWidget* target) {
        dialog.setResult(QDialog::Accepted);
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        target->setFocus();
        EXPECT_EQ(QApplication::focusWidget(), target) << target->objectName().toStdString();
        QTest::keyClick(target, Qt::Key_Return);
        const bool open = dialog.isVisible();
        dialog.reject();
        return open;
    }

    qbtest::HookedDialogs boxes;
};

TEST_F(ToolButtons, EnterPressesTheFocusedButtonAndNothingElsewhere) {
    qb::setDialogs(&boxes);
    TExportForm exportForm;
    TImportPicturesForm importForm;
    struct Case {
        QDialog* dialog;
        QWidget* target;
        bool staysOpen;
    };
    const Case cases[] = {
        {&exportForm, exportForm.CloseBitButton, false},
        {&exportForm, exportForm.ShellTreeView, true},
        {&importForm, importForm.CloseBitButton, false},
        {&importForm, importForm.ShellTreeView, true},
        {&importForm, importForm.Button1, true},  // nothing selected: only the box
    };
    for (const Case& c : cases) {
        const std::string name =
            (c.dialog->objectName() + u'.' + c.target->objectName()).toStdString();
        boxes.shown.clear();
        EXPECT_EQ(enterOn(*c.dialog, c.target), c.staysOpen) << name;
        if (c.target == importForm.Button1) {
            ASSERT_EQ(boxes.shown.size(), 1u) << name;
            EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Import Error"));
        } else {
            EXPECT_TRUE(boxes.shown.empty()) << name;
        }
    }
    qb::setDialogs(nullptr);
}

}  // namespace
