// The editor frame on its own: layout, modified mark, keys, buttons and the undo history.

#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollArea>
#include <QTest>

#include <new>
#include <vector>

#include "EditorTestSupport.h"
#include "editors/BaseEditorUnit.h"
#include "editors/DayEditorUnit.h"
#include "editors/EditorImage.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/Components.h"
#include "platform/ui/ImageControl.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/Timer.h"
#include "support/ScriptedDialogs.h"

namespace {

const char kShortRtf[] = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Dear diary\\par}";

class EditorFrameTest : public ::testing::Test {
  protected:
    std::unique_ptr<TDayEditorFrame> makeFrame(const std::string& text = kShortRtf) {
        auto frame = std::make_unique<TDayEditorFrame>(nullptr, recorded.services());
        frame->resize(600, 400);
        frame->LoadEntry(QStringLiteral("20050305"), text);
        return frame;
    }

    // Moves the caret as typing does, then lets the tracker see a second of stillness.
    void typeAndWait(TBaseEditorFrame& frame, const QString& text) {
        QTest::keyClicks(frame.RichEdit, text);
        recorded.tick += 1001;
        frame.RichEditStateTimerTimer();
    }

    ProgramState state;
    qb::ScriptedDialogs dialogs;
    RecordedServices recorded;
};

TEST_F(EditorFrameTest, LayoutFromTopToBottom) {
    auto frame = makeFrame();
    frame->show();
    frame->RichEdit->setFocus();
    QCoreApplication::processEvents();

    EXPECT_EQ(frame->TitlePanel->geometry(), QRect(0, 0, 600, 45));
    EXPECT_EQ(frame->DocPanelPaintBox->geometry(), QRect(0, 0, 600, 45));
    EXPECT_EQ(frame->TitleLabel->geometry(), QRect(4, 11, 592, 23));
    EXPECT_EQ(frame->ModifyToolbarPanel->geometry(), QRect(0, 372, 600, 28));
    EXPECT_EQ(frame->RichEditBorder->geometry(), QRect(0, 45, 600, 327));
    EXPECT_EQ(frame->RichEdit->geometry(), QRect(6, 6, 588, 315));
    EXPECT_EQ(frame->ThumbnailPanel->height(), 0);
    EXPECT_FALSE(frame->UndoPanel->isVisible());
    EXPECT_EQ(frame->NextPrevPanel->geometry(), QRect(498, 2, 102, 26));
    EXPECT_EQ(frame->ModifiedLabel->pos(), QPoint(12, 6));

    struct Image {
        qb::ImageControl* image;
        QPoint pos;
        const char* hint;
        bool visible;
    };
    for (const Image& i : {Image{frame->PreviousImage, {55, 5}, "Previous Document", true},
                           Image{frame->NextImage, {80, 5}, "Next Document", true},
                           Image{frame->ExploreImage, {30, 3}, "Explore Pictures Folder", false},
                           Image{frame->RefreshImage, {7, 5}, "Refresh Thumnails", false}}) {
        EXPECT_EQ(i.image->geometry(), QRect(i.pos, QSize(16, 16))) << i.hint;
        EXPECT_EQ(qb::hint(i.image), i.hint);
        EXPECT_EQ(i.image->isVisible(), i.visible) << i.hint;
    }
    EXPECT_TRUE(frame->RichEditStateTimer->isEnabled());
    EXPECT_FALSE(frame->ThumbnailTimer->isEnabled());
    EXPECT_EQ(frame->RichEdit->MaxLength(), 2000000);
    EXPECT_TRUE(frame->RichEdit->WantTabs());
}

TEST_F(EditorFrameTest, OptionsAndSwitchAtInitialize) {
    struct Case {
        bool toolbarOption;
        bool undoSwitch;
    };
    for (const Case c : {Case{true, false}, Case{false, true}}) {
        recorded.showToolbar = c.toolbarOption;
        recorded.undoSwitch = c.undoSwitch;
        auto frame = makeFrame();
        EXPECT_EQ(frame->ModifyToolbarPanel->isHidden(), !c.toolbarOption);
        EXPECT_EQ(frame->UndoPanel->isHidden(), !c.undoSwitch);
        // The option is read once: turning it on again does not bring the tool bar back.
        recorded.showToolbar = true;
        EXPECT_EQ(frame->ModifyToolbarPanel->isHidden(), !c.toolbarOption);
    }
}

