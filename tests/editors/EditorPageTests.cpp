// Day and document pages against a real diary file: load, save, failed saves, delete and the
// previous and next steps.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <new>

#include "EditorTestSupport.h"
#include "editors/DayEditorUnit.h"
#include "editors/DocumentEditorUnit.h"
#include "editors/EditorImage.h"
#include "pages/CalendarProgram.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/Components.h"
#include "platform/ui/ImageControl.h"
#include "platform/ui/Timer.h"
#include "program/StaticUnit.h"
#include "support/ScriptedDialogs.h"

namespace {

const QString kSaveErrorText = QStringLiteral(
    "Possible error when saving data.   \r\nCheck that the database has not been moved and that "
    "it is not set to read-only access.   ");

class EditorPageTest : public ::testing::Test {
  protected:
    qb::db::Table& entries() { return diary.module->EntryTable; }
    qb::db::Table& documents() { return diary.module->OtherDocTable; }
    qb::db::Table& months() { return diary.module->MonthLookupTable; }

    // Opens a day as the calendar does: the row is made when missing, its text deciphered.
    std::unique_ptr<TDayEditorFrame> openDay(const QString& key) {
        if (!qb::LocateDayEntry(entries(), key)) {
            qb::InsertDayEntry(entries(), key);
            diary.module->MarkMonthDay(key);
        }
        auto frame = std::make_unique<TDayEditorFrame>(&page, recorded.services());
        frame->LoadEntry(key, DecodeEntryText(entries().FieldByName("Entry").AsString()));
        frame->TitleLabel->setText(DateKeyToTitle(key));
        frame->SetIsModified(false);
        return frame;
    }

    std::unique_ptr<TDocumentEditorFrame> openDocument(const QString& name) {
        EXPECT_TRUE(documents().Locate("Name", name.toStdString()));
        auto frame = std::make_unique<TDocumentEditorFrame>(&page, recorded.services());
        frame->LoadDocument(name, DecodeEntryText(documents().FieldByName("Entry").AsString()));
        frame->TitleLabel->setText(name);
        frame->SetIsModified(false);
        return frame;
    }

    void type(TBaseEditorFrame& frame, const QString& text) {
        frame.RichEdit->setSelStart(frame.RichEdit->GetTextLen());
        QTest::keyClicks(frame.RichEdit, text);
    }

