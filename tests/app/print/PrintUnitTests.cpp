// Printing a page: sheets with header, body and footer, printed to PDF files and read back with
// pdftotext; the print dialog, output options and preview scripted.

#include <gtest/gtest.h>

#include <QDialog>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

#include <memory>

#include "app/PrintUnit.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/QtDialogs.h"
#include "support/ScriptedDialogs.h"
#include "support/WhenModal.h"

namespace {

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(30000)) << program.toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pageCount(const QString& pdf) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The text of one sheet (from 1); pdftotext collapses runs of blanks.
QString sheetText(const QString& pdf, int sheet) {
    const QString n = QString::number(sheet);
    return run("pdftotext", {"-layout", "-f", n, "-l", n, pdf, "-"});
}

// The top of the first word on the first sheet that equals word, in points.
double wordTop(const QString& pdf, const QString& word) {
    const QString html = run("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"});
    const QRegularExpression re(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>") +
        QRegularExpression::escape(word) + QStringLiteral("</word>"));
    const QRegularExpressionMatch m = re.match(html);
    return m.hasMatch() ? m.captured(2).toDouble() : -1;
}

struct Box {
    double left = -1;
    double top = -1;
    double bottom = -1;
};

// Where word stands on the first sheet, in points; left -1 when it is not there.
Box wordBox(const QString& pdf, const QString& word) {
    const QString html = run("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"});
    const QRegularExpression re(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"[\\d.]+\" "
                       "yMax=\"([\\d.]+)\">") +
        QRegularExpression::escape(word) + QStringLiteral("</word>"));
    const QRegularExpressionMatch m = re.match(html);
    if (!m.hasMatch()) {
        return {};
    }
    return {m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble()};
}

// The first sheet as a grey raster at 72 dots to the inch: a pixel per point.
QImage firstSheet(const QString& pdf) {
    run("pdftoppm", {"-gray", "-r", "72", "-f", "1", "-l", "1", "-singlefile", pdf, pdf});
    return QImage(pdf + ".pgm");
}

// Whether anything is drawn within the rectangle (in points) of the raster.
bool inked(const QImage& sheet, const QRectF& area) {
    const QRect pixels = area.toAlignedRect() & sheet.rect();
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            if (qGray(sheet.pixel(x, y)) < 128) {
                return true;
            }
        }
    }
    return false;
}

class PrintTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void toPdf(QPrinter& printer, const QString& name) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(name));
        printer.setPageSize(QPageSize(QPageSize::Letter));
    }
    QString pdf(const QString& name) { return dir.filePath(name); }

    // Paragraphs "Line 1 ..." to "Line n ...", each with its own number.
    static void fill(QTextDocument& doc, int lines) {
        QTextCursor cursor(&doc);
        for (int i = 1; i <= lines; ++i) {
            cursor.insertText(QStringLiteral("Line%1 of the diary text").arg(i));
            if (i < lines) {
                cursor.insertBlock();
            }
        }
    }

    QTemporaryDir dir;
};

TEST_F(PrintTest, LongTextFlowsOverSheetsEachWithHeaderAndFooter) {
    QTextDocument doc;
    fill(doc, 150);
    QPrinter printer(QPrinter::HighResolution);
    toPdf(printer, "long.pdf");
    const int sheets = qb::RvSystem1Print(printer, doc, "March  5, 2005 - Saturday");
    ASSERT_GE(sheets, 3);
    ASSERT_EQ(pageCount(pdf("long.pdf")), sheets);
    QString body;
    for (int s = 1; s <= sheets; ++s) {
        const QString text = sheetText(pdf("long.pdf"), s);
        EXPECT_TRUE(text.contains("March 5, 2005 - Saturday")) << s;
        EXPECT_TRUE(text.contains(QStringLiteral("Page %1").arg(s))) << s;
        body += text;
    }
    // Every paragraph is printed, once.
    for (int i = 1; i <= 150; ++i) {
        EXPECT_EQ(body.count(QRegularExpression(QStringLiteral("\\bLine%1 ").arg(i))), 1) << i;
    }
    // Letter is 11 inches: title on the line at 0.5 in, body from 1 in, "Page" on the line at
    // 10.5 in (72 points to the inch; a 10-point line's top lies above its base line).
    EXPECT_NEAR(wordTop(pdf("long.pdf"), "March"), 0.5 * 72 - 9, 3);
    EXPECT_NEAR(wordTop(pdf("long.pdf"), "Line1"), 72, 3);
    EXPECT_NEAR(wordTop(pdf("long.pdf"), "Page"), 10.5 * 72 - 9, 3);
}

