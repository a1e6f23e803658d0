#include "app/DocumentProgram.h"

#include "EmptyDiary.h"
#include "app/MainExtensionUnit.h"
#include "app/MainUnit.h"
#include "editors/DocumentEditorUnit.h"
#include "menupaint/FlatMenuManager.h"
#include "pages/CustomPageControl.h"
#include "pages/DocumentUnit.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/Components.h"
#include "platform/ui/PaintBox.h"
#include "store/DatabaseUnit.h"
#include "support/MainWindowOnDiary.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTemporaryDir>

#include <memory>

namespace {

// The main window wired to a diary file with no documents yet.
class DocumentProgramTest : public qb::test::MainWindowOnDiary {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(openMainWindow());
        ConnectProgramWindows();
        main->RefreshDocumentList();
        DefaultFont1.family = QStringLiteral("Verdana");
        DefaultFont1.pointSize = 11;
    }

    void TearDown() override { closeMainWindow(); }

    TDocumentEditorFrame* current() const {
        return qobject_cast<TDocumentEditorFrame*>(main->CurrentEditor());
    }

    QAction* menuItem(const QString& name) const {
        for (QAction* a : main->Document1->actions()) {
            if (qb::hint(a) == name) {
                return a;
            }
        }
        return nullptr;
    }
};

TEST_F(DocumentProgramTest, NewDocumentOpensItsPageInTheFirstDefaultFont) {
    boxes.inputAnswers = {QStringLiteral("Trip")};
    main->ExecuteAction(main->NewAction);
    TDocumentEditorFrame* frame = current();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->DocumentName, QStringLiteral("Trip"));
    EXPECT_EQ(frame->objectName(), QStringLiteral("aDocumentEditorFrame%1").arg(PageCounter));
    EXPECT_EQ(frame->TitleLabel->text(), QStringLiteral("Trip"));
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Quillbrook: Trip"));
    EXPECT_FALSE(frame->IsModified());
    EXPECT_EQ(frame->RichEdit->SelAttributes().Name(), QStringLiteral("Verdana"));
    EXPECT_EQ(frame->RichEdit->SelAttributes().Size(), 11);
    ASSERT_NE(menuItem(QStringLiteral("Trip")), nullptr);

    // Its menu item selects the open tab rather than opening a second page.
    menuItem(QStringLiteral("Trip"))->trigger();
    EXPECT_EQ(main->Pages->PageCount(), 1);
}

TEST_F(DocumentProgramTest, DocumentItemsAreDrawnByTheMenuPainter) {
    boxes.inputAnswers = {QStringLiteral("Trip")};
    main->ExecuteAction(main->NewAction);
    QAction* item = menuItem(QStringLiteral("Trip"));
    ASSERT_NE(item, nullptr);
    QAction* popupItem = main->Documents1->actions().last();
    EXPECT_EQ(qb::hint(popupItem), QStringLiteral("Trip"));

    // Measured and painted flat: the gradient of the icon column next to its text.
    for (QMenu* menu : {main->Document1, main->Documents1}) {
        menu->popup(QPoint(40, 40));
        QCoreApplication::processEvents();
        const QRect r = menu->actionGeometry(menu->actions().last());
        const QImage image = menu->grab().toImage();
        EXPECT_EQ(r.height(),
                  main->Document1->actionGeometry(main->Document1->actions().first()).height());
        EXPECT_NE(image.pixel(r.left() + 25, r.top() + 1), image.pixel(r.left() + 40, r.top() + 1))
            << menu->title().toStdString();
        menu->hide();
    }
    EXPECT_EQ(TFlatMenuManager::PainterOfMenu(main->Documents1), main->FlatMenuPainter1);
}

TEST_F(DocumentProgramTest, AFormattedDocumentKeepsItsTextAndFormatThroughTheDatabase) {
    boxes.inputAnswers = {QStringLiteral("Notes")};
    main->ExecuteAction(main->NewAction);
    TDocumentEditorFrame* frame = current();
    ASSERT_NE(frame, nullptr);
    frame->RichEdit->LoadRtf("{\\rtf1\\ansi Plain words\\par}");
    frame->RichEdit->setSelStart(0);
    frame->RichEdit->setSelLength(5);
    main->ExecuteAction(main->BoldAction);
    main->ExecuteAction(main->RedAction);
    main->ExecuteAction(main->ShiftRightAction);
    ASSERT_TRUE(frame->IsModified());
    main->CloseTabActionExecute();  // the closing save writes the row
    ASSERT_EQ(main->Pages->PageCount(), 0);

    auto* panel = main->DocumentScrollBox->widget();
    const QList<QLabel*> labels =
        panel->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(labels.size(), 1);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(labels.first(), &press);

    frame = current();
    ASSERT_NE(frame, nullptr);
    qb::TRichEdit& edit = *frame->RichEdit;
    EXPECT_EQ(edit.Lines(), QStringList{QStringLiteral("Plain words")});
    edit.setSelStart(0);
    edit.setSelLength(5);
    EXPECT_TRUE(edit.SelAttributes().Style().testFlag(qb::TFontStyle::Bold));
    EXPECT_EQ(edit.SelAttributes().Color(), 0x0000FFu);
    EXPECT_EQ(edit.Paragraph().FirstIndent(), 12);
    edit.setSelStart(7);
    edit.setSelLength(3);
    EXPECT_FALSE(edit.SelAttributes().Style().testFlag(qb::TFontStyle::Bold));
}

}  // namespace

TEST_F(DocumentProgramTest, TheSideListShowsThePanelShadingBehindAndBetweenItsLabels) {
    for (const char* name : {"Alpha", "Beta", "Gamma"}) {
        store->OtherDocTable.Insert();
        store->OtherDocTable.FieldByName("Name").SetAsQString(QString::fromLatin1(name));
        store->OtherDocTable.Post();
    }
    main->RefreshDocumentList();
    main->show();
    QCoreApplication::processEvents();

    const QImage shown = main->DocPanel->grab().toImage();
    const QImage shading = main->DocPanelPaintBox->grab().toImage();
    const QPoint shadingAt = main->DocPanelPaintBox->pos();
    QWidget* list = main->DocumentScrollBox->widget();
    struct Spot {
        const char* where;
        QPoint inList;
    };
    // Left of the first label's text, and below the last label, where the list has ended.
    for (const Spot& s :
         {Spot{"beside a label", QPoint(4, 12)}, Spot{"below the list", QPoint(30, 3 * 24 + 40)}}) {
        const QPoint p = list->mapTo(main->DocPanel, s.inList);
        ASSERT_TRUE(shown.rect().contains(p)) << s.where;
        EXPECT_EQ(shown.pixel(p), shading.pixel(p - shadingAt)) << s.where;
    }
}
