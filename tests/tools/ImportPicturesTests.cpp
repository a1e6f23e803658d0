// The picture-import dialog against a real diary and real files in a temporary folder: what the
// window adds to the importer (tools/import): the list, the option buttons, the boxes, the
// progress and status, the viewer and calendars, a second click and a close while it runs.

#include "tools/ImportPicturesUnit.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "ToolTestSupport.h"
#include "platform/ui/FolderTree.h"
#include "tools/PictureUnit.h"
#include "tools/ToolStatusBar.h"

namespace {

using qbtest::HookedDialogs;
using qbtest::readAll;
using qbtest::writeFile;

const QDateTime kMarch7 = QDateTime(QDate(2006, 3, 7), QTime(14, 30));
const QDateTime kDecember20 = QDateTime(QDate(2005, 12, 20), QTime(9, 0));
const QDateTime kJanuary2 = QDateTime(QDate(2006, 1, 2), QTime(9, 0));

QStringList rowTexts(const QTreeWidget& list, int column) {
    QStringList texts;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        texts << list.topLevelItem(i)->text(column);
    }
    return texts;
}

class ImportPictures : public qbtest::ToolDiary {
  protected:
    void SetUp() override {
        ToolDiary::SetUp();
        camera = dir.path() + QStringLiteral("/camera");
        writeFile(camera + QStringLiteral("/Beach.JPG"), "beach bytes", kMarch7);
        writeFile(camera + QStringLiteral("/x.Bmp"), "bitmap bytes", kJanuary2);
        writeFile(camera + QStringLiteral("/PHOTO.jpg"), "photo bytes", kDecember20);
        writeFile(camera + QStringLiteral("/photo.jpeg"), "not listed", kMarch7);
        writeFile(camera + QStringLiteral("/scan.png"), "not listed", kMarch7);
        QDir().mkpath(camera + QStringLiteral("/folder.jpg"));
        form = std::make_unique<TImportPicturesForm>();
        form->RefreshCalendars = [this] { ++calendarRefreshes; };
        form->LoadOtherDocNames();
    }

    void list(const QString& folder) {
        form->ShellTreeView->selectPath(folder);
        form->ShellTreeViewChange();
        ASSERT_EQ(form->ListedFolder(), folder);
    }

    void importAll(const QString& folder) {
        list(folder);
        form->SelectAllMenuItemClick();
        form->Button1Click();
    }

    QString pictures(const QString& relative) {
        return appFolder + QStringLiteral("Pictures/") + relative;
    }

    QString camera;
    std::unique_ptr<TImportPicturesForm> form;
    int calendarRefreshes = 0;
};

TEST_F(ImportPictures, ListsJpgAndBmpFilesOfTheFolderWithTheirDates) {
    list(camera);
    EXPECT_EQ(rowTexts(*form->ListView, 0), (QStringList{"Beach.JPG", "PHOTO.jpg", "x.Bmp"}));
    EXPECT_EQ(rowTexts(*form->ListView, 1),
              (QStringList{"03/07/2006", "12/20/2005", "01/02/2006"}));
    EXPECT_FALSE(form->OtherDocRadioButton->isEnabled()) << "no document to choose";
}

TEST_F(ImportPictures, FileDatesSortIntoDaysWithRowsAndMonthMarks) {
    HookedDialogs boxes;
    TPictureForm viewer;
    PictureForm = &viewer;
    addEntry(QStringLiteral("20060102"), "");  // this day already has its row
    importAll(camera);
    PictureForm = nullptr;
    EXPECT_EQ(viewer.PictureList->rowCount(), 3) << "the viewer lists the new pictures";

    EXPECT_EQ(readAll(pictures("2006/03/07/Beach.JPG")), "beach bytes");
    EXPECT_EQ(readAll(pictures("2005/12/20/PHOTO.jpg")), "photo bytes");
    EXPECT_EQ(readAll(pictures("2006/01/02/x.Bmp")), "bitmap bytes");
    EXPECT_EQ(QFileInfo(pictures("2006/03/07/Beach.JPG")).lastModified(), kMarch7);
    EXPECT_TRUE(hasEntry("20060307"));
    EXPECT_TRUE(hasEntry("20051220"));
    EXPECT_EQ(monthDays("200603"), ";07;");
    EXPECT_EQ(monthDays("200512"), ";20;");
    EXPECT_EQ(monthDays("200601"), "") << "an existing row gets no new mark";
    EXPECT_EQ(module->EntryTable.RecordCount(), 3);
    EXPECT_GE(calendarRefreshes, 3);

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Import Finished");
    EXPECT_EQ(boxes.shown[0].text,
              "Finished importing pictures for association with entries "
              "based on the picture file date.    ");
    EXPECT_EQ(boxes.shown[0].icon, qb::MessageIcon::Information);
    EXPECT_FALSE(form->ProgressBar->isVisibleTo(form.get()));
    EXPECT_EQ(form->StatusBar->panelText(), "Ready.");
}

