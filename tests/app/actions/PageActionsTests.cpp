// The page commands on the main window: their enabling by the page's state, Save and Delete
// Entry on both kinds of page, the find bar, and the undo history reached through Undo and Redo.

#include "EmptyDiary.h"
#include "app/EditActionsUnit.h"
#include "app/EditorProgram.h"
#include "app/MainExtensionUnit.h"
#include "app/MainUnit.h"
#include "app/PageActionsUnit.h"
#include "cipher/QbClass.h"
#include "dialogs/OptionsUnit.h"
#include "editors/DayEditorUnit.h"
#include "editors/DocumentEditorUnit.h"
#include "pages/CustomPageControl.h"
#include "platform/core/Color.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/Application.h"
#include "platform/ui/Components.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"
#include "support/FakeSound.h"
#include "support/ManualClock.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

enum class Kind { Day, Document };

const QString kDayKey = QStringLiteral("20050305");
const QString kDocumentName = QStringLiteral("Notes");

std::string rtfOf(const std::string& plain) {
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 " + plain + "\\par}";
}

// The RTF of a text of exactly length characters, in short lines of words, as a long diary
// page is (one unbroken line would make the control's layout, not the history, the cost).
std::string longRtf(int length) {
    const std::string line = std::string(9, 'w') + " ";
    std::string body;
    int count = 0;  // the end of the last paragraph is not counted
    while (count + 100 <= length) {
        for (int i = 0; i < 9; ++i) {
            body += line;
        }
        body += std::string(9, 'w') + "\\par ";  // 99 characters and a paragraph end
        count += 100;
    }
    body += std::string(static_cast<std::size_t>(length - count), 'x');
    return rtfOf(body);
}

// A count of the times an event filter saw its event and what it found then.
class InsidePage : public QObject {
  public:
    InsidePage(TBaseEditorFrame* frame, QAction* action) : frame_(frame), action_(action) {}
    bool frameAliveAfterAction = false;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ContextMenu) {
            return false;
        }
        action_->trigger();
        // The code of the page goes on after the command: the page must still be there.
        frameAliveAfterAction = !frame_.isNull() && frame_->RichEdit->GetTextLen() > 0;
        return true;
    }

  private:
    QPointer<TBaseEditorFrame> frame_;
    QAction* action_;
};

class PageActionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        main = std::make_unique<TMainForm>();
        FirstShow = false;
        AppFolder = dir.path() + QStringLiteral("/");
        IniPath = AppFolder + QStringLiteral("Marlowick.ini");
        DatabaseReadOnly = false;
        CreateEmptyDiary((AppFolder + QString::fromLatin1(DatabaseFileName)).toStdString());
        module = std::make_unique<TDataModule1>(AppFolder, *EntryCipher);
        module->OpenDatabase();
        DataModule1 = module.get();
        options = std::make_unique<TOptionsForm>();
        OptionsForm = options.get();
        options->PlaySoundsCheckBox->setChecked(true);
        main->SetSound(&sound);
        ConnectProgramWindows();
    }

    void TearDown() override {
        main.reset();
        DataModule1 = nullptr;
        module.reset();
        OptionsForm = nullptr;
        options.reset();
    }

    // Opens a page on a row made for it, as the opening routines do: a new selected tab.
    TBaseEditorFrame* openPage(Kind kind, const QString& key, const std::string& plain) {
        return openRtfPage(kind, key, rtfOf(plain));
    }

    TBaseEditorFrame* openRtfPage(Kind kind, const QString& key, const std::string& rtf) {
        TBaseEditorFrame* frame = nullptr;
        QString title = key;
        if (kind == Kind::Day) {
            addRow(module->EntryTable, "sYYYYMMDD", key);
            auto* day = new TDayEditorFrame(nullptr, qb::MainFormEditorServices(*main));
            day->LoadEntry(key, rtf);
            title = DateKeyToTitle(key);
            frame = day;
        } else {
            addRow(module->OtherDocTable, "Name", key);
            auto* document = new TDocumentEditorFrame(nullptr, qb::MainFormEditorServices(*main));
            document->LoadDocument(key, rtf);
            frame = document;
        }
        main->Pages->PlaceNewPage(frame, key, NextPageId(), kind == Kind::Document, title);
        return frame;
    }

    // Shortcuts reach only the active window.
    void showActive() {
        main->show();
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    }

    void addRow(qb::db::Table& table, const char* keyField, const QString& key) {
        if (table.Locate(keyField, key.toStdString())) {
            return;
        }
        table.Insert();
        table.FieldByName(keyField).SetAsQString(key);
        table.Post();
    }

    bool hasRow(Kind kind, const QString& key) {
        return kind == Kind::Day ? module->EntryTable.Locate("sYYYYMMDD", key.toStdString())
                                 : module->OtherDocTable.Locate("Name", key.toStdString());
    }

    std::string storedText(Kind kind, const QString& key) {
        qb::db::Table& table = kind == Kind::Day ? module->EntryTable : module->OtherDocTable;
        EXPECT_TRUE(hasRow(kind, key));
        return table.FieldByName("Entry").AsString();
    }

    int balloons() const {
        return static_cast<int>(
            std::count(sound.played.begin(), sound.played.end(), QStringLiteral("BALLOON")));
    }

    QTemporaryDir dir;
    qb::ScriptedDialogs boxes;
    qb::FakeSound sound;
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TDataModule1> module;
    std::unique_ptr<TOptionsForm> options;

  private:
    int lastId_ = 0;
};

