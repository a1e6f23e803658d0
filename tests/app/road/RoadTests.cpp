// The road of one request through the whole program, offscreen: a real diary in a program
// folder of its own, the program's windows made and started as the program's start does, a day
// opened by its key, typed into, saved, closed and opened again.

#include "app/MainUnit.h"
#include "app/ProgramInstance.h"
#include "app/ProgramWindows.h"
#include "dialogs/AboutUnit.h"
#include "dialogs/OptionsUnit.h"
#include "dialogs/PasswordUnit.h"
#include "editors/BaseEditorUnit.h"
#include "editors/DayEditorUnit.h"
#include "editors/EditorImage.h"
#include "menupaint/FlatMenuManager.h"
#include "pages/CustomPageControl.h"
#include "platform/core/Clock.h"
#include "platform/core/Dialogs.h"
#include "platform/db/Connection.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/Application.h"
#include "platform/ui/Components.h"
#include "platform/ui/ImageControl.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"
#include "tools/DesktopCalendarUnit.h"
#include "tools/ImportPicturesUnit.h"
#include "tools/PictureUnit.h"
#include "tools/SearchUnit.h"

#include "EmptyDiary.h"
#include "support/FakeSound.h"
#include "support/LoadedLibraries.h"
#include "support/StartedProgram.h"
#include "support/WhenModal.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace {

const QString kToday = QStringLiteral("20050305");  // the manual clock's day

class RoadTest : public ::testing::Test, protected qbtest::StartedProgram {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(startProgram());
        data = DataModule1;
        options = OptionsForm;
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main));
        PagesSep(true);
    }

    void TearDown() override { stopProgram(); }

    // "Pages are always opened in a separate tab." (on) or the Ctrl-key rule (off).
    void PagesSep(bool separate) {
        options->UseCtrlKeyRadioButton->setChecked(!separate);
        options->PagesSepTabRadioButton->setChecked(separate);
    }

    TDayEditorFrame* current() const {
        return qobject_cast<TDayEditorFrame*>(main->CurrentEditor());
    }

    // A key press as the user makes it, on the focused control of the main window, after the
    // idle update that the event loop runs between two of them.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        main->ActionListUpdate();
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : main;
        QTest::keyClick(target, key, modifiers);
    }

    std::string storedText(const QString& key) const {
        EXPECT_TRUE(data->EntryTable.Locate("sYYYYMMDD", key.toStdString()));
        return data->EntryTable.FieldByName("Entry").AsString();
    }

    // A day with a stored entry, as an earlier session left it.
    void storeDay(const QString& key, const QString& text) {
        qb::TRichEdit edit;
        edit.setPlainText(text);
        data->EntryTable.Insert();
        data->EntryTable.FieldByName("sYYYYMMDD").SetAsInteger(key.toInt());
        data->EntryTable.FieldByName("Entry").SetAsString(
            EncodeEntryText(edit.SaveRtf().toStdString()));
        data->EntryTable.Post();
        data->MarkMonthDay(key);
    }

    std::vector<QString> tabKeys() const {
        std::vector<QString> keys;
        for (QWidget* tab : main->Pages->Tabs()) {
            keys.push_back(qb::hint(tab));
        }
        return keys;
    }

    TDataModule1* data = nullptr;
    TOptionsForm* options = nullptr;
};

// The start as the event loop runs it: the loop turns between the main window's first show and
// the start-up timer, while the window is parked.
class FirstPaintTest : public ::testing::Test, protected qbtest::StartedProgram, public QObject {
  protected:
    void TearDown() override { stopProgram(); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == main && event->type() == QEvent::Paint) {
            paintedAt.push_back(main->pos());
        }
        return false;
    }

    std::vector<QPoint> paintedAt;
};

