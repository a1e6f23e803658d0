// The writer and the round trip through it.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>

#include <functional>

#include "platform/rtf/Rtf.h"
#include "platform/rtf/RtfTestSupport.h"
#include "support/DocumentPictures.h"

namespace qb::rtf {
namespace {

using qb::test::pictures;
using test::fixture;

QTextCharFormat face(const QString& family, double points) {
    QTextCharFormat f;
    f.setFontFamilies(QStringList{family});
    f.setFontPointSize(points);
    return f;
}

QTextCharFormat with(QTextCharFormat f, const std::function<void(QTextCharFormat&)>& edit) {
    edit(f);
    return f;
}

const QTextCharFormat kBase = face(QStringLiteral("Arial"), 10);

void insertPicture(QTextCursor& cursor, const QByteArray& bytes, const char* kind, double width) {
    QTextImageFormat f;
    f.setName(QStringLiteral("test:%1").arg(qHash(bytes)));
    f.setProperty(kPictureBytes, bytes);
    f.setProperty(kPictureKind, QByteArray(kind));
    f.setWidth(width);
    cursor.insertImage(f);
}

// Each case builds a document the formatting actions can produce, and checks what a load of
// its saved text must hold.
struct RoundTripCase {
    const char* name;
    std::function<void(QTextCursor&)> build;
    std::function<void(const QTextDocument&)> check;
};

const std::vector<RoundTripCase>& roundTripCases() {
    static const std::vector<RoundTripCase> cases = {
        {"styles",
         [](QTextCursor& c) {
             c.insertText("plain ", kBase);
             c.insertText("bold ", with(kBase, [](auto& f) { f.setFontWeight(QFont::Bold); }));
             c.insertText("italic ", with(kBase, [](auto& f) { f.setFontItalic(true); }));
             c.insertText("under ", with(kBase, [](auto& f) { f.setFontUnderline(true); }));
             c.insertText("strike", with(kBase, [](auto& f) { f.setFontStrikeOut(true); }));
         },
         [](const QTextDocument& doc) {
             const QTextBlock b = doc.begin();
             std::vector<QTextCharFormat> runs;
             for (auto it = b.begin(); !it.atEnd(); ++it) {
                 runs.push_back(it.fragment().charFormat());
             }
             ASSERT_EQ(runs.size(), 5u);
             EXPECT_EQ(runs[0].fontWeight(), QFont::Normal);
             EXPECT_FALSE(runs[0].fontItalic() || runs[0].fontUnderline() ||
                          runs[0].fontStrikeOut());
             EXPECT_EQ(runs[1].fontWeight(), QFont::Bold);
             EXPECT_TRUE(runs[2].fontItalic());
             EXPECT_TRUE(runs[3].fontUnderline());
             EXPECT_TRUE(runs[4].fontStrikeOut());
         }},
        {"faces and whole-point sizes",
         [](QTextCursor& c) {
             c.insertText("arial ", kBase);
             c.insertText("times", face(QStringLiteral("Times New Roman"), 24));
             c.insertText(" mono", face(QStringLiteral("Courier New"), 7));
         },
         [](const QTextDocument& doc) {
             const QTextBlock b = doc.begin();
             auto it = b.begin();
             EXPECT_EQ(it.fragment().charFormat().fontFamilies().toStringList(),
                       QStringList{"Arial"});
             EXPECT_EQ(it.fragment().charFormat().fontPointSize(), 10);
             ++it;
             EXPECT_EQ(it.fragment().charFormat().fontFamilies().toStringList(),
                       QStringList{"Times New Roman"});
             EXPECT_EQ(it.fragment().charFormat().fontPointSize(), 24);
             ++it;
             EXPECT_EQ(it.fragment().charFormat().fontPointSize(), 7);
         }},
        {"colours, automatic and explicit black",
         [](QTextCursor& c) {
             c.insertText("auto ", kBase);
             c.insertText("black ", with(kBase, [](auto& f) { f.setForeground(QColor(0, 0, 0)); }));
             c.insertText("navy", with(kBase, [](auto& f) { f.setForeground(QColor(0, 0, 128)); }));
         },
         [](const QTextDocument& doc) {
             auto it = doc.begin().begin();
             EXPECT_FALSE(it.fragment().charFormat().hasProperty(QTextFormat::ForegroundBrush));
             ++it;
             EXPECT_EQ(it.fragment().charFormat().foreground().color(), QColor(0, 0, 0));
             ++it;
             EXPECT_EQ(it.fragment().charFormat().foreground().color(), QColor(0, 0, 128));
         }},
        {"alignment, indents in twips and bullets",
         [](QTextCursor& c) {
             QTextBlockFormat centre;
             centre.setAlignment(Qt::AlignHCenter);
             c.setBlockFormat(centre);
             c.insertText("centre", kBase);
             QTextBlockFormat right;
             right.setAlignment(Qt::AlignRight);
             right.setTextIndent(-150 / kTwipsPerPixel);  // -7.5 points
             right.setLeftMargin(480 / kTwipsPerPixel);
             c.insertBlock(right, kBase);
             c.insertText("right", kBase);
             c.insertBlock(QTextBlockFormat(), kBase);
             QTextListFormat bullets;
             bullets.setStyle(QTextListFormat::ListDisc);
             bullets.setIndent(1);
             c.createList(bullets);
             c.insertText("one", kBase);
             c.insertBlock();
             c.insertText("two", kBase);
             c.insertBlock(QTextBlockFormat(), kBase);
             c.insertText("after", kBase);
         },
         [](const QTextDocument& doc) {
             ASSERT_EQ(doc.blockCount(), 5);
             EXPECT_EQ(doc.findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHCenter,
                       Qt::AlignHCenter);
             const QTextBlockFormat right = doc.findBlockByNumber(1).blockFormat();
             EXPECT_TRUE(right.alignment() & Qt::AlignRight);
             EXPECT_EQ(qRound(right.textIndent() * kTwipsPerPixel), -150);
             EXPECT_EQ(qRound(right.leftMargin() * kTwipsPerPixel), 480);
             const QTextBlock one = doc.findBlockByNumber(2);
             ASSERT_NE(one.textList(), nullptr);
             EXPECT_EQ(one.textList(), doc.findBlockByNumber(3).textList());
             EXPECT_EQ(doc.findBlockByNumber(4).textList(), nullptr);
             // The list's own indent comes back as the same left indent.
             const double left = one.blockFormat().leftMargin() +
                                 one.textList()->format().indent() * doc.indentWidth();
             EXPECT_EQ(qRound(left * kTwipsPerPixel), qRound(doc.indentWidth() * 15));
         }},
        {"tabs, line breaks, non-breaking blanks and RTF's own characters",
         [](QTextCursor& c) {
             c.insertText(QString::fromUtf16(u"a\tb\u2028c\u00A0d {\\} e"), kBase);
         },
         [](const QTextDocument& doc) {
             EXPECT_EQ(doc.begin().text(), QString::fromUtf16(u"a\tb\u2028c\u00A0d {\\} e"));
         }},
        {"Cyrillic, cp1252 and characters above U+FFFF",
         [](QTextCursor& c) { c.insertText(QString::fromUtf16(u"Привет café €„ 😀 𝄞 ﬁ"), kBase); },
         [](const QTextDocument& doc) {
             EXPECT_EQ(doc.begin().text(), QString::fromUtf16(u"Привет café €„ 😀 𝄞 ﬁ"));
         }},
        {"empty document", [](QTextCursor&) {},
         [](const QTextDocument& doc) {
             EXPECT_EQ(doc.blockCount(), 1);
             EXPECT_TRUE(doc.isEmpty());
         }},
        {"trailing and inner empty paragraphs",
         [](QTextCursor& c) {
             c.insertText("a", kBase);
             c.insertBlock(QTextBlockFormat(), kBase);
             c.insertBlock(QTextBlockFormat(), kBase);
             c.insertText("b", kBase);
             c.insertBlock(QTextBlockFormat(),
                           with(kBase, [](auto& f) { f.setFontWeight(QFont::Bold); }));
         },
         [](const QTextDocument& doc) {
             EXPECT_EQ(doc.toPlainText(), "a\n\nb\n");
             // An empty paragraph keeps the format typed text would take there.
             EXPECT_EQ(doc.lastBlock().charFormat().fontWeight(), QFont::Bold);
         }},
        {"PNG and JPEG pictures keep their bytes and size",
         [](QTextCursor& c) {
             c.insertText("before ", kBase);
             insertPicture(c, fixture("red.png"), "png", 40);
             c.insertText(" and ", kBase);
             insertPicture(c, fixture("blue.jpg"), "jpeg", 5);
         },
         [](const QTextDocument& doc) {
             const auto found = pictures(doc);
             ASSERT_EQ(found.size(), 2u);
             EXPECT_EQ(found[0].property(kPictureBytes).toByteArray(), fixture("red.png"));
             EXPECT_EQ(found[0].width(), 40);
             EXPECT_EQ(found[0].height(), 3);  // from the picture itself
             EXPECT_EQ(found[1].property(kPictureBytes).toByteArray(), fixture("blue.jpg"));
             EXPECT_EQ(found[1].property(kPictureKind).toByteArray(), "jpeg");
             const QVariant shown =
                 doc.resource(QTextDocument::ImageResource, QUrl(found[0].name()));
             EXPECT_FALSE(QImage::fromData(shown.toByteArray()).isNull());
         }},
        {"a pasted image without file bytes is kept as PNG",
         [](QTextCursor& c) {
             QImage image(6, 2, QImage::Format_RGB32);
             image.fill(Qt::green);
             c.document()->addResource(QTextDocument::ImageResource, QUrl("pasted:1"), image);
             QTextImageFormat f;
             f.setName("pasted:1");
             c.insertImage(f);
         },
         [](const QTextDocument& doc) {
             const auto found = pictures(doc);
             ASSERT_EQ(found.size(), 1u);
             const QImage back = QImage::fromData(found[0].property(kPictureBytes).toByteArray());
             EXPECT_EQ(back.size(), QSize(6, 2));
             EXPECT_EQ(back.pixelColor(0, 0), QColor(Qt::green));
         }},
    };
    return cases;
}

class RoundTrip : public testing::TestWithParam<size_t> {};

TEST_P(RoundTrip, LoadKeepsTheFormatAndTheSecondSaveGivesTheSameBytes) {
    const RoundTripCase& c = roundTripCases()[GetParam()];
    SCOPED_TRACE(c.name);
    QTextDocument doc;
    QTextCursor cursor(&doc);
    c.build(cursor);
    const QByteArray first = write(doc);
    QTextDocument loaded;
    read(first, loaded);
    c.check(loaded);
    const QByteArray second = write(loaded);
    EXPECT_EQ(second, first);
    QTextDocument again;
    read(second, again);
    EXPECT_EQ(write(again), first);
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTrip, testing::Range<size_t>(0, roundTripCases().size()));

TEST(RtfWriter, WritesSevenBitAsciiWithCp1252EscapesAndSignedUnicode) {
    struct Case {
        const char16_t* text;
        const char* expected;
    } cases[] = {
        {u"caf\u00e9", "caf\\'e9"},
        {u"\u20ac\u201e", "\\'80\\'84"},
        {u"\u0416", "\\u1046\\'3f"},
        {u"\uFB01", "\\u-1279\\'3f"},
        {u"\U0001F600", "\\u-10179\\'3f\\u-8704\\'3f"},
        {u"a{b}\\c", "a\\{b\\}\\\\c"},
        {u"x\ty", "x\\tab y"},
        {u"\t1", "\\tab 1"},
        // Where a run of plain characters meets a character that is written otherwise.
        {u"\u00e9t\u00e9 ok", "\\fs20\\'e9t\\'e9 ok\\par"},
        {u"a\u00a0b\u2028c d", "\\fs20 a\\~b\\line c d\\par"},
        {u"{x}", "\\fs20\\{x\\}\\par"},
        {u"end\\", "\\fs20 end\\\\\\par"},
        {u"\u0416x\u0001y", "\\fs20\\u1046\\'3fxy\\par"},
    };
    for (const Case& c : cases) {
        QTextDocument doc;
        QTextCursor(&doc).insertText(QString::fromUtf16(c.text), kBase);
        const QByteArray rtf = write(doc);
        SCOPED_TRACE(rtf.toStdString());
        EXPECT_TRUE(rtf.contains(c.expected));
        EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(),
                                [](char ch) { return static_cast<unsigned char>(ch) < 0x80; }));
        EXPECT_TRUE(rtf.contains("\\ansicpg1252") && rtf.contains("\\uc1"));
    }
}