// --- Enabling ---

TEST_F(PageActionsTest, IdleUpdateEnablesTheActionsByThePageState) {
    struct Case {
        const char* state;
        bool page;
        bool modified;
        int idx, max;
        bool save, undo, redo;
    };
    const Case cases[] = {
        {"no page", false, false, 0, 0, false, false, false},
        {"fresh page", true, false, 1, 1, false, false, false},
        {"typed", true, true, 1, 1, true, false, false},
        {"second snapshot", true, true, 2, 2, true, true, false},
        {"nine undo steps of ten", true, true, 1, 10, true, false, true},
        {"redo back to nine of ten", true, true, 9, 10, true, true, true},
        {"redo to the newest", true, true, 10, 10, true, true, false},
        {"saved", true, false, 1, 1, false, false, false},
    };
    TBaseEditorFrame* frame = nullptr;
    for (const Case& c : cases) {
        if (c.page && !frame) {
            frame = openPage(Kind::Day, kDayKey, "Dear diary");
        }
        if (frame) {
            frame->SetIsModified(c.modified);
            frame->iIdxUndo = c.idx;
            frame->iMaxUndo = c.max;
        }
        main->ActionListUpdate();
        EXPECT_EQ(main->SaveAction->isEnabled(), c.save) << c.state;
        EXPECT_EQ(main->UndoAction->isEnabled(), c.undo) << c.state;
        EXPECT_EQ(main->RedoAction->isEnabled(), c.redo) << c.state;
        for (QAction* a :
             {main->PrintAction, main->DeleteEntryAction, main->CloseTabAction,
              main->FontColorMenuItem, main->FontAction, main->DefaultFontAction,
              main->DefaultFont2Action, main->DefaultFont3Action, main->ShiftLeftAction,
              main->ShiftRightAction, main->FindAction, main->FindAgainAction}) {
            EXPECT_EQ(a->isEnabled(), c.page) << c.state << " " << a->objectName().toStdString();
        }
        // The colour commands keep their own enabling.
        EXPECT_TRUE(main->BlackAction->isEnabled()) << c.state;
    }

    // A tab that is not marked selected is no current page.
    main->Pages->UnselectAllTabs();
    main->ActionListUpdate();
    EXPECT_FALSE(main->SaveAction->isEnabled());
    EXPECT_FALSE(main->CloseTabAction->isEnabled());
}

