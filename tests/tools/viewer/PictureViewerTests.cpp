#include "platform/ui/ImageControl.h"
#include "platform/ui/Timer.h"
#include "program/ProgramState.h"
#include "support/ManualClock.h"
#include "support/ScriptedDialogs.h"
#include "tools/PictureList.h"
#include "tools/PictureUnit.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>

#include <limits>
#include <memory>

namespace {

class PictureViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        savedFolder_ = AppFolder;
        AppFolder = dir_.path() + QStringLiteral("/");
    }

    void TearDown() override {
        form_.reset();
        AppFolder = savedFolder_;
    }

    // Writes a real picture (JPEG or BMP by the name's extension) below the program folder.
    QString picture(const QString& relative, QSize size = {40, 30}) {
        const QString path = AppFolder + relative;
        QDir().mkpath(QFileInfo(path).path());
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor(0x30, 0x80, 0xC0));
        const QString ext = QFileInfo(path).suffix().toLower();
        const char* format = ext == QLatin1String("bmp") ? "BMP" : "JPG";
        EXPECT_TRUE(image.save(path, format)) << path.toStdString();
        return path;
    }

    QString bytesFile(const QString& relative, const QByteArray& bytes) {
        const QString path = AppFolder + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static QByteArray contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TPictureForm& form() {
        if (!form_) {
            form_ = std::make_unique<TPictureForm>();
        }
        return *form_;
    }

    // The list as "Location|Name", in its order.
    QStringList rows() {
        QStringList result;
        for (int i = 0; i < form().PictureList->rowCount(); ++i) {
            const PictureRow& r = form().PictureList->row(i);
            result << r.location + QLatin1Char('|') + r.name;
        }
        return result;
    }

    QString selectedName() {
        const int row = form().selectedRow();
        return row < 0 ? QString() : form().PictureList->row(row).name;
    }

    void select(int row) {
        form().PictureListView->selectionModel()->setCurrentIndex(
            form().PictureList->index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    QTemporaryDir dir_;
    QString savedFolder_;
    qb::ScriptedDialogs dialogs_;
    std::unique_ptr<TPictureForm> form_;
};

TEST_F(PictureViewerTest, ListsJpgAndBmpOfThePageFoldersOnly) {
    form().RefreshPictureList();
    EXPECT_TRUE(rows().isEmpty()) << "no Pictures folder";
    EXPECT_EQ(form().PictureCountLabel->text(), QStringLiteral("(0)"));

    picture(QStringLiteral("Pictures/top.jpg"));
    const QString beach = picture(QStringLiteral("Pictures/2005/10/10/beach.jpg"), {64, 48});
    picture(QStringLiteral("Pictures/2005/10/10/CAPS.JPG"));
    picture(QStringLiteral("Pictures/2005/10/10/photo.jpeg"));
    bytesFile(QStringLiteral("Pictures/2005/10/10/notes.txt"), "text");
    picture(QStringLiteral("Pictures/2005/10/11/.hidden.jpg"));
    picture(QStringLiteral("Pictures/OtherDocs/Trip/map.bmp"));
    form().RefreshPictureList();

    EXPECT_EQ(rows(), (QStringList{"2005/10/10/|beach.jpg", "2005/10/10/|CAPS.JPG",
                                   "2005/10/11/|.hidden.jpg", "OtherDocs/Trip/|map.bmp"}));
    EXPECT_EQ(form().PictureCountLabel->text(), QStringLiteral("(4)"));
    EXPECT_EQ(form().selectedRow(), -1);

    select(0);
    EXPECT_EQ(form().picturePath(), beach);
    EXPECT_EQ(form().TitleLabel->text(), QStringLiteral("beach.jpg"));
    EXPECT_EQ(form().windowTitle(), QStringLiteral("beach.jpg"));
    EXPECT_EQ(form().Image->size(), QSize(64, 48));
    EXPECT_TRUE(form().isVisible());

    // A refresh keeps the picture on screen and leaves no row selected.
    form().RefreshPictureList();
    EXPECT_EQ(form().selectedRow(), -1);
    EXPECT_EQ(form().picturePath(), beach);
}

TEST_F(PictureViewerTest, FileCommandsActOnlyOnTheSelectedRowsOwnFile) {
    const QString beach = picture(QStringLiteral("Pictures/2005/10/10/beach.jpg"));
    picture(QStringLiteral("Pictures/2005/10/10/other.jpg"));
    form().RefreshPictureList();
    select(0);
    EXPECT_TRUE(form().CanActOnPicture());
    EXPECT_TRUE(form().DeleteMenuItem->isEnabled());

    // A camera folder's file of the same day and name: shown, but no row is its file.
    const QString camera = picture(QStringLiteral("camera/2005/10/10/beach.jpg"));
    form().ShowPicture(camera);
    EXPECT_EQ(form().picturePath(), camera);
    EXPECT_EQ(selectedName(), QStringLiteral("beach.jpg")) << "the previous selection stays";
    EXPECT_FALSE(form().CanActOnPicture());
    for (QAction* item : {form().DeleteMenuItem, form().RenameMenuItem, form().SaveAsMenuItem}) {
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    }
    form().DeleteMenuItemClick();
    form().RenamePictureFile();
    form().SaveAsMenuItemClick();
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_TRUE(QFile::exists(beach));
    EXPECT_TRUE(QFile::exists(camera));

    // ShowPicture of a listed file selects exactly that file's row.
    form().ShowPicture(AppFolder + QStringLiteral("Pictures/2005/10/10/other.jpg"));
    EXPECT_EQ(selectedName(), QStringLiteral("other.jpg"));
    EXPECT_TRUE(form().CanActOnPicture());
}

TEST_F(PictureViewerTest, SelectNextAndPreviousWrapAround) {
    for (const char* name : {"a", "b", "c"}) {
        picture(QStringLiteral("Pictures/2006/01/02/%1.jpg").arg(QLatin1String(name)));
    }
    form().RefreshPictureList();
    struct Case {
        int from;  // -1: nothing selected
        bool next;
        int expected;
    };
    for (const Case& c : {Case{-1, true, 0}, Case{0, true, 1}, Case{2, true, 0}, Case{-1, false, 2},
                          Case{0, false, 2}, Case{2, false, 1}}) {
        form().PictureListView->clearSelection();
        if (c.from >= 0) {
            select(c.from);
        }
        c.next ? form().SelectNext() : form().SelectPrevious();
        EXPECT_EQ(form().selectedRow(), c.expected) << c.from << (c.next ? " next" : " previous");
        EXPECT_EQ(form().picturePath(), form().PictureList->fullPath(c.expected));
    }
}

TEST_F(PictureViewerTest, SlideShowStepsOnItsIntervalAndTakesNewIntervals) {
    qb::ManualClock clock;
    for (const char* name : {"a", "b", "c"}) {
        picture(QStringLiteral("Pictures/2006/01/02/%1.jpg").arg(QLatin1String(name)));
    }
    form().RefreshPictureList();
    EXPECT_EQ(form().StatusBar->text(), QStringLiteral("        Slide Show: Stopped"));

    form().SlideShow(QStringLiteral("start"));
    EXPECT_EQ(form().selectedRow(), 0) << "starting with nothing selected shows row 0 at once";
    EXPECT_EQ(form().StatusBar->text(),
              QStringLiteral("        Slide Show: Playing (4 second interval)"));
    EXPECT_FALSE(form().StartImage->isHidden());
    EXPECT_TRUE(form().StopImage->isHidden());
    clock.advance(3999);
    EXPECT_EQ(form().selectedRow(), 0);
    clock.advance(1);
    EXPECT_EQ(form().selectedRow(), 1);

    // A new interval while playing: the next picture comes one full new interval later.
    clock.advance(3000);
    form().ApplySlideShowInterval(QStringLiteral("2.75"));
    EXPECT_EQ(form().slideShowInterval(), 2750);
    EXPECT_EQ(form().StatusBar->text(),
              QStringLiteral("        Slide Show: Playing (2 second interval)"));
    clock.advance(2749);
    EXPECT_EQ(form().selectedRow(), 1);
    clock.advance(1);
    EXPECT_EQ(form().selectedRow(), 2);
    clock.advance(2750);
    EXPECT_EQ(form().selectedRow(), 0) << "after the last row comes row 0";

    dialogs_.inputAnswers = {QStringLiteral("0.2")};
    form().SetIntervalMenuItemClick();
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].title, QStringLiteral("Set Slide Show Interval"));
    EXPECT_EQ(
        dialogs_.shown[0].text,
        QStringLiteral("Enter the number of seconds for the time period between each picture."));
    EXPECT_EQ(form().slideShowInterval(), 500);

    form().ApplySlideShowInterval(QStringLiteral("ten"));
    EXPECT_FALSE(form().slideShowPlaying());
    EXPECT_EQ(form().slideShowInterval(), 500);
    EXPECT_EQ(form().StatusBar->text(), QStringLiteral("        Slide Show: Stopped"));
    ASSERT_EQ(dialogs_.shown.size(), 2u);
    EXPECT_EQ(dialogs_.shown[1].text, QStringLiteral("Not a valid number."));
    EXPECT_EQ(dialogs_.shown[1].title, QStringLiteral("Set Slide Show Interval"));
    EXPECT_EQ(dialogs_.shown[1].icon, qb::MessageIcon::Error);
    clock.advance(10000);
    EXPECT_EQ(form().selectedRow(), 0) << "a stopped show stays";

    // Closing the window stops the show.
    form().SlideShow(QStringLiteral("start"));
    form().close();
    EXPECT_FALSE(form().slideShowPlaying());
}