TEST(RtfWriter, HasTheRichEditHeaderShape) {
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText("red", with(kBase, [](auto& f) { f.setForeground(QColor(255, 0, 0)); }));
    const QByteArray rtf = write(doc);
    EXPECT_TRUE(
        rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0"
                       "\\fnil\\fcharset0 Arial;}}\r\n{\\colortbl ;\\red255\\green0"
                       "\\blue0;}\r\n{\\*\\generator "))
        << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("\\viewkind4\\uc1\\pard\\fs20\\cf1 red\\par\r\n}"))
        << rtf.toStdString();
}

TEST(RtfWriter, FirstSaveOfForeignFilesIsStable) {
    for (const char* name :
         {"richedit.rtf", "wordpad-cyrillic.rtf", "libreoffice.rtf", "libreoffice-pictures.rtf",
          "pandoc.rtf", "rtf-picture-size-drift.rtf"}) {
        SCOPED_TRACE(name);
        QTextDocument doc;
        read(fixture(name), doc);
        const QByteArray first = write(doc);
        QTextDocument loaded;
        read(first, loaded);
        EXPECT_EQ(loaded.toPlainText(), doc.toPlainText());
        EXPECT_EQ(write(loaded), first);
    }
}

// Paragraph direction as the rich edit shows it: each paragraph reads its own, the writer gives
// it back, and a second save gives the same bytes. Left and right stay the page's sides in a
// right-to-left paragraph; one with none given keeps its start side.
TEST(RtfParagraphDirection, IsReadAndWrittenPerParagraph) {
    struct Case {
        const char* name;
        QByteArray rtf;
        std::vector<Qt::LayoutDirection> directions;
        std::vector<Qt::Alignment> alignments;  // 0: none given
        QByteArray written;                     // a piece of the first save
    };
    const QByteArray head = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Tahoma;}}";
    const Case cases[] = {
        {"Hebrew, then Latin",
         head + "\\pard\\rtlpar\\f0 \\u1513?\\u1500?\\u1493?\\u1501?\\par"
                "\\pard\\ltrpar Walk\\par}",
         {Qt::RightToLeft, Qt::LeftToRight},
         {Qt::Alignment(), Qt::Alignment()},
         "\\pard\\rtlpar\\u1513\\'3f\\u1500\\'3f\\u1493\\'3f\\u1501\\'3f\\par\r\n\\pard Walk"},
        {"Arabic, right and left of the page",
         head + "\\pard\\rtlpar\\qr \\u1587?\\u1604?\\u1575?\\u1605?\\par"
                "\\rtlpar\\ql \\u1587?\\u1604?\\u1575?\\u1605?\\par}",
         {Qt::RightToLeft, Qt::RightToLeft},
         {Qt::AlignRight | Qt::AlignAbsolute, Qt::AlignLeft | Qt::AlignAbsolute},
         "\\pard\\rtlpar\\qr"},
        {"right to left starting with digits and Latin",
         head + "\\pard\\rtlpar 2024 Tel Aviv \\u1513?\\u1500?\\u1493?\\u1501?\\par}",
         {Qt::RightToLeft},
         {Qt::Alignment()},
         "\\pard\\rtlpar 2024 Tel Aviv"},
        {"as LibreOffice writes it",
         "{\\rtf1\\ansi\\deff4\\adeflang1025{\\fonttbl{\\f4\\froman\\fprq2\\fcharset0 "
         "Liberation Serif;}{\\f5\\fswiss\\fprq2\\fcharset177 Arial;}}{\\*\\generator "
         "LibreOffice/7.4}\\viewkind4\\uc1\\pard\\plain \\s0\\rtlpar\\qr\\widctlpar"
         "\\hyphpar0\\ltrch\\rtlch\\af5\\afs24\\alang1037 {\\rtlch\\af5\\ltrch "
         "\\u1513\\'f9\\u1500\\'ec\\u1493\\'e5\\u1501\\'ed}\\par\\pard\\plain \\s0\\ltrpar\\ql"
         "\\widctlpar {\\ltrch\\loch Diary}\\par}",
         {Qt::RightToLeft, Qt::LeftToRight},
         {Qt::AlignRight | Qt::AlignAbsolute, Qt::Alignment()},
         "\\pard\\rtlpar\\qr"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTextDocument doc;
        read(c.rtf, doc);
        const QByteArray first = write(doc);
        EXPECT_TRUE(first.contains(c.written)) << first.toStdString();
        QTextDocument loaded;
        read(first, loaded);
        ASSERT_EQ(size_t(loaded.blockCount()), c.directions.size());
        QTextBlock block = loaded.begin();
        for (size_t i = 0; i < c.directions.size(); ++i, block = block.next()) {
            const QTextBlockFormat f = block.blockFormat();
            EXPECT_EQ(f.layoutDirection() == Qt::RightToLeft ? Qt::RightToLeft : Qt::LeftToRight,
                      c.directions[i])
                << i;
            EXPECT_EQ(f.hasProperty(QTextFormat::BlockAlignment)
                          ? (f.alignment() & Qt::AlignHorizontal_Mask)
                          : Qt::Alignment(),
                      c.alignments[i])
                << i;
        }
        EXPECT_EQ(write(loaded), first);
    }
}