TEST_F(PageActionsTest, ShortcutsRunOnlyActionsEnabledByAnUpdateJustBefore) {
    int runs = 0;
    for (QAction* a : {main->SaveAction, main->UndoAction, main->CloseTabAction}) {
        main->SetActionHandler(a, [&runs] { ++runs; });
        a->setEnabled(true);  // as a stale idle update may have left them
    }
    showActive();
    QTest::keyClick(main.get(), Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(main.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(main.get(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(runs, 0) << "no page open";

    TBaseEditorFrame* frame = openPage(Kind::Day, kDayKey, "Dear diary");
    main->ActionListUpdate();
    frame->SetIsModified(true);  // typed after the last idle update
    QTest::keyClick(main.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(runs, 1);
}

// --- Cut, Copy, Paste and Select All on the focused text control ---

TEST_F(PageActionsTest, EditingKeysWorkOnTheFocusedPageAndFollowItsState) {
    showActive();
    TBaseEditorFrame* frame = openPage(Kind::Day, kDayKey, "Dear diary");
    qb::TRichEdit& edit = *frame->RichEdit;
    edit.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == &edit; }));
    QGuiApplication::clipboard()->clear();
    edit.setSelStart(0);
    edit.setSelLength(0);
    main->ActionListUpdate();
    EXPECT_FALSE(main->CutAction->isEnabled());
    EXPECT_FALSE(main->CopyAction->isEnabled());
    EXPECT_TRUE(main->SelectAllAction->isEnabled());

    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(edit.SelLength(), edit.GetTextLen());
    edit.setSelStart(0);
    edit.setSelLength(5);
    QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Dear "));
    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("diary"));
    edit.setSelStart(edit.GetTextLen());
    edit.setSelLength(0);
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("diaryDear "));
    EXPECT_TRUE(frame->IsModified());

    // A read-only page copies but neither cuts nor pastes.
    edit.setReadOnly(true);
    edit.setSelStart(0);
    edit.setSelLength(5);
    main->ActionListUpdate();
    EXPECT_TRUE(main->CopyAction->isEnabled());
    EXPECT_FALSE(main->CutAction->isEnabled());
    EXPECT_FALSE(main->PasteAction->isEnabled());
}

// Under X every question to the clipboard is a round trip to the server: the enabling reads what
// the clipboard's change signal left, asking again only after a change.
TEST_F(PageActionsTest, PasteFollowsTheClipboardWithoutAskingItAtEveryKey) {
    showActive();
    TBaseEditorFrame* frame = openPage(Kind::Day, kDayKey, "Dear diary");
    qb::TRichEdit& edit = *frame->RichEdit;
    edit.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == &edit; }));
    auto* state = main->findChild<qb::ClipboardTextState*>();
    ASSERT_NE(state, nullptr);
    QClipboard* clipboard = QGuiApplication::clipboard();

    struct Step {
        const char* what;
        std::function<void()> change;
        bool pasteEnabled;
    };
    const std::vector<Step> steps = {
        {"emptied", [clipboard] { clipboard->clear(); }, false},
        {"text put on it", [clipboard] { clipboard->setText(QStringLiteral("pasted")); }, true},
        {"copied from the page",
         [&edit] {
             edit.setSelStart(0);
             edit.setSelLength(4);
             QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
             edit.setSelLength(0);
         },
         true},
        {"emptied again", [clipboard] { clipboard->clear(); }, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        main->ActionListUpdate();
        EXPECT_EQ(main->PasteAction->isEnabled(), step.pasteEnabled);
        const int asked = state->Queries();
        // Typing, with the idle update after every key.
        for (const QChar c : QStringLiteral(" typed on")) {
            QTest::keyClick(&edit, c.toLatin1());
            main->ActionListUpdate();
        }
        EXPECT_EQ(state->Queries(), asked) << "the clipboard was asked while typing";
        EXPECT_EQ(main->PasteAction->isEnabled(), step.pasteEnabled);
    }
}

// --- Save and Delete Entry ---

TEST_F(PageActionsTest, SaveWritesEitherKindOfPageEnciphered) {
    for (Kind kind : {Kind::Day, Kind::Document}) {
        const QString key = kind == Kind::Day ? kDayKey : kDocumentName;
        TBaseEditorFrame* frame = openPage(kind, key, "Dear diary");
        QTest::keyClicks(frame->RichEdit, "Quill ");
        frame->TakeUndoSnapshot();
        main->ActionListUpdate();
        ASSERT_TRUE(main->SaveAction->isEnabled());
        ASSERT_TRUE(main->UndoAction->isEnabled());

        main->SaveAction->trigger();
        const std::string stored = storedText(kind, key);
        EXPECT_NE(stored.rfind("{\\rtf", 0), 0u) << "enciphered";
        EXPECT_NE(EntryCipher->DecryptString(stored).find("Quill"), std::string::npos);
        EXPECT_FALSE(frame->IsModified());
        EXPECT_EQ(main->StatusText(), "Entry was Saved.");
        main->ActionListUpdate();
        EXPECT_FALSE(main->SaveAction->isEnabled());
        EXPECT_FALSE(main->UndoAction->isEnabled());
        EXPECT_FALSE(main->RedoAction->isEnabled());
    }
}

