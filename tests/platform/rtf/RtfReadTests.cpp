// The reader, the paragraph extractor that shares its rules, and their robustness.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextImageFormat>
#include <QTextList>

#include "platform/rtf/Rtf.h"
#include "platform/rtf/RtfTestSupport.h"

namespace qb::rtf {
namespace {

using test::editorLines;
using test::fixture;

QByteArray doc(const char* body) {
    return QByteArray("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}") + body + "}";
}

struct TextCase {
    const char* name;
    QByteArray rtf;
    QStringList lines;
};

const std::vector<TextCase>& textCases() {
    static const std::vector<TextCase> cases = {
        {"every mark ends a paragraph", doc("a\\par b\\par"), {"a", "b"}},
        {"text after the last mark makes one more", doc("a\\par b"), {"a", "b"}},
        {"a trailing empty paragraph", doc("a\\par\\par"), {"a", ""}},
        {"empty document", doc(""), {""}},
        {"empty input", QByteArray(), {""}},
        {"line break and tab", doc("a\\line b\\tab c\\par"), {"a", "b\tc"}},
        {"control word delimiters", doc("\\b bold\\b0  x\\par"), {"bold x"}},
        {"escaped specials", doc("\\{x\\}\\\\\\~y\\par"), {"{x}\\ y"}},
        {"unicode with fallback",
         doc("\\u1046?\\uc2\\u1046xy z\\uc0\\u1046 q"),
         {QString::fromUtf16(u"ЖЖ zЖq")}},
        {"the fallback count is group-scoped",
         doc("{\\uc2 \\u1046ab}\\u1046?c"),
         {QString::fromUtf16(u"ЖЖc")}},
        {"surrogate pairs, signed and unsigned",
         doc("\\u-10179?\\u-8704?\\u55357?\\u56832?"),
         {QString::fromUtf16(u"😀😀")}},
        {"half a surrogate pair is dropped", doc("a\\u-10179?b"), {"ab"}},
        {"cp1252 bytes", doc("caf\\'e9 \\'80\\'93"), {QString::fromUtf16(u"café €“")}},
        {"the font's charset decides the code page",
         "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset204 Arial;}{\\f1\\fcharset0 "
         "Arial;}}\\f0\\'cf\\'f0\\f1\\'e9}",
         {QString::fromUtf16(u"Прé")}},
        {"ansicpg for fonts without a charset",
         "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Arial;}}\\'cf}",
         {QString::fromUtf16(u"П")}},
        {"double-byte code pages",
         "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\'82\\'a0\\'82\\'a2}",
         {QString::fromUtf16(u"あい")}},
        {"Hebrew letters that a combining mark might follow",
         "{\\rtf1\\ansi\\ansicpg1255{\\fonttbl{\\f0\\fnil\\fcharset177 Tahoma;}}\\pard\\rtlpar\\f0 "
         "\\'f9\\'ec\\'e5\\'ed \\'e9\\'e5\\'ee\\'ef\\par}",
         {QString::fromUtf16(u"שלום יומן")}},
        {"Vietnamese letters that a combining mark might follow",
         "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset163 Arial;}}\\f0 Nh\\'e2t k\\'fd\\par}",
         {QString::fromUtf16(u"Nhât kư")}},
        {"bullet copies are not text",
         doc("{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}One\\par"),
         {"One"}},
        {"number copies are text", doc("{\\listtext 1.\\tab}One\\par"), {"1.\tOne"}},
        {"field results are text, instructions are not",
         doc("{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}\\par"),
         {"link"}},
        {"ignorable and skipped destinations",
         doc("{\\*\\unknown hidden}{\\info{\\title t}}{\\stylesheet{\\s0 Normal;}}"
             "{\\*\\generator g;}{\\header h}{\\footnote f}shown\\par"),
         {"shown"}},
        {"hidden text", doc("a{\\v hidden}b\\par"), {"ab"}},
        {"table cells",
         doc("\\trowd\\cellx100\\cellx200\\intbl A\\cell B\\cell\\row after\\par"),
         {"A", "B", "after"}},
        {"binary data is never text", doc("a{\\*\\x\\bin3 }}}}b\\bin2 {}c\\par"), {"abc"}},
        {"a picture the reader cannot show is dropped",
         doc("a{\\pict\\wmetafile8\\picw10 0102030405}b{\\nonshppict{\\pict 00}}c\\par"),
         {"abc"}},
        {"a picture is one object character",
         doc("a{\\*\\shppict{\\pict\\pngblip 89504e470d0a1a0a0000}}b\\par"),
         {QString::fromUtf16(u"a\uFFFCb")}},
        {"unknown words are ignored", doc("\\foo12 a\\bar-3 b"), {"ab"}},
        {"unbalanced and truncated braces", "{\\rtf1 a}}}b{{{", {"a"}},
        {"cut off in a group", "{\\rtf1 a\\par {\\b b", {"a", "b"}},
        {"controls in text are not text", doc("a\x01\x1f\\'0d\\u13?b\\u8233?c"), {"abc"}},
        {"plain text", "line 1\r\nline 2\nline\t3", {"line 1", "line 2", "line\t3"}},
        {"capital RTF is plain text", "{\\RTF1 x}", {"{\\RTF1 x}"}},
        {"plain cp1252 text", "caf\xe9", {QString::fromUtf16(u"café")}},
        // Text is taken in runs of plain bytes; the fallback count, control bytes, tabs and
        // line ends inside a run must count as they do byte by byte.
        {"a fallback skips plain and hex bytes alike",
         doc("\\uc3\\u1046ab\\'e9cd\\par"),
         {QString::fromUtf16(u"Жcd")}},
        {"line ends and control bytes are not fallback characters",
         doc("\\uc2\\u1046a\r\n\x01"
             "bc\\par"),
         {QString::fromUtf16(u"Жc")}},
        {"a tab is not a fallback character",
         doc("\\u1046\tb c\\par"),
         {QString::fromUtf16(u"Ж\t c")}},
        {"format changes inside a line", doc("a\\b b\\b0 c{\\i d}e\\f0 f\\par"), {"abcdef"}},
        {"plain ASCII after a lead byte is its trail byte",
         "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0 a\\'82`b}",
         {QString::fromUtf16(u"aＡb")}},
        {"plain high bytes in the font's code page",
         "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset204 A;}{\\f1 B;}}\\f0 x\xcf\\f1\xcf}",
         {QString::fromUtf16(u"xПÏ")}},
        {"a font table later in the text changes the code page",
         "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset204 A;}}\\f0\\'cf{\\fonttbl{\\f0\\fcharset0 "
         "A;}}\\'cf}",
         {QString::fromUtf16(u"ПÏ")}},
        {"ansicpg later in the text changes the code page",
         "{\\rtf1\\ansi{\\fonttbl{\\f0 A;}}\\f0\\'cf\\ansicpg1251\\'cf\\pc\\'82}",
         {QString::fromUtf16(u"ÏПé")}},
    };
    return cases;
}

TEST(RtfReader, TextAndParagraphs) {
    for (const TextCase& c : textCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(editorLines(c.rtf), c.lines);
        EXPECT_EQ(paragraphs(c.rtf), c.lines);
    }
}

TEST(RtfReader, ParagraphsEqualTheEditorsLinesForForeignFiles) {
    for (const char* name : {"richedit.rtf", "wordpad-cyrillic.rtf", "libreoffice.rtf",
                             "libreoffice-pictures.rtf", "pandoc.rtf"}) {
        SCOPED_TRACE(name);
        const QByteArray data = fixture(name);
        ASSERT_FALSE(data.isEmpty());
        EXPECT_EQ(paragraphs(data), editorLines(data));
    }
}

QTextCharFormat formatAt(const QTextDocument& d, const QString& word) {
    for (QTextBlock b = d.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().text().contains(word)) {
                return it.fragment().charFormat();
            }
        }
    }
    ADD_FAILURE() << "no run holds " << word.toStdString();
    return {};
}

