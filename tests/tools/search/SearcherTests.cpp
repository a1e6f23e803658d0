// The search walk without a window, over a small diary file and picture folder tree: the rows it
// reports and their order, the period, unreadable records, picture names, and a stop asked for
// at each point where the walk asks whether to go on.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "cipher/QbClass.h"
#include "program/StaticUnit.h"
#include "tools/SearchTerms.h"
#include "tools/Searcher.h"
#include "tools/search/SearchTestDiary.h"

namespace qb::search {
// Readable rows in failure messages.
inline void PrintTo(const Hit& hit, std::ostream* os) {
    *os << "{" << int(hit.kind) << ", " << hit.key.toStdString() << ", " << hit.title.toStdString()
        << ", " << hit.excerpt.toStdString() << ", " << hit.paragraph << "}";
}
inline bool operator==(const Hit& a, const Hit& b) {
    return std::tie(a.kind, a.key, a.title, a.excerpt, a.paragraph) ==
           std::tie(b.kind, b.key, b.title, b.excerpt, b.paragraph);
}
}  // namespace qb::search

namespace {

using qb::search::Hit;
using qb::search::HitKind;

using qbtest::rtfOf;

// What one walk reported.
struct Walk {
    int unreadable = 0;
    int asked = 0;  // the questions whether to go on
    std::vector<int> counted;
    int read = 0;
    int sections = 0;
    std::vector<int> documents;
    QStringList pictures;
    std::vector<int> reports;  // the number of rows of each report
    std::vector<Hit> hits;
    std::vector<QString> keys() const {
        std::vector<QString> all;
        for (const Hit& hit : hits) {
            all.push_back(hit.key);
        }
        return all;
    }
};

// Records what the walk reports; asks it to stop from the stopAt-th question on (0: never).
class RecordingObserver : public qb::search::SearchObserver {
  public:
    RecordingObserver(Walk& walk, int stopAt) : walk_(walk), stopAt_(stopAt) {}

    void recordsCounted(int records) override { walk_.counted.push_back(records); }
    void recordRead() override { ++walk_.read; }
    void sectionDone() override { ++walk_.sections; }
    void documentReached(int recordNumber) override { walk_.documents.push_back(recordNumber); }
    void pictureReached(const QString& folder, const QString& name) override {
        walk_.pictures << folder + name;
    }
    void hitsFound(const std::vector<Hit>& found) override {
        EXPECT_FALSE(found.empty());
        walk_.reports.push_back(int(found.size()));
        walk_.hits.insert(walk_.hits.end(), found.begin(), found.end());
    }
    bool goOn() override {
        ++walk_.asked;
        stopped_ = stopped_ || (stopAt_ > 0 && walk_.asked >= stopAt_);
        return !stopped_;
    }
    bool stopRequested() override { return stopped_; }

  private:
    Walk& walk_;
    int stopAt_;
    bool stopped_ = false;
};

class SearcherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        diary.addDay("20050227", {"an apple in February"});
        diary.addDay("20050305", {"Walked by the river", "and ate an Apple with Anna"});
        diary.addDay("20050306", {"Nothing to report"}, false);  // stored as plain RTF
        diary.addDocument("Recipes", {"Pear crumble", "Apple pie"});
        diary.addDocument("Shopping", {"apples, pears and an apple"});
        diary.picture("Pictures/2005/03/05/Apple tree.JPG");
        diary.picture("Pictures/2005/03/05/apple.png");  // not a picture kind the search looks at
        diary.picture("Pictures/2005/03/05/b/apple core.bmp");
        diary.picture("Pictures/OtherDocs/Recipes/pear.jpg");
        diary.picture("Pictures/loose apple.jpg");  // lies in no day's or document's folder
    }

    QString pictureFolder() const { return diary.folder + "Pictures"; }
    QString picturePath(const QString& relative) const { return pictureFolder() + "/" + relative; }

    qb::search::SearchOptions options(const QString& text) {
        qb::search::SearchOptions o;
        o.connection = &diary.module->ADOConnection1;
        o.cipher = &diary.cipher;
        o.pictureFolder = pictureFolder();
        o.terms = qb::search::SearchTermsOf(text);
        return o;
    }
    static Walk search(qb::search::SearchOptions o, int stopAt = 0) {
        Walk walk;
        RecordingObserver observer(walk, stopAt);
        qb::search::Searcher searcher(std::move(o), observer);
        searcher.run();
        walk.unreadable = searcher.unreadableCount();
        return walk;
    }

    qbtest::SearchTestDiary diary;
};