TEST(SlideShowIntervalTest, ReadsSecondsWithFractions) {
    struct Case {
        const char* text;
        std::optional<int> ms;
    };
    for (const Case& c :
         {Case{"4", 4000}, Case{" 2.75 ", 2750}, Case{"0.2", 500}, Case{"-3", 500},
          Case{"1e20", std::numeric_limits<int>::max()}, Case{"", std::nullopt},
          Case{"abc", std::nullopt}, Case{"2,5", std::nullopt}, Case{"nan", std::nullopt}}) {
        EXPECT_EQ(SlideShowIntervalOf(QString::fromLatin1(c.text)), c.ms) << c.text;
    }
}

TEST_F(PictureViewerTest, BrokenPictureShowsAPlaceholderAndTheShowGoesOn) {
    qb::ManualClock clock;
    const QString good = picture(QStringLiteral("Pictures/2006/01/02/a.jpg"));
    const QString broken =
        bytesFile(QStringLiteral("Pictures/2006/01/02/b.jpg"), QByteArray("not a picture"));
    picture(QStringLiteral("Pictures/2006/01/02/c.jpg"));
    form().RefreshPictureList();

    form().SlideShow(QStringLiteral("start"));
    clock.advance(4000);
    EXPECT_EQ(form().picturePath(), broken);
    EXPECT_FALSE(form().Image->picture().isNull()) << "a placeholder";
    EXPECT_TRUE(form().StatusBar->text().contains(QStringLiteral("b.jpg")));
    EXPECT_TRUE(dialogs_.shown.empty()) << "no box during a slide show";
    clock.advance(4000);
    EXPECT_EQ(selectedName(), QStringLiteral("c.jpg"));
    form().SlideShow(QStringLiteral("stop"));

    // Chosen by hand, the failure is reported; the file commands act on the broken file.
    dialogs_.messageAnswers = {qb::MessageResult::Ok, qb::MessageResult::Yes};
    select(1);
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].icon, qb::MessageIcon::Error);
    form().DeleteMenuItemClick();
    EXPECT_FALSE(QFile::exists(broken));
    EXPECT_TRUE(QFile::exists(good));
}