TEST_F(EditorFrameTest, ModifiedMarkFollowsTyping) {
    auto frame = makeFrame();
    EXPECT_FALSE(frame->IsModified());
    EXPECT_EQ(frame->ModifiedLabel->text(), "unmodified");
    EXPECT_FALSE(frame->ModifiedLabel->font().bold());
    QTest::keyClicks(frame->RichEdit, "x");
    EXPECT_TRUE(frame->property("fbIsModified").toBool());
    EXPECT_EQ(frame->ModifiedLabel->text(), "modified");
    EXPECT_TRUE(frame->ModifiedLabel->font().bold());
}

TEST_F(EditorFrameTest, ReadOnlyDatabaseKeepsPagesUnmodified) {
    DatabaseReadOnly = true;
    auto frame = makeFrame();
    const QString before = frame->RichEdit->toPlainText();
    QTest::keyClicks(frame->RichEdit, "typed");
    QTest::keyClick(frame->RichEdit, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_TRUE(frame->RichEdit->ReadOnly());
    EXPECT_EQ(frame->RichEdit->toPlainText(), before);
    EXPECT_FALSE(frame->IsModified());
    EXPECT_EQ(frame->ModifiedLabel->text(), "unmodified");
}

TEST_F(EditorFrameTest, FontSizeKeys) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int sizeChange;
        const char* typed;
    };
    const Case cases[] = {
        {Qt::Key_Equal, Qt::ControlModifier, 1, ""},
        {Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, 1, ""},
        {Qt::Key_Minus, Qt::ControlModifier, -1, ""},
        {Qt::Key_Underscore, Qt::ControlModifier | Qt::ShiftModifier, -1, ""},
        {Qt::Key_Equal, Qt::NoModifier, 0, "="},
    };
    for (const Case& c : cases) {
        auto frame = makeFrame();
        frame->RichEdit->SelectAll();
        const int size = frame->RichEdit->SelAttributes().Size();
        QTest::keyClick(frame->RichEdit, c.key, c.modifiers);
        frame->RichEdit->SelectAll();
        EXPECT_EQ(frame->RichEdit->SelAttributes().Size(), size + c.sizeChange) << c.key;
        EXPECT_EQ(frame->RichEdit->toPlainText() == QLatin1String("="), *c.typed != 0) << c.key;
    }
}

TEST_F(EditorFrameTest, ImageButtonsPressedLookAndClicks) {
    auto frame = makeFrame();
    frame->show();
    frame->ExploreImage->show();
    frame->RefreshImage->show();
    for (qb::ImageControl* image :
         {frame->PreviousImage, frame->NextImage, frame->ExploreImage, frame->RefreshImage}) {
        const QPoint start = image->pos();
        QTest::mousePress(image, Qt::RightButton, {}, QPoint(8, 8));
        EXPECT_EQ(image->pos(), start + QPoint(1, 1));
        QTest::mouseRelease(image, Qt::RightButton, {}, QPoint(8, 8));
        EXPECT_EQ(image->pos(), start);
    }
    QTest::mouseClick(frame->ExploreImage, Qt::LeftButton, {}, QPoint(8, 8));
    ASSERT_EQ(recorded.openedFolders.size(), 1u);
    EXPECT_EQ(recorded.openedFolders[0], frame->PictureFolder());
    // Any button steps the page; here there is no database, so the step reaches the handler.
    EXPECT_TRUE(recorded.daySteps.empty());
}

// --- Undo history ---

TEST(EditorUndoBudget, ShrinksWithTheTextLength) {
    const std::pair<int, int> table[] = {
        {0, 1500000}, {7500, 200},  {7700, 195}, {30000, 50}, {40000, 40},
        {120000, 10}, {200000, 10}, {300000, 5}, {600000, 2}, {2000000, 2},
    };
    for (const auto& [length, budget] : table) {
        EXPECT_EQ(TBaseEditorFrame::UndoBudget(length), budget) << length;
    }
}

