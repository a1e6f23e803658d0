// The export dialog against a real diary, writing into a temporary folder that is read back by
// our RTF reader and by unrtf.

#include "tools/ExportUnit.h"

#include <QCheckBox>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>

#include "ToolTestSupport.h"
#include "platform/richedit/RichEdit.h"
#include "platform/rtf/Rtf.h"
#include "support/FileReader.h"
#include "tools/ToolStatusBar.h"

namespace {

using qbtest::HookedDialogs;
using qbtest::readAll;
using qbtest::writeFile;

const char kDecemberRtf[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 Hello "
    "{\\b bold} caf\\'e9 world\\par Second line\\par}";
const char kTripRtf[] = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Trip notes\\par}";

const QString kDecemberFile = QStringLiteral("Year 2005/12 - December/31 - December 31, 2005.rtf");
const QString kJanuaryFile = QStringLiteral("Year 2005/01 - January/05 - January  5, 2005.rtf");

// unrtf's text without its header: the lines after its row of dashes.
QString unrtfText(const QString& path) {
    QProcess unrtf;
    unrtf.start(QStringLiteral("unrtf"), {QStringLiteral("--text"), path});
    if (!unrtf.waitForFinished(20000) || unrtf.exitCode() != 0) {
        return QStringLiteral("<unrtf failed>");
    }
    const QString out = QString::fromLatin1(unrtf.readAllStandardOutput());
    const qsizetype dashes = out.indexOf(
        QRegularExpression(QStringLiteral("^-{5,}\\n"), QRegularExpression::MultilineOption));
    return dashes < 0 ? out : out.mid(out.indexOf(u'\n', dashes) + 1);
}

class Export : public qbtest::ToolDiary {
  protected:
    void SetUp() override {
        ToolDiary::SetUp();
        root = dir.path() + QStringLiteral("/export");
        ASSERT_TRUE(QDir().mkpath(root));
        addEntry(QStringLiteral("20051231"), cipher.EncryptString(kDecemberRtf));
        addEntry(QStringLiteral("20050105"), "");       // opened, never written
        addDocument(QStringLiteral("Trip"), kTripRtf);  // stored as plain RTF
        form = std::make_unique<TExportForm>();
        form->PathLabel->setText(root);
    }

    QString file(const QString& relative) const { return root + u'/' + relative; }

    QString root;
    std::unique_ptr<TExportForm> form;
};

TEST_F(Export, WritesEveryEntryAndDocumentAsRtfThatReadsBackTheSame) {
    HookedDialogs boxes;
    form->Button1Click();

    EXPECT_EQ(qbtest::filesBelow(root),
              (QStringList{"OtherDocs/Trip.rtf", kJanuaryFile, kDecemberFile}));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Export Finished");
    EXPECT_EQ(boxes.shown[0].text, "Finished exporting files to: " + root + "  ");
    EXPECT_EQ(boxes.shown[0].icon, qb::MessageIcon::Information);
    EXPECT_EQ(form->StatusBar->panelText(), "Ready to export.");
    EXPECT_FALSE(form->ProgressBar->isVisibleTo(form.get()));

    const QStringList december = qb::rtf::paragraphs(kDecemberRtf);
    ASSERT_EQ(december.value(0), QString::fromUtf8("Hello bold caf\u00e9 world"));
    const QByteArray written = readAll(file(kDecemberFile));
    qb::TRichEdit page;  // each file is what the rich edit itself writes of the text
    page.LoadRtf(kDecemberRtf);
    EXPECT_EQ(written, page.SaveRtf());
    EXPECT_EQ(qb::rtf::paragraphs(written), december);
    EXPECT_EQ(qb::rtf::paragraphs(readAll(file("OtherDocs/Trip.rtf"))),
              qb::rtf::paragraphs(kTripRtf));
    EXPECT_EQ(qb::rtf::paragraphs(readAll(file(kJanuaryFile))).join(QString()), QString())
        << "an entry without text gives an empty page";

    EXPECT_EQ(unrtfText(file(kDecemberFile)),
              QString::fromUtf8("Hello bold caf\u00e9 world\nSecond line\n"));
    EXPECT_EQ(unrtfText(file("OtherDocs/Trip.rtf")), "Trip notes\n");
}

TEST_F(Export, APageSavedWhileItRunsIsWrittenAtOnceAndExportedAsSaved) {
    // After the first day the export lets messages through: the later day is saved then. The
    // save is in the file when it returns, and the export writes the text as saved.
    const char saved[] =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Saved meanwhile\\par}";
    std::string seenByAnotherReader;
    QTimer::singleShot(0, form.get(), [&] {
        qb::db::Table& entries = module->EntryTable;
        ASSERT_TRUE(entries.Locate("sYYYYMMDD", "20051231"));
        entries.Edit();
        entries.FieldByName("Entry").SetAsString(cipher.EncryptString(saved));
        entries.Post();
        seenByAnotherReader = qbtest::entryAsAnotherReaderSees(
            module->ADOConnection1.DatabasePath(), "Entry", "sYYYYMMDD", "20051231");
    });
    HookedDialogs boxes;
    form->Button1Click();
    EXPECT_EQ(cipher.DecryptString(seenByAnotherReader), saved);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Export Finished");
    EXPECT_EQ(qb::rtf::paragraphs(readAll(file(kDecemberFile))), QStringList({"Saved meanwhile"}));
}