TEST_F(PageActionsTest, DeleteAsksFirstAndNoLeavesEverything) {
    for (Kind kind : {Kind::Day, Kind::Document}) {
        const QString key = kind == Kind::Day ? kDayKey : kDocumentName;
        TBaseEditorFrame* frame = openPage(kind, key, "Dear diary");
        boxes.shown.clear();
        boxes.messageAnswers = {qb::MessageResult::No};
        main->ActionListUpdate();
        main->DeleteEntryAction->trigger();
        QCoreApplication::processEvents();
        ASSERT_EQ(boxes.shown.size(), 1u);
        const auto& box = boxes.shown[0];
        EXPECT_EQ(box.title, "Confirm Delete Entry");
        EXPECT_EQ(box.text, "Are you sure you want to delete this entry?     \r\n" +
                                frame->TitleLabel->text());
        EXPECT_EQ(box.buttons, qb::MessageButtons::YesNo);
        EXPECT_EQ(box.icon, qb::MessageIcon::Question);
        EXPECT_TRUE(
            box.text.endsWith(kind == Kind::Day ? "March  5, 2005 - Saturday" : kDocumentName));
        EXPECT_TRUE(hasRow(kind, key));
        EXPECT_EQ(main->CurrentEditor(), frame);
    }
}

TEST_F(PageActionsTest, DeleteFromInsideThePageClosesItOnlyAfterTheCommandReturned) {
    for (Kind kind : {Kind::Day, Kind::Document}) {
        const QString key = kind == Kind::Day ? kDayKey : kDocumentName;
        TBaseEditorFrame* neighbour = openPage(Kind::Day, QStringLiteral("20050301"), "before");
        QPointer<TBaseEditorFrame> frame = openPage(kind, key, "Dear diary");
        boxes.messageAnswers = {qb::MessageResult::Yes};
        main->ActionListUpdate();

        InsidePage inside(frame, main->DeleteEntryAction);
        frame->RichEdit->installEventFilter(&inside);
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
        QCoreApplication::sendEvent(frame->RichEdit, &click);

        EXPECT_TRUE(inside.frameAliveAfterAction);
        EXPECT_FALSE(hasRow(kind, key)) << "deleted at once";
        QCoreApplication::processEvents();
        EXPECT_TRUE(frame.isNull()) << "closed once the command has returned";
        EXPECT_EQ(main->CurrentEditor(), neighbour) << "its neighbour selected";
        EXPECT_EQ(main->StatusText(), "Entry was Deleted.");
        main->CloseAllPages();
    }
}

TEST_F(PageActionsTest, APageClosedWhileTheQuestionIsOpenIsNotDeleted) {
    // The question's own message loop lets a timer or a hot key close the page.
    struct ClosingDialogs : qb::ScriptedDialogs {
        TMainForm* main = nullptr;
        qb::MessageResult messageBox(const QString& text, const QString& title,
                                     qb::MessageButtons buttons, qb::MessageIcon icon) override {
            main->ExecuteAction(main->CloseTabAction);
            return qb::ScriptedDialogs::messageBox(text, title, buttons, icon);
        }
    } closing;
    closing.main = main.get();
    TBaseEditorFrame* neighbour = openPage(Kind::Day, QStringLiteral("20050301"), "before");
    openPage(Kind::Day, kDayKey, "Dear diary");
    main->ActionListUpdate();
    main->DeleteEntryAction->trigger();
    QCoreApplication::processEvents();
    ASSERT_EQ(closing.shown.size(), 1u);
    EXPECT_TRUE(hasRow(Kind::Day, kDayKey));
    EXPECT_EQ(main->CurrentEditor(), neighbour) << "the neighbour neither deleted nor closed";
    EXPECT_TRUE(hasRow(Kind::Day, QStringLiteral("20050301")));
}

TEST_F(PageActionsTest, AFailedDeleteIsShownAndThePageStaysOpen) {
    TBaseEditorFrame* frame = openPage(Kind::Day, kDayKey, "Dear diary");
    // The file became read-only while the program ran.
    module->ADOConnection1.Close();
    module->ADOConnection1.SetForceReadOnly(true);
    module->OpenDatabase();
    boxes.messageAnswers = {qb::MessageResult::Yes, qb::MessageResult::Ok};
    main->ActionListUpdate();
    main->DeleteEntryAction->trigger();
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes.shown.size(), 2u) << "the question, then the failure";
    EXPECT_NE(boxes.shown[1].title, "Confirm Delete Entry");
    EXPECT_EQ(main->CurrentEditor(), frame);
    EXPECT_TRUE(hasRow(Kind::Day, kDayKey));
}

