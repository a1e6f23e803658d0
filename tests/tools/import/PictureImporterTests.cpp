// The picture import without a window, over a small diary file and real files: where the copies
// go, the day rows and month marks they make, the question before a replace, the files that could
// not be copied, and a stop asked for after a picture.

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "editors/EditorTestSupport.h"
#include "store/DayRows.h"
#include "tools/PictureImporter.h"
#include "tools/ToolFiles.h"

namespace {

using qb::ImportPicture;
using qb::PictureTarget;
using qbtest::readAll;
using qbtest::writeFile;

const QDateTime kMarch7 = QDateTime(QDate(2006, 3, 7), QTime(14, 30));
const QDateTime kDecember20 = QDateTime(QDate(2005, 12, 20), QTime(9, 0));
const QDateTime kJanuary2 = QDateTime(QDate(2006, 1, 2), QTime(9, 0));

// The camera folder's pictures as the list shows them.
const std::vector<ImportPicture> kCamera = {
    {"Beach.JPG", "03/07/2006"}, {"PHOTO.jpg", "12/20/2005"}, {"x.Bmp", "01/02/2006"}};

// Records what the import asks and tells, in order; answers the targets in turn (the last one
// stands for the rest), the replace questions from a queue (No when empty), and asks the import
// to stop from the stopAt-th question whether to go on (0: never).
class RecordingObserver : public qb::PictureImportObserver {
  public:
    std::vector<PictureTarget> targets{PictureTarget{}};
    std::deque<bool> replaceAnswers;
    int stopAt = 0;
    QStringList log;

    PictureTarget pictureTarget() override {
        log << "target";
        const PictureTarget target = targets.front();
        if (targets.size() > 1) {
            targets.erase(targets.begin());
        }
        return target;
    }
    void pictureStarted(const QString& name) override { log << "start " + name; }
    void pictureDone() override { log << "done"; }
    bool replaceExisting(const QString& name) override {
        log << "replace? " + name;
        const bool answer = !replaceAnswers.empty() && replaceAnswers.front();
        if (!replaceAnswers.empty()) {
            replaceAnswers.pop_front();
        }
        return answer;
    }
    void dayRowMade(const QString& key) override { log << "row " + key; }
    bool goOn() override {
        log << "goOn";
        ++asked_;
        return stopAt == 0 || asked_ < stopAt;
    }

  private:
    int asked_ = 0;
};

class PictureImporterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        camera = diary.folder + "camera";
        writeFile(camera + "/Beach.JPG", "beach bytes", kMarch7);
        writeFile(camera + "/x.Bmp", "bitmap bytes", kJanuary2);
        writeFile(camera + "/PHOTO.jpg", "photo bytes", kDecember20);
    }

    qb::PictureImportOptions options(const QString& folder,
                                     std::vector<ImportPicture> chosen = kCamera) {
        qb::PictureImportOptions o;
        o.store = diary.module.get();
        o.pictureFolder = diary.folder + "Pictures/";
        o.folder = folder;
        o.pictures = std::move(chosen);
        return o;
    }
    qb::PictureImporter::Outcome import(qb::PictureImportOptions o) {
        return qb::PictureImporter(std::move(o), observer).importPictures();
    }

    QString pictures(const QString& relative) const {
        return diary.folder + "Pictures/" + relative;
    }
    bool hasEntry(const QString& key) { return qb::LocateDayEntry(diary.module->EntryTable, key); }
    QString monthDays(const QString& monthKey) {
        qb::db::Table& months = diary.module->MonthLookupTable;
        return months.Locate("YearMonth", monthKey.toStdString())
                   ? months.FieldByName("Days").AsQString()
                   : QString();
    }
    // The files the import made, below the program folder.
    QStringList copies() const {
        QStringList files = qbtest::filesBelow(diary.folder);
        files.removeIf(
            [](const QString& f) { return f.startsWith("camera/") || f.endsWith(".mdb"); });
        return files;
    }

    TestDiary diary;
    QString camera;
    RecordingObserver observer;
};

