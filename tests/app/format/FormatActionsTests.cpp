#include "app/FormatUnit.h"

#include "app/MainUnit.h"
#include "editors/DocumentEditorUnit.h"
#include "pages/CustomPageControl.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/Components.h"
#include "program/ProgramState.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qb {
namespace {

// Two paragraphs whose first lines start 140 and 150 twips from the margin (7 and 7.5 points).
const std::string kText =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 "
    "\\fi140 First line\\par\\pard\\fi150 Second line\\par}";

// The main window with its formatting actions and one open document page.
class FormatActionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        AppFolder = folder.path() + QLatin1Char('/');
        main = std::make_unique<TMainForm>();
        FirstShow = false;  // shown without the program's start-up
        actions = InstallFormatActions(*main);
    }

    void TearDown() override {
        closePages();
        main.reset();
    }

    // Closed without their closing saves: these pages have no row to be written to.
    void closePages() {
        for (QWidget* tab : main->Pages->Tabs()) {
            if (QWidget* frame = main->Pages->CurrentEditor()) {
                frame->setProperty("fbIsModified", false);
            }
            main->ClosePage(tag(tab));
        }
    }

    TDocumentEditorFrame* openPage() {
        auto* frame = new TDocumentEditorFrame(nullptr);
        frame->LoadDocument(QStringLiteral("Notes"), kText);
        main->Pages->PlaceNewPage(frame, QStringLiteral("Notes"), QStringLiteral("1"), true,
                                  QStringLiteral("Notes"));
        frame->RichEdit->setFocus();  // as the opening routines leave it
        return frame;
    }

    // The page's text written as it is stored and read back, with the same selection.
    std::unique_ptr<TRichEdit> reloaded(TRichEdit& edit) const {
        auto copy = std::make_unique<TRichEdit>();
        copy->LoadRtf(edit.SaveRtf());
        copy->setSelStart(edit.SelStart());
        copy->setSelLength(edit.SelLength());
        return copy;
    }

    QTemporaryDir folder;
    ScriptedDialogs boxes;
    std::unique_ptr<TMainForm> main;
    FormatActions* actions = nullptr;
};

FontChoice font(const char* family, int size, TColor color, bool bold, bool italic, bool underline,
                bool strikeout) {
    FontChoice f;
    f.family = QString::fromLatin1(family);
    f.pointSize = size;
    f.color = color;
    f.bold = bold;
    f.italic = italic;
    f.underline = underline;
    f.strikeout = strikeout;
    return f;
}

TEST_F(FormatActionsTest, WithoutAPageNothingRunsAndNoDialogShows) {
    boxes.colorAnswers = {0x123456};
    boxes.fontAnswers = {font("Arial", 9, 0, true, false, false, false)};
    for (QAction* a : main->actions()) {
        if (a->property("Category").toString() == QLatin1String("Format") ||
            a->property("Category").toString() == QLatin1String("Color")) {
            main->ExecuteAction(a);
        }
    }
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(main->BoldAction->isEnabled());
    EXPECT_FALSE(main->BoldAction->isChecked());
}