TEST_F(PictureViewerTest, RenameKeepsTheExtensionAndRefusesOddNames) {
    const QString folder = AppFolder + QStringLiteral("Pictures/2005/10/10/");
    picture(QStringLiteral("Pictures/2005/10/10/beach.jpg"));
    picture(QStringLiteral("Pictures/2005/10/10/taken.jpg"));
    form().RefreshPictureList();

    struct Case {
        const char* from;
        QString typed;
        const char* to;  // nullptr: refused, nothing changes
        const char* box;
    };
    const Case cases[] = {
        {"beach.jpg", QStringLiteral("sunset.png"), "sunset.jpg", nullptr},
        {"sunset.jpg", QStringLiteral("BEACH"), "BEACH.jpg", nullptr},
        {"BEACH.jpg", QStringLiteral("taken"), nullptr,
         "A file already exists in this location with this name."},
        {"BEACH.jpg", QStringLiteral("BEACH"), nullptr,
         "A file already exists in this location with this name."},
        {"BEACH.jpg", QStringLiteral("../escape"), nullptr, "Not a valid file name."},
        {"BEACH.jpg", QStringLiteral("a/b"), nullptr, "Not a valid file name."},
        {"BEACH.jpg", QStringLiteral(".."), nullptr, "Not a valid file name."},
        {"BEACH.jpg", QStringLiteral("."), nullptr, "Not a valid file name."},
        {"BEACH.jpg", QStringLiteral("tab\there"), nullptr, "Not a valid file name."},
        {"BEACH.jpg", QStringLiteral("back\\slash"), nullptr, "Not a valid file name."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        const QString from = folder + QLatin1String(c.from);
        form().ShowPicture(from);
        ASSERT_TRUE(form().CanActOnPicture());
        dialogs_.shown.clear();
        dialogs_.inputAnswers = {c.typed};
        form().RenamePictureFile();
        ASSERT_FALSE(dialogs_.shown.empty());
        EXPECT_EQ(dialogs_.shown[0].title, QStringLiteral("Rename Picture File"));
        EXPECT_EQ(dialogs_.shown[0].text, QStringLiteral("Enter the new name for ") +
                                              QFileInfo(from).completeBaseName() +
                                              QLatin1Char('.'));
        if (c.to) {
            const QString to = folder + QLatin1String(c.to);
            EXPECT_EQ(dialogs_.shown.size(), 1u);
            EXPECT_FALSE(QFile::exists(from));
            EXPECT_TRUE(QFile::exists(to));
            EXPECT_EQ(form().picturePath(), to);
            EXPECT_EQ(form().TitleLabel->text(), QLatin1String(c.to));
            EXPECT_EQ(selectedName(), QLatin1String(c.to)) << "its row takes the new name";
            EXPECT_EQ(form().PictureCountLabel->text(), QStringLiteral("(2)"));
        } else {
            ASSERT_EQ(dialogs_.shown.size(), 2u);
            EXPECT_EQ(dialogs_.shown[1].text, QLatin1String(c.box));
            EXPECT_TRUE(QFile::exists(from));
            EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2);
        }
    }
    // After a rename, Delete acts on the file under its new name.
    dialogs_.messageAnswers = {qb::MessageResult::Yes};
    form().DeleteMenuItemClick();
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("BEACH.jpg")));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("taken.jpg")));
}