// Indents are kept as lengths of the screen: on paper each stands at its size in points from the
// body's left edge (1 inch, 72 points), bullets drawn in the room left of their items.
TEST_F(PrintTest, ParagraphIndentsAndBulletsPrintAtTheirSizeInPoints) {
    qb::TRichEdit edit;
    edit.LoadRtf(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Plain\\par Bulleted\\par "
        "Second\\par Shifted\\par\\pard\\fi480 FirstLine\\par\\pard\\li720 Left\\par"
        "\\pard After\\par}");
    // Format > Bullets on two paragraphs, Shift Right (12 points) on the next one.
    const auto select = [&edit](const QString& from, const QString& to) {
        const int start = edit.FindText(from, 0, -1);
        edit.setSelStart(start);
        edit.setSelLength(edit.FindText(to, 0, -1) + int(to.size()) - start);
    };
    select("Bulleted", "Second");
    edit.Paragraph().setNumbering(qb::TNumberingStyle::Bullet);
    select("Shifted", "Shifted");
    edit.Paragraph().setFirstIndent(12);

    QPrinter printer(QPrinter::HighResolution);
    toPdf(printer, "indents.pdf");
    qb::RvSystem1Print(printer, *edit.document(), "Indents");
    const QImage sheet = firstSheet(pdf("indents.pdf"));
    ASSERT_FALSE(sheet.isNull());

    const struct {
        const char* word;
        double indent;  // points
        bool bullet;
    } cases[] = {
        {"Plain", 0, false},    {"Bulleted", 18, true},   {"Second", 18, true},
        {"Shifted", 12, false}, {"FirstLine", 24, false}, {"Left", 36, false},
        {"After", 0, false},
    };
    for (const auto& c : cases) {
        const Box box = wordBox(pdf("indents.pdf"), c.word);
        ASSERT_GE(box.left, 0) << c.word;
        EXPECT_NEAR(box.left, 72 + c.indent, 1.5) << c.word;
        // Ink between the body's edge and the word: the bullet, and nothing else.
        const QRectF room(QPointF(71, box.top), QPointF(box.left - 2, box.bottom));
        EXPECT_EQ(room.width() > 0 && inked(sheet, room), c.bullet) << c.word;
    }
}