TEST_F(PageActionsTest, AtTheEndAPageWhoseTextCanBeKeptNowhereKeepsTheProgramOpen) {
    TBaseEditorFrame* frame = openPage(Kind::Day, kDayKey, "Dear diary");
    frame->RichEdit->textCursor().insertText(QStringLiteral("typed, "));
    ASSERT_TRUE(frame->IsModified());
    module->ADOConnection1.Close();
    module->ADOConnection1.SetForceReadOnly(true);
    module->OpenDatabase();
    // No folder takes the rescue file either.
    const QString savedFolder = AppFolder;
    const QByteArray savedHome = qgetenv("HOME");
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QString nowhere = AppFolder + QStringLiteral("no such folder/");
    AppFolder = nowhere;
    qputenv("HOME", nowhere.toUtf8());
    qputenv("XDG_RUNTIME_DIR", nowhere.toUtf8());
    const bool closed = main->close();
    AppFolder = savedFolder;
    qputenv("HOME", savedHome);
    savedRuntime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", savedRuntime);

    EXPECT_FALSE(closed);
    EXPECT_FALSE(qb::quitRequested());
    EXPECT_EQ(main->CurrentEditor(), frame);
    EXPECT_TRUE(frame->IsModified());
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_NE(boxes.shown.back().text.indexOf("The page stays open"), -1);
}

// --- Find bar ---

class FindBarTest : public PageActionsTest {
  protected:
    void SetUp() override {
        PageActionsTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        showActive();
    }

    qb::TRichEdit* openText(const std::string& plain) {
        return openPage(Kind::Day, kDayKey, plain)->RichEdit;
    }

    bool fieldFound() const {
        const QPalette palette = main->FindEdit->palette();
        const bool white = palette.color(QPalette::Base) == QColor(Qt::white) &&
                           palette.color(QPalette::Text) == QColor(Qt::black);
        const bool dark = palette.color(QPalette::Base) == qb::toQColor(BackgroundColor) &&
                          palette.color(QPalette::Text) == QColor(Qt::white);
        EXPECT_NE(white, dark);
        return white;
    }
};

TEST_F(FindBarTest, TypingSearchesFromTheTopAndDarkensTheFieldWhenNothingIsFound) {
    qb::TRichEdit* edit = openText("Dear diary, dear friend.");
    main->FindAction->trigger();
    struct Step {
        const char* keys;  // typed into the field; "\b" is a backspace, "" selects all first
        QString field;
        int selStart, selLength;
        bool found;
    };
    const Step steps[] = {
        {"d", "d", 0, 1, true},       {"ear", "dear", 0, 4, true},
        {"", "Diary", 5, 5, true},  // case does not matter
        {"x", "Diaryx", 5, 0, false}, {"\b", "Diary", 5, 5, true},
    };
    for (const Step& s : steps) {
        if (*s.keys == '\0') {
            main->FindEdit->selectAll();
            QTest::keyClicks(main->FindEdit, s.field);
        } else if (*s.keys == '\b') {
            QTest::keyClick(main->FindEdit, Qt::Key_Backspace);
        } else {
            QTest::keyClicks(main->FindEdit, QString::fromLatin1(s.keys));
        }
        ASSERT_EQ(main->FindEdit->text(), s.field);
        EXPECT_EQ(edit->SelStart(), s.selStart) << s.keys;
        EXPECT_EQ(edit->SelLength(), s.selLength) << s.keys;
        EXPECT_EQ(fieldFound(), s.found) << s.keys;
    }
    EXPECT_EQ(balloons(), 1);

    // A key that changes nothing searches again from the top.
    edit->setSelStart(12);
    QTest::keyClick(main->FindEdit, Qt::Key_Left);
    EXPECT_EQ(edit->SelStart(), 5);
    EXPECT_EQ(edit->SelLength(), 5);
}