TEST_F(PictureViewerTest, DeleteAsksThenSelectsTheRowThatTookItsPlace) {
    const QString folder = QStringLiteral("Pictures/2007/03/04/");
    for (int i = 0; i < 6; ++i) {
        picture(folder + QStringLiteral("f%1.jpg").arg(i));
    }
    form().RefreshPictureList();

    select(2);
    dialogs_.messageAnswers = {qb::MessageResult::No};
    form().DeleteMenuItemClick();
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].title, QStringLiteral("Delete File"));
    EXPECT_EQ(dialogs_.shown[0].text,
              QStringLiteral("Are you sure you want to delete this file?    \r\n(") + AppFolder +
                  folder + QStringLiteral("f2.jpg)    "));
    EXPECT_EQ(dialogs_.shown[0].buttons, qb::MessageButtons::YesNo);
    EXPECT_EQ(rows().size(), 6);

    struct Case {
        const char* deleted;
        const char* selectedAfter;
    };
    // Rows f0..f5: the middle one, the second to last, then the last.
    for (const Case& c :
         {Case{"f3.jpg", "f4.jpg"}, Case{"f4.jpg", "f5.jpg"}, Case{"f5.jpg", "f2.jpg"}}) {
        const QString path = AppFolder + folder + QLatin1String(c.deleted);
        form().ShowPicture(path);
        dialogs_.messageAnswers = {qb::MessageResult::Yes};
        form().DeleteMenuItemClick();
        EXPECT_FALSE(QFile::exists(path)) << c.deleted;
        EXPECT_EQ(selectedName(), QLatin1String(c.selectedAfter)) << c.deleted;
        EXPECT_EQ(form().picturePath(), AppFolder + folder + QLatin1String(c.selectedAfter));
    }
    EXPECT_EQ(rows().size(), 3);

    // The last picture of a folder: the emptied folder goes, Pictures and the picture stay.
    const QString only = picture(QStringLiteral("Pictures/2008/01/01/only.jpg"));
    const QString keep = AppFolder + QStringLiteral("Pictures/keep.jpg");
    QFile::copy(only, keep);
    for (int i = 0; i < 3; ++i) {
        QFile::remove(AppFolder + folder + QStringLiteral("f%1.jpg").arg(i));
    }
    form().RefreshPictureList();
    ASSERT_EQ(rows().size(), 1);
    select(0);
    dialogs_.messageAnswers = {qb::MessageResult::Yes};
    form().DeleteMenuItemClick();
    EXPECT_FALSE(QFile::exists(only));
    EXPECT_FALSE(QDir(AppFolder + QStringLiteral("Pictures/2008/01/01")).exists());
    EXPECT_TRUE(QDir(AppFolder + QStringLiteral("Pictures/2008/01")).exists());
    EXPECT_TRUE(QFile::exists(keep));
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(form().picturePath(), only);
    EXPECT_FALSE(form().Image->picture().isNull()) << "the deleted picture stays on screen";
}

