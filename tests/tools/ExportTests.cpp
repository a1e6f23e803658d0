// The export dialog against a real diary, writing into a temporary folder that is read back by
// our RTF reader and by unrtf: what the window adds to the export's walk (its rendering, its
// boxes, its checks before the walk, a second click and a close while it runs).

#include "tools/ExportUnit.h"

#include <QCheckBox>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QRegularExpression>

#include "ToolTestSupport.h"
#include "platform/richedit/RichEdit.h"
#include "platform/rtf/Rtf.h"
#include "tools/ToolStatusBar.h"
#include "tools/export/ExportTexts.h"

namespace {

using qbtest::HookedDialogs;
using qbtest::readAll;
using qbtest::writeFile;

using qbtest::kDecemberFile;
using qbtest::kDecemberRtf;
using qbtest::kJanuaryFile;
using qbtest::kTripRtf;

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

TEST_F(Export, TheBoxesSayWhatTheExportReported) {
    // The numbered file's warning comes up during the export, the count of texts not written in
    // the closing box.
    HookedDialogs boxes;
    addDocument(QStringLiteral("a/b"), kTripRtf);
    addEntry(QStringLiteral("20050301"), "not cipher text!");
    form->Button1Click();

    ASSERT_EQ(boxes.titles(), (QStringList{"Export Error", "Export Finished"}));
    EXPECT_EQ(boxes.shown[0].text,
              "Could not save file: " + root +
                  "/OtherDocs/a/b.rtf\r\n\r\nThis is most likely caused because \"a/b\" contains "
                  "one or more invalid \r\ncharacters for a Windows filename.\r\n\r\nSaving as: "
                  "1-OtherDoc.rtf");
    EXPECT_EQ(boxes.shown[0].icon, qb::MessageIcon::Warning);
    EXPECT_EQ(boxes.shown[1].text, "Finished exporting files to: " + root +
                                       "  \r\n\r\n1 entry could not be read and was not written.");
    EXPECT_EQ(boxes.shown[1].icon, qb::MessageIcon::Warning);
    EXPECT_EQ(form->StatusBar->panelText(), "Ready to export.");
    EXPECT_FALSE(form->ProgressBar->isVisibleTo(form.get()));
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