// Every action on the first word, then the page saved and read back: the stored text keeps it,
// the page is modified, and the action left its undo step (the shifts leave none of their own).
TEST_F(FormatActionsTest, EveryActionSurvivesSaveAndReloadWithItsUndoStep) {
    struct Case {
        const char* what;
        QAction* TMainForm::*action;
        std::function<void(ScriptedDialogs&)> script;
        std::function<bool(TRichEdit&)> holds;
        int snapshots = 1;  // undo steps the action records itself
    };
    const auto color = [](TColor c) {
        return [c](TRichEdit& e) { return e.SelAttributes().Color() == c; };
    };
    const auto style = [](TFontStyle s) {
        return [s](TRichEdit& e) { return e.SelAttributes().Style().testFlag(s); };
    };
    const auto align = [](TAlignment a) {
        return [a](TRichEdit& e) { return e.Paragraph().Alignment() == a; };
    };
    const auto none = [](ScriptedDialogs&) {};
    const FontChoice chosen = font("Courier New", 14, 0x0000FF, true, true, true, true);
    DefaultFont1 = font("Verdana", 11, 0x008000, false, true, false, false);
    DefaultFont2 = font("Georgia", 13, 0x800000, false, false, true, false);
    DefaultFont3 = font("Times New Roman", 8, 0x000080, false, false, false, true);
    const auto isFont = [](const FontChoice& f) {
        return [f](TRichEdit& e) { return SelectionFont(e) == f; };
    };
    const std::vector<Case> cases = {
        {"Black", &TMainForm::BlackAction, none, color(0x000000)},
        {"Navy", &TMainForm::NavyAction, none, color(0x800000)},
        {"Blue", &TMainForm::BlueAction, none, color(0xFF0000)},
        {"Teal", &TMainForm::TealAction, none, color(0x808000)},
        {"Aqua", &TMainForm::AquaAction, none, color(0xFFFF00)},
        {"Maroon", &TMainForm::MaroonAction, none, color(0x000080)},
        {"Red", &TMainForm::RedAction, none, color(0x0000FF)},
        {"Green", &TMainForm::GreenAction, none, color(0x008000)},
        {"Lime", &TMainForm::LimeAction, none, color(0x00FF00)},
        {"Yellow", &TMainForm::YellowAction, none, color(0x00FFFF)},
        {"Purple", &TMainForm::PurpleAction, none, color(0x800080)},
        {"Gray", &TMainForm::GrayAction, none, color(0x808080)},
        {"Other Color", &TMainForm::OtherColorAction,
         [](ScriptedDialogs& s) { s.colorAnswers = {0x123456}; }, color(0x123456)},
        {"Font", &TMainForm::FontAction, [chosen](ScriptedDialogs& s) { s.fontAnswers = {chosen}; },
         isFont(chosen)},
        {"Default Font 1", &TMainForm::DefaultFontAction, none, isFont(DefaultFont1)},
        {"Default Font 2", &TMainForm::DefaultFont2Action, none, isFont(DefaultFont2)},
        {"Default Font 3", &TMainForm::DefaultFont3Action, none, isFont(DefaultFont3)},
        {"Bold", &TMainForm::BoldAction, none, style(TFontStyle::Bold)},
        {"Italic", &TMainForm::ItalicAction, none, style(TFontStyle::Italic)},
        {"Underline", &TMainForm::UnderlineAction, none, style(TFontStyle::Underline)},
        {"Strikeout", &TMainForm::StrikeOutAction, none, style(TFontStyle::StrikeOut)},
        {"Bullets", &TMainForm::BulletsAction, none,
         [](TRichEdit& e) { return e.Paragraph().Numbering() == TNumberingStyle::Bullet; }},
        {"Center", &TMainForm::AlignCenterAction, none, align(TAlignment::Center)},
        {"Align Right", &TMainForm::AlignRightAction, none, align(TAlignment::RightJustify)},
        {"Shift Right", &TMainForm::ShiftRightAction, none,
         [](TRichEdit& e) { return e.Paragraph().FirstIndentTwips() == 19 * 20; }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        closePages();
        TDocumentEditorFrame* frame = openPage();
        TRichEdit& edit = *frame->RichEdit;
        edit.setSelStart(0);
        edit.setSelLength(5);
        ASSERT_FALSE(c.holds(edit));
        frame->SetIsModified(false);
        const int steps = frame->iIdxUndo;
        ScriptedDialogs script;
        c.script(script);

        main->ExecuteAction(main.get()->*c.action);

        EXPECT_TRUE(frame->IsModified());
        EXPECT_EQ(frame->iIdxUndo, steps + c.snapshots);
        EXPECT_TRUE(c.holds(*reloaded(edit)));
    }
}

TEST_F(FormatActionsTest, PopupAndToolBarItemsAreTheMainMenusActions) {
    QMenu* popupFormat = nullptr;
    for (QAction* a : main->DocumentPopup->actions()) {
        if (a->menu() && a->text() == QLatin1String("Format")) {
            popupFormat = a->menu();
        }
    }
    ASSERT_NE(popupFormat, nullptr);
    const QList<QAction*> popupItems = popupFormat->actions();
    const QList<QAction*> barItems = main->FormatToolbar->actions();
    for (QAction* a : {main->BoldAction, main->ItalicAction, main->UnderlineAction,
                       main->StrikeOutAction, main->BulletsAction, main->AlignLeftAction,
                       main->AlignCenterAction, main->AlignRightAction, main->DefaultFontAction,
                       main->FontAction, main->ShiftLeftAction, main->ShiftRightAction}) {
        EXPECT_TRUE(popupItems.contains(a)) << a->objectName().toStdString();
    }
    for (QAction* a : {main->BoldAction, main->StrikeOutAction, main->AlignRightAction,
                       main->BulletsAction, main->DefaultFont3Action, main->FontAction}) {
        EXPECT_TRUE(barItems.contains(a)) << a->objectName().toStdString();
    }
}

TEST_F(FormatActionsTest, CheckableActionsToggleAndShowTheSelection) {
    TDocumentEditorFrame* frame = openPage();
    TRichEdit& edit = *frame->RichEdit;
    edit.setSelStart(0);
    edit.setSelLength(5);
    UpdateFormatActionStates(*main, *actions);
    EXPECT_TRUE(main->AlignLeftAction->isChecked());
    main->BoldAction->trigger();
    EXPECT_TRUE(main->BoldAction->isChecked());
    EXPECT_TRUE(edit.SelAttributes().Style().testFlag(TFontStyle::Bold));
    main->BoldAction->trigger();
    EXPECT_FALSE(main->BoldAction->isChecked());
    EXPECT_FALSE(reloaded(edit)->SelAttributes().Style().testFlag(TFontStyle::Bold));
    main->AlignRightAction->trigger();
    main->AlignCenterAction->trigger();
    EXPECT_TRUE(main->AlignCenterAction->isChecked());
    EXPECT_FALSE(main->AlignRightAction->isChecked());
    EXPECT_FALSE(main->AlignLeftAction->isChecked());
    main->BulletsAction->trigger();
    main->BulletsAction->trigger();
    EXPECT_FALSE(main->BulletsAction->isChecked());
    EXPECT_EQ(reloaded(edit)->Paragraph().Numbering(), TNumberingStyle::None);
}

// Ctrl+B in the find field, or any standard command while another control has the focus,
// leaves the page alone; the page's own commands (colours, fonts, shifts) still reach it.
TEST_F(FormatActionsTest, StandardCommandsWorkOnTheFocusedPageOnly) {
    TDocumentEditorFrame* frame = openPage();
    TRichEdit& edit = *frame->RichEdit;
    main->show();
    QApplication::setActiveWindow(main.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    edit.setSelStart(0);
    edit.setSelLength(5);
    main->FindPanel->show();
    main->FindEdit->setFocus();
    frame->SetIsModified(false);
    const QByteArray before = edit.SaveRtf();
    const int steps = frame->iIdxUndo;

    UpdateFormatActionStates(*main, *actions);
    for (QAction* a : {main->BoldAction, main->ItalicAction, main->UnderlineAction,
                       main->StrikeOutAction, main->BulletsAction, main->AlignLeftAction,
                       main->AlignCenterAction, main->AlignRightAction}) {
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
        main->ExecuteAction(a);
    }
    QTest::keyClick(main->FindEdit, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(main->FindEdit, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(edit.SaveRtf(), before);
    EXPECT_FALSE(frame->IsModified());
    EXPECT_EQ(frame->iIdxUndo, steps);

    main->ExecuteAction(main->RedAction);
    main->ExecuteAction(main->ShiftRightAction);
    const std::unique_ptr<TRichEdit> back = reloaded(edit);
    EXPECT_EQ(back->SelAttributes().Color(), TColor(0x0000FF));
    EXPECT_EQ(back->Paragraph().FirstIndentTwips(), 140 + 240);

    // A tool button takes no focus from the page: its click reaches the focused page.
    edit.setFocus();
    UpdateFormatActionStates(*main, *actions);
    EXPECT_TRUE(main->BoldAction->isEnabled());
    QWidget* button = main->FormatToolbar->widgetForAction(main->BoldAction);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(reloaded(edit)->SelAttributes().Style().testFlag(TFontStyle::Bold));
    EXPECT_EQ(QApplication::focusWidget(), &edit);
    EXPECT_TRUE(main->BoldAction->isChecked());
}

TEST_F(FormatActionsTest, ShiftsWorkInWholePointsFromTheFirstSelectedParagraph) {
    struct Case {
        int firstTwips;   // first indent of the first paragraph
        int secondTwips;  // of the second
        bool both;        // the selection spans both paragraphs
        QAction* TMainForm::*action;
        int firstAfter;
        int secondAfter;
    };
    const Case cases[] = {
        {140, 150, false, &TMainForm::ShiftRightAction, 380, 150},
        {150, 140, false, &TMainForm::ShiftRightAction, 380, 140},
        {0, 480, true, &TMainForm::ShiftRightAction, 240, 240},
        {480, 0, true, &TMainForm::ShiftLeftAction, 240, 240},
        {150, 0, false, &TMainForm::ShiftLeftAction, 0, 0},  // never left of the margin
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firstTwips);
        closePages();
        TDocumentEditorFrame* frame = openPage();
        TRichEdit& edit = *frame->RichEdit;
        const std::string text = "{\\rtf1\\ansi\\fi" + std::to_string(c.firstTwips) +
                                 " First line\\par\\pard\\fi" + std::to_string(c.secondTwips) +
                                 " Second line\\par}";
        edit.LoadRtf(QByteArray::fromStdString(text));
        edit.setSelStart(2);
        edit.setSelLength(c.both ? 14 : 2);
        main->ExecuteAction(main.get()->*c.action);
        const std::unique_ptr<TRichEdit> back = reloaded(edit);
        back->setSelStart(0);
        EXPECT_EQ(back->Paragraph().FirstIndentTwips(), c.firstAfter);
        back->setSelStart(12);
        EXPECT_EQ(back->Paragraph().FirstIndentTwips(), c.secondAfter);
    }
}

TEST_F(FormatActionsTest, DialogsCancelledOrReadOnlyPagesChangeNothing) {
    TDocumentEditorFrame* frame = openPage();
    TRichEdit& edit = *frame->RichEdit;
    edit.setSelStart(0);
    edit.setSelLength(5);
    frame->SetIsModified(false);
    const QByteArray before = edit.SaveRtf();
    const int steps = frame->iIdxUndo;

    main->ExecuteAction(main->OtherColorAction);  // cancelled
    main->ExecuteAction(main->FontAction);        // cancelled
    ASSERT_EQ(boxes.shown.size(), 2u);
    // The font dialog opens on the selection's font.
    EXPECT_EQ(boxes.shown[1].initialFont, SelectionFont(edit));

    edit.setReadOnly(true);
    boxes.colorAnswers = {0x123456};
    for (QAction* a :
         {main->OtherColorAction, main->FontAction, main->RedAction, main->DefaultFontAction,
          main->ShiftRightAction, main->BoldAction, main->BulletsAction, main->AlignCenterAction}) {
        main->ExecuteAction(a);
    }
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(edit.SaveRtf(), before);
    EXPECT_FALSE(frame->IsModified());
    EXPECT_EQ(frame->iIdxUndo, steps);
}

TEST_F(FormatActionsTest, OtherColorOpensWithTheColourLastChosen) {
    openPage();
    boxes.colorAnswers = {0x00ABCDEF, std::nullopt, std::nullopt};
    for (int i = 0; i < 3; ++i) {
        main->ExecuteAction(main->OtherColorAction);
    }
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[0].initialColor, 0u);
    EXPECT_EQ(boxes.shown[1].initialColor, 0x00ABCDEFu);
    EXPECT_EQ(boxes.shown[2].initialColor, 0x00ABCDEFu);
}

TEST_F(FormatActionsTest, ADefaultFontNotYetLoadedKeepsTheFaceAndSize) {
    TDocumentEditorFrame* frame = openPage();
    TRichEdit& edit = *frame->RichEdit;
    edit.setSelStart(0);
    edit.setSelLength(5);
    edit.SelAttributes().setStyle(TFontStyle::Bold, true);
    DefaultFont2 = FontChoice();
    main->ExecuteAction(main->DefaultFont2Action);
    const std::unique_ptr<TRichEdit> back = reloaded(edit);
    EXPECT_EQ(back->SelAttributes().Size(), 12);
    EXPECT_EQ(back->SelAttributes().Name(), QStringLiteral("Arial"));
    EXPECT_FALSE(back->SelAttributes().Style().testFlag(TFontStyle::Bold));
}

TEST_F(FormatActionsTest, SizeKeysStepByOnePointAndNeverBelowOne) {
    TDocumentEditorFrame* frame = openPage();
    TRichEdit& edit = *frame->RichEdit;
    struct Case {
        int size;
        int key;
        Qt::KeyboardModifiers modifiers;
        int after;
    };
    const Case cases[] = {
        {1, Qt::Key_Minus, Qt::ControlModifier, 1},
        {2, Qt::Key_Minus, Qt::ControlModifier, 1},
        {1, Qt::Key_Equal, Qt::ControlModifier, 2},
        {1, Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, 2},
    };
    const int length = edit.GetTextLen();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        edit.setSelStart(0);
        edit.setSelLength(5);
        edit.SelAttributes().setSize(c.size);
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers);
        QCoreApplication::sendEvent(&edit, &press);
        EXPECT_EQ(reloaded(edit)->SelAttributes().Size(), c.after);
        EXPECT_EQ(edit.GetTextLen(), length);  // the key typed nothing
    }
}

}  // namespace
}  // namespace qb