TEST_F(Export, SkipKeepsExistingFilesAndOverwriteRewritesEveryFileWithoutAQuestion) {
    HookedDialogs boxes;
    addDocument(QStringLiteral("a/b"), kTripRtf);  // record 1: its file is "1-OtherDoc.rtf"
    form->Button1Click();
    const QStringList exported = qbtest::filesBelow(root);
    for (const QString& name : exported) {
        writeFile(file(name), "edited by the user");
    }

    struct Run {
        const char* name;
        QRadioButton* option;
        QStringList boxes;
        QStringList keptByTheUser;
    };
    const std::vector<Run> runs = {
        // The numbered file is written again in skip mode too: its name is not the row's own.
        {"skip",
         form->SkipRadioButton,
         {"Export Error", "Export Finished"},
         {"OtherDocs/Trip.rtf", kJanuaryFile, kDecemberFile}},
        {"overwrite", form->OverwriteRadioButton, {"Export Error", "Export Finished"}, {}},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.name);
        boxes.shown.clear();
        run.option->setChecked(true);
        form->Button1Click();
        EXPECT_EQ(boxes.titles(), run.boxes);
        EXPECT_EQ(boxes.shown.back().text, "Finished exporting files to: " + root + "  ");
        for (const QString& name : exported) {
            EXPECT_EQ(readAll(file(name)) == "edited by the user", run.keptByTheUser.contains(name))
                << name.toStdString();
        }
        EXPECT_EQ(qbtest::filesBelow(root), exported) << "no temporary file is left";
    }
    EXPECT_EQ(qb::rtf::paragraphs(readAll(file(kDecemberFile))), qb::rtf::paragraphs(kDecemberRtf));
}

TEST_F(Export, AnExportStoppedHalfWayLeavesNoTemporaryForTheNext) {
    HookedDialogs boxes;
    form->Button1Click();
    // What a killed export left: a temporary beside an exported file, and the user's own file.
    const QString folder = QFileInfo(file(kJanuaryFile)).path();
    const QString stale = folder + "/.01 - January 1, 2005.rtf.1234abcd.tmp";
    writeFile(stale, "half written");
    writeFile(folder + "/.notes.tmp", "the user's");
    writeFile(file("OtherDocs/.Trip.rtf.deadbeef.tmp"), "half written");
    form->Button1Click();
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_FALSE(QFileInfo::exists(file("OtherDocs/.Trip.rtf.deadbeef.tmp")));
    EXPECT_EQ(readAll(folder + "/.notes.tmp"), "the user's");
}

TEST_F(Export, DocumentNamesThatLeaveTheFolderTakeTheNumberedFile) {
    HookedDialogs boxes;
    addDocument(QStringLiteral("../evil"), kTripRtf);
    addDocument(QStringLiteral("a/b"), kTripRtf);
    addDocument(QStringLiteral("x\ty"), kTripRtf);
    addDocument(QString(300, u'n'), kTripRtf);
    addDocument(QStringLiteral(".."), kTripRtf);  // "...rtf" would be a hidden file
    addDocument(QStringLiteral("."), kTripRtf);
    form->DailyCheckBox->setChecked(false);
    form->Button1Click();

    // Sorted by name: ".", "..", "../evil", "a/b", "nnn...", "Trip", "x\ty".
    EXPECT_EQ(qbtest::filesBelow(root),
              (QStringList{"OtherDocs/1-OtherDoc.rtf", "OtherDocs/2-OtherDoc.rtf",
                           "OtherDocs/3-OtherDoc.rtf", "OtherDocs/4-OtherDoc.rtf",
                           "OtherDocs/5-OtherDoc.rtf", "OtherDocs/7-OtherDoc.rtf",
                           "OtherDocs/Trip.rtf"}));
    ASSERT_EQ(boxes.shown.size(), 7u);
    EXPECT_EQ(boxes.shown[3].title, "Export Error");
    EXPECT_EQ(boxes.shown[3].text,
              "Could not save file: " + root +
                  "/OtherDocs/a/b.rtf\r\n\r\nThis is most likely caused because \"a/b\" contains "
                  "one or more invalid \r\ncharacters for a Windows filename.\r\n\r\nSaving as: "
                  "4-OtherDoc.rtf");
    EXPECT_TRUE(
        boxes.shown[1].text.startsWith("Could not save file: " + root + "/OtherDocs/...rtf"));
    EXPECT_TRUE(boxes.shown[1].text.endsWith("Saving as: 2-OtherDoc.rtf"));
    EXPECT_EQ(boxes.shown.back().title, "Export Finished");
    EXPECT_EQ(qb::rtf::paragraphs(readAll(file("OtherDocs/4-OtherDoc.rtf"))),
              qb::rtf::paragraphs(kTripRtf));
}