TEST_F(EditorFrameTest, ResetTakesTheLoadedTextAsFirstSnapshot) {
    recorded.undoSwitch = true;
    auto frame = makeFrame();
    EXPECT_EQ(frame->iIdxUndo, 1);
    EXPECT_EQ(frame->iMaxUndo, 1);
    EXPECT_EQ(frame->iMinUndo, 0);
    EXPECT_TRUE(frame->CanTrackUndo);
    EXPECT_EQ(frame->LastSelChangeTick, 0u);
    EXPECT_TRUE(frame->UndoHistory[1].Used);
    EXPECT_FALSE(frame->UndoHistory[0].Used);
    EXPECT_EQ(frame->IdxUndoLabel->text(), "1");
    EXPECT_EQ(frame->MaxUndoLabel->text(), "1");
    EXPECT_EQ(frame->CanTrackUndoLabel->text(), "True");
}

TEST_F(EditorFrameTest, SnapshotAfterOneSecondOfStillnessAlsoAcrossTheWrap) {
    for (std::uint32_t start : {5000u, 0xFFFFFF00u}) {
        recorded.tick = start;
        auto frame = makeFrame();
        QTest::keyClicks(frame->RichEdit, "a");
        EXPECT_EQ(frame->LastSelChangeTick, start);
        recorded.tick = start + 1000;
        frame->RichEditStateTimerTimer();
        EXPECT_EQ(frame->iMaxUndo, 1) << "not before more than 1000 ms";
        recorded.tick = start + 1001;
        frame->RichEditStateTimerTimer();
        EXPECT_EQ(frame->iIdxUndo, 2) << start;
        EXPECT_EQ(frame->iMaxUndo, 2);
        EXPECT_EQ(frame->LastSelChangeTick, 0u);
    }
}

TEST_F(EditorFrameTest, UndoAndRedoWalkTheSnapshots) {
    auto frame = makeFrame();
    const QString loaded = frame->RichEdit->toPlainText();
    typeAndWait(*frame, "one ");
    const QString afterOne = frame->RichEdit->toPlainText();
    typeAndWait(*frame, "two ");
    ASSERT_EQ(frame->iMaxUndo, 3);

    frame->SetIsModified(false);
    frame->Undo();
    EXPECT_EQ(frame->RichEdit->toPlainText(), afterOne);
    EXPECT_TRUE(frame->IsModified());
    frame->Undo();
    EXPECT_EQ(frame->RichEdit->toPlainText(), loaded);
    frame->Undo();  // the oldest snapshot: nothing changes
    EXPECT_EQ(frame->iIdxUndo, 1);
    EXPECT_EQ(frame->RichEdit->toPlainText(), loaded);

    frame->Redo();
    EXPECT_EQ(frame->RichEdit->toPlainText(), afterOne);
    frame->Redo();
    frame->Redo();  // refused past the newest, which is reloaded
    EXPECT_EQ(frame->iIdxUndo, 3);

    // Undo twice and type: the redo snapshots are given up.
    frame->Undo();
    frame->Undo();
    typeAndWait(*frame, "three");
    EXPECT_EQ(frame->iIdxUndo, 2);
    EXPECT_EQ(frame->iMaxUndo, 2);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EditorFrameTest, UndoFirstRecordsTypingNotYetSnapshotted) {
    auto frame = makeFrame();
    const QString loaded = frame->RichEdit->toPlainText();
    QTest::keyClicks(frame->RichEdit, "quick");
    frame->Undo();
    EXPECT_EQ(frame->iMaxUndo, 2);
    EXPECT_EQ(frame->RichEdit->toPlainText(), loaded);
    frame->Redo();
    EXPECT_NE(frame->RichEdit->toPlainText().indexOf("quick"), -1);
}