TEST_F(FirstPaintTest, TheMainWindowIsFirstPaintedWhereItStandsOnceAndNeverWhileParked) {
    ASSERT_TRUE(folder.isValid());
    CreateEmptyDiary((folder.path() + QStringLiteral("/Marlowick.mdb")).toStdString());
    qb::setDialogs(&boxes);
    windows = std::make_unique<ProgramWindows>(folder.path());
    main = &windows->main();
    main->installEventFilter(this);
    main->show();
    for (int turn = 0; turn < 5; ++turn) {
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(paintedAt.empty());
    clock.advance(1);  // the start-up timer: the window is centred
    ASSERT_TRUE(main->StartupFinished());
    EXPECT_EQ(paintedAt, std::vector<QPoint>{main->pos()});
    main->removeEventFilter(this);
}

TEST_F(RoadTest, AStartLoadsNoAudioAndTheFirstSoundStillPlays) {
    EXPECT_FALSE(qb::test::LibraryLoaded("libQt6Multimedia"));
    qb::FakeSound sound;
    main->SetSound(&sound);
    options->PlaySoundsCheckBox->setChecked(true);
    main->PlayProgramSound(QStringLiteral("BALLOON"));
    EXPECT_EQ(sound.played, std::vector<QString>{QStringLiteral("BALLOON")});
    main->SetSound(nullptr);
}

TEST_F(RoadTest, TheOneCopyPerFolderRuleLoadsNoNetworkLibrary) {
    const qb::ProgramInstance instance(AppFolder);
    EXPECT_FALSE(qb::test::LibraryLoaded("libQt6Network"));
}

TEST_F(RoadTest, AStartMakesNoToolWindowAndItsCommandMakesItWiredIntoTheProgram) {
    EXPECT_EQ(SearchForm.made(), nullptr);
    EXPECT_EQ(PictureForm.made(), nullptr);
    EXPECT_EQ(AboutForm.made(), nullptr);
    EXPECT_TRUE(SearchForm && PictureForm && AboutForm);  // asking does not make them

    main->ExecuteAction(main->SearchAction);
    ASSERT_NE(SearchForm.made(), nullptr);
    EXPECT_TRUE(SearchForm->isVisible());
    EXPECT_TRUE(SearchForm->ShowDay && SearchForm->ShowPicture && SearchForm->CurrentRichEdit);
    main->ExecuteAction(main->PictureViewerAction);
    ASSERT_NE(PictureForm.made(), nullptr);
    EXPECT_TRUE(PictureForm->isVisible());
    EXPECT_EQ(TFlatMenuManager::PainterOfMenu(PictureForm->ImagePopupMenu), main->FlatMenuPainter1);
    EXPECT_EQ(AboutForm.made(), nullptr);
    SearchForm->hide();
    PictureForm->hide();
}

TEST_F(RoadTest, TodaysEntryIsOpenedTypedSavedEncipheredAndComesBack) {
    EXPECT_TRUE(main->MainPanel->isHidden());
    press(Qt::Key_T);  // Go To Today's Entry

    TDayEditorFrame* frame = current();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->DateKey, kToday);
    EXPECT_EQ(tabKeys(), std::vector<QString>{kToday});
    EXPECT_TRUE(main->MainPanel->isVisible());
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Quillbrook: March  5, 2005 - Saturday"));
    EXPECT_EQ(frame->TitleLabel->text(), QStringLiteral("March  5, 2005 - Saturday"));
    EXPECT_FALSE(frame->IsModified());
    EXPECT_EQ(QApplication::focusWidget(), frame->RichEdit);
    // Opening the day made its row and its month mark, and the calendar marks it.
    EXPECT_EQ(storedText(kToday), "");
    auto* mark = qb::findComponent<QWidget>(main->CalendarPanel1, QStringLiteral("DayShape0"));
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(qb::hint(mark), kToday);

    QTest::keyClicks(frame->RichEdit, QStringLiteral("Dear diary"));
    EXPECT_TRUE(frame->IsModified());
    press(Qt::Key_S);  // Save
    EXPECT_FALSE(frame->IsModified());
    EXPECT_EQ(main->StatusText(), QStringLiteral("Entry was Saved."));

    const std::string stored = storedText(kToday);
    EXPECT_NE(stored.rfind("{\\rtf", 0), 0u) << "stored as cipher text";
    const std::string rtf = DecodeEntryText(stored);
    EXPECT_EQ(rtf.rfind("{\\rtf", 0), 0u);
    EXPECT_NE(rtf.find("Dear diary"), std::string::npos);

    press(Qt::Key_W);  // Close Tab
    EXPECT_EQ(main->PageCount(), 0);
    EXPECT_TRUE(main->MainPanel->isHidden());
    EXPECT_EQ(main->windowTitle(), FullTitle);

    press(Qt::Key_T);
    ASSERT_NE(current(), nullptr);
    EXPECT_EQ(current()->RichEdit->toPlainText(), QStringLiteral("Dear diary"));
    EXPECT_FALSE(current()->IsModified());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(RoadTest, APageBeyondTheTextLimitsIsRefusedAndItsRowIsLeftAsItWas) {
    const TBaseEditorFrame::TextLimits limits = TBaseEditorFrame::Limits;
    const auto restore = qScopeGuard([limits] { TBaseEditorFrame::Limits = limits; });
    TBaseEditorFrame::Limits = {2000, 50};

    storeDay(QStringLiteral("20050301"), QString(50, u'a'));  // at the limits: opens
    storeDay(QStringLiteral("20050302"), QString(51, u'a'));
    // Few characters in many bytes of RTF.
    const std::string heavy = "{\\rtf1 " + std::string(2000, ' ') + "short}";
    data->EntryTable.Insert();
    data->EntryTable.FieldByName("sYYYYMMDD").SetAsInteger(20050303);
    data->EntryTable.FieldByName("Entry").SetAsString(heavy);  // plain RTF, as others write it
    data->EntryTable.Post();
    data->OtherDocTable.Insert();
    data->OtherDocTable.FieldByName("Name").SetAsString("Long");
    data->OtherDocTable.FieldByName("Entry").SetAsString(
        EncodeEntryText("{\\rtf1 " + std::string(60, 'b') + "}"));
    data->OtherDocTable.Post();
    const std::string day2 = storedText(QStringLiteral("20050302"));

    main->Pages->ShowDay(QStringLiteral("20050301"));
    ASSERT_NE(current(), nullptr);
    EXPECT_EQ(current()->RichEdit->GetTextLen(), 50);
    EXPECT_TRUE(boxes.shown.empty());
    main->CloseTabActionExecute();

    const std::function<void()> refused[] = {
        [&] { main->Pages->ShowDay(QStringLiteral("20050302")); },
        [&] { main->Pages->ShowDay(QStringLiteral("20050303")); },
        [&] { main->Pages->ShowDocument(QStringLiteral("Long")); },
    };
    for (const auto& open : refused) {
        boxes.shown.clear();
        open();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Open Error"));
        EXPECT_EQ(boxes.shown[0].text,
                  QStringLiteral("This page is too large to be opened.   \r\nIts text holds more "
                                 "than 50 characters or 2000 bytes; it is left in the database "
                                 "as it is.   "));
        EXPECT_TRUE(main->Pages->Tabs().empty());
        EXPECT_TRUE(main->MainPanel->isHidden());
    }
    // Nothing was written back, also not when the program ends.
    main->close();
    EXPECT_EQ(storedText(QStringLiteral("20050302")), day2);
    EXPECT_EQ(storedText(QStringLiteral("20050303")), heavy);
}

TEST_F(RoadTest, ClosingTabsSelectsTheNextMadeAndTheCtrlKeyRuleReplacesThePage) {
    for (const char* key : {"20050301", "20050302", "20050303"}) {
        main->Pages->ShowDay(QString::fromLatin1(key));
    }
    EXPECT_EQ(main->PageCount(), 3);
    main->hide();
    main->Pages->ShowDay(QStringLiteral("20050302"));  // open already: selected, not opened
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->PageCount(), 3);
    EXPECT_EQ(current()->DateKey, QStringLiteral("20050302"));
    // Asked from another window of the program (the search, the desktop calendar), the main
    // window comes to the front.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    main->Pages->ShowDay(QStringLiteral("20050302"));
    EXPECT_TRUE(QTest::qWaitForWindowActive(main, 500));
    other.hide();

    press(Qt::Key_W);
    EXPECT_EQ(tabKeys(), (std::vector<QString>{"20050301", "20050303"}));
    EXPECT_EQ(current()->DateKey, QStringLiteral("20050303"));
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Quillbrook: March  3, 2005 - Thursday"));
    press(Qt::Key_W);
    EXPECT_EQ(current()->DateKey, QStringLiteral("20050301"));

    // The Ctrl-key rule: without Ctrl the selected page gives way, with Ctrl it stays.
    PagesSep(false);
    bool ctrl = false;
    main->Pages->Services.ctrlHeld = [&ctrl] { return ctrl; };
    QTest::keyClicks(current()->RichEdit, QStringLiteral("kept"));
    main->Pages->ShowDay(QStringLiteral("20050304"));
    EXPECT_EQ(tabKeys(), std::vector<QString>{"20050304"});
    ctrl = true;
    main->Pages->ShowDay(QStringLiteral("20050301"));
    EXPECT_EQ(tabKeys(), (std::vector<QString>{"20050304", "20050301"}));
    // The page that gave way was saved on closing.
    EXPECT_EQ(current()->RichEdit->toPlainText(), QStringLiteral("kept"));

    press(Qt::Key_W);
    press(Qt::Key_W);
    EXPECT_TRUE(main->MainPanel->isHidden());
    EXPECT_EQ(main->windowTitle(), FullTitle);
}