struct OptionCase {
    const char* name;
    const char* option;  // "date" or "document"
    QString documentText;
    bool readOnly;
    QStringList expectedFiles;  // below the program folder
    bool dayRowMade;
    QString finishedTail;
};

void PrintTo(const OptionCase& c, std::ostream* os) {
    *os << c.name;
}

class ImportOptions : public ImportPictures, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(ImportOptions, CopiesGoWhereTheOptionSays) {
    const OptionCase& c = GetParam();
    HookedDialogs boxes;
    addDocument(QStringLiteral("Trip"), "");
    form->LoadOtherDocNames();
    ASSERT_TRUE(form->OtherDocRadioButton->isEnabled());
    ASSERT_EQ(form->OtherDocsComboBox->currentText(), "Trip");
    DatabaseReadOnly = c.readOnly;
    if (QString::fromLatin1(c.option) == "date") {
        form->DateTimePicker->setDate(QDate(2005, 3, 5));  // the change checks its option
        ASSERT_TRUE(form->OneEntryRadioButton->isChecked());
    } else {
        form->OtherDocRadioButton->setChecked(true);
        form->OtherDocsComboBox->setEditText(c.documentText);
    }
    list(camera);
    form->ListView->topLevelItem(0)->setSelected(true);  // Beach.JPG
    form->ListView->topLevelItem(2)->setSelected(true);  // x.Bmp
    form->Button1Click();

    QStringList files = qbtest::filesBelow(dir.path());
    files.removeIf([](const QString& f) { return f.startsWith("camera/") || f.endsWith(".mdb"); });
    EXPECT_EQ(files, c.expectedFiles);
    EXPECT_EQ(hasEntry("20050305"), c.dayRowMade);
    EXPECT_EQ(monthDays("200503"), c.dayRowMade ? ";05;" : "");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith("Finished importing pictures for association "));
    EXPECT_TRUE(boxes.shown[0].text.endsWith(c.finishedTail)) << boxes.shown[0].text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Options, ImportOptions,
    ::testing::Values(
        OptionCase{"OneDay",
                   "date",
                   {},
                   false,
                   {"program/Pictures/2005/03/05/Beach.JPG", "program/Pictures/2005/03/05/x.Bmp"},
                   true,
                   "with the 03/05/2005 entry.    "},
        OptionCase{"OneDayReadOnlyDatabase",
                   "date",
                   {},
                   true,
                   {"program/Pictures/2005/03/05/Beach.JPG", "program/Pictures/2005/03/05/x.Bmp"},
                   false,
                   "with the 03/05/2005 entry.    "},
        OptionCase{"TypedNameThatIsNoDocument",
                   "document",
                   "Holiday",
                   false,
                   {"program/Pictures/OtherDocs/Holiday/Beach.JPG",
                    "program/Pictures/OtherDocs/Holiday/x.Bmp"},
                   false,
                   "with the Holiday entry.    "},
        OptionCase{"NameThatLeavesThePictureFolder",
                   "document",
                   "../../../escaped",
                   false,
                   {},
                   false,
                   "entry.    \r\n\r\n2 pictures could not be copied."}),
    [](const ::testing::TestParamInfo<OptionCase>& test) { return std::string(test.param.name); });

TEST_F(ImportPictures, TheSameFileTwiceAsksBeforeReplacing) {
    HookedDialogs boxes;
    importAll(camera);
    const QString copy = pictures("2006/03/07/Beach.JPG");
    writeFile(copy, "edited in the diary");

    boxes.shown.clear();
    boxes.messageAnswers = {qb::MessageResult::No};
    list(camera);
    form->ListView->topLevelItem(0)->setSelected(true);
    form->Button1Click();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].title, "Confirm File Replace");
    EXPECT_EQ(boxes.shown[0].text,
              "This folder already contains a file named \"Beach.JPG\"."
              "\r\n\r\nWould you like to replace the existing file?     ");
    EXPECT_EQ(boxes.shown[0].buttons, qb::MessageButtons::YesNo);
    EXPECT_EQ(form->ProgressBar->value(), 0) << "No passes over the file without a step";
    EXPECT_EQ(readAll(copy), "edited in the diary");

    boxes.shown.clear();
    boxes.messageAnswers = {qb::MessageResult::Yes};
    form->Button1Click();
    EXPECT_EQ(boxes.titles(), (QStringList{"Confirm File Replace", "Import Finished"}));
    EXPECT_EQ(readAll(copy), "beach bytes");
    EXPECT_EQ(qbtest::filesBelow(QFileInfo(copy).path()), QStringList{"Beach.JPG"})
        << "no temporary file is left";
}