TEST_F(Export, ANumberedFileThatCannotBeWrittenEndsTheExportWithoutSavingAs) {
    HookedDialogs boxes;
    addDocument(QStringLiteral("a/b"), kTripRtf);
    ASSERT_TRUE(QDir().mkpath(file("OtherDocs/1-OtherDoc.rtf")));  // a folder in the way
    form->DailyCheckBox->setChecked(false);
    form->Button1Click();

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Export Error");
    EXPECT_TRUE(boxes.shown[0].text.startsWith("Could not save file: " + root +
                                               "/OtherDocs/1-OtherDoc.rtf\r\n"))
        << boxes.shown[0].text.toStdString();
    EXPECT_FALSE(boxes.shown[0].text.contains("Saving as"));
    EXPECT_TRUE(qbtest::filesBelow(root).isEmpty());
}

TEST_F(Export, UnreadableTextsAreSkippedAndCounted) {
    HookedDialogs boxes;
    addEntry(QStringLiteral("20050230"), "");                  // a key that is no date
    addEntry(QStringLiteral("../../20050101"), "");            // nor this one
    addEntry(QStringLiteral("20050301"), "not cipher text!");  // cannot be deciphered
    addDocument(QStringLiteral("Damaged"), cipher.EncryptString("plain words, no RTF"));
    form->Button1Click();

    EXPECT_EQ(qbtest::filesBelow(root),
              (QStringList{"OtherDocs/Trip.rtf", kJanuaryFile, kDecemberFile}));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Export Finished");
    EXPECT_EQ(boxes.shown[0].text,
              "Finished exporting files to: " + root +
                  "  \r\n\r\n4 entries could not be read and were not written.");
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/20050101"));
}

TEST_F(Export, FailuresEndTheExportWithoutExportFinished) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        QString textStart;
    };
    const std::vector<Case> cases = {
        {"a folder that cannot be made",
         [this] { writeFile(file("Year 2005"), "a file in the way"); }, "Could not save file: "},
        {"a database error", [this] { module->ADOConnection1.Execute("DROP TABLE OtherDocs"); },
         "The export stopped: the diary database could not be read."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HookedDialogs boxes;
        c.arrange();
        form->Button1Click();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].title, "Export Error");
        EXPECT_TRUE(boxes.shown[0].text.startsWith(c.textStart))
            << boxes.shown[0].text.toStdString();
        EXPECT_FALSE(form->ProgressBar->isVisibleTo(form.get()));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(form->Exporting());
        QFile::remove(file("Year 2005"));
    }
}

TEST_F(Export, NothingSelectedOrNoFolderWritesNothing) {
    struct Case {
        const char* name;
        bool daily;
        bool other;
        QString root;
        QString text;
    };
    const QString missing = root + "/missing";
    const std::vector<Case> cases = {
        {"no kind", false, false, root, "Nothing is selected to export!     "},
        {"no folder", true, true, missing,
         "The folder to export to does not exist: " + missing + "     "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HookedDialogs boxes;
        form->DailyCheckBox->setChecked(c.daily);
        form->OtherCheckBox->setChecked(c.other);
        form->PathLabel->setText(c.root);
        form->Button1Click();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].title, "Export Error");
        EXPECT_EQ(boxes.shown[0].text, c.text);
        EXPECT_TRUE(qbtest::filesBelow(dir.path() + "/export").isEmpty());
        EXPECT_FALSE(form->Exporting());
    }
}

TEST_F(Export, CannotStartTwiceAndStopsWhenTheWindowCloses) {
    HookedDialogs boxes;
    form->show();
    EXPECT_EQ(form->PathLabel->text() + u'/', appFolder) << "the program's folder at first";
    EXPECT_EQ(form->StatusBar->panelText(), "Ready to export.");
    form->PathLabel->setText(root);
    addDocument(QStringLiteral("a/b"), kTripRtf);  // its warning box comes up during the export
    boxes.whileBoxIsUp = [&](const QString& title) {
        if (title == "Export Error") {
            ASSERT_TRUE(form->Exporting());
            form->Button1Click();  // a second click while the first export runs
            form->close();
        }
    };
    form->Button1Click();
    EXPECT_EQ(boxes.titles(), QStringList{"Export Error"}) << "stopped: no Export Finished";
    EXPECT_FALSE(form->Exporting());
    EXPECT_FALSE(form->ProgressBar->isVisibleTo(form.get()));
}

}  // namespace