TEST_F(EditorFrameTest, LimitBoxAtTheTwoHundredthSnapshot) {
    auto frame = makeFrame();
    for (int i = 2; i <= 200; ++i) {
        QTest::keyClicks(frame->RichEdit, "a");
        frame->TakeUndoSnapshot();
    }
    ASSERT_EQ(frame->iIdxUndo, 200);
    EXPECT_TRUE(dialogs.shown.empty());
    QTest::keyClicks(frame->RichEdit, "b");
    frame->TakeUndoSnapshot();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Maximum Undo Count Exceeded");
    EXPECT_EQ(dialogs.shown[0].text,
              "The maximum undo count (200) without saving has now been exceeded.   \r\nYou must "
              "now save your work to restart the maximum undo count.    ");
    EXPECT_EQ(dialogs.shown[0].buttons, qb::MessageButtons::OkCancel);
    EXPECT_EQ(frame->iIdxUndo, 200);
    EXPECT_EQ(frame->iMaxUndo, 200);
    EXPECT_EQ(frame->iMinUndo, 0);
    // Slot 200 now holds the newest text; every snapshot down to the loaded text is reachable.
    const QString newest = frame->RichEdit->toPlainText();
    frame->Undo();
    frame->Redo();
    EXPECT_EQ(frame->RichEdit->toPlainText(), newest);
    for (int i = 0; i < 250; ++i) {
        frame->Undo();
    }
    EXPECT_EQ(frame->iIdxUndo, 1);
}

TEST_F(EditorFrameTest, LongTextKeepsASlidingWindowOfFive) {
    // 3000 paragraphs of 99 letters and their ends: 300000 characters, a budget of 5.
    std::string rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < 3000; ++i) {
        rtf += std::string(99, 'x') + "\\par ";
    }
    rtf += "}";
    auto frame = makeFrame(rtf);
    for (int i = 2; i <= 5; ++i) {
        frame->TakeUndoSnapshot();
        EXPECT_EQ(frame->iMinUndo, 0) << i;
    }
    frame->TakeUndoSnapshot();
    EXPECT_EQ(frame->iMaxUndo, 6);
    EXPECT_EQ(frame->iMinUndo, 1);
    EXPECT_FALSE(frame->UndoHistory[1].Used);
    for (int i = 0; i < 10; ++i) {
        frame->Undo();
    }
    EXPECT_EQ(frame->iIdxUndo, 2);
}

TEST_F(EditorFrameTest, SaveRestartsTheHistory) {
    auto frame = makeFrame();
    typeAndWait(*frame, "a");
    typeAndWait(*frame, "b");
    frame->AfterSave();
    EXPECT_EQ(recorded.statuses, std::vector<QString>{"Entry was Saved."});
    EXPECT_EQ(frame->iIdxUndo, 1);
    EXPECT_EQ(frame->iMaxUndo, 1);
    for (int i = 2; i <= 3; ++i) {
        EXPECT_FALSE(frame->UndoHistory[static_cast<std::size_t>(i)].Used) << i;
    }
    frame->AfterDelete();
    EXPECT_EQ(recorded.statuses.back(), "Entry was Deleted.");
}

// A day page whose snapshots can be made to fail, as when memory runs out while one is stored.
class FailingSnapshotFrame : public TDayEditorFrame {
  public:
    using TDayEditorFrame::TDayEditorFrame;
    bool failSnapshots = false;

  protected:
    QByteArray UndoSnapshotText() const override {
        if (failSnapshots) {
            throw std::bad_alloc();
        }
        return TDayEditorFrame::UndoSnapshotText();
    }
};

TEST_F(EditorFrameTest, AFailedSnapshotLeavesEveryReachableSnapshotWhole) {
    struct Case {
        const char* state;
        int snapshots;  // taken after the loaded text
        int undos;      // then undone
    };
    const Case cases[] = {
        {"at the newest", 3, 0},
        {"after undo, over a redo step", 3, 2},
        {"at the limit, over slot 200", 199, 0},
    };
    for (const Case& c : cases) {
        dialogs.shown.clear();
        FailingSnapshotFrame frame(nullptr, recorded.services());
        frame.LoadEntry(QStringLiteral("20050305"), kShortRtf);
        std::vector<QString> texts{frame.RichEdit->toPlainText()};  // by index, from 1
        for (int i = 0; i < c.snapshots; ++i) {
            QTest::keyClicks(frame.RichEdit, "a");
            frame.TakeUndoSnapshot();
            texts.push_back(frame.RichEdit->toPlainText());
        }
        for (int i = 0; i < c.undos; ++i) {
            frame.Undo();
        }
        const int idx = frame.iIdxUndo, max = frame.iMaxUndo, min = frame.iMinUndo;

        QTest::keyClicks(frame.RichEdit, "b");
        frame.failSnapshots = true;
        frame.TakeUndoSnapshot();
        EXPECT_EQ(frame.iIdxUndo, idx) << c.state;
        EXPECT_EQ(frame.iMaxUndo, max) << c.state;
        EXPECT_EQ(frame.iMinUndo, min) << c.state;
        EXPECT_FALSE(frame.CanTrackUndo) << c.state;
        QTest::keyClicks(frame.RichEdit, "c");
        EXPECT_EQ(frame.LastSelChangeTick, 0u) << "tracking stays off: " << c.state;

        // Every snapshot Undo and Redo reach still holds its own text.
        frame.failSnapshots = false;
        while (frame.iIdxUndo > min + 1) {
            frame.Undo();
        }
        EXPECT_TRUE(frame.CanTrackUndo) << c.state;
        for (int i = min + 1;; ++i) {
            ASSERT_EQ(frame.iIdxUndo, i) << c.state;
            EXPECT_EQ(frame.RichEdit->toPlainText(), texts[static_cast<std::size_t>(i - 1)])
                << c.state << " at " << i;
            if (i == max) {
                break;
            }
            frame.Redo();
        }
        if (c.snapshots < 199) {
            EXPECT_TRUE(dialogs.shown.empty()) << c.state;
        }
    }
}