TEST_F(ImportPictures, FailedFolderCreationsAreCountedAndReported) {
    HookedDialogs boxes;
    writeFile(appFolder + "Pictures", "a file where the picture folder belongs");
    importAll(camera);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.endsWith("\r\n\r\n3 pictures could not be copied."));
    EXPECT_EQ(boxes.shown[0].icon, qb::MessageIcon::Warning);
    EXPECT_FALSE(form->ProgressBar->isVisibleTo(form.get()));
}

TEST_F(ImportPictures, NothingSelectedShowsTheImportError) {
    HookedDialogs boxes;
    list(camera);
    form->Button1Click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Import Error");
    EXPECT_EQ(boxes.shown[0].icon, qb::MessageIcon::Warning);
    EXPECT_FALSE(QDir(appFolder + "Pictures").exists());
    EXPECT_EQ(module->EntryTable.RecordCount(), 0);
}

TEST_F(ImportPictures, KeepsToItsRowsAndFolderAndCannotStartTwice) {
    HookedDialogs boxes;
    importAll(camera);  // the first copies are in place: the second run asks about each
    const QString other = dir.path() + "/other";
    writeFile(other + "/z.jpg", "other folder", kMarch7);
    boxes.shown.clear();
    bool clicked = false;
    boxes.whileBoxIsUp = [&](const QString& title) {
        if (title == "Confirm File Replace" && !clicked) {
            clicked = true;
            ASSERT_TRUE(form->Importing());
            form->Button1Click();  // a second click on Import
            list(other);           // another folder picked meanwhile
            form->SelectAllMenuItemClick();
        }
    };
    importAll(camera);
    EXPECT_EQ(boxes.titles(), (QStringList{"Confirm File Replace", "Confirm File Replace",
                                           "Confirm File Replace", "Import Finished"}));
    EXPECT_FALSE(QFileInfo::exists(pictures("2006/03/07/z.jpg")));
    EXPECT_FALSE(form->Importing());
}

TEST_F(ImportPictures, ClosingTheWindowStopsTheImport) {
    HookedDialogs boxes;
    writeFile(pictures("2006/03/07/Beach.JPG"), "already there");
    boxes.messageAnswers = {qb::MessageResult::No};
    boxes.whileBoxIsUp = [&](const QString&) { form->close(); };
    form->show();
    importAll(camera);
    EXPECT_EQ(boxes.titles(), QStringList{"Confirm File Replace"}) << "no Import Finished box";
    EXPECT_FALSE(QFileInfo::exists(pictures("2005/12/20/PHOTO.jpg")));
    EXPECT_FALSE(form->Importing());
    EXPECT_GE(calendarRefreshes, 1);
}

TEST_F(ImportPictures, ColumnClicksSortNamesAndDatesAndKeepTheSelection) {
    ImportPicturesUnit::SortColumn = 0;
    ImportPicturesUnit::SortAscending = false;
    ImportPicturesUnit::SortByDate = false;
    list(camera);
    form->ListView->topLevelItem(2)->setSelected(true);  // x.Bmp

    form->ListViewColumnClick(1);  // first click on File Date: newest first, by year first
    EXPECT_EQ(rowTexts(*form->ListView, 0), (QStringList{"Beach.JPG", "x.Bmp", "PHOTO.jpg"}));
    form->ListViewColumnClick(1);  // again: oldest first
    EXPECT_EQ(rowTexts(*form->ListView, 0), (QStringList{"PHOTO.jpg", "x.Bmp", "Beach.JPG"}));
    form->ListViewColumnClick(0);  // another column keeps the direction; case does not count
    EXPECT_EQ(rowTexts(*form->ListView, 0), (QStringList{"Beach.JPG", "PHOTO.jpg", "x.Bmp"}));
    form->ListViewColumnClick(0);
    EXPECT_EQ(rowTexts(*form->ListView, 0), (QStringList{"x.Bmp", "PHOTO.jpg", "Beach.JPG"}));

    ASSERT_EQ(form->ListView->selectedItems().size(), 1);
    EXPECT_EQ(form->ListView->selectedItems()[0]->text(0), "x.Bmp");
    list(camera);  // a new listing is not sorted
    EXPECT_EQ(rowTexts(*form->ListView, 0), (QStringList{"Beach.JPG", "PHOTO.jpg", "x.Bmp"}));
}

}  // namespace