TEST_F(PictureImporterTest, FileDatesSortIntoDaysWithRowsAndMonthMarks) {
    diary.addRow(diary.module->EntryTable, "sYYYYMMDD", "20060102");  // this day has its row
    const qb::PictureImporter::Outcome outcome = import(options(camera));
    EXPECT_EQ(outcome.failed, 0);
    EXPECT_FALSE(outcome.stopped);

    EXPECT_EQ(readAll(pictures("2006/03/07/Beach.JPG")), "beach bytes");
    EXPECT_EQ(readAll(pictures("2005/12/20/PHOTO.jpg")), "photo bytes");
    EXPECT_EQ(readAll(pictures("2006/01/02/x.Bmp")), "bitmap bytes");
    EXPECT_EQ(QFileInfo(pictures("2006/03/07/Beach.JPG")).lastModified(), kMarch7);
    EXPECT_TRUE(hasEntry("20060307"));
    EXPECT_TRUE(hasEntry("20051220"));
    EXPECT_EQ(monthDays("200603"), ";07;");
    EXPECT_EQ(monthDays("200512"), ";20;");
    EXPECT_EQ(monthDays("200601"), "") << "an existing row gets no new mark";
    EXPECT_EQ(diary.module->EntryTable.RecordCount(), 3);
    // The target is asked for each picture; a new day row is told before the picture's copy.
    EXPECT_EQ(observer.log, (QStringList{"target", "row 20060307", "start Beach.JPG", "done",
                                         "goOn", "target", "row 20051220", "start PHOTO.jpg",
                                         "done", "goOn", "target", "start x.Bmp", "done", "goOn"}));
}

struct TargetCase {
    const char* name;
    PictureTarget target;
    bool readOnly;
    bool withStore;
    QStringList expectedFiles;  // below the program folder
    bool dayRowMade;
    int failed;
};

void PrintTo(const TargetCase& c, std::ostream* os) {
    *os << c.name;
}

class ImportTargets : public PictureImporterTest,
                      public ::testing::WithParamInterface<TargetCase> {};

TEST_P(ImportTargets, CopiesGoWhereTheTargetSays) {
    const TargetCase& c = GetParam();
    observer.targets = {c.target};
    qb::PictureImportOptions o = options(camera, {kCamera[0], kCamera[2]});  // Beach.JPG, x.Bmp
    o.readOnly = c.readOnly;
    o.store = c.withStore ? diary.module.get() : nullptr;
    EXPECT_EQ(import(std::move(o)).failed, c.failed);
    EXPECT_EQ(copies(), c.expectedFiles);
    EXPECT_EQ(hasEntry("20050305"), c.dayRowMade);
    EXPECT_EQ(monthDays("200503"), c.dayRowMade ? ";05;" : "");
    EXPECT_EQ(observer.log.count("done"), 2) << "every picture is done, copied or not";
}

const PictureTarget kMarch5{PictureTarget::Kind::OneDay, QDate(2005, 3, 5), {}};
const QStringList kMarch5Files{"Pictures/2005/03/05/Beach.JPG", "Pictures/2005/03/05/x.Bmp"};

INSTANTIATE_TEST_SUITE_P(
    Targets, ImportTargets,
    ::testing::Values(
        TargetCase{"OneDay", kMarch5, false, true, kMarch5Files, true, 0},
        TargetCase{"OneDayReadOnlyDatabase", kMarch5, true, true, kMarch5Files, false, 0},
        TargetCase{"OneDayWithoutStore", kMarch5, false, false, kMarch5Files, false, 0},
        TargetCase{"TypedNameThatIsNoDocument",
                   {PictureTarget::Kind::Document, {}, "Holiday"},
                   false,
                   true,
                   {"Pictures/OtherDocs/Holiday/Beach.JPG", "Pictures/OtherDocs/Holiday/x.Bmp"},
                   false,
                   0},
        TargetCase{"NameThatLeavesThePictureFolder",
                   {PictureTarget::Kind::Document, {}, "../../../escaped"},
                   false,
                   true,
                   {},
                   false,
                   2}),
    [](const ::testing::TestParamInfo<TargetCase>& test) { return std::string(test.param.name); });