TEST_F(EditorFrameTest, RedoKeepsTypingItCouldNotRecord) {
    FailingSnapshotFrame frame(nullptr, recorded.services());
    frame.LoadEntry(QStringLiteral("20050305"), kShortRtf);
    typeAndWait(frame, "one ");
    frame.Undo();
    ASSERT_LT(frame.iIdxUndo, frame.iMaxUndo);
    QTest::keyClicks(frame.RichEdit, "fresh");
    frame.failSnapshots = true;
    frame.Redo();
    EXPECT_NE(frame.RichEdit->toPlainText().indexOf("fresh"), -1);
    EXPECT_EQ(frame.iIdxUndo, 1);
}

TEST_F(EditorFrameTest, AFailedFirstSnapshotLeavesNothingToUndoOrRedo) {
    FailingSnapshotFrame frame(nullptr, recorded.services());
    frame.LoadEntry(QStringLiteral("20050305"), kShortRtf);
    typeAndWait(frame, "one ");
    frame.failSnapshots = true;
    frame.AfterSave();  // the restart of the history cannot store the saved text
    EXPECT_EQ(frame.iIdxUndo, 0);
    EXPECT_EQ(frame.iMaxUndo, 0) << "Redo is not enabled on the given-up history";
    const QString shown = frame.RichEdit->toPlainText();
    frame.Redo();
    frame.Undo();
    EXPECT_EQ(frame.RichEdit->toPlainText(), shown);
}

TEST_F(EditorFrameTest, MessagesLetThroughWhileRestoringCannotUndoAgainOrLoseThePage) {
    // An Undo key waiting in the queue: it would move the index under the load.
    {
        auto services = recorded.services();
        TDayEditorFrame* target = nullptr;
        int nested = 0;
        services.processEvents = [&] {
            if (target && nested++ == 0) {
                target->Undo();
            }
        };
        TDayEditorFrame frame(nullptr, services);
        frame.LoadEntry(QStringLiteral("20050305"), kShortRtf);
        typeAndWait(frame, "one ");
        const QString afterOne = frame.RichEdit->toPlainText();
        typeAndWait(frame, "two ");
        target = &frame;
        frame.Undo();
        EXPECT_EQ(frame.iIdxUndo, 2);
        EXPECT_EQ(frame.RichEdit->toPlainText(), afterOne);
        EXPECT_EQ(frame.LastSelChangeTick, 0u) << "the load is no typing";
        EXPECT_EQ(frame.iMaxUndo, 3);
    }
    // A close of the page waiting in the queue.
    {
        auto services = recorded.services();
        std::unique_ptr<TDayEditorFrame> frame;
        services.processEvents = [&] { frame.reset(); };
        frame = std::make_unique<TDayEditorFrame>(nullptr, services);
        frame->LoadEntry(QStringLiteral("20050305"), kShortRtf);
        typeAndWait(*frame, "one ");
        frame->Undo();
        EXPECT_EQ(frame, nullptr);
    }
}

}  // namespace