TEST_F(FindBarTest, FindAgainGoesOnAndWrapsRoundPastTheEnd) {
    qb::TRichEdit* edit = openText("one two one two one");
    main->FindEdit->setText(QStringLiteral("ONE"));
    // From the caret at the top on; also while the bar is hidden, with the text last left in
    // the field.
    for (int expected : {8, 16, 0, 8}) {
        main->FindAgainAction->trigger();
        EXPECT_EQ(edit->SelStart(), expected);
        EXPECT_EQ(edit->SelLength(), 3);
        EXPECT_TRUE(fieldFound());
    }
    // From the end of the text the range runs past it and the search starts at the top.
    edit->setSelStart(edit->GetTextLen());
    main->FindAgainAction->trigger();
    EXPECT_EQ(edit->SelStart(), 0);
    EXPECT_EQ(balloons(), 0);

    main->FindEdit->setText(QStringLiteral("three"));
    main->FindAgainAction->trigger();
    EXPECT_EQ(edit->SelLength(), 0);
    EXPECT_FALSE(fieldFound());
    EXPECT_EQ(balloons(), 1);
}

TEST_F(FindBarTest, AnAccentKeptApartInThePageIsFoundAndSelectedWhole) {
    qb::TRichEdit* edit = openText("{\\rtf1\\ansi un cafe\\u769? noir, un caf\\'e9}");
    main->FindEdit->setText(QStringLiteral("café"));
    main->FindAgainAction->trigger();
    EXPECT_EQ(edit->SelStart(), 3);
    EXPECT_EQ(edit->SelLength(), 5) << "the letter and its mark";
    main->FindAgainAction->trigger();
    EXPECT_EQ(edit->SelStart(), 18);
    EXPECT_EQ(edit->SelLength(), 4);
    EXPECT_TRUE(fieldFound());
}

TEST_F(FindBarTest, AnEmptySearchTextClearsTheSelectionAndTheDarkField) {
    qb::TRichEdit* edit = openText("Dear diary");
    main->FindEdit->setText(QStringLiteral("zzz"));
    main->FindAgainAction->trigger();
    ASSERT_FALSE(fieldFound());
    ASSERT_EQ(balloons(), 1);
    main->FindEdit->clear();
    edit->setSelStart(2);
    edit->setSelLength(3);
    main->FindAgainAction->trigger();
    EXPECT_TRUE(fieldFound());
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(edit->SelLength(), 0);
    EXPECT_EQ(balloons(), 1) << "no sound for an empty text";
}

TEST_F(FindBarTest, ShownAndHiddenByFindEscAndTheCloseImage) {
    main->FindEdit->setText(QStringLiteral("diary"));
    main->FindAction->trigger();
    main->FindAgainAction->trigger();
    EXPECT_TRUE(main->FindPanel->isHidden()) << "no page: nothing";

    qb::TRichEdit* edit = openText("Dear diary");
    main->ActionListUpdate();
    main->FindAction->trigger();
    ASSERT_FALSE(main->FindPanel->isHidden());
    EXPECT_EQ(main->FindEdit->selectedText(), "diary");
    QTest::keyClick(main->FindEdit, Qt::Key_F3);  // its press ran Find Again
    EXPECT_EQ(edit->SelStart(), 5);
    EXPECT_EQ(edit->SelLength(), 5);
    EXPECT_FALSE(main->FindPanel->isHidden());

    QTest::keyClick(main->FindEdit, Qt::Key_Escape);
    EXPECT_TRUE(main->FindPanel->isHidden());
    EXPECT_EQ(main->FindEdit->text(), "diary") << "the field keeps its text";
    if (QApplication::focusWidget()) {
        EXPECT_EQ(QApplication::focusWidget(), edit);
    }

    main->FindAction->trigger();
    main->FindAction->trigger();
    EXPECT_TRUE(main->FindPanel->isHidden()) << "Ctrl+F with the bar open hides it";

    main->FindAction->trigger();
    main->ButtonImageMouseDown(main->CloseFindImage);
    main->ButtonImageMouseUp(main->CloseFindImage);
    EXPECT_TRUE(main->FindPanel->isHidden());
}

// --- Undo history through the commands ---

class UndoTest : public PageActionsTest {
  protected:
    // Types and lets the page's own 200-ms tracker see more than a second of stillness.
    void typeAndWait(TBaseEditorFrame* frame, const char* text) {
        QTest::keyClicks(frame->RichEdit, QString::fromLatin1(text));
        clock.advance(1201);
    }