TEST_F(PictureViewerTest, DeleteAndRenameEditTheirOwnRowAndReadNoFolder) {
    const QString folder = QStringLiteral("Pictures/2007/03/04/");
    for (const bool deletes : {true, false}) {
        SCOPED_TRACE(deletes ? "delete" : "rename");
        QDir(AppFolder + folder).removeRecursively();
        for (int i = 0; i < 3; ++i) {
            picture(folder + QStringLiteral("f%1.jpg").arg(i));
        }
        form().RefreshPictureList();
        QStringList expected = rows();
        ASSERT_EQ(expected.size(), 3);
        // Added on disk since the refresh: only the next refresh lists it.
        picture(folder + QStringLiteral("later1.jpg"));
        picture(folder + QStringLiteral("later2.jpg"));
        select(1);
        dialogs_.shown.clear();
        if (deletes) {
            dialogs_.messageAnswers = {qb::MessageResult::Yes};
            form().DeleteMenuItemClick();
            expected.removeAt(1);  // the row after it takes its index
        } else {
            dialogs_.inputAnswers = {QStringLiteral("renamed")};
            form().RenamePictureFile();
            expected[1] = QStringLiteral("2007/03/04/|renamed.jpg");
        }
        EXPECT_EQ(rows(), expected);
        const QString selected = expected[1].section(QLatin1Char('|'), 1);
        EXPECT_EQ(selectedName(), selected);
        EXPECT_EQ(form().picturePath(), AppFolder + folder + selected);
        EXPECT_EQ(form().PictureCountLabel->text(), QStringLiteral("(3)"));
    }
}

