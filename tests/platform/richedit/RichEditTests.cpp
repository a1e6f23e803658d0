#include "platform/richedit/RichEdit.h"

#include "platform/rtf/Rtf.h"

#include <gtest/gtest.h>

#include "platform/richedit/PrintQt.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace qb {
namespace {

QTextCharFormat charFormat(TFontStyles styles, const QString& face, qreal points, QColor color) {
    QTextCharFormat f;
    f.setFontWeight(styles.testFlag(TFontStyle::Bold) ? QFont::Bold : QFont::Normal);
    f.setFontItalic(styles.testFlag(TFontStyle::Italic));
    f.setFontUnderline(styles.testFlag(TFontStyle::Underline));
    f.setFontStrikeOut(styles.testFlag(TFontStyle::StrikeOut));
    f.setFontFamilies({face});
    f.setFontPointSize(points);
    if (color.isValid()) {
        f.setForeground(color);
    }
    return f;
}

class RichEditTest : public ::testing::Test {
  protected:
    // Text made of runs; "\n" in a run ends a paragraph.
    void fill(const std::vector<std::pair<QString, QTextCharFormat>>& runs) {
        edit.document()->clear();
        QTextCursor c(edit.document());
        for (const auto& [text, format] : runs) {
            c.insertText(text, format);
        }
        edit.setSelStart(0);
    }
    void fillPlain(const QString& text) { fill({{text, QTextCharFormat()}}); }
    void select(int start, int length) {
        edit.setSelStart(start);
        edit.setSelLength(length);
    }
    QTextCharFormat formatAt(int position) {
        QTextCursor c(edit.document());
        c.setPosition(position + 1);
        return c.charFormat();
    }

    TRichEdit edit;
};

// ---- selection attributes ---------------------------------------------------------------------

TEST_F(RichEditTest, SelectionAttributesComeFromTheFirstSelectedCharacter) {
    fill({{"Bold", charFormat(TFontStyle::Bold, "Arial", 12, QColor(255, 0, 0))},
          {"Slant", charFormat(TFontStyle::Italic | TFontStyle::StrikeOut, "Courier New", 9.5,
                               QColor(0, 0, 255))},
          {"\nline", charFormat(TFontStyle::Underline, "Verdana", 20, QColor(0x12, 0x34, 0x56))}});
    struct Case {
        int start, length;
        TFontStyles style;
        const char* name;
        int size;
        TColor color;
    };
    const Case cases[] = {
        {0, 4, TFontStyle::Bold, "Arial", 12, 0x0000FF},
        // QTextCursor::charFormat() would report the bold run before the selection here.
        {4, 5, TFontStyle::Italic | TFontStyle::StrikeOut, "Courier New", 9, 0xFF0000},
        {3, 4, TFontStyle::Bold, "Arial", 12, 0x0000FF},
        {10, 2, TFontStyle::Underline, "Verdana", 20, 0x563412},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "selection " << c.start << "+" << c.length);
        select(c.start, c.length);
        EXPECT_EQ(edit.SelAttributes().Style(), c.style);
        EXPECT_EQ(edit.SelAttributes().Name(), QString::fromLatin1(c.name));
        EXPECT_EQ(edit.SelAttributes().Size(), c.size);
        EXPECT_EQ(edit.SelAttributes().Color(), c.color);
    }
}

TEST_F(RichEditTest, WithoutSelectionTheAttributesAreThoseOfNewText) {
    fill({{"ab", charFormat(TFontStyle::Bold, "Arial", 12, QColor(255, 0, 0))},
          {"cd", charFormat({}, "Verdana", 8, QColor())}});
    edit.setSelStart(2);  // typing here continues the bold run
    EXPECT_EQ(edit.SelAttributes().Style(), TFontStyle::Bold);
    EXPECT_EQ(edit.SelAttributes().Size(), 12);
    edit.setSelStart(4);
    EXPECT_EQ(edit.SelAttributes().Name(), "Verdana");
    EXPECT_EQ(edit.SelAttributes().Color(), clWindowText);  // no colour of its own
}