    qb::ManualClock clock;
};

TEST_F(UndoTest, SnapshotOnlyAfterMoreThanASecondOfStillnessWhateverTheTickCount) {
    // Five seconds in; past 2^31 ms (24.8 days); just before the 32-bit count wraps.
    const std::uint32_t starts[] = {5000u, 0x80000000u - 400u, 0xFFFFFFFFu - 400u};
    std::uint32_t now = 0;
    for (std::uint32_t start : starts) {
        clock.advance(start - now);
        now = start;
        TBaseEditorFrame* frame = openPage(Kind::Day, kDayKey, "Dear diary");
        QTest::keyClicks(frame->RichEdit, "a");
        clock.advance(999);
        main->ActionListUpdate();
        EXPECT_EQ(frame->iIdxUndo, 1) << start;
        EXPECT_FALSE(main->UndoAction->isEnabled()) << start;
        QTest::keyClicks(frame->RichEdit, "b");  // the second starts again
        clock.advance(999);
        EXPECT_EQ(frame->iIdxUndo, 1) << start;
        clock.advance(202);
        main->ActionListUpdate();
        EXPECT_EQ(frame->iIdxUndo, 2) << start;
        EXPECT_TRUE(main->UndoAction->isEnabled()) << start;
        now += 999 + 999 + 202;
        main->CloseAllPages();
        module->EntryTable.Locate("sYYYYMMDD", kDayKey.toStdString());
        module->EntryTable.Delete();
    }
}

TEST_F(UndoTest, RedoRightAfterTypingKeepsTheTyping) {
    clock.advance(5000);
    TBaseEditorFrame* frame = openPage(Kind::Day, kDayKey, "Dear diary");
    typeAndWait(frame, "one ");
    typeAndWait(frame, "two ");
    main->ActionListUpdate();
    main->UndoAction->trigger();
    main->UndoAction->trigger();
    main->ActionListUpdate();
    ASSERT_EQ(frame->iIdxUndo, 1);
    ASSERT_TRUE(main->RedoAction->isEnabled());

    QTest::keyClicks(frame->RichEdit, "fresh");  // less than a second before the Redo
    main->RedoAction->trigger();
    EXPECT_NE(frame->RichEdit->toPlainText().indexOf("fresh"), -1);
    clock.advance(1201);
    main->ActionListUpdate();
    EXPECT_FALSE(main->RedoAction->isEnabled()) << "the typing is the newest snapshot";
    main->UndoAction->trigger();
    EXPECT_EQ(frame->RichEdit->toPlainText().indexOf("fresh"), -1);
}

TEST_F(UndoTest, LongTextsKeepFewSnapshots) {
    struct Case {
        int length;  // characters of the text
        // The newest index reached (the loaded text is the first) and the lower bound then.
        std::vector<std::pair<int, int>> steps;
    };
    const Case cases[] = {
        {2000000, {{5, 0}, {6, 1}, {7, 2}}},              // budget 2: a window of five
        {600000, {{5, 0}, {6, 1}}},                       // 0.5 ties to 0: budget 2
        {120000, {{10, 0}, {11, 6}, {16, 6}, {17, 12}}},  // 2.5 ties to 2: budget 10
        {30000, {{50, 0}, {51, 46}}},                     // budget 50
    };
    clock.advance(5000);
    for (const Case& c : cases) {
        TBaseEditorFrame* frame = openRtfPage(Kind::Day, kDayKey, longRtf(c.length));
        ASSERT_EQ(frame->RichEdit->GetTextLen(), c.length);
        for (const auto& [newest, bound] : c.steps) {
            while (frame->iMaxUndo < newest) {
                frame->TakeUndoSnapshot();  // as a formatting command takes it
            }
            EXPECT_EQ(frame->iMinUndo, bound) << c.length << " at " << newest;
        }
        const int bound = c.steps.back().second;
        for (int i = 0; i < 60; ++i) {
            main->UndoAction->trigger();
        }
        EXPECT_EQ(frame->iIdxUndo, bound + 1) << c.length;
        EXPECT_TRUE(frame->UndoHistory[static_cast<std::size_t>(frame->iIdxUndo)].Used);
        main->CloseAllPages();
        module->EntryTable.Locate("sYYYYMMDD", kDayKey.toStdString());
        module->EntryTable.Delete();
    }
}

}  // namespace