TEST_F(SearcherTest, ReportsTheRowsOfEntriesDocumentsAndPictureNamesInOrder) {
    const Hit february{HitKind::Entry, "20050227", "Sunday - February 27, 2005",
                       "an apple in February", 0};
    const Hit march{HitKind::Entry, "20050305", "Saturday - March  5, 2005",
                    "and ate an Apple with Anna", 1};
    const Hit pie{HitKind::Document, "Recipes", "Recipes", "Apple pie", 1};
    const Hit shopping{HitKind::Document, "Shopping", "Shopping", "apples, pears and an apple", 0};
    const Hit tree{HitKind::Picture, picturePath("2005/03/05/Apple tree.JPG"), "Apple tree.JPG", "",
                   -1};
    const Hit core{HitKind::Picture, picturePath("2005/03/05/b/apple core.bmp"), "apple core.bmp",
                   "", -1};

    const Walk apple = search(options("apple"));
    EXPECT_EQ(apple.unreadable, 0);
    EXPECT_EQ(apple.hits, (std::vector<Hit>{february, march, pie, shopping, tree, core}));
    EXPECT_EQ(apple.reports, (std::vector<int>{1, 1, 1, 1, 1, 1})) << "one report a record";
    EXPECT_EQ(apple.counted, std::vector<int>{5});
    EXPECT_EQ(apple.read, 5);
    EXPECT_EQ(apple.sections, 2);
    EXPECT_EQ(apple.documents, (std::vector<int>{1, 2}));
    // Every file below a day's or a document's folder is reached, depth first; a loose one not.
    EXPECT_EQ(apple.pictures, QStringList({picturePath("2005/03/05/Apple tree.JPG"),
                                           picturePath("2005/03/05/apple.png"),
                                           picturePath("2005/03/05/b/apple core.bmp"),
                                           picturePath("OtherDocs/Recipes/pear.jpg")}));

    // Term by term, each term's rows in paragraph order, in one report for the record.
    auto entries = options("anna river");
    entries.documents = entries.pictures = false;
    const Walk byTerms = search(entries);
    const Hit river{HitKind::Entry, "20050305", "Saturday - March  5, 2005", "Walked by the river",
                    0};
    EXPECT_EQ(byTerms.hits, (std::vector<Hit>{march, river}));
    EXPECT_EQ(byTerms.reports, std::vector<int>{2});
}

TEST_F(SearcherTest, ThePeriodAndTheKindsNarrowTheWalk) {
    diary.addDay("20060101", {"an apple next year"});
    const struct {
        const char* what;
        int keyBound;
        bool entries, documents, pictures;
        std::vector<QString> keys;
        int counted;
    } cases[] = {
        {"all",
         0,
         true,
         true,
         true,
         {"20050227", "20050305", "20060101", "Recipes", "Shopping",
          picturePath("2005/03/05/Apple tree.JPG"), picturePath("2005/03/05/b/apple core.bmp")},
         6},
        {"from 28 February, later days too",
         20050228,
         true,
         false,
         false,
         {"20050305", "20060101"},
         4},
        {"documents only", 20050228, false, true, false, {"Recipes", "Shopping"}, 2},
        {"pictures only",
         0,
         false,
         false,
         true,
         {picturePath("2005/03/05/Apple tree.JPG"), picturePath("2005/03/05/b/apple core.bmp")},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto o = options("apple");
        o.keyBound = c.keyBound;
        o.entries = c.entries;
        o.documents = c.documents;
        o.pictures = c.pictures;
        const Walk walk = search(o);
        EXPECT_EQ(walk.keys(), c.keys);
        EXPECT_EQ(walk.counted, std::vector<int>{c.counted});
        // Rows below the period are read (the progress moves) but not searched.
        EXPECT_EQ(walk.read, c.counted);
    }

    // No diary open: only the pictures are walked.
    auto none = options("apple");
    none.connection = nullptr;
    const Walk pictures = search(none);
    EXPECT_EQ(pictures.counted, std::vector<int>{0});
    EXPECT_EQ(pictures.hits.size(), 2u);
}

TEST_F(SearcherTest, UnreadableRecordsAreSkippedAndCounted) {
    diary.addRow(diary.module->EntryTable, "sYYYYMMDD", "20050307", "damaged, no cipher text");
    diary.addDay("20051340", {"an apple on a day that does not exist"});
    TQbBlowfish other;
    other.GenerateKey("another key");
    const std::string foreign =
        other.EncryptString(rtfOf({"an apple under another key"}).toStdString());
    diary.addRow(diary.module->EntryTable, "sYYYYMMDD", "20050308", foreign);
    diary.addRow(diary.module->OtherDocTable, "Name", "Foreign", foreign);
    diary.addRow(diary.module->EntryTable, "sYYYYMMDD", "20050309");  // opened, never saved

    auto o = options("apple");
    o.pictures = false;
    const Walk own = search(o);
    EXPECT_EQ(own.unreadable, 4)
        << "the damaged row, the day that does not exist, the foreign texts";
    EXPECT_EQ(own.keys(), (std::vector<QString>{"20050227", "20050305", "Recipes", "Shopping"}));

    // The walk deciphers with the cipher it is given, not the program's.
    o.cipher = &other;
    const Walk foreignKey = search(o);
    EXPECT_EQ(foreignKey.unreadable, 6);
    EXPECT_EQ(foreignKey.keys(), (std::vector<QString>{"20050308", "Foreign"}));
}

TEST_F(SearcherTest, AStopEndsTheWalkAtTheNextQuestion) {
    // The walk asks per entry of the period, per document, before each picture folder of the
    // tree and after each picture file: 3 entries, 2 documents, then the folders "2005" (with 3
    // files) and "OtherDocs" (1 file).
    const struct {
        int stopAt;
        int hits;
        std::vector<int> documents;
        int pictures;
    } cases[] = {
        {1, 0, {}, 0},       // at the first entry: nothing is searched
        {3, 2, {}, 0},       // at the third entry: the documents do not begin
        {5, 3, {1}, 0},      // at the second document
        {6, 4, {1, 2}, 0},   // before the first picture folder
        {7, 5, {1, 2}, 1},   // after the first picture
        {10, 6, {1, 2}, 3},  // before the second folder
        {0, 6, {1, 2}, 4},   // never
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stopAt);
        const Walk walk = search(options("apple"), c.stopAt);
        EXPECT_EQ(int(walk.hits.size()), c.hits);
        EXPECT_EQ(walk.documents, c.documents);
        EXPECT_EQ(int(walk.pictures.size()), c.pictures);
        EXPECT_EQ(walk.asked, c.stopAt > 0 ? c.stopAt : 11) << "no question after the stop";
        EXPECT_EQ(walk.sections, 2);
    }
}

}  // namespace