TEST_F(PrintTest, EmptyPageTallPictureRangeAndCopies) {
    QTextDocument empty;
    QPrinter one(QPrinter::HighResolution);
    toPdf(one, "empty.pdf");
    EXPECT_EQ(qb::RvSystem1Print(one, empty, "Welcome"), 1);
    EXPECT_EQ(pageCount(pdf("empty.pdf")), 1);
    EXPECT_TRUE(sheetText(pdf("empty.pdf"), 1).contains("Page 1"));

    // A picture taller than the body (about 42 inches) runs on over the sheets its height needs,
    // and the text after it follows.
    QTextDocument tall;
    QImage picture(100, 4000, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    tall.addResource(QTextDocument::ImageResource, QUrl("tall.png"), picture);
    QTextCursor cursor(&tall);
    cursor.insertText("before");
    QTextImageFormat image;
    image.setName("tall.png");
    cursor.insertImage(image);
    cursor.insertText("after");
    QPrinter printer(QPrinter::HighResolution);
    toPdf(printer, "tall.pdf");
    const int sheets = qb::RvSystem1Print(printer, tall, "Tall");
    EXPECT_GE(sheets, 5);
    EXPECT_LE(sheets, 6);
    EXPECT_EQ(pageCount(pdf("tall.pdf")), sheets);
    EXPECT_TRUE(sheetText(pdf("tall.pdf"), sheets).contains("after"));

    // The range and the copies of the dialog: sheet 2 twice.
    QTextDocument doc;
    fill(doc, 150);
    QPrinter range(QPrinter::HighResolution);
    toPdf(range, "range.pdf");
    range.setFromTo(2, 2);
    range.setCopyCount(2);
    qb::RvSystem1Print(range, doc, "Range");
    ASSERT_EQ(pageCount(pdf("range.pdf")), 2);
    for (int s = 1; s <= 2; ++s) {
        EXPECT_TRUE(sheetText(pdf("range.pdf"), s).contains("Page 2")) << s;
    }
}

TEST_F(PrintTest, ThePrintCommandFollowsTheDialogs) {
    QWidget frame;
    auto* edit = new qb::TRichEdit(&frame);
    edit->setObjectName("RichEdit");
    auto* title = new QLabel("Recipes", &frame);
    title->setObjectName("TitleLabel");
    edit->LoadRtf("{\\rtf1\\ansi Apple pie\\par Pear crumble}");

    qb::ScriptedDialogs dialogs;
    int prepared = 0;
    dialogs.preparePrinter = [&](QPrinter& printer) {
        toPdf(printer, QStringLiteral("out%1.pdf").arg(++prepared));
    };
    const auto kinds = [&dialogs] {
        QStringList all;
        for (const auto& shown : dialogs.shown) {
            all << shown.kind;
        }
        dialogs.shown.clear();
        return all;
    };

    qb::PrintActionExecute(&frame);  // the print dialog cancelled
    EXPECT_EQ(kinds(), QStringList({"printDialog"}));
    dialogs.printDialogAnswers = {true};
    qb::PrintActionExecute(&frame);  // the output options cancelled
    EXPECT_EQ(kinds(), QStringList({"printDialog", "outputOptions"}));
    EXPECT_FALSE(QFile::exists(pdf("out1.pdf")));

    dialogs.printDialogAnswers = {true, true};
    dialogs.outputAnswers = {qb::PrintDestination::Printer, qb::PrintDestination::Preview};
    qb::PrintActionExecute(&frame);
    EXPECT_EQ(kinds(), QStringList({"printDialog", "outputOptions", "reportStatus"}));
    qb::PrintActionExecute(&frame);
    EXPECT_EQ(kinds(),
              QStringList({"printDialog", "outputOptions", "printPreview", "reportStatus"}));
    for (const QString name : {"out2.pdf", "out3.pdf"}) {
        const QString text = sheetText(pdf(name), 1);
        EXPECT_TRUE(text.contains("Recipes")) << name.toStdString();
        EXPECT_TRUE(text.contains("Apple pie")) << name.toStdString();
        EXPECT_TRUE(text.contains("Pear crumble")) << name.toStdString();
        EXPECT_TRUE(text.contains("Page 1")) << name.toStdString();
    }

    qb::PrintActionExecute(nullptr);  // no page open: no dialog
    EXPECT_TRUE(kinds().isEmpty());
}

// The printing and the preview's making, sheet by sheet, under the status window; Cancel there
// ends the run after the last whole sheet.
TEST_F(PrintTest, TheStatusWindowNamesEverySheetAndCancelStopsBeforeTheNext) {
    QTextDocument doc;
    fill(doc, 150);
    {
        qb::ScriptedDialogs dialogs;
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer, "all.pdf");
        const int sheets = qb::RvSystem1Print(printer, doc, "Status");
        ASSERT_GE(sheets, 3);
        QStringList expected;
        for (int s = 1; s <= sheets; ++s) {
            expected << QStringLiteral("Printing page %1").arg(s);
        }
        EXPECT_EQ(dialogs.statusTexts, expected);
        ASSERT_EQ(dialogs.shown.size(), 1U);
        EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Report Status"));
    }
    {
        // Cancel pressed while sheet 2 is announced: sheet 1 whole, nothing of sheet 2.
        qb::ScriptedDialogs dialogs;
        dialogs.cancelStatusAfter = 2;
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer, "cancelled.pdf");
        qb::RvSystem1Print(printer, doc, "Status");
        EXPECT_EQ(dialogs.statusTexts, QStringList({"Printing page 1", "Printing page 2"}));
        ASSERT_EQ(pageCount(pdf("cancelled.pdf")), 1);
        const QString text = sheetText(pdf("cancelled.pdf"), 1);
        EXPECT_TRUE(text.contains("Line1 ")) << text.toStdString();
        EXPECT_TRUE(text.contains("Page 1")) << text.toStdString();
    }
    {
        // The real preview makes its pages under "Generating page n".
        struct PreviewOnly : qb::QtDialogs {
            qb::ScriptedDialogs script;
            std::unique_ptr<qb::ReportStatus> reportStatus() override {
                return script.reportStatus();
            }
        } dialogs;
        qb::setDialogs(&dialogs);
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer, "preview.pdf");
        qbtest::whenModal([](QWidget* window) { qobject_cast<QDialog*>(window)->reject(); });
        dialogs.printPreview(
            printer, [&doc](QPrinter& target) { qb::RvSystem1Print(target, doc, "Status"); });
        qb::setDialogs(nullptr);
        ASSERT_FALSE(dialogs.script.statusTexts.isEmpty());
        EXPECT_EQ(dialogs.script.statusTexts.front(), QStringLiteral("Generating page 1"));
        EXPECT_TRUE(dialogs.script.statusTexts.filter(QStringLiteral("Printing")).isEmpty());
    }
}