// Texts without right-to-left paragraphs are written exactly as before: \ltrpar is the default
// and never written.
TEST(RtfParagraphDirection, LeftToRightTextsKeepTheirBytes) {
    const QByteArray plain =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\qr\\li720 One"
        "\\par\\pard Two\\par}";
    QByteArray marked = plain;
    marked.replace("\\pard", "\\pard\\ltrpar");
    QTextDocument a;
    QTextDocument b;
    read(plain, a);
    read(marked, b);
    const QByteArray written = write(a);
    EXPECT_EQ(write(b), written);
    EXPECT_FALSE(written.contains("rtlpar"));
    EXPECT_FALSE(written.contains("ltrpar"));
    EXPECT_TRUE(written.contains("\\pard\\qr\\li720")) << written.toStdString();
}

TEST(RtfWriter, PictureSizeIsStableAndBoundedWhenThePictureGivesNone) {
    // The picture bytes are a PNG with a damaged header, so only the stored sizes tell how large it
    // is.
    const struct {
        const char* sizes;
        const char* written;
    } cases[] = {
        {"\\picscalex1000\\picscaley1000\\picw4\\pich3\\picwgoal60\\pichgoal45080",
         "\\picwgoal600\\pichgoal126720"},
        {"\\picw2000000000\\pich3", "\\picwgoal126720\\pichgoal45"},
        {"\\picw0\\pich0\\picwgoal900000\\pichgoal30\\picscaley50", "\\picwgoal126720\\pichgoal15"},
        {"\\picw0\\pich0", "\\picwgoal0\\pichgoal0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sizes);
        QTextDocument doc;
        read(QByteArray("{\\rtf1\\ansi a{\\pict\\pngblip") + c.sizes +
                 " 89504e470d0a1a0a00000000}b}",
             doc);
        const QByteArray first = write(doc);
        EXPECT_TRUE(first.contains(c.written)) << first.toStdString();
        QTextDocument loaded;
        read(first, loaded);
        EXPECT_EQ(write(loaded), first);
    }
}

// Other programs read what we write.
QString runTool(const QString& program, const QStringList& args, const QByteArray& rtf) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.rtf");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(rtf);
    f.close();
    QProcess p;
    p.start(program, args + QStringList{path});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QTextDocument* sampleDocument(QTextDocument& doc) {
    QTextCursor c(&doc);
    c.insertText("Plain text ", kBase);
    c.insertText("bold words", with(kBase, [](auto& f) { f.setFontWeight(QFont::Bold); }));
    c.insertBlock(QTextBlockFormat(), kBase);
    c.insertText(QString::fromUtf16(u"Привет мир café"), kBase);
    c.insertBlock(QTextBlockFormat(), kBase);
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    c.createList(bullets);
    c.insertText("Bullet item", kBase);
    return &doc;
}

TEST(RtfWriter, OutputReadsInUnrtfAndPandoc) {
    QTextDocument doc;
    const QByteArray rtf = write(*sampleDocument(doc));
    struct Tool {
        QString program;
        QStringList args;
        std::vector<QString> texts;
    };
    // unrtf's text output has no characters beyond ASCII; its HTML output shows the rest.
    const Tool tools[] = {
        {"unrtf", {"--text", "--nopict"}, {"Plain text bold words", "Bullet item"}},
        {"unrtf",
         {"--html", "--nopict"},
         {"&#1055;&#1088;&#1080;&#1074;&#1077;&#1090; &#1084;&#1080;&#1088; caf&eacute;"}},
        {"pandoc",
         {"-f", "rtf", "-t", "plain"},
         {"Plain text bold words", QString::fromUtf16(u"Привет мир café"), "Bullet item"}},
    };
    bool ran = false;
    for (const Tool& tool : tools) {
        if (QStandardPaths::findExecutable(tool.program).isEmpty()) {
            continue;
        }
        ran = true;
        SCOPED_TRACE((tool.program + u' ' + tool.args.join(u' ')).toStdString());
        const QString out = runTool(tool.program, tool.args, rtf);
        for (const QString& text : tool.texts) {
            EXPECT_TRUE(out.contains(text)) << out.toStdString();
        }
    }
    if (!ran) {
        GTEST_SKIP() << "neither unrtf nor pandoc is installed";
    }
}

}  // namespace
// Export writes thousands of texts out again without a document in between: every byte must be
// what reading into a document and writing it gives, whatever the text holds.
TEST(RtfWriter, RewriteGivesTheBytesOfReadingAndWriting) {
    const auto body = [](const char* text) {
        return QByteArray(
                   "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Arial;}"
                   "{\\f1\\fswiss\\fcharset0 Times New Roman;}{\\f2\\fnil;}}"
                   "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}") +
               text + "}";
    };
    std::vector<QByteArray> texts = {
        "{\\rtf1}",
        "{\\rtf1 no table, no mark}",
        body(""),
        body("\\viewkind4\\uc1\\pard\\f0\\fs20 plain\\par\r\n"),
        body("\\pard\\fs20 a\\par b\\par\\par\\f1\\fs28\\par"),
        body("\\pard\\f0\\fs20\\b bold\\b0 , \\i italic\\i0 , \\ul under\\ulnone , "
             "\\strike out\\strike0\\par"),
        body("\\pard\\cf1 red \\cf2 blue \\cf7 none \\cf0 auto\\par\\cf2\\par"),
        body("\\pard\\f2 nameless \\f9 missing \\f1 times\\par"),
        body("\\pard\\fs0 tiny \\fs1 one \\fs99999 huge \\fs24 normal\\par"),
        body("\\pard\\qc centre\\par\\pard\\qr right\\par\\pard\\qj just\\par"
             "\\pard\\fi-360\\li720\\ri99999999 indents\\par"),
        body("{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\pard\\fi-200\\li200 one\\par"
             "two\\par\\pard not\\par{\\pntext\\f2\\'b7\\tab}three\\par"),
        body("\\pard caf\\'e9 \\'80 \\u1046? \\u-10179?\\u-8704? "
             "\\u-10179?\\b\\b0\\u-8704? \\u-8704? half\\par"),
        body("\\pard a\\line b\\tab c\\~d \\{x\\}\\\\ e;f\\par"),
        body("\\pard{\\v hidden}shown {\\*\\unknown skipped}{\\b inner {\\i deeper}} out"),
        body("\\pard\\b\\par\\b0\\i empty italic\\par\\i0\\fs40\\par last"),
        body("\\pard{\\b}{\\i}\\par{\\b bold only}\\par"),
        body("\\pard\\plain\\f1\\fs30\\cf1 after plain\\par\\pard\\sa200\\sb100 spaced\\par"),
    };
    for (const char* name :
         {"richedit.rtf", "wordpad-cyrillic.rtf", "libreoffice.rtf", "pandoc.rtf"}) {
        texts.push_back(fixture(name));
        ASSERT_FALSE(texts.back().isEmpty()) << name;
    }
    // Damaged copies: the two paths must still agree byte for byte.
    QRandomGenerator random(4321);
    const QByteArray seed = fixture("richedit.rtf");
    constexpr std::string_view kNoise = "\\{}; ab0\r\n\x80\xe9";
    for (int i = 0; i < 150; ++i) {
        QByteArray mutated = seed;
        for (int n = 0; n < 6; ++n) {
            mutated[random.bounded(mutated.size())] = kNoise[random.bounded(qsizetype(kNoise.size()))];
        }
        texts.push_back(mutated);
    }
    QFont sized(QStringLiteral("DejaVu Sans"));
    sized.setPointSizeF(11.5);
    QFont pixels(QStringLiteral("Courier"));
    pixels.setPixelSize(13);  // no point size at all
    for (const QFont& font : {sized, pixels}) {
        for (const QByteArray& text : texts) {
            SCOPED_TRACE(text.left(300).toStdString());
            QTextDocument page;
            page.setDefaultFont(font);
            read(text, page);
            const std::optional<QByteArray> rewritten = rewrite(text, font);
            if (!text.startsWith("{\\rtf")) {
                EXPECT_FALSE(rewritten);
                continue;
            }
            ASSERT_TRUE(rewritten);
            EXPECT_EQ(*rewritten, write(page));
        }
    }
    // A picture is left to the document.
    EXPECT_FALSE(rewrite(fixture("libreoffice-pictures.rtf"), sized));
    EXPECT_FALSE(rewrite("plain text", sized));
}

}  // namespace qb::rtf