TEST_F(RichEditTest, SettingAttributesChangesEachOnItsOwnAcrossTheSelection) {
    fill({{"Bold",
           charFormat(TFontStyle::Bold | TFontStyle::Underline, "Arial", 12, QColor(255, 0, 0))},
          {"Ital", charFormat(TFontStyle::Italic, "Verdana", 8, QColor(0, 255, 0))}});
    select(2, 4);
    edit.SelAttributes().setStyle(TFontStyle::StrikeOut);  // the other styles go
    edit.SelAttributes().setSize(14);
    for (int p : {2, 3, 4, 5}) {
        const QTextCharFormat f = formatAt(p);
        EXPECT_FALSE(f.font().bold()) << p;
        EXPECT_FALSE(f.font().italic()) << p;
        EXPECT_FALSE(f.fontUnderline()) << p;
        EXPECT_TRUE(f.fontStrikeOut()) << p;
        EXPECT_EQ(f.fontPointSize(), 14) << p;
    }
    // Face and colour stayed as they were.
    EXPECT_EQ(formatAt(3).fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_EQ(formatAt(4).foreground().color(), QColor(0, 255, 0));
    // Outside the selection nothing changed.
    EXPECT_TRUE(formatAt(1).font().bold());
    EXPECT_TRUE(formatAt(7).font().italic());

    edit.SelAttributes().setName("Courier New");
    EXPECT_EQ(formatAt(5).fontFamilies().toStringList(), QStringList{"Courier New"});
    edit.SelAttributes().setSize(0);
    EXPECT_EQ(edit.SelAttributes().Size(), 1);  // never below one point
}

TEST_F(RichEditTest, OneStyleCanChangeWithoutTheOthers) {
    fill({{"ab", charFormat(TFontStyle::Italic, "Arial", 12, QColor())},
          {"cd", charFormat(TFontStyle::Underline, "Arial", 12, QColor())}});
    select(0, 4);
    edit.SelAttributes().setStyle(TFontStyle::Bold, true);
    EXPECT_EQ(edit.SelAttributes().Style(), TFontStyle::Bold | TFontStyle::Italic);
    edit.setSelStart(2);
    edit.setSelLength(2);
    EXPECT_EQ(edit.SelAttributes().Style(), TFontStyle::Bold | TFontStyle::Underline);
    edit.SelAttributes().setStyle(TFontStyle::Underline, false);
    EXPECT_EQ(edit.SelAttributes().Style(), TFontStyle::Bold);
}

TEST_F(RichEditTest, ColoursAreBgrAndWindowTextIsTheAutomaticColour) {
    fillPlain("colour");
    select(0, 3);
    struct Case {
        TColor color;
        QColor expected;
    };
    const Case cases[] = {{0x000080, QColor(0x80, 0, 0)},  // maroon
                          {0x800000, QColor(0, 0, 0x80)},  // navy
                          {0x563412, QColor(0x12, 0x34, 0x56)}};
    for (const Case& c : cases) {
        edit.SelAttributes().setColor(c.color);
        EXPECT_EQ(formatAt(1).foreground().color(), c.expected);
        EXPECT_EQ(edit.SelAttributes().Color(), c.color);
    }
    edit.SelAttributes().setColor(clWindowText);
    EXPECT_FALSE(formatAt(1).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(edit.SelAttributes().Color(), clWindowText);
}

TEST_F(RichEditTest, AttributesSetWithoutSelectionApplyToTheTextTypedNext) {
    fillPlain("ab");
    edit.setSelStart(1);
    edit.SelAttributes().setColor(0x0000FF);
    edit.SelAttributes().setStyle(TFontStyle::Bold);
    QTest::keyClicks(&edit, "xy");
    EXPECT_EQ(edit.toPlainText(), "axyb");
    EXPECT_EQ(formatAt(1).foreground().color(), QColor(255, 0, 0));
    EXPECT_TRUE(formatAt(2).font().bold());
    EXPECT_FALSE(formatAt(0).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_FALSE(formatAt(3).font().bold());
}

TEST_F(RichEditTest, SetFontGivesAnEmptyPageItsFontWithoutMarkingAChange) {
    QSignalSpy changes(&edit, &TRichEdit::OnChange);
    FontChoice font;
    font.family = "Georgia";
    font.pointSize = 15;
    font.italic = true;
    font.color = 0x008000;
    edit.SetFont(font);
    EXPECT_EQ(changes.count(), 0);
    QTest::keyClicks(&edit, "new");
    EXPECT_EQ(edit.SelAttributes().Name(), "Georgia");
    EXPECT_EQ(edit.SelAttributes().Size(), 15);
    EXPECT_EQ(edit.SelAttributes().Style(), TFontStyle::Italic);
    EXPECT_EQ(edit.SelAttributes().Color(), 0x008000u);
    EXPECT_EQ(formatAt(0).foreground().color(), QColor(0, 0x80, 0));
}

// ---- paragraph attributes ---------------------------------------------------------------------

TEST_F(RichEditTest, FirstIndentIsReadFromTheFirstParagraphAndSetOnAll) {
    fillPlain("one\ntwo\nthree");
    QTextCursor c(edit.document());
    QTextBlockFormat f;
    f.setLeftMargin(24 * 20 / 15.0);  // 24 points
    c.setPosition(4);
    c.mergeBlockFormat(f);
    select(1, 5);  // "one" and "two"
    EXPECT_EQ(edit.Paragraph().FirstIndent(), 0);
    // Shift Right: both paragraphs from the first one's indent.
    edit.Paragraph().setFirstIndent(edit.Paragraph().FirstIndent() + 12);
    EXPECT_EQ(edit.Paragraph().FirstIndentTwips(), 240);
    edit.setSelStart(5);
    EXPECT_EQ(edit.Paragraph().FirstIndent(), 12);
    edit.setSelStart(9);
    EXPECT_EQ(edit.Paragraph().FirstIndent(), 0);  // outside the selection
}

TEST_F(RichEditTest, FirstIndentInWholePointsAndNeverLeftOfTheMargin) {
    fillPlain("para");
    struct Case {
        qreal leftTwips, firstTwips;
        int points;
    };
    // 7 and 7.5 points both read 7; a hanging indent counts from where its first line starts.
    const Case cases[] = {{140, 0, 7}, {150, 0, 7}, {720, -360, 18}, {0, 300, 15}};
    for (const Case& c : cases) {
        QTextCursor cursor(edit.document());
        QTextBlockFormat f;
        f.setLeftMargin(c.leftTwips / 15.0);
        f.setTextIndent(c.firstTwips / 15.0);
        cursor.setBlockFormat(f);
        EXPECT_EQ(edit.Paragraph().FirstIndent(), c.points) << c.leftTwips << " " << c.firstTwips;
    }
    // The first line moves, the other lines keep their offset from it.
    QTextBlockFormat hanging;
    hanging.setLeftMargin(720 / 15.0);
    hanging.setTextIndent(-360 / 15.0);
    QTextCursor(edit.document()).setBlockFormat(hanging);
    edit.Paragraph().setFirstIndent(30);
    EXPECT_EQ(edit.Paragraph().FirstIndentTwips(), 600);
    EXPECT_NEAR(edit.document()->begin().blockFormat().leftMargin() * 15, 960, 0.01);
    // Shift Left past the margin stops at it.
    edit.Paragraph().setFirstIndent(-5);
    EXPECT_EQ(edit.Paragraph().FirstIndentTwips(), 0);
    EXPECT_GE(edit.document()->begin().blockFormat().leftMargin(), 0);
}

TEST_F(RichEditTest, AlignmentAndBulletsApplyToEverySelectedParagraph) {
    fillPlain("one\ntwo\nthree");
    select(2, 4);
    const std::pair<TAlignment, Qt::Alignment> alignments[] = {
        {TAlignment::Center, Qt::AlignHCenter},
        {TAlignment::RightJustify, Qt::AlignRight},
        {TAlignment::LeftJustify, Qt::AlignLeft}};
    for (const auto& [alignment, qt] : alignments) {
        edit.Paragraph().setAlignment(alignment);
        EXPECT_EQ(edit.Paragraph().Alignment(), alignment);
        EXPECT_EQ(edit.document()->findBlockByNumber(1).blockFormat().alignment() &
                      Qt::AlignHorizontal_Mask,
                  qt);
    }
    edit.Paragraph().setNumbering(TNumberingStyle::Bullet);
    EXPECT_EQ(edit.Paragraph().Numbering(), TNumberingStyle::Bullet);
    EXPECT_NE(edit.document()->findBlockByNumber(1).textList(), nullptr);
    EXPECT_EQ(edit.document()->findBlockByNumber(2).textList(), nullptr);
    edit.Paragraph().setNumbering(TNumberingStyle::None);
    EXPECT_EQ(edit.Paragraph().Numbering(), TNumberingStyle::None);
    EXPECT_EQ(edit.document()->findBlockByNumber(0).textList(), nullptr);

    // A bullet gets room left of it, and gives it back; an indented paragraph keeps its place.
    for (int indent : {0, 36}) {
        edit.Paragraph().setFirstIndent(indent);
        edit.Paragraph().setNumbering(TNumberingStyle::Bullet);
        EXPECT_EQ(edit.Paragraph().FirstIndent(), std::max(indent, 18)) << indent;
        edit.Paragraph().setNumbering(TNumberingStyle::None);
        EXPECT_EQ(edit.Paragraph().FirstIndent(), indent) << indent;
    }
}

// ---- selection, length and lines --------------------------------------------------------------

TEST_F(RichEditTest, SelectionIsInCharactersAndClampedToTheText) {
    fillPlain(QString::fromUtf8("ab\ncd\xF0\x9F\x98\x80"));  // a paragraph end and a pair
    EXPECT_EQ(edit.GetTextLen(), 7);
    QSignalSpy moves(&edit, &TRichEdit::OnSelectionChange);
    select(3, 2);
    EXPECT_GE(moves.count(), 1);
    EXPECT_EQ(edit.textCursor().selectedText(), "cd");
    select(1, 100);
    EXPECT_EQ(edit.SelStart(), 1);
    EXPECT_EQ(edit.SelLength(), 6);
    edit.setSelStart(50);
    EXPECT_EQ(edit.SelStart(), 7);
    EXPECT_EQ(edit.SelLength(), 0);
    select(2, 2);
    edit.setSelStart(-1);  // a failed find: no selection, caret kept
    EXPECT_EQ(edit.SelLength(), 0);
    EXPECT_EQ(edit.SelStart(), 4);
}

TEST_F(RichEditTest, LinesAreTheParagraphs) {
    const std::pair<QString, QStringList> cases[] = {
        {"", {}},
        {"one", {"one"}},
        {"one\n\nthree", {"one", "", "three"}},
        {"one\n", {"one"}},
        {QString("a") + QChar::LineSeparator + "b" + QChar::Nbsp + "c", {"a", "b c"}},
    };
    for (const auto& [text, lines] : cases) {
        fillPlain(text);
        EXPECT_EQ(edit.Lines(), lines) << text.toStdString();
    }
}

// ---- find -------------------------------------------------------------------------------------

TEST_F(RichEditTest, FindTextSearchesTheRangeWithoutCase) {
    fillPlain("Dear diary,\nthe diary is dear.");
    const int length = edit.GetTextLen();
    struct Case {
        const char* text;
        int start, range;
        int expected;
    };
    const Case cases[] = {
        {"d", 0, length, 0},
        {"DEAR", 0, length, 0},
        {"Diary", 0, length, 5},
        {"diary", 6, length, 16},  // from start + 1, past the end: clamped
        {"dear.", 1, length * 2, 25},
        {"dear.", 0, 29, -1},  // the match would run past the range
        {"dear.", 0, 30, 25},
        {"y,\nthe", 0, length, 9},  // a paragraph end is one
                                    // character
        {"absent", 0, length, -1},
        {"", 0, length, -1},
        {"Dear", -5, 10, 0},
        {"dear", 100, 10, -1},
        {"diary", 6, -1, 16},  // a negative length runs to the end
    };
    for (const Case& c : cases) {
        EXPECT_EQ(edit.FindText(c.text, c.start, c.range), c.expected)
            << c.text << " from " << c.start << " over " << c.range;
    }
    EXPECT_EQ(edit.FindText("dear", 0, length, TSearchType::MatchCase), 25);
    EXPECT_EQ(edit.FindText("dia", 0, length, TSearchType::WholeWord), -1);
    EXPECT_EQ(edit.FindText("the", 0, length, TSearchType::WholeWord), 12);
    // An excerpt taken from the lines finds its text again where the page has a non-breaking
    // space.
    fillPlain(QString("new") + QChar::Nbsp + "york");
    EXPECT_EQ(edit.FindText(edit.Lines().front(), 0, edit.GetTextLen()), 0);
}

TEST_F(RichEditTest, FindTextComparesComposedTextsAndGivesThePagesLengthFound) {
    const struct {
        const char16_t* page;
        const char16_t* typed;
        int position;
        int length;
    } cases[] = {
        {u"un cafe\u0301 noir", u"café", 3, 5},   // the page keeps the accent apart
        {u"un café noir", u"cafe\u0301", 3, 4},   // the term does
        {u"e\u0301e\u0301 café", u"café", 5, 4},  // earlier marks shift nothing
        {u"Привет, дневник", u"ДНЕВНИК", 8, 7},  {u"Zażółć gęślą", u"ZAŻÓŁĆ", 0, 6},
        {u"un cafe noir", u"café", -1, 0},
    };
    for (const auto& c : cases) {
        fillPlain(QString::fromUtf16(c.page));
        int found = 0;
        EXPECT_EQ(edit.FindText(QString::fromUtf16(c.typed), 0, edit.GetTextLen(), {}, &found),
                  c.position)
            << QString::fromUtf16(c.page).toStdString();
        if (c.position >= 0) {
            EXPECT_EQ(found, c.length) << QString::fromUtf16(c.page).toStdString();
        }
    }
}

// ---- change notification ----------------------------------------------------------------------

TEST_F(RichEditTest, FormatOnlyChangesAreChanges) {
    fillPlain("one\ntwo");
    select(0, 2);
    QSignalSpy changes(&edit, &TRichEdit::OnChange);
    const std::vector<std::pair<const char*, std::function<void()>>> edits = {
        {"style", [&] { edit.SelAttributes().setStyle(TFontStyle::Bold); }},
        {"name", [&] { edit.SelAttributes().setName("Verdana"); }},
        {"size", [&] { edit.SelAttributes().setSize(30); }},
        {"colour", [&] { edit.SelAttributes().setColor(0x0000FF); }},
        {"automatic colour", [&] { edit.SelAttributes().setColor(clWindowText); }},
        {"indent", [&] { edit.Paragraph().setFirstIndent(12); }},
        {"alignment", [&] { edit.Paragraph().setAlignment(TAlignment::Center); }},
        {"bullets", [&] { edit.Paragraph().setNumbering(TNumberingStyle::Bullet); }},
    };
    for (const auto& [name, change] : edits) {
        changes.clear();
        change();
        EXPECT_GE(changes.count(), 1) << name;
    }
    EXPECT_EQ(edit.toPlainText(), "one\ntwo");
}

TEST_F(RichEditTest, ReadOnlyRefusesEditsButKeepsCaretAndSelection) {
    fillPlain("fixed");
    edit.setReadOnly(true);
    QSignalSpy changes(&edit, &TRichEdit::OnChange);
    select(0, 5);
    edit.SelAttributes().setStyle(TFontStyle::Bold);
    edit.SelAttributes().setColor(0x0000FF);
    edit.Paragraph().setFirstIndent(24);
    edit.Paragraph().setNumbering(TNumberingStyle::Bullet);
    edit.CutToClipboard();
    QTest::keyClicks(&edit, "x");
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(edit.toPlainText(), "fixed");
    EXPECT_FALSE(formatAt(0).font().bold());

    edit.LoadRtf("reloaded");  // a page read-only from the start stays so through undo loads
    changes.clear();
    QTest::keyClicks(&edit, "x");
    EXPECT_EQ(edit.toPlainText(), "reloaded");
    EXPECT_EQ(changes.count(), 0);

    edit.setSelStart(0);
    QTest::keyClick(&edit, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&edit, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(edit.SelLength(), 2);
}

// ---- loading and saving -----------------------------------------------------------------------

TEST_F(RichEditTest, LoadAndSaveGoThroughTheRtfReaderAndWriter) {
    fill({{"Bold", charFormat(TFontStyle::Bold, "Arial", 12, QColor(255, 0, 0))},
          {" text\nsecond", QTextCharFormat()}});
    QByteArray stored;
    {
        QBuffer out(&stored);
        out.open(QIODevice::WriteOnly);
        edit.SaveToStream(out);
    }
    EXPECT_EQ(stored, rtf::write(*edit.document()));

    TRichEdit other;
    QSignalSpy changes(&other, &TRichEdit::OnChange);
    QBuffer in(&stored);
    in.open(QIODevice::ReadOnly);
    other.LoadFromStream(in);
    EXPECT_EQ(changes.count(), 1);  // one notification for the whole load
    EXPECT_EQ(other.toPlainText(), edit.toPlainText());
    EXPECT_EQ(other.SaveRtf(), stored);
    EXPECT_EQ(other.SelStart(), 0);
    // The loaded text goes on notifying, keeps no undo and keeps the control's settings.
    QTest::keyClicks(&other, "x");
    EXPECT_EQ(changes.count(), 2);
    EXPECT_FALSE(other.document()->isUndoAvailable());
}

TEST_F(RichEditTest, WhatTheControlSetsSurvivesSaveAndLoad) {
    fillPlain(QString::fromUtf8("Привет \xF0\x9F\x98\x80 world\nsecond\tline\nthird"));
    select(0, 6);
    edit.SelAttributes().setStyle(TFontStyle::Bold | TFontStyle::StrikeOut);
    edit.SelAttributes().setName("Verdana");
    edit.SelAttributes().setSize(17);
    edit.SelAttributes().setColor(0x123456);
    edit.Paragraph().setAlignment(TAlignment::Center);
    select(12, 8);
    edit.SelAttributes().setColor(clWindowText);
    edit.Paragraph().setFirstIndent(36);
    edit.Paragraph().setNumbering(TNumberingStyle::Bullet);
    const QByteArray first = edit.SaveRtf();

    TRichEdit other;
    other.LoadRtf(first);
    EXPECT_EQ(other.SaveRtf(), first);
    EXPECT_EQ(other.toPlainText(), edit.toPlainText());
    const auto same = [&](int start, int length) {
        SCOPED_TRACE(testing::Message() << "at " << start);
        select(start, length);
        other.setSelStart(start);
        other.setSelLength(length);
        EXPECT_EQ(other.SelAttributes().Style(), edit.SelAttributes().Style());
        EXPECT_EQ(other.SelAttributes().Name(), edit.SelAttributes().Name());
        EXPECT_EQ(other.SelAttributes().Size(), edit.SelAttributes().Size());
        EXPECT_EQ(other.SelAttributes().Color(), edit.SelAttributes().Color());
        EXPECT_EQ(other.Paragraph().FirstIndentTwips(), edit.Paragraph().FirstIndentTwips());
        EXPECT_EQ(other.Paragraph().Alignment(), edit.Paragraph().Alignment());
        EXPECT_EQ(other.Paragraph().Numbering(), edit.Paragraph().Numbering());
    };
    same(0, 3);
    same(7, 2);
    same(12, 3);
    same(24, 2);
    other.setSelStart(0);
    other.setSelLength(1);
    EXPECT_EQ(other.SelAttributes().Color(), 0x123456u);
    other.setSelStart(14);
    other.setSelLength(1);
    EXPECT_EQ(other.SelAttributes().Color(), clWindowText);
    EXPECT_EQ(other.Paragraph().FirstIndent(), 36);
    EXPECT_EQ(other.Paragraph().Numbering(), TNumberingStyle::Bullet);
}

// Qt draws a bullet with its paragraph's own character format: a reloaded page must give its
// bullets the size and face they had when typed, not the control's default.
TEST_F(RichEditTest, BulletsKeepTheLookOfTheirTextThroughSaveAndLoad) {
    edit.resize(400, 200);
    edit.SelAttributes().setName("DejaVu Serif");
    edit.SelAttributes().setSize(14);
    edit.Paragraph().setNumbering(TNumberingStyle::Bullet);
    QTest::keyClicks(&edit, "first item");
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClicks(&edit, "second item");
    select(0, 2);
    edit.SelAttributes().setSize(20);  // a paragraph whose text changed size after typing

    TRichEdit other;
    other.resize(edit.size());
    other.LoadRtf(edit.SaveRtf());
    ASSERT_EQ(other.document()->blockCount(), edit.document()->blockCount());
    for (QTextBlock typed = edit.document()->begin(), loaded = other.document()->begin();
         typed.isValid(); typed = typed.next(), loaded = loaded.next()) {
        SCOPED_TRACE(typed.text().toStdString());
        ASSERT_NE(loaded.textList(), nullptr);
        const QFont want = typed.charFormat().font().resolve(edit.document()->defaultFont());
        const QFont got = loaded.charFormat().font().resolve(other.document()->defaultFont());
        EXPECT_EQ(got.pointSizeF(), want.pointSizeF());
        std::printf("DBG typed %s %g loaded %s %g\n", qPrintable(want.family()), want.pointSizeF(),
                    qPrintable(got.family()), got.pointSizeF());
        EXPECT_EQ(got.family(), want.family());
    }
    edit.setSelStart(0);
    EXPECT_EQ(other.grab().toImage(), edit.grab().toImage());
}

TEST_F(RichEditTest, LinesMatchTheParagraphsTheSearchReads) {
    fillPlain(QString("one") + QChar::LineSeparator + "two" + QChar::Nbsp + "x\n\nlast\n");
    const QByteArray rtf = edit.SaveRtf();
    QStringList paragraphs = rtf::paragraphs(rtf);
    if (!paragraphs.isEmpty() && paragraphs.back().isEmpty()) {
        paragraphs.removeLast();  // the end of the last paragraph
    }
    edit.LoadRtf(rtf);
    EXPECT_EQ(edit.Lines(), paragraphs);
    EXPECT_EQ(edit.Lines(), (QStringList{"one", "two x", "", "last"}));
}

TEST_F(RichEditTest, SaveToFileWritesTheRtfOrRaises) {
    fillPlain("export me");
    QTemporaryDir dir;
    const QString path = dir.filePath("entry.rtf");
    edit.SaveToFile(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), edit.SaveRtf());

    const QString bad = dir.filePath("no such folder/entry.rtf");
    try {
        edit.SaveToFile(bad);
        FAIL() << "no error for " << bad.toStdString();
    } catch (const std::runtime_error& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith("Cannot create file \"" + bad + "\""))
            << e.what();
    }
}

// ---- keys -------------------------------------------------------------------------------------

TEST_F(RichEditTest, MaximumLengthHoldsForTypingButNotForLoading) {
    edit.setMaxLength(5);
    QTest::keyClicks(&edit, "abcdefg");
    EXPECT_EQ(edit.toPlainText(), "abcde");
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.GetTextLen(), 5);
    select(1, 2);  // typing over a selection frees its room
    QTest::keyClicks(&edit, "XY");
    EXPECT_EQ(edit.toPlainText(), "aXYde");
    QTest::keyClick(&edit, Qt::Key_Backspace);  // deleting is always allowed
    EXPECT_EQ(edit.GetTextLen(), 4);

    edit.LoadRtf(QByteArray(20, 'z'));  // plain text: the reader takes it as it is
    EXPECT_EQ(edit.GetTextLen(), 20);
}

TEST_F(RichEditTest, ALoadBeyondItsLengthKeepsTheTextThereWas) {
    edit.setPlainText("kept");
    EXPECT_FALSE(edit.LoadRtf(QByteArray(21, 'z'), 20));
    EXPECT_EQ(edit.toPlainText(), "kept");
    EXPECT_TRUE(edit.LoadRtf(QByteArray(20, 'z'), 20));
    EXPECT_EQ(edit.GetTextLen(), 20);
}

// Word wrap lays out a long run without a break opportunity in time that grows with the square
// of its length: such a text is wrapped at any character, and shows in a moment.
TEST_F(RichEditTest, ATextWithAVeryLongRunIsWrappedAtAnyCharacter) {
    edit.resize(400, 300);
    edit.show();
    const QByteArray run(100000, 'x');
    const struct {
        const char* what;
        QByteArray text;
        bool anywhere;
    } cases[] = {
        {"ordinary words", QByteArray("a few words ").repeated(5000), false},
        {"a run of 100,000 characters", run, true},
        {"the same run between words", "before " + run + " after", true},
        {"runs of 1,000 characters", (QByteArray(1000, 'y') + ' ').repeated(100), false},
    };
    for (const auto& c : cases) {
        edit.LoadRtf(c.text);
        edit.document()->documentLayout()->blockBoundingRect(edit.document()->lastBlock());
        EXPECT_EQ(edit.WrapsAnywhere(), c.anywhere) << c.what;
        EXPECT_EQ(
            edit.document()->defaultTextOption().wrapMode(),
            c.anywhere ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere)
            << c.what;
    }
}

TEST_F(RichEditTest, KeyDownHandlerCanSwallowAKey) {
    std::vector<std::pair<int, Qt::KeyboardModifiers>> seen;
    QObject::connect(&edit, &TRichEdit::OnKeyDown, [&](int& key, Qt::KeyboardModifiers shift) {
        seen.emplace_back(key, shift);
        if (key == Qt::Key_Equal && (shift & Qt::ControlModifier)) {
            key = 0;
        }
    });
    QTest::keyClick(&edit, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(edit.toPlainText(), "");
    QTest::keyClick(&edit, Qt::Key_Equal);
    EXPECT_EQ(edit.toPlainText(), "=");
    const auto ctrlEqual =
        std::make_pair(int(Qt::Key_Equal), Qt::KeyboardModifiers(Qt::ControlModifier));
    EXPECT_NE(std::find(seen.begin(), seen.end(), ctrlEqual), seen.end());
}

TEST_F(RichEditTest, KeysWithAltTypeNothingButAltGrTypesItsCharacter) {
    QTest::keyClicks(&edit, "abc");
    QSignalSpy changes(&edit, &TRichEdit::OnChange);
    const std::pair<Qt::Key, Qt::KeyboardModifiers> altKeys[] = {
        {Qt::Key_T, Qt::AltModifier},
        {Qt::Key_X, Qt::AltModifier},
        {Qt::Key_Q, Qt::AltModifier | Qt::ShiftModifier},
        {Qt::Key_5, Qt::AltModifier},
        {Qt::Key_Space, Qt::AltModifier},
        {Qt::Key_Return, Qt::AltModifier},
        {Qt::Key_Return, Qt::AltModifier | Qt::ControlModifier},
    };
    for (const auto& [key, modifiers] : altKeys) {
        const QString text = key == Qt::Key_Return ? QString("\r") : QString(QChar(key)).toLower();
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(&edit, &press);
        EXPECT_EQ(edit.toPlainText(), "abc")
            << QKeySequence(key | modifiers).toString().toStdString();
    }
    EXPECT_EQ(changes.count(), 0);

    // AltGr types the third character of a key on many layouts.
    QKeyEvent altGr(QEvent::KeyPress, Qt::Key_Q, Qt::GroupSwitchModifier, "@");
    QApplication::sendEvent(&edit, &altGr);
    EXPECT_EQ(edit.toPlainText(), "abc@");
}

TEST_F(RichEditTest, WantTabsDecidesWhetherTabTypesATab) {
    for (bool want : {true, false}) {
        edit.clear();
        edit.setWantTabs(want);
        QTest::keyClick(&edit, Qt::Key_Tab);
        EXPECT_EQ(edit.toPlainText(), want ? "\t" : "") << want;
    }
}

TEST(RichEditWindowTest, EditingShortcutsReachTheWindowsActions) {
    QWidget window;
    auto* edit = new TRichEdit(&window);
    const std::pair<const char*, QKeySequence> shortcuts[] = {
        {"undo", QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {"redo", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        {"select all", QKeySequence(Qt::CTRL | Qt::Key_A)},
        {"copy", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {"cut", QKeySequence(Qt::CTRL | Qt::Key_X)},
        {"paste", QKeySequence(Qt::CTRL | Qt::Key_V)},
        {"underline", QKeySequence(Qt::CTRL | Qt::Key_U)},
        {"shift left", QKeySequence(Qt::CTRL | Qt::Key_H)},
    };
    std::vector<QString> triggered;
    for (const auto& [name, keys] : shortcuts) {
        auto* action = new QAction(QString::fromLatin1(name), &window);
        action->setShortcut(keys);
        window.addAction(action);
        QObject::connect(action, &QAction::triggered,
                         [&triggered, action] { triggered.push_back(action->text()); });
    }
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    QTest::keyClicks(edit, "some text");
    for (const auto& [name, keys] : shortcuts) {
        triggered.clear();
        QTest::keySequence(edit, keys);
        ASSERT_EQ(triggered.size(), 1u) << name;
        EXPECT_EQ(triggered.front(), QString::fromLatin1(name));
    }
    EXPECT_EQ(edit->toPlainText(), "some text");
}

// How many dark pixels the shown page has in each paragraph's band.
std::vector<int> inkPerParagraph(TRichEdit& edit) {
    QApplication::processEvents();
    const QImage shot = edit.viewport()->grab().toImage();
    std::vector<int> ink;
    QAbstractTextDocumentLayout* layout = edit.document()->documentLayout();
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        const QRect band =
            layout->blockBoundingRect(block).toAlignedRect().intersected(shot.rect());
        int dark = 0;
        for (int y = band.top(); y <= band.bottom(); ++y) {
            for (int x = band.left(); x <= band.right(); ++x) {
                dark += qGray(shot.pixel(x, y)) < 128 ? 1 : 0;
            }
        }
        ink.push_back(dark);
    }
    return ink;
}

// A right-to-left paragraph read from RTF shows at the right edge, a left-to-right one at the
// left; the saved text gives the same picture again.
TEST(RichEditShownTest, RightToLeftParagraphsShowAtTheRight) {
    const QByteArray rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs24\\pard\\rtlpar "
        "\\u1513?\\u1500?\\u1493?\\u1501? 2024\\par\\pard\\rtlpar 2024 Tel Aviv\\par\\pard "
        "Walk\\par}";
    TRichEdit edit;
    edit.resize(500, 200);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    // Where each paragraph's ink begins and ends, across the page.
    const auto extents = [&edit] {
        QApplication::processEvents();
        const QImage shot = edit.viewport()->grab().toImage();
        std::vector<std::pair<int, int>> found;
        QAbstractTextDocumentLayout* layout = edit.document()->documentLayout();
        for (QTextBlock b = edit.document()->begin(); b.isValid(); b = b.next()) {
            const QRect band = layout->blockBoundingRect(b).toAlignedRect() & shot.rect();
            int left = shot.width();
            int right = -1;
            for (int y = band.top(); y <= band.bottom(); ++y) {
                for (int x = 0; x < shot.width(); ++x) {
                    if (qGray(shot.pixel(x, y)) < 128) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
                }
            }
            found.emplace_back(left, right);
        }
        return found;
    };
    edit.LoadRtf(rtf);
    const auto shown = extents();
    ASSERT_GE(shown.size(), 3u);
    const int width = edit.viewport()->width();
    for (int i : {0, 1}) {
        EXPECT_GT(shown[i].first, width / 2) << i;
        EXPECT_GT(shown[i].second, width - 20) << i;
    }
    EXPECT_LT(shown[2].first, 20);
    EXPECT_LT(shown[2].second, width / 2);

    edit.LoadRtf(edit.SaveRtf());
    EXPECT_EQ(extents(), shown);
}

TEST(RichEditShownTest, FormattingAWholeSelectionKeepsEveryParagraphDrawn) {
    const std::vector<std::pair<const char*, std::function<void(TRichEdit&)>>> changes = {
        {"bold", [](TRichEdit& e) { e.SelAttributes().setStyle(TFontStyle::Bold, true); }},
        {"styles", [](TRichEdit& e) { e.SelAttributes().setStyle(TFontStyle::Italic); }},
        {"size", [](TRichEdit& e) { e.SelAttributes().setSize(14); }},
        {"face", [](TRichEdit& e) { e.SelAttributes().setName("DejaVu Serif"); }},
        {"colour", [](TRichEdit& e) { e.SelAttributes().setColor(0x800000); }},
    };
    for (const auto& [name, change] : changes) {
        TRichEdit edit;
        edit.resize(400, 200);
        edit.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
        QTest::keyClicks(&edit, "Hello bold world line one");
        QTest::keyClick(&edit, Qt::Key_Return);
        QTest::keyClicks(&edit, "Second line here");
        const std::vector<int> before = inkPerParagraph(edit);
        ASSERT_EQ(before.size(), 2u);
        ASSERT_GT(before[0], 0);
        edit.selectAll();
        change(edit);
        edit.SelAttributes().setStyle(TFontStyle::Underline, true);  // and the next key after it
        for (int ink : inkPerParagraph(edit)) {
            EXPECT_GT(ink, before[1] / 2) << name;
        }
    }
}

TEST_F(RichEditTest, HasNoUndoOfItsOwn) {
    QTest::keyClicks(&edit, "typed");
    EXPECT_FALSE(edit.document()->isUndoAvailable());
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);  // no window action here
    EXPECT_EQ(edit.toPlainText(), "typed");
}

}  // namespace
}  // namespace qb