// A long page under the status window: the window comes before the text is laid out, Cancel
// reaches the run while it lays out, and what was sent are the whole sheets before it.
TEST_F(PrintTest, TheStatusWindowComesFirstAndCancelReachesTheLayout) {
    QTextDocument doc;
    fill(doc, 3000);
    int sheets = 0;
    int polls = 0;
    {
        qb::ScriptedDialogs dialogs;
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer, "whole.pdf");
        sheets = qb::RvSystem1Print(printer, doc, "Long");
        polls = dialogs.statusPolls;
        ASSERT_GE(sheets, 40);
        ASSERT_EQ(pageCount(pdf("whole.pdf")), sheets);
    }
    {
        // Cancel at the window's first text: nothing laid out beyond the first sheet, nothing
        // sent.
        qb::ScriptedDialogs dialogs;
        dialogs.cancelStatusAfter = 1;
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer, "first.pdf");
        EXPECT_EQ(qb::RvSystem1Print(printer, doc, "Long"), 1);
        EXPECT_EQ(dialogs.statusTexts, QStringList({"Printing page 1"}));
        EXPECT_FALSE(QFile::exists(pdf("first.pdf")));
    }
    {
        // Cancel half-way through the layout.
        qb::ScriptedDialogs dialogs;
        dialogs.cancelStatusAfterPolls = polls / 2;
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer, "half.pdf");
        EXPECT_LT(qb::RvSystem1Print(printer, doc, "Long"), sheets);
        const int sent = int(dialogs.statusTexts.size()) - 1;
        EXPECT_GT(sent, 5);
        EXPECT_LT(sent, sheets - 5);
        ASSERT_EQ(pageCount(pdf("half.pdf")), sent);
        for (int s = 1; s <= sent; ++s) {
            EXPECT_EQ(sheetText(pdf("half.pdf"), s), sheetText(pdf("whole.pdf"), s)) << s;
        }
    }
}

// The setup opened from the output options sets up the printer the sheets go to.
TEST_F(PrintTest, ThePrinterSetupOfTheOutputOptionsReachesThePrint) {
    QWidget frame;
    auto* edit = new qb::TRichEdit(&frame);
    edit->setObjectName("RichEdit");
    edit->LoadRtf("{\\rtf1\\ansi Apple pie}");
    qb::ScriptedDialogs dialogs;
    dialogs.preparePrinter = [&](QPrinter& printer) { toPdf(printer, "setup.pdf"); };
    dialogs.setupPrinter = [](QPrinter& printer) {
        printer.setPageOrientation(QPageLayout::Landscape);
    };
    dialogs.printDialogAnswers = {true};
    dialogs.outputSetupPresses = {true};
    dialogs.printerSetupAnswers = {true};
    dialogs.outputAnswers = {qb::PrintDestination::Printer};
    qb::PrintActionExecute(&frame);
    QStringList kinds;
    for (const auto& shown : dialogs.shown) {
        kinds << shown.kind;
    }
    EXPECT_EQ(kinds, QStringList({"printDialog", "outputOptions", "printerSetup", "reportStatus"}));
    // Letter across: 11 by 8.5 inches.
    EXPECT_TRUE(run("pdfinfo", {pdf("setup.pdf")}).contains(QStringLiteral("792 x 612")));
    EXPECT_TRUE(sheetText(pdf("setup.pdf"), 1).contains("Apple pie"));
}

}  // namespace
