// The search window over a small diary file with picture folders: what it lists, the period, a
// damaged row, opening a row, Stop and a second Start while it runs, a database error.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <tuple>

#include "editors/EditorTestSupport.h"
#include "pages/ShadeUnit.h"
#include "platform/core/Color.h"
#include "platform/richedit/RichEdit.h"
#include "program/ProgramImages.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "support/FileReader.h"
#include "support/ManualClock.h"
#include "support/ScriptedDialogs.h"
#include "tools/SearchUnit.h"
#include "tools/ToolTitleStrip.h"
#include "tools/search/SearchTestDiary.h"

namespace {

using Row = std::tuple<QString, QString, QString, QString>;

using qbtest::rtfOf;

class SearchWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        diary.addDay("20050305", {"Walked by the river", "and ate an Apple with Anna"});
        diary.addDay("20050306", {"Nothing to report"}, false);  // stored as plain RTF
        diary.addRow(diary.module->EntryTable, "sYYYYMMDD", "20050307", "damaged, no cipher text");
        diary.addDay("20051340", {"an apple on a day that does not exist"});
        diary.addDay("20050308", {"   "});
        diary.addRow(diary.module->EntryTable, "sYYYYMMDD", "20050309");  // opened, never saved
        diary.addDocument("Recipes", {"Pear crumble", "Apple pie"});
        diary.picture("Pictures/2005/03/05/Apple tree.JPG");
        diary.picture("Pictures/2005/03/05/apple.png");  // not a picture kind the search looks at
        diary.picture("Pictures/OtherDocs/Recipes/pear.jpg");
        diary.picture("Pictures/loose apple.jpg");  // lies in no day's or document's folder
        form.CurrentRichEdit = [this] { return &page; };
        form.ShowDay = [this](const QString& key) { opened << "day " + key; };
        form.ShowDocument = [this](const QString& name) { opened << "document " + name; };
    }

    std::vector<Row> search(const QString& text) {
        form.SearchEdit->setText(text);
        form.StartButtonClick();
        return rows();
    }
    std::vector<Row> rows() const {
        std::vector<Row> all;
        for (int i = 0; i < form.Results->count(); ++i) {
            const TSearchResults::Row& r = form.Results->row(i);
            all.emplace_back(r.location, r.type, r.entry, r.excerpt);
        }
        return all;
    }
    void expectFinished(const QString& status) {
        EXPECT_EQ(form.StatusPanel0->text(), status);
        EXPECT_TRUE(form.ProgressBar->isHidden());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(form.Searching());
    }

    qb::ManualClock clock{QDateTime(QDate(2005, 3, 31), QTime(9, 0))};
    qb::ScriptedDialogs dialogs;
    qbtest::SearchTestDiary diary;
    TSearchForm form;
    qb::TRichEdit page;
    QStringList opened;
};