TEST_F(PictureImporterTest, AnotherFileOfTheNameIsReplacedOnlyAfterYes) {
    import(options(camera, {kCamera[0]}));
    const QString copy = pictures("2006/03/07/Beach.JPG");
    writeFile(copy, "edited in the diary");

    observer.log.clear();
    observer.replaceAnswers = {false};
    EXPECT_EQ(import(options(camera, {kCamera[0]})).failed, 0);
    EXPECT_EQ(observer.log,
              (QStringList{"target", "start Beach.JPG", "replace? Beach.JPG", "goOn"}))
        << "No passes over the file without a step";
    EXPECT_EQ(readAll(copy), "edited in the diary");

    observer.log.clear();
    observer.replaceAnswers = {true};
    EXPECT_EQ(import(options(camera, {kCamera[0]})).failed, 0);
    EXPECT_EQ(observer.log,
              (QStringList{"target", "start Beach.JPG", "replace? Beach.JPG", "done", "goOn"}));
    EXPECT_EQ(readAll(copy), "beach bytes");
    EXPECT_EQ(qbtest::filesBelow(QFileInfo(copy).path()), QStringList{"Beach.JPG"})
        << "no temporary file is left";
}

TEST_F(PictureImporterTest, AnImportStoppedHalfWayLeavesNoTemporaryForTheNext) {
    const QString day = pictures("2006/03/07");
    writeFile(day + "/.Beach.JPG.0badf00d.tmp", "half copied");
    writeFile(day + "/.notes.tmp", "the user's");
    import(options(camera));
    EXPECT_FALSE(QFileInfo::exists(day + "/.Beach.JPG.0badf00d.tmp"));
    EXPECT_EQ(readAll(day + "/.notes.tmp"), "the user's");
    EXPECT_EQ(readAll(day + "/Beach.JPG"), "beach bytes");
}

TEST_F(PictureImporterTest, ADayFolderImportedIntoItsOwnDayKeepsItsPictures) {
    import(options(camera));
    const QString day = pictures("2006/03/07");
    observer.log.clear();
    // The source of the copy is its target.
    EXPECT_EQ(import(options(day, {kCamera[0]})).failed, 0);
    EXPECT_EQ(observer.log, (QStringList{"target", "start Beach.JPG", "done", "goOn"}))
        << "nothing to ask";
    EXPECT_EQ(readAll(day + "/Beach.JPG"), "beach bytes");
}

TEST_F(PictureImporterTest, ANameOfTwoHundredFiftyBytesIsCopied) {
    const QString folder = diary.folder + "long";
    const QString name = QString(246, u'p') + QStringLiteral(".jpg");
    writeFile(folder + u'/' + name, "long bytes", kMarch7);
    EXPECT_EQ(import(options(folder, {{name, "03/07/2006"}})).failed, 0);
    EXPECT_EQ(readAll(pictures("2006/03/07/") + name), "long bytes");
    EXPECT_EQ(qbtest::filesBelow(pictures("2006/03/07")), QStringList{name});
}

TEST_F(PictureImporterTest, PicturesWithNowhereToGoAreCountedAndDone) {
    // A listed text that is no date names no day: no row, no folder.
    EXPECT_EQ(import(options(camera, {{"Beach.JPG", "yesterday"}})).failed, 1);
    EXPECT_EQ(observer.log, (QStringList{"target", "done", "goOn"}));
    EXPECT_EQ(diary.module->EntryTable.RecordCount(), 0);

    // A file where the picture tree belongs: no target folder can be made.
    writeFile(diary.folder + "Pictures", "a file where the picture folder belongs");
    observer.log.clear();
    EXPECT_EQ(import(options(camera)).failed, 3);
    EXPECT_EQ(observer.log.count("done"), 3);
    EXPECT_FALSE(observer.log.contains("start Beach.JPG"));
}

TEST_F(PictureImporterTest, AStopEndsTheImportAfterThePictureAndEachPictureAsksItsTarget) {
    // A change of the target during the import applies to the pictures after it.
    observer.targets = {PictureTarget{}, PictureTarget{PictureTarget::Kind::Document, {}, "Trip"}};
    observer.stopAt = 2;
    const qb::PictureImporter::Outcome outcome = import(options(camera));
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.failed, 0);
    EXPECT_EQ(copies(),
              (QStringList{"Pictures/2006/03/07/Beach.JPG", "Pictures/OtherDocs/Trip/PHOTO.jpg"}));
    EXPECT_EQ(observer.log.count("goOn"), 2);
}

}  // namespace