TEST(RtfReader, RichEditShape) {
    QTextDocument d;
    read(fixture("richedit.rtf"), d);
    EXPECT_EQ(d.toPlainText().split(u'\n'),
              (QStringList{"Plain bold italic under gone red black Times", "One", "Two",
                           QString::fromUtf16(u"Centre café\tend"), "Right", "second line"}));
    const QTextCharFormat plain = formatAt(d, "Plain");
    EXPECT_EQ(plain.fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_EQ(plain.fontPointSize(), 10);
    EXPECT_FALSE(plain.hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(formatAt(d, "bold").fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatAt(d, "italic").fontItalic());
    EXPECT_TRUE(formatAt(d, "under").fontUnderline());
    EXPECT_TRUE(formatAt(d, "gone").fontStrikeOut());
    EXPECT_EQ(formatAt(d, "red").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatAt(d, "black").foreground().color(), QColor(0, 0, 0));
    EXPECT_EQ(formatAt(d, "Times").fontFamilies().toStringList(), QStringList{"Times New Roman"});
    EXPECT_EQ(formatAt(d, "Times").fontPointSize(), 14);

    const QTextBlock one = d.findBlockByNumber(1);
    ASSERT_NE(one.textList(), nullptr);
    EXPECT_EQ(one.textList(), d.findBlockByNumber(2).textList());
    EXPECT_EQ(qRound(one.blockFormat().textIndent() * kTwipsPerPixel), -720);
    EXPECT_EQ(qRound(one.blockFormat().leftMargin() * kTwipsPerPixel), 720);
    EXPECT_EQ(d.findBlockByNumber(3).textList(), nullptr);
    EXPECT_TRUE(d.findBlockByNumber(3).blockFormat().alignment() & Qt::AlignHCenter);
    const QTextBlockFormat right = d.findBlockByNumber(4).blockFormat();
    EXPECT_TRUE(right.alignment() & Qt::AlignRight);
    EXPECT_EQ(qRound(right.textIndent() * kTwipsPerPixel), -240);
}

// Qt draws a bullet in its paragraph's own character format: the one of the paragraph's first
// text, as it was while typed, not the document default.
TEST(RtfReader, ParagraphsTakeTheFormatOfTheirFirstText) {
    QTextDocument d;
    read(doc("\\pard{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}{\\pntext\\'b7\\tab}\\fs28\\b big\\fs20\\b0 "
             "small\\par{\\pntext\\'b7\\tab}\\fs32 next\\par\\fs18\\par"),
         d);
    ASSERT_EQ(d.blockCount(), 3);
    const std::pair<double, int> expected[] = {
        {14, QFont::Bold}, {16, QFont::Normal}, {9, QFont::Normal}};
    for (int i = 0; i < 3; ++i) {
        const QTextCharFormat f = d.findBlockByNumber(i).charFormat();
        EXPECT_EQ(f.fontPointSize(), expected[i].first) << i;
        EXPECT_EQ(f.fontWeight(), expected[i].second) << i;
    }
    EXPECT_NE(d.findBlockByNumber(1).textList(), nullptr);
}

TEST(RtfReader, ForeignFiles) {
    struct Case {
        const char* file;
        QStringList lines;
        int bullets;
    } cases[] = {
        {"wordpad-cyrillic.rtf", {QString::fromUtf16(u"Привет, café мир"), ""}, 0},
        {"libreoffice.rtf",
         {"Plain first line with bold, italic, underline and strike.",
          QString::fromUtf16(u"Centred Привет мир"), QString::fromUtf16(u"Red right 😀 done"),
          "First bullet", "Second bullet", "Cell A", "Cell B",
          QString::fromUtf16(u"Last paragraph café “quoted”")},
         2},
        {"pandoc.rtf",
         {"Plain first line with bold, italic and strike.",
          QString::fromUtf16(u"Привет мир 😀 café “quoted”"), QString::fromUtf16(u"•\tFirst bullet"),
          QString::fromUtf16(u"•\tSecond bullet"), "Last paragraph"},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        QTextDocument d;
        read(fixture(c.file), d);
        EXPECT_EQ(d.toPlainText().split(u'\n'), c.lines);
        int bullets = 0;
        for (QTextBlock b = d.begin(); b.isValid(); b = b.next()) {
            bullets += b.textList() != nullptr;
        }
        EXPECT_EQ(bullets, c.bullets);
    }
    QTextDocument d;
    read(fixture("libreoffice.rtf"), d);
    EXPECT_EQ(formatAt(d, "bold").fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(d, "Red right").foreground().color(), QColor(255, 0, 0));
    EXPECT_TRUE(d.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHCenter);
}

TEST(RtfReader, PicturesOfOtherProgramsKeepTheirBytes) {
    QTextDocument d;
    read(fixture("libreoffice-pictures.rtf"), d);
    std::vector<QTextImageFormat> found;
    for (auto it = d.begin().begin(); !it.atEnd(); ++it) {
        if (it.fragment().charFormat().isImageFormat()) {
            found.push_back(it.fragment().charFormat().toImageFormat());
        }
    }
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].property(kPictureBytes).toByteArray(), fixture("red.png"));
    EXPECT_EQ(found[1].property(kPictureBytes).toByteArray(), fixture("blue.jpg"));
    EXPECT_FALSE(d.toPlainText().contains("89504e"));
}

// Malformed input: the reader returns, quickly, with bounded work.
TEST(RtfReader, SurvivesHostileInput) {
    struct Case {
        const char* name;
        QByteArray rtf;
    };
    std::vector<Case> cases = {
        {"deep nesting", "{\\rtf1 " + QByteArray(200000, '{') + "x" + QByteArray(200000, '}')},
        {"deep nesting never closed", "{\\rtf1 " + QByteArray(300000, '{')},
        {"bin past the end", doc("a\\bin999999999999 xyz")},
        {"negative bin", doc("a\\bin-5 b")},
        {"huge numbers",
         doc("\\fs99999999999999999999\\fi-99999999999\\u99999999999 x\\uc99999 y")},
        {"truncated escapes", "{\\rtf1 a\\'"},
        {"truncated hex", "{\\rtf1 a\\'4"},
        {"truncated picture", "{\\rtf1{\\pict\\pngblip 89504e47"},
        {"font table without end", "{\\rtf1{\\fonttbl{\\f0\\fcharset128 \\'82"},
        {"lone backslash", "{\\rtf1\\"},
        {"long control word", "{\\rtf1\\" + QByteArray(100000, 'a') + "1 x}"},
    };
    QRandomGenerator random(1234);
    const QByteArray seed = fixture("richedit.rtf");
    for (int i = 0; i < 200; ++i) {
        QByteArray mutated = seed;
        for (int n = 0; n < 8; ++n) {
            mutated[random.bounded(mutated.size())] = static_cast<char>(random.bounded(256));
        }
        mutated.truncate(random.bounded(mutated.size()) + 1);
        cases.push_back({"mutated", mutated});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QElapsedTimer timer;
        timer.start();
        QTextDocument d;
        read(c.rtf, d);
        const QStringList lines = paragraphs(c.rtf);
        if (c.rtf.startsWith("{\\rtf")) {
            EXPECT_EQ(lines, d.toPlainText().split(u'\n'));
        }
        EXPECT_LT(timer.elapsed(), 5000);
    }
}

// The search passes over texts whose characters are their own bytes when a byte it needs is
// missing: the claim must hold for whatever such RTF holds.
TEST(RtfReader, TextOfSevenBitRtfWithoutEscapesIsMadeOfItsBytes) {
    const struct {
        QByteArray rtf;
        bool inBytes;
    } cases[] = {
        {doc("plain \\b bold\\b0  \\ul under\\ulnone\\uc1 text\\par"), true},
        {doc("a\\\\'b x\\\\u12"), true},  // escaped backslashes start no escape
        {doc("\\'7aephyr"), false},
        {doc("\\u122?ephyr"), false},
        {doc("\\u-4000?"), false},
        {doc("\\u 1"), false},
        {doc("caf\xe9"), false},
        {"plain text", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(asciiTextIsInBytes(c.rtf), c.inBytes) << c.rtf.toStdString();
    }

    const char* const tokens[] = {
        "a",
        "Zq",
        " ",
        "\\par ",
        "\\line ",
        "\\tab ",
        "\\~",
        "\\-",
        "\\_",
        "\\{",
        "\\}",
        "\\\\",
        "{",
        "}",
        "\\b ",
        "\\b0 ",
        "\\ul ",
        "\\uc0 ",
        "\\uc2 ",
        "\\emdash ",
        "\\bullet ",
        "\\lquote ",
        "\\zwj ",
        "{\\*\\x y}",
        "\\f1 ",
        "\\f2 ",
        "\\f3 ",
        "\\ansicpg932",
        "\\ansicpg1253",
        "\\ansicpg65000",
        "{\\pntext",
        "\\pard ",
        "{\\fonttbl{\\f1\\fcharset128 J;}{\\f2\\fcharset2 S;}"
        "{\\f3\\fcharset222 T;}}",
        "\\'",
        "\\u",
        "1",
        "?",
        "\\bin3 abc",
        "{\\field{\\*\\fldinst x}{\\fldrslt r}}",
    };
    QRandomGenerator random(977);
    int checked = 0;
    for (int i = 0; i < 3000; ++i) {
        QByteArray rtf = "{\\rtf1\\ansi ";
        for (int n = random.bounded(1, 40); n > 0; --n) {
            rtf += tokens[random.bounded(int(std::size(tokens)))];
        }
        if (!asciiTextIsInBytes(rtf)) {
            continue;
        }
        ++checked;
        for (const QString& line : paragraphs(rtf)) {
            for (const QChar c : line) {
                if (c.unicode() > 0x20 && c.unicode() < 0x7F) {
                    EXPECT_TRUE(rtf.contains(char(c.unicode()))) << rtf.toStdString();
                }
            }
        }
    }
    EXPECT_GT(checked, 500);
}

TEST(RtfReader, ReadingReplacesTheDocument) {
    QTextDocument d;
    read(doc("first\\par"), d);
    read(doc("second\\par"), d);
    EXPECT_EQ(d.toPlainText(), "second");
    EXPECT_FALSE(d.isUndoAvailable());
}

TEST(RtfReader, ALengthLimitStopsTheReadingOfALongerTextAndLeavesTheDocumentEmpty) {
    // The characters of the editor: each paragraph end and picture counts one.
    const QByteArray png = QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQd1PeAAAADElEQVR4nGP4z8AAAAMBAQDJ/"
        "pLvAAAAAElFTkSuQmCC");
    const QByteArray picture = "{\\pict\\pngblip " + png.toHex() + "}";
    const struct {
        const char* what;
        QByteArray data;
        int length;
    } cases[] = {
        {"text", doc("abcde"), 5},
        {"paragraphs", doc("ab\\par cd\\par e"), 7},
        {"a picture", doc("ab" + picture + "cd"), 5},
        {"plain text", "ab\ncd", 5},
    };
    for (const auto& c : cases) {
        QTextDocument d;
        EXPECT_TRUE(read(c.data, d, c.length)) << c.what;
        EXPECT_EQ(d.characterCount() - 1, c.length) << c.what;
        d.setPlainText("before");
        EXPECT_FALSE(read(c.data, d, c.length - 1)) << c.what;
        EXPECT_TRUE(d.isEmpty()) << c.what;
    }
}

}  // namespace
}  // namespace qb::rtf