TEST_F(SearchWindowTest, ListsEntriesDocumentsAndPictureNames) {
    const Row day{"20050305", "Entry", "Saturday - March  5, 2005", "and ate an Apple with Anna"};
    const Row document{"Recipes", "Document", "Recipes", "Apple pie"};
    const Row tree{diary.folder + "Pictures/2005/03/05/Apple tree.JPG", "Picture", "Apple tree.JPG",
                   "not applicable"};
    EXPECT_EQ(search("apple"), std::vector<Row>({day, document, tree}));
    EXPECT_EQ(form.SearchResultLabel->text(), "Search Results  (3 excerpts found)");
    // The damaged row and the row of no day are skipped and counted; the search goes on.
    expectFinished("Finished Searching.  2 entries could not be read");
    EXPECT_EQ(form.UnreadableCount(), 2);

    const struct {
        QString text;
        std::vector<Row> rows;
    } cases[] = {
        {"APPLE", {day, document, tree}},
        {"anna river",
         {{"20050305", "Entry", "Saturday - March  5, 2005", "and ate an Apple with Anna"},
          {"20050305", "Entry", "Saturday - March  5, 2005", "Walked by the river"}}},
        {"\"apple tree\"", {tree}},
        {"apple anna", {day, day}},  // one row per term and paragraph
        {"kiwi", {}},
        {"apple kiwi", {}},
        {"   ", {}},
        {",,", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(search(c.text), c.rows) << c.text.toStdString();
    }
    EXPECT_EQ(form.SearchResultLabel->text(), "Search Results  (0 excerpts found)");
    expectFinished("Finished Searching.  2 entries could not be read");
}

TEST_F(SearchWindowTest, KindsAndPeriodNarrowTheSearch) {
    diary.addDay("20050227", {"apple in February"});
    diary.addDay("20050228", {"apple on the last day of February"});
    diary.addDay("20060101", {"apple next year"});
    form.Days30RadioButton->setChecked(true);  // 31 March: from 28 February on
    form.OtherDocsCheckBox->setChecked(false);
    form.PicturesCheckBox->setChecked(false);
    std::vector<QString> keys;
    for (const Row& row : search("apple")) {
        keys.push_back(std::get<0>(row));
    }
    EXPECT_EQ(keys, std::vector<QString>({"20050228", "20050305", "20060101"}));

    form.EntriesCheckBox->setChecked(false);
    form.OtherDocsCheckBox->setChecked(true);
    EXPECT_EQ(search("pear"),
              std::vector<Row>({{"Recipes", "Document", "Recipes", "Pear crumble"}}));
    EXPECT_EQ(form.UnreadableCount(), 0);
}

TEST_F(SearchWindowTest, OpeningARowShowsItsPageAndSelectsTheExcerpt) {
    search("anna");
    page.LoadRtf(rtfOf({"Walked by the river", "and ate an Apple with Anna"}));
    // Nothing selected: the first row opens.
    form.OpenSelectedResult();
    EXPECT_EQ(opened, QStringList({"day 20050305"}));
    EXPECT_EQ(page.SelStart(), 20);
    EXPECT_EQ(page.SelLength(), 26);

    // A page edited since the search no longer holds the excerpt: the caret stays where it is.
    page.LoadRtf(rtfOf({"Walked by the river", "rewritten"}));
    page.setSelStart(5);
    form.ListView->setCurrentIndex(form.Results->index(0, 1));
    form.ListViewKeyDown(Qt::Key_Space);
    EXPECT_EQ(page.SelStart(), 5);
    EXPECT_EQ(page.SelLength(), 0);

    search("pie");
    form.ListView->setCurrentIndex(form.Results->index(0, 1));
    form.ListViewClick();
    EXPECT_EQ(opened.last(), "document Recipes");

    form.SearchEdit->setText("kiwi");
    form.StartButtonClick();
    opened.clear();
    form.OpenSelectedResult();  // an empty list opens nothing
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(SearchWindowTest, AClickBelowTheRowsOpensTheFirstAndAClickOnARowOpensThatRow) {
    ASSERT_EQ(search("apple").size(), 3u);  // the day, the document, the picture
    page.LoadRtf(rtfOf({"Walked by the river", "and ate an Apple with Anna"}));
    form.show();
    QWidget* list = form.ListView->viewport();
    const QRect document = form.ListView->visualRect(form.Results->index(1, 1));
    const QPoint below(document.center().x(), list->height() - 4);
    ASSERT_FALSE(form.ListView->indexAt(below).isValid()) << "the list has room below its rows";

    QTest::mouseClick(list, Qt::LeftButton, {}, below);
    EXPECT_EQ(opened, QStringList({"day 20050305"}));
    EXPECT_EQ(form.ListView->selectionModel()->selectedRows().value(0).row(), 0);
    EXPECT_EQ(page.SelLength(), 26) << "the excerpt is selected in the page";

    QTest::mouseClick(list, Qt::LeftButton, {}, document.center());
    EXPECT_EQ(opened, QStringList({"day 20050305", "document Recipes"})) << "once per click";
}

TEST_F(SearchWindowTest, TheWindowWearsTheSearchImageAndBarredTitleStripsWithWhiteCaptions) {
    EXPECT_EQ(form.windowIcon().pixmap(16, 16).toImage(),
              ProgramImages::searchImage().pixmap(16, 16).toImage());
    // The field's own face is taken when the window is shown, not when it is made.
    const auto fieldFaceShown = [this] {
        return form.SearchEdit->font().family() == "Arial" &&
               form.SearchEdit->font().pointSize() == 9;
    };
    EXPECT_FALSE(fieldFaceShown());

    // A system colour as the background: the tint is worked out from its plain value.
    const std::uint32_t savedBackground = BackgroundColor;
    BackgroundColor = 0xFF00000F;
    form.show();
    EXPECT_TRUE(fieldFaceShown());
    for (const QString caption : {"Text To Find", "What to Search", "Options", "Search Results"}) {
        SCOPED_TRACE(caption.toStdString());
        QLabel* label = nullptr;
        for (QLabel* candidate : form.findChildren<QLabel*>()) {
            if (candidate->text() == caption) {
                label = candidate;
            }
        }
        ASSERT_NE(label, nullptr);
        EXPECT_FALSE(label->font().bold());
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        QWidget* strip = label->parentWidget();
        EXPECT_EQ(strip->height(), kToolTitleStripHeight);

        const QImage drawn = strip->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QImage shading(strip->size(), QImage::Format_RGB32);
        // What the shading leaves unpainted shows the strip's own background.
        shading.fill(strip->palette().color(strip->backgroundRole()));
        QPainter painter(&shading);
        ShadePaintBox(painter, ShadeBox{strip->width(), strip->height(), "ShadeBarred", 55},
                      ShadeTint::ToolTitleStrip(qb::colorToRGB(BackgroundColor)));
        painter.end();
        // Right of the caption the strip shows nothing but its shading.
        int differing = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = label->geometry().right() + 4; x < drawn.width(); ++x) {
                differing += drawn.pixel(x, y) != shading.pixel(x, y);
            }
        }
        EXPECT_EQ(differing, 0);
    }
    BackgroundColor = savedBackground;
}

