// The export walk without a window, over a small diary file written into a temporary folder:
// the folders and names of the files, Skip and Overwrite, the numbered file of a document whose
// name would leave its folder, unreadable texts, the failures that end the walk, and a stop
// asked for after any row.

#include <gtest/gtest.h>

#include <QTextDocument>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "editors/EditorTestSupport.h"
#include "platform/rtf/Rtf.h"
#include "support/FileReader.h"
#include "tools/Exporter.h"
#include "tools/ToolFiles.h"
#include "tools/export/ExportTexts.h"

namespace {

using qbtest::readAll;
using qbtest::writeFile;

using qbtest::kDecemberFile;
using qbtest::kDecemberRtf;
using qbtest::kJanuaryFile;
using qbtest::kTripRtf;

// What one walk reported.
struct Report {
    std::vector<int> counted;
    QStringList statuses;
    QStringList numbered;  // "path | name | numbered file" of each numbered file
    int rowsDone = 0;
    QStringList ends;  // "finished N", "writeFailed path" or "databaseFailed"
};

// Records what the walk reports; `onGoOn` answers whether to go on (always yes when none).
class RecordingObserver : public qb::exporting::ExportObserver {
  public:
    RecordingObserver(Report& report, QString numberedFolder)
        : report_(report), numberedFolder_(std::move(numberedFolder)) {}

    std::function<bool()> onGoOn;

    void rowsCounted(int rows) override { report_.counted.push_back(rows); }
    void fileReached(const QString& status) override { report_.statuses << status; }
    void numberedFileWritten(const QString& path, const QString& name,
                             const QString& numbered) override {
        EXPECT_TRUE(QFileInfo::exists(numberedFolder_ + numbered)) << "told once it is written";
        report_.numbered << path + " | " + name + " | " + numbered;
    }
    void rowDone() override { ++report_.rowsDone; }
    bool goOn() override { return !onGoOn || onGoOn(); }
    void writeFailed(const QString& path, const QString& reason) override {
        EXPECT_FALSE(reason.isEmpty());
        report_.ends << "writeFailed " + path;
    }
    void databaseFailed(const QString& reason) override {
        EXPECT_FALSE(reason.isEmpty());
        report_.ends << QStringLiteral("databaseFailed");
    }
    void finished(int notWritten) override {
        report_.ends << QStringLiteral("finished %1").arg(notWritten);
    }

  private:
    Report& report_;
    QString numberedFolder_;
};

class Exporter : public ::testing::Test {
  protected:
    void SetUp() override {
        root = diary.folder + QStringLiteral("export");
        ASSERT_TRUE(QDir().mkpath(root));
        addEntry(QStringLiteral("20051231"), diary.cipher.EncryptString(kDecemberRtf));
        addEntry(QStringLiteral("20050105"), "");       // opened, never written
        addDocument(QStringLiteral("Trip"), kTripRtf);  // stored as plain RTF
        options.connection = &diary.module->ADOConnection1;
        options.cipher = &diary.cipher;
        options.shown = &shown;
        options.root = root;
    }

    void addEntry(const QString& key, const std::string& stored) {
        diary.addRow(diary.module->EntryTable, "sYYYYMMDD", key, stored);
    }
    void addDocument(const QString& name, const std::string& stored) {
        diary.addRow(diary.module->OtherDocTable, "Name", name, stored);
    }
    QString file(const QString& relative) const { return root + u'/' + relative; }

    Report exportNow(const std::function<bool()>& onGoOn = {}) {
        Report report;
        RecordingObserver observer(report, root + "/OtherDocs/");
        observer.onGoOn = onGoOn;
        qb::exporting::Exporter(options, observer).run();
        return report;
    }