TEST_F(PictureViewerTest, SaveAsCopiesButNeverOntoItselfOrOverWithoutAsking) {
    const QString beach = picture(QStringLiteral("Pictures/2005/10/10/beach.jpg"));
    const QString elsewhere = AppFolder + QStringLiteral("out/");
    QDir().mkpath(elsewhere);
    form().RefreshPictureList();
    select(0);
    const QByteArray original = contents(beach);

    const auto saveAs = [&](const QString& target, std::deque<qb::MessageResult> answers = {}) {
        dialogs_.shown.clear();
        dialogs_.saveFileAnswers = {target};
        dialogs_.messageAnswers = std::move(answers);
        form().SaveAsMenuItemClick();
    };

    saveAs(elsewhere + QStringLiteral("copy.jpg"));
    EXPECT_EQ(dialogs_.shown[0].kind, QStringLiteral("saveFileName"));
    EXPECT_EQ(dialogs_.shown[0].text, AppFolder + QStringLiteral("Pictures/2005/10/10/"));
    EXPECT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(contents(elsewhere + QStringLiteral("copy.jpg")), original);

    bytesFile(QStringLiteral("out/old.jpg"), "old");
    saveAs(elsewhere + QStringLiteral("old.jpg"), {qb::MessageResult::No});
    ASSERT_EQ(dialogs_.shown.size(), 2u);
    EXPECT_EQ(dialogs_.shown[1].title, QStringLiteral("File Already Exists"));
    EXPECT_EQ(dialogs_.shown[1].text,
              QStringLiteral(
                  "This file already exists.\r\nDo you want to overwrite this file?          "));
    EXPECT_EQ(contents(elsewhere + QStringLiteral("old.jpg")), QByteArray("old"));
    saveAs(elsewhere + QStringLiteral("old.jpg"), {qb::MessageResult::Yes});
    EXPECT_EQ(contents(elsewhere + QStringLiteral("old.jpg")), original);

    // Onto its own source, also by another spelling of the path: refused before any question.
    for (const QString& self :
         {beach, AppFolder + QStringLiteral("Pictures/2005/10/./10/beach.jpg")}) {
        saveAs(self, {qb::MessageResult::Yes});
        ASSERT_EQ(dialogs_.shown.size(), 2u);
        EXPECT_EQ(dialogs_.shown[1].title, QStringLiteral("Save Error"));
        EXPECT_EQ(contents(beach), original);
    }
    saveAs(elsewhere + QStringLiteral("bad\nname.jpg"));
    EXPECT_EQ(dialogs_.shown.size(), 2u);
    EXPECT_FALSE(QFile::exists(elsewhere + QStringLiteral("bad\nname.jpg")));
}

TEST_F(PictureViewerTest, ARefreshAskedForDuringTheWalkListsEachPictureOnce) {
    for (int f = 0; f < 20; ++f) {
        for (int i = 0; i < 10; ++i) {
            picture(QStringLiteral("Pictures/2009/%1/01/p%2.jpg")
                        .arg(f, 2, 10, QLatin1Char('0'))
                        .arg(i),
                    {4, 4});
        }
    }
    QTimer::singleShot(0, [this] { form().RefreshPictureList(); });
    form().RefreshPictureList();
    EXPECT_FALSE(form().listRunning());
    EXPECT_EQ(rows().size(), 200);
    EXPECT_EQ(rows().removeDuplicates(), 0);
    EXPECT_EQ(form().PictureCountLabel->text(), QStringLiteral("(200)"));

    // Closing the window stops the walk; the next show reads the list again in full.
    form().show();
    QTimer::singleShot(0, [this] { form().close(); });
    form().RefreshPictureList();
    EXPECT_FALSE(form().listRunning());
    EXPECT_LT(rows().size(), 200);
    form().show();
    for (int i = 0; i < 100 && rows().size() < 200; ++i) {
        QApplication::processEvents();
    }
    EXPECT_EQ(rows().size(), 200);
    EXPECT_EQ(form().PictureCountLabel->text(), QStringLiteral("(200)"));
}