TEST_F(RoadTest, AFailedClosingSaveKeepsThePageAndTheExitWritesItsTextBesideTheDiary) {
    press(Qt::Key_T);
    TDayEditorFrame* frame = current();
    ASSERT_NE(frame, nullptr);
    QTest::keyClicks(frame->RichEdit, QStringLiteral("Precious words"));
    data->EntryTable.Close();  // as if the database had gone away

    press(Qt::Key_W);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Save Error"));
    EXPECT_EQ(main->CurrentEditor(), frame);
    EXPECT_TRUE(frame->IsModified());
    EXPECT_EQ(frame->RichEdit->toPlainText(), QStringLiteral("Precious words"));

    // The real exit: the text goes to a file beside the database, and a box says where.
    EXPECT_TRUE(main->FormClose());
    EXPECT_EQ(main->PageCount(), 0);
    const QString rescue = AppFolder + kToday + QStringLiteral(".rtf");
    ASSERT_TRUE(QFile::exists(rescue));
    QFile file(rescue);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("Precious words"));
    ASSERT_EQ(boxes.shown.size(), 3u);  // the closing save's box, then where the text went
    EXPECT_TRUE(boxes.shown[2].text.contains(kToday + QStringLiteral(".rtf")));
}

// The diary's folder takes no new file, so no change could be written: said at the start, not
// at every save.
class ReadOnlyFolderRoadTest : public ::testing::Test, protected qbtest::StartedProgram {
  protected:
    void SetUp() override {
        qb::db::SetWriteAccessQuery([this](const std::string& asked) {
            return asked != QFile::encodeName(folder.path()).toStdString();
        });
        ASSERT_NO_FATAL_FAILURE(startProgram());
    }
    void TearDown() override {
        stopProgram();
        qb::db::SetWriteAccessQuery(nullptr);
        DatabaseReadOnly = false;
    }
};