namespace {

// Whether any pixel of the image's columns from..to-1 is darker than the window's face.
bool inkIn(const QImage& image, int from, int to) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = std::max(0, from); x < std::min(to, image.width()); ++x) {
            if (qGray(image.pixel(x, y)) < 100) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

// A long file name in the status text ends, cut short, inside panel 0: none of it runs up to
// the progress bar.
TEST_F(ImportPictures, TheStatusTextIsClippedToItsPanel) {
    form->show();
    QApplication::processEvents();
    qb::ToolStatusBar* bar = form->StatusBar;
    const QString text = QStringLiteral("Importing ") + QString(120, QLatin1Char('L'));
    bar->startProgress(3);
    bar->setPanelText(text);
    QApplication::processEvents();
    EXPECT_EQ(bar->panelText(), text);
    const QImage drawn = bar->grab().toImage();
    const int barLeft = bar->progressBar()->x();
    EXPECT_TRUE(inkIn(drawn, 0, 100));
    EXPECT_FALSE(inkIn(drawn, barLeft - 3, barLeft));
    EXPECT_TRUE(bar->panel(0)->text().endsWith(QChar(0x2026)));
    EXPECT_LE(bar->panel(0)->geometry().right(), barLeft - 1);
}

// Opened again, the tree shows the selected home folder, not the file system's root.
TEST_F(ImportPictures, OpenedAgainTheSelectedHomeFolderIsInView) {
    for (int i = 0; i < 80; ++i) {
        QDir().mkpath(dir.path() + QStringLiteral("/a%1").arg(i, 2, 10, QLatin1Char('0')));
    }
    const QString home = dir.path() + QStringLiteral("/home");
    QDir().mkpath(home + QStringLiteral("/Camera"));
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", home.toLocal8Bit());
    qb::FolderTree* tree = form->ShellTreeView;
    const auto selectionShown = [tree] {
        return tree->viewport()->rect().intersects(tree->visualRect(tree->currentIndex()));
    };
    for (int opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(opening);
        form->show();
        QTest::qWait(300);  // the folders are read in the background
        EXPECT_EQ(tree->selectedPath(), home);
        EXPECT_TRUE(selectionShown()) << tree->visualRect(tree->currentIndex()).y() << " in "
                                      << tree->viewport()->height() << " " << tree->isVisible();
        tree->scrollToTop();  // the user looks elsewhere before closing
        form->hide();
    }
    qputenv("HOME", savedHome);
}

// The tree opens at the user's home folder, open, with its pictures listed; the options' title
// stands on the top line of their frame.
TEST_F(ImportPictures, OpensAtTheHomeFolderWithTheOptionsTitleOnItsFrame) {
    const QString home = dir.path() + QStringLiteral("/home");
    writeFile(home + QStringLiteral("/Dog.jpg"), "dog bytes", kMarch7);
    QDir().mkpath(home + QStringLiteral("/Camera"));
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", home.toLocal8Bit());
    form->show();
    QApplication::processEvents();
    qputenv("HOME", savedHome);
    EXPECT_EQ(form->ShellTreeView->selectedPath(), home);
    EXPECT_TRUE(form->ShellTreeView->isExpanded(form->ShellTreeView->currentIndex()));
    EXPECT_EQ(form->ListedFolder(), home);
    EXPECT_EQ(rowTexts(*form->ListView, 0), QStringList({"Dog.jpg"}));

    auto* options = form->findChild<QGroupBox*>();
    ASSERT_NE(options, nullptr);
    const QImage drawn = options->grab().toImage();
    // Rows with any ink, and the first row that is a line across most of the box.
    const auto inkInRow = [&drawn](int y, int from, int to) {
        int count = 0;
        for (int x = from; x < to; ++x) {
            count += qGray(drawn.pixel(x, y)) < 200 ? 1 : 0;
        }
        return count;
    };
    int inkTop = -1;
    int frameTop = -1;
    for (int y = 0; y < drawn.height() && frameTop < 0; ++y) {
        if (inkTop < 0 && inkInRow(y, 0, drawn.width()) > 0) {
            inkTop = y;
        }
        if (inkInRow(y, 0, drawn.width()) > drawn.width() / 2) {
            frameTop = y;
        }
    }
    ASSERT_GE(inkTop, 0);
    ASSERT_GT(frameTop, inkTop);
    // The line runs through the title's letters, not below them.
    EXPECT_LT(frameTop - inkTop, options->fontMetrics().capHeight());
}