    TestDiary diary;
    qb::ScriptedDialogs dialogs;
    RecordedServices recorded;
    QWidget page;
};

TEST_F(EditorPageTest, RoadOfOneRequestStoresTheTextEnciphered) {
    auto frame = openDay("20050305");
    EXPECT_TRUE(frame->RichEdit->toPlainText().isEmpty());
    type(*frame, "Walked to the harbour.");
    EXPECT_TRUE(frame->IsModified());
    frame->SaveEntryWithStatus();

    EXPECT_FALSE(frame->IsModified());
    EXPECT_EQ(recorded.statuses, std::vector<QString>{"Entry was Saved."});
    EXPECT_EQ(frame->iIdxUndo, 1);
    EXPECT_EQ(frame->iMaxUndo, 1);
    EXPECT_TRUE(dialogs.shown.empty());

    const std::string stored = diary.storedText(entries(), "sYYYYMMDD", "20050305");
    ASSERT_FALSE(stored.empty());
    EXPECT_NE(stored.rfind("{\\rtf", 0), 0u) << "stored as plain RTF";
    EXPECT_EQ(EntryCipher->DecryptString(stored).rfind("{\\rtf", 0), 0u);
    EXPECT_EQ(stored.find("harbour"), std::string::npos);

    frame.reset();
    auto again = openDay("20050305");
    EXPECT_EQ(again->RichEdit->toPlainText(), "Walked to the harbour.");
    EXPECT_EQ(again->ModifiedLabel->text(), "unmodified");
}

TEST_F(EditorPageTest, DocumentSaveAndReopen) {
    diary.addRow(documents(), "Name", "Trip");
    auto frame = openDocument("Trip");
    type(*frame, "Packing list");
    EXPECT_TRUE(frame->SaveDocument());
    EXPECT_TRUE(recorded.statuses.empty()) << "the silent save";
    frame.reset();
    EXPECT_EQ(openDocument("Trip")->RichEdit->toPlainText(), "Packing list");
}

TEST_F(EditorPageTest, TheHistoryStartsFromTheTextReadAtOpenAndTheTextWrittenBySave) {
    // Spaced and ordered as no save of ours writes it: the first snapshot is this text itself.
    const std::string foreign = "{\\rtf1 {\\fonttbl {\\f0 Arial;}}\n\\f0\\fs24 Dear diary\\par\n}";
    diary.addRow(documents(), "Name", "Letters", EncodeEntryText(foreign));
    auto frame = openDocument("Letters");
    const auto stored = [&] {
        return DecodeEntryText(diary.storedText(documents(), "Name", "Letters"));
    };
    for (const char* step : {"open", "save"}) {
        if (std::strcmp(step, "save") == 0) {
            type(*frame, " after all");
            frame->SaveDocumentWithStatus();
        }
        ASSERT_EQ(frame->iMaxUndo, 1) << step;
        EXPECT_EQ(frame->UndoHistory[1].Stream, QByteArray::fromStdString(stored())) << step;
        // Undo comes back to the page as it was read or written.
        const QString shown = frame->RichEdit->toPlainText();
        type(*frame, " and more");
        frame->TakeUndoSnapshot();
        frame->Undo();
        EXPECT_EQ(frame->RichEdit->toPlainText(), shown) << step;
    }
    EXPECT_NE(stored(), foreign) << "the save wrote the page anew";
}

TEST_F(EditorPageTest, SavesThatWriteNothing) {
    diary.addRow(entries(), "sYYYYMMDD", "20050305", "kept");
    struct Case {
        const char* what;
        bool modify;
        bool empty;
        bool dropRow;
    };
    for (const Case c :
         {Case{"unmodified", false, false, false}, Case{"emptied", true, true, false},
          Case{"row missing", true, false, true}}) {
        auto frame = std::make_unique<TDayEditorFrame>(&page, recorded.services());
        frame->LoadEntry("20050305", "{\\rtf1 old text\\par}");
        if (c.modify) {
            type(*frame, "new");
        }
        if (c.empty) {
            frame->RichEdit->clear();
        }
        if (c.dropRow) {
            frame->DateKey = "20050306";
        }
        frame->SaveEntryWithStatus();
        EXPECT_EQ(frame->IsModified(), c.modify) << c.what;
        EXPECT_TRUE(recorded.statuses.empty()) << c.what;
        EXPECT_TRUE(dialogs.shown.empty()) << c.what;
        EXPECT_TRUE(frame->SaveOnClose()) << c.what;
        EXPECT_EQ(diary.storedText(entries(), "sYYYYMMDD", "20050305"), "kept") << c.what;
    }
}

TEST_F(EditorPageTest, FailedSaveKeepsThePageModified) {
    auto frame = openDay("20050305");
    type(*frame, "First");
    frame->SaveEntryWithStatus();
    const std::string before = diary.storedText(entries(), "sYYYYMMDD", "20050305");
    recorded.statuses.clear();

    diary.reopenReadOnly();
    type(*frame, " and second");
    frame->TakeUndoSnapshot();
    frame->SaveEntryWithStatus();

    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Save Error");
    EXPECT_EQ(dialogs.shown[0].text, kSaveErrorText);
    EXPECT_EQ(dialogs.shown[0].icon, qb::MessageIcon::Error);
    EXPECT_EQ(dialogs.shown[0].buttons, qb::MessageButtons::Ok);
    EXPECT_TRUE(frame->IsModified());
    EXPECT_EQ(frame->ModifiedLabel->text(), "modified");
    EXPECT_TRUE(recorded.statuses.empty());
    EXPECT_EQ(frame->iMaxUndo, 2) << "the undo history stays";
    EXPECT_EQ(entries().GetState(), qb::db::Table::State::Browse) << "the edit is cancelled";
    EXPECT_EQ(diary.storedText(entries(), "sYYYYMMDD", "20050305"), before);

    // Closing the tab (the main window calls it by name): the page must stay open, with its
    // text.
    bool mayClose = true;
    ASSERT_TRUE(QMetaObject::invokeMethod(frame.get(), "SaveOnClose", Qt::DirectConnection,
                                          Q_RETURN_ARG(bool, mayClose)));
    EXPECT_FALSE(mayClose);
    EXPECT_EQ(frame->RichEdit->toPlainText(), "First and second");
    EXPECT_TRUE(frame->IsModified());
}

TEST_F(EditorPageTest, FailedSaveAtExitWritesTheTextBesideTheDatabase) {
    diary.addRow(documents(), "Name", "Notes: 2005");
    auto day = openDay("20050305");
    auto document = openDocument("Notes: 2005");
    diary.reopenReadOnly();
    type(*day, "Day text");
    type(*document, "Document text");

    struct Case {
        TBaseEditorFrame* frame;
        QString file;
        QString text;
    };
    for (const Case& c : {Case{day.get(), "20050305.rtf", "Day text"},
                          Case{document.get(), "Notes_ 2005.rtf", "Document text"},
                          Case{day.get(), "20050305 (2).rtf", "Day text"}}) {
        dialogs.shown.clear();
        EXPECT_TRUE(c.frame->SaveOnExit()) << c.file.toStdString();
        const QString path = diary.folder + c.file;
        ASSERT_TRUE(QFile::exists(path)) << path.toStdString();
        ASSERT_EQ(dialogs.shown.size(), 2u);
        EXPECT_EQ(dialogs.shown[0].text, kSaveErrorText);
        EXPECT_NE(dialogs.shown[1].text.indexOf(QDir::toNativeSeparators(path)), -1);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        qb::TRichEdit reader;
        reader.LoadRtf(file.readAll());
        EXPECT_EQ(reader.toPlainText(), c.text);
    }
}

TEST_F(EditorPageTest, AnExitSaveTriesTheHomeAndRuntimeFoldersAndKeepsThePageWhenAllFail) {
    QTemporaryDir home;
    QTemporaryDir runtime;
    const QString missing = diary.folder + QStringLiteral("no such folder/");
    struct Case {
        const char* why;
        QString program, home, runtime;
        QString expectedFolder;  // empty: kept nowhere
    };
    const Case cases[] = {
        {"the program folder first", diary.folder, home.path(), runtime.path(), diary.folder},
        {"then the home folder", missing, home.path(), runtime.path(), home.path() + "/"},
        {"then the runtime folder", missing, missing, runtime.path(), runtime.path() + "/"},
        {"kept nowhere", missing, missing, missing, QString()},
    };
    const QString savedFolder = AppFolder;
    const QByteArray savedHome = qgetenv("HOME");
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    auto day = openDay("20050305");
    diary.reopenReadOnly();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        type(*day, "Day text");
        dialogs.shown.clear();
        AppFolder = c.program;
        qputenv("HOME", c.home.toUtf8());
        qputenv("XDG_RUNTIME_DIR", c.runtime.toUtf8());
        const bool kept = day->SaveOnExit();
        AppFolder = savedFolder;
        EXPECT_EQ(kept, !c.expectedFolder.isEmpty());
        ASSERT_EQ(dialogs.shown.size(), 2u);
        if (kept) {
            const QString path = c.expectedFolder + "20050305.rtf";
            EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
            EXPECT_NE(dialogs.shown[1].text.indexOf(QDir::toNativeSeparators(path)), -1);
            QFile::remove(path);
        } else {
            EXPECT_NE(dialogs.shown[1].text.indexOf("The page stays open"), -1);
            EXPECT_TRUE(day->IsModified()) << "the text is still the page's, to save later";
        }
    }
    qputenv("HOME", savedHome);
    savedRuntime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", savedRuntime);
}