TEST_F(ReadOnlyFolderRoadTest, ADatabaseInAFolderThatTakesNoFileIsReportedAtTheStart) {
    EXPECT_TRUE(DatabaseReadOnly);
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Database Write Error"));
}

TEST_F(RoadTest, NextAndPreviousReplaceThePageWithTheNeighbouringDay) {
    storeDay(QStringLiteral("20050301"), QStringLiteral("first"));
    storeDay(QStringLiteral("20050310"), QStringLiteral("tenth"));
    press(Qt::Key_T);  // 5 March, made new between them
    ASSERT_NE(current(), nullptr);

    struct Step {
        qb::ImageControl* TBaseEditorFrame::*button;
        const char* expected;
    };
    const Step steps[] = {{&TBaseEditorFrame::NextImage, "20050310"},
                          {&TBaseEditorFrame::NextImage, "20050310"},  // the last row: again
                          {&TBaseEditorFrame::PreviousImage, "20050305"},
                          {&TBaseEditorFrame::PreviousImage, "20050301"},
                          {&TBaseEditorFrame::PreviousImage, "20050301"}};
    for (const Step& step : steps) {
        QWidget* button = current()->*step.button;
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(main->PageCount(), 1);  // replaced only once the handler has returned
        clock.advance(1);
        ASSERT_NE(current(), nullptr);
        EXPECT_EQ(current()->DateKey, QString::fromLatin1(step.expected));
        EXPECT_EQ(main->PageCount(), 1);
    }
    EXPECT_EQ(current()->RichEdit->toPlainText(), QStringLiteral("first"));
}

}  // namespace