    TestDiary diary;
    QTextDocument shown;
    QString root;
    qb::exporting::ExportOptions options;
};

TEST_F(Exporter, WritesEveryEntryAndDocumentIntoItsFolderAndReportsEachFile) {
    const Report report = exportNow();

    EXPECT_EQ(qbtest::filesBelow(root),
              (QStringList{"OtherDocs/Trip.rtf", kJanuaryFile, kDecemberFile}));
    EXPECT_EQ(report.counted, std::vector<int>{3});
    EXPECT_EQ(report.statuses, (QStringList{"Exporting: " + kJanuaryFile,
                                            "Exporting: " + kDecemberFile, "Exporting: Trip.rtf"}));
    EXPECT_EQ(report.rowsDone, 3);
    EXPECT_EQ(report.ends, QStringList{"finished 0"});
    EXPECT_TRUE(report.numbered.isEmpty());

    EXPECT_EQ(qb::rtf::paragraphs(readAll(file(kDecemberFile))), qb::rtf::paragraphs(kDecemberRtf));
    EXPECT_EQ(readAll(file(kDecemberFile)),
              ExportedRtf(diary.cipher.EncryptString(kDecemberRtf), shown));
    EXPECT_EQ(qb::rtf::paragraphs(readAll(file("OtherDocs/Trip.rtf"))),
              qb::rtf::paragraphs(kTripRtf));
    EXPECT_EQ(qb::rtf::paragraphs(readAll(file(kJanuaryFile))).join(QString()), QString())
        << "an entry without text gives an empty page";
}

TEST_F(Exporter, OnlyTheKindsAskedForAreWalked) {
    struct Case {
        bool entries;
        bool documents;
        int rows;
        QStringList files;
    };
    const std::vector<Case> cases = {
        {true, false, 2, {kJanuaryFile, kDecemberFile}},
        {false, true, 1, {"OtherDocs/Trip.rtf"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        QDir(root).removeRecursively();
        QDir().mkpath(root);
        options.entries = c.entries;
        options.documents = c.documents;
        const Report report = exportNow();
        EXPECT_EQ(report.counted, std::vector<int>{c.rows});
        EXPECT_EQ(qbtest::filesBelow(root), c.files);
        EXPECT_EQ(report.ends, QStringList{"finished 0"});
    }
}

TEST_F(Exporter, APageSavedWhileItRunsIsWrittenAtOnceAndExportedAsSaved) {
    // After the first day the walk asks whether to go on: the later day is saved then. The save
    // is in the file when it returns, and the export writes the text as saved.
    const char saved[] =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Saved meanwhile\\par}";
    std::string seenByAnotherReader;
    bool first = true;
    const Report report = exportNow([&] {
        if (std::exchange(first, false)) {
            qb::db::Table& entries = diary.module->EntryTable;
            EXPECT_TRUE(entries.Locate("sYYYYMMDD", "20051231"));
            entries.Edit();
            entries.FieldByName("Entry").SetAsString(diary.cipher.EncryptString(saved));
            entries.Post();
            seenByAnotherReader = qbtest::entryAsAnotherReaderSees(
                diary.module->ADOConnection1.DatabasePath(), "Entry", "sYYYYMMDD", "20051231");
        }
        return true;
    });
    EXPECT_EQ(diary.cipher.DecryptString(seenByAnotherReader), saved);
    EXPECT_EQ(report.ends, QStringList{"finished 0"});
    EXPECT_EQ(qb::rtf::paragraphs(readAll(file(kDecemberFile))), QStringList({"Saved meanwhile"}));
}

TEST_F(Exporter, SkipKeepsExistingFilesAndOverwriteRewritesEveryFileWithoutAQuestion) {
    addDocument(QStringLiteral("a/b"), kTripRtf);  // record 1: its file is "1-OtherDoc.rtf"
    exportNow();
    const QStringList exported = qbtest::filesBelow(root);
    for (const QString& name : exported) {
        writeFile(file(name), "edited by the user");
    }
    const QString numbered =
        root + "/OtherDocs/a/b.rtf | a/b | 1-OtherDoc.rtf";  // the numbered file's report

    struct Run {
        const char* name;
        bool skip;
        QStringList statuses;
        QStringList keptByTheUser;
    };
    const std::vector<Run> runs = {
        // The numbered file is written again in skip mode too: its name is not the row's own.
        {"skip",
         true,
         {"Skipping: " + kJanuaryFile, "Skipping: " + kDecemberFile, "Exporting: a/b.rtf",
          "Skipping: Trip.rtf"},
         {"OtherDocs/Trip.rtf", kJanuaryFile, kDecemberFile}},
        {"overwrite",
         false,
         {"Exporting: " + kJanuaryFile, "Exporting: " + kDecemberFile, "Exporting: a/b.rtf",
          "Exporting: Trip.rtf"},
         {}},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.name);
        options.skipExisting = run.skip;
        const Report report = exportNow();
        EXPECT_EQ(report.statuses, run.statuses);
        EXPECT_EQ(report.numbered, QStringList{numbered});
        EXPECT_EQ(report.ends, QStringList{"finished 0"});
        for (const QString& name : exported) {
            EXPECT_EQ(readAll(file(name)) == "edited by the user", run.keptByTheUser.contains(name))
                << name.toStdString();
        }
        EXPECT_EQ(qbtest::filesBelow(root), exported) << "no temporary file is left";
    }
    EXPECT_EQ(qb::rtf::paragraphs(readAll(file(kDecemberFile))), qb::rtf::paragraphs(kDecemberRtf));
}

TEST_F(Exporter, AnExportStoppedHalfWayLeavesNoTemporaryForTheNext) {
    exportNow();
    // What a killed export left: a temporary beside an exported file, and the user's own file.
    const QString folder = QFileInfo(file(kJanuaryFile)).path();
    const QString stale = folder + "/.01 - January 1, 2005.rtf.1234abcd.tmp";
    writeFile(stale, "half written");
    writeFile(folder + "/.notes.tmp", "the user's");
    writeFile(file("OtherDocs/.Trip.rtf.deadbeef.tmp"), "half written");
    exportNow();
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_FALSE(QFileInfo::exists(file("OtherDocs/.Trip.rtf.deadbeef.tmp")));
    EXPECT_EQ(readAll(folder + "/.notes.tmp"), "the user's");
}

TEST_F(Exporter, DocumentNamesThatLeaveTheFolderTakeTheNumberedFile) {
    addDocument(QStringLiteral("../evil"), kTripRtf);
    addDocument(QStringLiteral("a/b"), kTripRtf);
    addDocument(QStringLiteral("x\ty"), kTripRtf);
    addDocument(QString(300, u'n'), kTripRtf);
    addDocument(QStringLiteral(".."), kTripRtf);  // "...rtf" would be a hidden file
    addDocument(QStringLiteral("."), kTripRtf);
    options.entries = false;
    const Report report = exportNow();

    // Sorted by name: ".", "..", "../evil", "a/b", "nnn...", "Trip", "x\ty".
    EXPECT_EQ(qbtest::filesBelow(root),
              (QStringList{"OtherDocs/1-OtherDoc.rtf", "OtherDocs/2-OtherDoc.rtf",
                           "OtherDocs/3-OtherDoc.rtf", "OtherDocs/4-OtherDoc.rtf",
                           "OtherDocs/5-OtherDoc.rtf", "OtherDocs/7-OtherDoc.rtf",
                           "OtherDocs/Trip.rtf"}));
    const QString in = root + "/OtherDocs/";
    const QString longName(300, u'n');
    EXPECT_EQ(report.numbered,
              (QStringList{in + "..rtf | . | 1-OtherDoc.rtf", in + "...rtf | .. | 2-OtherDoc.rtf",
                           in + "../evil.rtf | ../evil | 3-OtherDoc.rtf",
                           in + "a/b.rtf | a/b | 4-OtherDoc.rtf",
                           in + longName + ".rtf | " + longName + " | 5-OtherDoc.rtf",
                           in + "x\ty.rtf | x\ty | 7-OtherDoc.rtf"}));
    EXPECT_EQ(report.ends, QStringList{"finished 0"});
    EXPECT_EQ(qb::rtf::paragraphs(readAll(file("OtherDocs/4-OtherDoc.rtf"))),
              qb::rtf::paragraphs(kTripRtf));
}

TEST_F(Exporter, ANumberedFileThatCannotBeWrittenEndsTheExportWithoutReportingIt) {
    addDocument(QStringLiteral("a/b"), kTripRtf);
    ASSERT_TRUE(QDir().mkpath(file("OtherDocs/1-OtherDoc.rtf")));  // a folder in the way
    options.entries = false;
    const Report report = exportNow();

    EXPECT_EQ(report.ends, QStringList{"writeFailed " + root + "/OtherDocs/1-OtherDoc.rtf"});
    EXPECT_TRUE(report.numbered.isEmpty());
    EXPECT_TRUE(qbtest::filesBelow(root).isEmpty());
}

TEST_F(Exporter, UnreadableTextsAreSkippedAndCounted) {
    addEntry(QStringLiteral("20050230"), "");                  // a key that is no date
    addEntry(QStringLiteral("../../20050101"), "");            // nor this one
    addEntry(QStringLiteral("20050301"), "not cipher text!");  // cannot be deciphered
    addDocument(QStringLiteral("Damaged"), diary.cipher.EncryptString("plain words, no RTF"));
    const Report report = exportNow();

    EXPECT_EQ(qbtest::filesBelow(root),
              (QStringList{"OtherDocs/Trip.rtf", kJanuaryFile, kDecemberFile}));
    EXPECT_EQ(report.rowsDone, 7);
    EXPECT_EQ(report.ends, QStringList{"finished 4"});
    EXPECT_FALSE(QFileInfo::exists(diary.folder + "20050101"));
}

TEST_F(Exporter, FailuresEndTheExportWithoutFinishing) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        QString end;
    };
    const std::vector<Case> cases = {
        {"a folder that cannot be made",
         [this] { writeFile(file("Year 2005"), "a file in the way"); },
         "writeFailed " + file(kJanuaryFile)},
        {"a database error",
         [this] { diary.module->ADOConnection1.Execute("DROP TABLE OtherDocs"); },
         "databaseFailed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        EXPECT_EQ(exportNow().ends, QStringList{c.end});
        QFile::remove(file("Year 2005"));
    }
}

TEST_F(Exporter, AStopAfterAnyRowEndsTheWalkWithNoEnd) {
    for (int stopAfter = 1; stopAfter <= 3; ++stopAfter) {
        SCOPED_TRACE(stopAfter);
        int asked = 0;
        const Report report = exportNow([&] { return ++asked < stopAfter; });
        EXPECT_EQ(report.rowsDone, stopAfter);
        EXPECT_EQ(report.statuses.size(), stopAfter);
        EXPECT_TRUE(report.ends.isEmpty());
    }
}

}  // namespace