TEST_F(EditorPageTest, SaveOnExitWithoutFailureWritesNoFile) {
    auto frame = openDay("20050305");
    type(*frame, "Saved normally");
    EXPECT_TRUE(frame->SaveOnExit());
    EXPECT_FALSE(frame->IsModified());
    EXPECT_FALSE(QFile::exists(diary.folder + "20050305.rtf"));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EditorPageTest, DeleteEntryClearsTheMonthMark) {
    struct Case {
        const char* key;
        const char* days;  // nullptr: the month has no row
        const char* after;
    };
    const Case cases[] = {
        {"20050305", ";05;12;", ";;12;"},
        {"20050312", ";05;12;", ";05;;"},
        {"20050405", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        diary.addRow(entries(), "sYYYYMMDD", c.key);
        const QString month = QString::fromLatin1(c.key).left(6);
        if (c.days != nullptr) {
            if (!months().Locate("YearMonth", month.toStdString())) {
                months().Insert();
                months().FieldByName("YearMonth").SetAsQString(month);
            } else {
                months().Edit();
            }
            months().FieldByName("Days").SetAsString(c.days);
            months().Post();
        }
        const int monthRows = months().RecordCount();
        auto frame = openDay(c.key);
        // The day's pictures stay on disk.
        const QString picture = frame->PictureFolder() + "harbour.jpg";
        ASSERT_TRUE(QDir().mkpath(frame->PictureFolder()));
        ASSERT_TRUE(QFile(picture).open(QIODevice::WriteOnly));
        recorded.statuses.clear();
        recorded.calendarRefreshes = 0;
        frame->DeleteEntry();

        EXPECT_TRUE(QFile::exists(picture)) << c.key;
        EXPECT_FALSE(entries().Locate("sYYYYMMDD", c.key)) << c.key;
        EXPECT_EQ(recorded.statuses, std::vector<QString>{"Entry was Deleted."});
        EXPECT_EQ(recorded.calendarRefreshes, 1);
        EXPECT_EQ(months().RecordCount(), monthRows);
        if (c.after != nullptr) {
            EXPECT_EQ(GetMonthDays(months(), month), c.after) << c.key;
        } else {
            EXPECT_FALSE(months().Locate("YearMonth", month.toStdString()));
        }
        // The closing save afterwards finds no row and writes nothing.
        type(*frame, "late");
        EXPECT_TRUE(frame->SaveOnClose());
        EXPECT_FALSE(entries().Locate("sYYYYMMDD", c.key));
    }
}

// Letting messages through after the row is gone may close the page and free its frame (a
// queued Close Tab, a step timer): the delete still finishes with the frame's memory reused.
TEST_F(EditorPageTest, DeleteEntryFinishesWhenItsPageIsFreedMeanwhile) {
    diary.addRow(entries(), "sYYYYMMDD", "20050305");
    months().Insert();
    months().FieldByName("YearMonth").SetAsQString("200503");
    months().FieldByName("Days").SetAsString(";05;12;");
    months().Post();

    alignas(TDayEditorFrame) unsigned char storage[sizeof(TDayEditorFrame)];
    TDayEditorFrame* frame = nullptr;
    qb::EditorServices services = recorded.services();
    services.processEvents = [&] {
        frame->~TDayEditorFrame();
        std::memset(storage, 0xA5, sizeof storage);
    };
    frame = new (storage) TDayEditorFrame(&page, services);
    frame->LoadEntry("20050305", std::string());
    frame->DeleteEntry();

    EXPECT_FALSE(entries().Locate("sYYYYMMDD", "20050305"));
    EXPECT_EQ(GetMonthDays(months(), "200503"), ";;12;");
    EXPECT_EQ(recorded.statuses, std::vector<QString>{"Entry was Deleted."});
    EXPECT_EQ(recorded.calendarRefreshes, 1);
}

TEST_F(EditorPageTest, DeleteDocumentRefreshesTheList) {
    diary.addRow(documents(), "Name", "Trip");
    auto frame = openDocument("Trip");
    frame->DeleteDocument();
    EXPECT_FALSE(documents().Locate("Name", "Trip"));
    EXPECT_EQ(recorded.documentListRefreshes, 1);
    EXPECT_EQ(recorded.statuses, std::vector<QString>{"Entry was Deleted."});
    frame->DeleteDocument();  // no row: only the notice
    EXPECT_EQ(recorded.documentListRefreshes, 1);
    EXPECT_EQ(recorded.statuses.size(), 2u);
}

TEST_F(EditorPageTest, PreviousAndNextStepThroughTheRows) {
    // 20050305 has a row but was never written; it still counts.
    for (const char* key : {"20050310", "20050301", "20050305"}) {
        diary.addRow(entries(), "sYYYYMMDD", key);
    }
    for (const char* name : {"beta", "Trip", "Alpha"}) {
        diary.addRow(documents(), "Name", name);
    }
    qb::setTag(&page, 7);
    struct Case {
        const char* key;
        bool forward;
        const char* expected;
    };
    const Case days[] = {
        {"20050301", false, "20050301"},
        {"20050301", true, "20050305"},
        {"20050305", false, "20050301"},
        {"20050310", true, "20050310"},
    };
    for (const Case& c : days) {
        recorded.daySteps.clear();
        auto frame = openDay(c.key);
        qb::ImageControl* image = c.forward ? frame->NextImage : frame->PreviousImage;
        QTest::mouseClick(image, Qt::MiddleButton, {}, QPoint(8, 8));
        ASSERT_EQ(recorded.daySteps.size(), 1u) << c.key;
        EXPECT_EQ(recorded.daySteps[0], std::make_pair(7, QString(c.expected))) << c.key;
    }
    const Case docs[] = {
        {"Alpha", false, "Alpha"},
        {"beta", true, "Trip"},
        {"Trip", true, "Trip"},
        {"Trip", false, "beta"},
    };
    for (const Case& c : docs) {
        recorded.documentSteps.clear();
        auto frame = openDocument(c.key);
        qb::ImageControl* image = c.forward ? frame->NextImage : frame->PreviousImage;
        QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(8, 8));
        ASSERT_EQ(recorded.documentSteps.size(), 1u) << c.key;
        EXPECT_EQ(recorded.documentSteps[0], std::make_pair(7, QString(c.expected))) << c.key;
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EditorPageTest, PictureFoldersAndThumbnailTimer) {
    diary.addRow(documents(), "Name", "Trip");
    EXPECT_EQ(TDayEditorFrame::DayPictureFolder("20050305"), diary.folder + "Pictures/2005/03/05/");
    EXPECT_EQ(TDocumentEditorFrame::DocumentPictureFolder("Trip"),
              diary.folder + "Pictures/OtherDocs/Trip/");

    auto without = openDay("20050305");
    EXPECT_EQ(without->PictureFolder(), diary.folder + "Pictures/2005/03/05/");
    EXPECT_FALSE(without->ThumbnailTimer->isEnabled());
    EXPECT_EQ(without->ThumbnailPanel->height(), 0);

    ASSERT_TRUE(QDir().mkpath(diary.folder + "Pictures/OtherDocs/Trip"));
    auto with = openDocument("Trip");
    EXPECT_TRUE(with->ThumbnailTimer->isEnabled());
    EXPECT_FALSE(QDir(diary.folder + "Pictures/2005").exists()) << "editors make no folders";
}

}  // namespace