TEST_F(RoadTest, ALaterStartBringsTheMainWindowForwardFromMinimisedOrBehindTheDesktopCalendar) {
    main->showMinimized();
    qb::BringProgramForward(*main);
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(main->windowState() & Qt::WindowMinimized);

    main->ExecuteAction(main->DesktopCalendarAction);
    main->close();  // only the desktop calendar shows
    ASSERT_FALSE(main->isVisible());
    qb::BringProgramForward(*main);
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(DesktopCalendarForm->isVisible());
    EXPECT_FALSE(qb::quitRequested());
}

TEST_F(RoadTest, TheDesktopCalendarOpensDaysStandsInForTheMainWindowAndEndsWithEveryPageSaved) {
    storeDay(QStringLiteral("20050302"), QStringLiteral("Tuesday"));
    main->ExecuteAction(main->DesktopCalendarAction);
    ASSERT_TRUE(DesktopCalendarForm->isVisible());
    QWidget* month = DesktopCalendarForm->CalendarPanel1;
    auto* day = qb::findComponent<QLabel>(month, u"Day2Label");
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(qb::hint(qb::findComponent<QWidget>(month, u"DayShape0")),
              QStringLiteral("20050302"));

    main->hide();
    QTest::mouseClick(day, Qt::LeftButton);
    EXPECT_TRUE(main->isVisible());  // the day opens in the main window
    ASSERT_EQ(tabKeys(), std::vector<QString>{QStringLiteral("20050302")});
    TDayEditorFrame* frame = current();
    ASSERT_NE(frame, nullptr);
    frame->RichEdit->moveCursor(QTextCursor::End);
    QTest::keyClicks(frame->RichEdit, QStringLiteral(" and more"));

    main->close();  // with the desktop calendar showing, the main window only hides
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(main->PageCount(), 1);
    EXPECT_FALSE(qb::quitRequested());

    DesktopCalendarForm->CloseImageClick();
    EXPECT_TRUE(qb::quitRequested());
    EXPECT_EQ(main->PageCount(), 0);
    EXPECT_TRUE(boxes.shown.empty());
    qb::TRichEdit stored;
    stored.LoadRtf(
        QByteArray::fromStdString(DecodeEntryText(storedText(QStringLiteral("20050302")))));
    EXPECT_EQ(stored.toPlainText(), QStringLiteral("Tuesday and more"));
}