TEST_F(SearchWindowTest, StopAndASecondStartWhileItRuns) {
    // The first time the search lets messages through, Start is clicked again and then Stop.
    int nested = 0;
    QTimer::singleShot(0, &form, [&] {
        form.StartButtonClick();
        ++nested;
        form.StopButtonClick();
    });
    EXPECT_TRUE(search("apple").empty());
    EXPECT_EQ(nested, 1);
    expectFinished("Finished Searching.");

    // Closing the window stops a running search the same way; the next search runs in full.
    QTimer::singleShot(0, &form, [&] { form.close(); });
    form.show();
    EXPECT_TRUE(search("apple").empty());
    EXPECT_EQ(search("apple").size(), 3u);
}

// Texts that lack a letter of the term in their bytes are passed over unread; a letter written
// as an escape or in the other case must still be found.
TEST_F(SearchWindowTest, TermsAreFoundHoweverTheRtfSpellsTheirLetters) {
    const auto addRtf = [&](const char* key, const char* body) {
        diary.addRow(diary.module->EntryTable, "sYYYYMMDD", key,
                     EncodeEntryText(std::string("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ") +
                                     body + "}"));
    };
    addRtf("20050310", "a \\'7aephyr by hex");
    addRtf("20050311", "a \\u90?EPHYR by number");
    addRtf("20050312", "a ZEP{\\b H}YR in capitals");
    addRtf("20050313", "a zeph\\b yr\\b0  split by a control word");
    addRtf("20050314", "no such wind");
    const std::vector<Row> found = search("zephyr");
    std::vector<QString> days;
    for (const Row& row : found) {
        days.push_back(std::get<0>(row));
    }
    EXPECT_EQ(days, (std::vector<QString>{"20050310", "20050311", "20050312", "20050313"}));
}

TEST_F(SearchWindowTest, APageSavedWhileItRunsIsWrittenAtOnceAndSearchedAsSaved) {
    // The first time the search lets messages through, a page further on is saved; the save
    // must be in the file when it returns, for any other reader of the file.
    std::string seenByAnotherReader;
    QTimer::singleShot(0, &form, [&] {
        qb::db::Table& entries = diary.module->EntryTable;
        ASSERT_TRUE(entries.Locate("sYYYYMMDD", "20050308"));
        entries.Edit();
        entries.FieldByName("Entry").SetAsString(
            EncodeEntryText(rtfOf({"an apple saved meanwhile"}).toStdString()));
        entries.Post();
        seenByAnotherReader = qbtest::entryAsAnotherReaderSees(
            diary.module->ADOConnection1.DatabasePath(), "Entry", "sYYYYMMDD", "20050308");
    });
    const std::vector<Row> found = search("apple");
    EXPECT_EQ(DecodeEntryText(seenByAnotherReader),
              rtfOf({"an apple saved meanwhile"}).toStdString());
    const Row saved{"20050308", "Entry", "Tuesday - March  8, 2005", "an apple saved meanwhile"};
    EXPECT_NE(std::find(found.begin(), found.end(), saved), found.end());
    EXPECT_EQ(found.size(), 4u);  // with the day, the document and the picture
    EXPECT_TRUE(dialogs.shown.empty());
    expectFinished("Finished Searching.  2 entries could not be read");
}

TEST_F(SearchWindowTest, ADatabaseErrorEndsTheSearchWithAMessage) {
    diary.module->ADOConnection1.Execute("ALTER TABLE OtherDocs RENAME TO Gone");
    search("apple");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Search Error");
    EXPECT_TRUE(dialogs.shown[0].text.startsWith(
        "The search stopped because the diary could not be read:\r\n"));
    EXPECT_TRUE(form.ProgressBar->isHidden());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(form.Searching());
}

}  // namespace