namespace {

bool hasInk(const QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 100) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(EditorPageTest, DayPageAsTheUserSeesIt) {
    BackgroundColor = 0x00914A28;
    recorded.undoSwitch = true;
    page.resize(640, 420);
    auto frame = openDay("20050305");
    frame->setGeometry(page.rect());
    type(*frame, "Walked to the harbour.");
    QTest::keyClick(frame->RichEdit, Qt::Key_Return);
    type(*frame, "The boats were in.");
    page.show();
    QCoreApplication::processEvents();
    const QImage shot = frame->grab().toImage();
    if (const QByteArray dir = qgetenv("QB_SCREENSHOT_DIR"); !dir.isEmpty()) {
        shot.save(QString::fromLocal8Bit(dir) + "/day-page.png");
    }

    // The title strip is shaded from the background colour lightened by (20, 30, 30).
    const QColor strip = shot.pixelColor(2, 2);
    EXPECT_LT(strip.red(), strip.blue());
    EXPECT_NE(strip, QColor(Qt::white));
    EXPECT_EQ(frame->TitleLabel->text(), "March  5, 2005 - Saturday");
    // The text is drawn on white below the strip, with its 6-pixel white border.
    EXPECT_EQ(shot.pixelColor(3, 50), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(637, 200), QColor(Qt::white)) << "right of the scroll bar";
    EXPECT_FALSE(hasInk(shot, QRect(0, 45, 6, 100)));
    EXPECT_TRUE(hasInk(shot, QRect(6, 51, 300, 40)));
    // The tool bar at the bottom shows the modified mark.
    EXPECT_EQ(frame->ModifyToolbarPanel->geometry().bottom(), 419);
    EXPECT_EQ(frame->UndoPanel->geometry().bottom(), 419 - 28);
    EXPECT_EQ(frame->ModifiedLabel->text(), "modified");
}

}  // namespace