TEST_F(RoadTest, AMinimisedDesktopCalendarComesBackByItsCommandAndWhenItStandsInForTheMain) {
    const auto minimised = [] {
        return (DesktopCalendarForm->windowState() & Qt::WindowMinimized) != 0;
    };
    main->ExecuteAction(main->DesktopCalendarAction);
    DesktopCalendarForm->MinimizeImageClick();
    ASSERT_TRUE(minimised());
    main->ExecuteAction(main->DesktopCalendarAction);  // "Show Desktop Calendar" again
    EXPECT_FALSE(minimised());

    // Without a task-bar button, a minimised calendar behind a hidden main window would leave
    // the program running with nothing in sight.
    DesktopCalendarForm->MinimizeImageClick();
    ASSERT_TRUE(minimised());
    main->close();
    EXPECT_FALSE(main->isVisible());
    EXPECT_FALSE(qb::quitRequested());
    EXPECT_TRUE(DesktopCalendarForm->isVisible());
    EXPECT_FALSE(minimised());
}

TEST_F(RoadTest, ThePictureViewerCommandBringsTheViewerToTheFrontFromBehindOrMinimised) {
    main->ExecuteAction(main->PictureViewerAction);
    ASSERT_TRUE(QTest::qWaitForWindowActive(PictureForm));

    main->activateWindow();  // the viewer stays open behind the main window
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    main->ExecuteAction(main->PictureViewerAction);
    EXPECT_TRUE(QTest::qWaitForWindowActive(PictureForm));

    PictureForm->setWindowState(PictureForm->windowState() | Qt::WindowMinimized);
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    main->ExecuteAction(main->PictureViewerAction);
    EXPECT_FALSE(PictureForm->windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(QTest::qWaitForWindowActive(PictureForm));
}

TEST_F(RoadTest, APageThatCannotBeSavedKeepsTheProgramRunningWithThatPageInView) {
    press(Qt::Key_T);
    TDayEditorFrame* frame = current();
    ASSERT_NE(frame, nullptr);
    QTest::keyClicks(frame->RichEdit, QStringLiteral("Precious words"));
    main->ExecuteAction(main->DesktopCalendarAction);
    main->close();
    ASSERT_FALSE(main->isVisible());
    data->EntryTable.Close();  // as if the database had gone away

    DesktopCalendarForm->CloseImageClick();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Save Error"));
    EXPECT_FALSE(qb::quitRequested());
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->CurrentEditor(), frame);
    EXPECT_EQ(frame->RichEdit->toPlainText(), QStringLiteral("Precious words"));
}

TEST_F(RoadTest, TheAboutBoxCountsEveryDayThatHasARowAtEachOpening) {
    AboutForm->show();
    EXPECT_EQ(AboutForm->EntryCountLabel->text(), QStringLiteral("0"));
    AboutForm->hide();
    press(Qt::Key_T);  // today's row is made, though nothing is written
    AboutForm->show();
    EXPECT_EQ(AboutForm->EntryCountLabel->text(), QStringLiteral("1"));
    AboutForm->hide();
}

TEST_F(RoadTest, ImportAndExportCommandsOpenTheirDialogsOverTheMainWindow) {
    data->OtherDocTable.Insert();
    data->OtherDocTable.FieldByName("Name").SetAsQString(QStringLiteral("Trip"));
    data->OtherDocTable.Post();
    QStringList seen;
    qbtest::whenModal([&](QWidget* window) {
        auto* import = qobject_cast<TImportPicturesForm*>(window);
        ASSERT_NE(import, nullptr);
        seen << import->windowTitle() << import->OtherDocsComboBox->currentText();
        EXPECT_EQ(import->parentWidget(), main);
        import->close();
    });
    main->ExecuteAction(main->ImportPicturesAction);
    qbtest::whenModal([&](QWidget* window) {
        seen << window->windowTitle();
        window->close();
    });
    main->ExecuteAction(main->ExportAction);
    EXPECT_EQ(seen, (QStringList{"Import Pictures", "Trip", "Export Entries"}));
}