TEST_F(PictureViewerTest, ActualSizeCentresOrStartsTopLeftAndDragsAtTwiceTheMouse) {
    const QString small = picture(QStringLiteral("Pictures/2005/01/01/small.jpg"), {40, 30});
    const QString large = picture(QStringLiteral("Pictures/2005/01/01/large.jpg"), {2000, 1500});
    form().ShowPicture(small);
    QApplication::processEvents();
    const QSize view = form().ScrollBox->viewport()->size();
    EXPECT_EQ(form().Image->pos(), QPoint((view.width() - 40) / 2, (view.height() - 30) / 2));

    form().ShowPicture(large);
    QApplication::processEvents();
    QScrollBar* across = form().ScrollBox->horizontalScrollBar();
    QScrollBar* down = form().ScrollBox->verticalScrollBar();
    EXPECT_EQ(form().Image->size(), QSize(2000, 1500));
    EXPECT_EQ(across->value(), 0);
    EXPECT_EQ(down->value(), 0);
    form().ImageMouseDown({300, 300});
    form().ImageMouseMove({290, 295});
    EXPECT_EQ(across->value(), 20);
    EXPECT_EQ(down->value(), 10);
    form().ImageMouseMove({280, 295});
    EXPECT_EQ(across->value(), 40);
    form().ImageMouseUp();
    form().ImageMouseMove({200, 200});
    EXPECT_EQ(across->value(), 40) << "no drag after the release";

    form().resize(form().width() + 20, form().height() + 10);
    QApplication::processEvents();
    EXPECT_EQ(across->value(), 0) << "a resize puts the picture back at its top left";
    EXPECT_EQ(down->value(), 0);

    form().SetShrinkToFit();
    QApplication::processEvents();
    EXPECT_TRUE(form().ShrinkToFitMenuItem->isChecked());
    EXPECT_FALSE(form().ActualSizeMenuItem->isChecked());
    EXPECT_EQ(form().Image->size(), form().ScrollBox->viewport()->size());
    EXPECT_EQ(across->maximum(), 0);
    form().ShowPicture(small);
    EXPECT_TRUE(form().Image->shrinkToFit()) << "the mode holds for the next picture";

    form().SetActualSize();
    QApplication::processEvents();
    EXPECT_EQ(form().Image->size(), QSize(40, 30));
}

TEST_F(PictureViewerTest, ThePictureAndTheListOpenTheMenuAndTheSideBarHidesTheList) {
    form().show();
    for (QWidget* target :
         {static_cast<QWidget*>(form().Image), form().PictureListView->viewport()}) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                target->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(target, &event);
        EXPECT_TRUE(form().ImagePopupMenu->isVisible()) << target->objectName().toStdString();
        form().ImagePopupMenu->hide();
    }

    EXPECT_TRUE(form().SideBarMenuItem->isChecked());
    form().SideBarMenuItem->trigger();
    EXPECT_FALSE(form().ListPanel->isVisible());
    form().SideBarMenuItem->trigger();
    EXPECT_TRUE(form().ListPanel->isVisible());
}

// The columns cut "OtherDocs/Trip/" and long names short: the row's tool tip, over either
// column, holds them whole. The corner between the list's scroll bars is the list's own white.
TEST_F(PictureViewerTest, TheRowsToolTipIsTheWholePlaceAndTheScrollCornerIsTheLists) {
    for (int i = 1; i <= 40; ++i) {
        picture(QStringLiteral("Pictures/OtherDocs/Trip/beach_photo_%1_of_the_summer.jpg").arg(i));
    }
    form().resize(640, 360);
    form().show();
    form().RefreshPictureList();
    QTreeView* view = form().PictureListView;
    view->setColumnWidth(PictureListModel::NameColumn, 400);  // wider than the list
    QApplication::processEvents();
    const QString first = form().PictureList->row(0).name;
    for (const int column :
         {int(PictureListModel::NameColumn), int(PictureListModel::LocationColumn)}) {
        const QPoint at = view->visualRect(form().PictureList->index(0, column)).center();
        QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &help);
        EXPECT_EQ(QToolTip::text(), QStringLiteral("OtherDocs/Trip/") + first) << column;
        QToolTip::hideText();
    }

    ASSERT_TRUE(view->verticalScrollBar()->isVisible());
    ASSERT_TRUE(view->horizontalScrollBar()->isVisible());
    // Right of the horizontal bar and below the vertical one.
    const QScrollBar* across = view->horizontalScrollBar();
    const QScrollBar* down = view->verticalScrollBar();
    const QPoint corner(down->mapTo(view, QPoint(down->width() / 2, 0)).x(),
                        across->mapTo(view, QPoint(0, across->height() / 2)).y());
    const QImage drawn = view->grab().toImage();
    EXPECT_EQ(QColor(drawn.pixel(corner)), view->palette().color(QPalette::Base));
}

}  // namespace
