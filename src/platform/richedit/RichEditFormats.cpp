#include "platform/richedit/RichEditFormats.h"

#include "platform/core/ComposedText.h"

#include "platform/rtf/Rtf.h"

#include <QStringView>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <cmath>
#include <optional>

namespace qb::richedit {

namespace {

using rtf::kTwipsPerPixel;

QFont resolvedFont(const QTextCharFormat& format, const QTextDocument& doc) {
    return format.font().resolve(doc.defaultFont());
}

bool isWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

}  // namespace

qreal levelIndent(const QTextBlock& block) {
    const QTextDocument* doc = block.document();
    qreal levels = block.blockFormat().indent();
    if (const QTextList* list = block.textList()) {
        levels += list->format().indent();
    }
    return levels * doc->indentWidth();
}

int twipsOf(qreal pixels) {
    return int(std::lround(pixels * kTwipsPerPixel));
}

qreal pixelsOf(int twips) {
    return twips / kTwipsPerPixel;
}

QTextCharFormat formatOfCharacter(const QTextDocument& doc, int position) {
    const QTextBlock block = doc.findBlock(position);
    if (!block.isValid()) {
        return {};
    }
    QTextCharFormat last = block.charFormat();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (position < fragment.position() + fragment.length()) {
            return fragment.charFormat();
        }
        last = fragment.charFormat();
    }
    return last;
}

TFontStyles stylesOf(const QTextCharFormat& format, const QTextDocument& doc) {
    TFontStyles styles = fontStyles(resolvedFont(format, doc));
    if (format.hasProperty(QTextFormat::TextUnderlineStyle)) {
        styles.setFlag(TFontStyle::Underline,
                       format.underlineStyle() != QTextCharFormat::NoUnderline);
    }
    return styles;
}

QString faceOf(const QTextCharFormat& format, const QTextDocument& doc) {
    const QStringList families = format.property(QTextFormat::FontFamilies).toStringList();
    if (!families.isEmpty() && !families.front().isEmpty()) {
        return families.front();
    }
    return doc.defaultFont().family();
}

int pointsOf(const QTextCharFormat& format, const QTextDocument& doc) {
    const qreal points = resolvedFont(format, doc).pointSizeF();
    if (points <= 0) {
        return 0;
    }
    // Whole points as the page counts them: a half point is cut off.
    return int(std::lround(points * 20)) / 20;
}

TColor colorOf(const QTextCharFormat& format) {
    if (!format.hasProperty(QTextFormat::ForegroundBrush) ||
        format.foreground().style() == Qt::NoBrush) {
        return clWindowText;
    }
    return fromQColor(format.foreground().color());
}

void setStyles(QTextCharFormat& format, TFontStyles styles) {
    format.setFontWeight(styles.testFlag(TFontStyle::Bold) ? QFont::Bold : QFont::Normal);
    format.setFontItalic(styles.testFlag(TFontStyle::Italic));
    format.setFontUnderline(styles.testFlag(TFontStyle::Underline));
    format.setFontStrikeOut(styles.testFlag(TFontStyle::StrikeOut));
}

void setColor(QTextCharFormat& format, TColor color) {
    // No colour at all is never meant as invisible text.
    if (color == clWindowText || color == clDefault || color == clNone) {
        format.clearForeground();
    } else {
        format.setForeground(toQColor(color));
    }
}

void editRuns(QTextCursor& cursor, const std::function<void(QTextCharFormat&)>& edit) {
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    QTextDocument* doc = cursor.document();
    QTextCursor run(doc);
    run.beginEditBlock();
    const bool toTheEnd = end == doc->characterCount() - 1;
    for (QTextBlock block = doc->findBlock(start); block.isValid() && block.position() <= end;
         block = block.next()) {
        // A paragraph the selection starts also takes the format for text typed into it.
        if (block.position() >= start && (block.position() < end || toTheEnd)) {
            QTextCharFormat f = block.charFormat();
            edit(f);
            run.setPosition(block.position());
            run.setBlockCharFormat(f);
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(start, fragment.position());
            const int to = std::min(end, fragment.position() + fragment.length());
            if (from >= to) {
                continue;
            }
            QTextCharFormat f = fragment.charFormat();
            edit(f);
            run.setPosition(from);
            run.setPosition(to, QTextCursor::KeepAnchor);
            run.setCharFormat(f);
        }
    }
    run.endEditBlock();
}

void editBlocks(QTextCursor& cursor,
                const std::function<void(const QTextBlock&, QTextBlockFormat&)>& edit) {
    QTextDocument* doc = cursor.document();
    const QTextBlock last = doc->findBlock(cursor.selectionEnd());
    QTextCursor at(doc);
    at.beginEditBlock();
    for (QTextBlock block = doc->findBlock(cursor.selectionStart()); block.isValid();
         block = block.next()) {
        QTextBlockFormat f = block.blockFormat();
        edit(block, f);
        at.setPosition(block.position());
        at.setBlockFormat(f);
        if (block == last) {
            break;
        }
    }
    at.endEditBlock();
}

int firstIndentTwips(const QTextBlock& block) {
    if (!block.isValid()) {
        return 0;
    }
    const QTextBlockFormat f = block.blockFormat();
    return twipsOf(f.leftMargin() + f.textIndent() + levelIndent(block));
}

void setFirstIndentTwips(const QTextBlock& block, QTextBlockFormat& format, int twips) {
    // The first line's offset from the other lines stays, unless that would put the other
    // lines left of the margin: then they stay at the margin.
    const int levels = twipsOf(levelIndent(block));
    const int offset = twipsOf(format.textIndent());
    int left = twips - levels - offset;
    int first = offset;
    if (left < 0) {
        left = 0;
        first = twips - levels;
    }
    format.setLeftMargin(pixelsOf(left));
    format.setTextIndent(pixelsOf(first));
}

// Every list is a bullet list: the page has no other numbering.
bool isBullet(const QTextBlock& block) {
    return block.textList() != nullptr;
}

namespace {

// The format of the paragraph's first text; none for a paragraph of pictures or no text.
std::optional<QTextCharFormat> firstTextFormat(const QTextBlock& block) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat f = it.fragment().charFormat();
        if (!f.isImageFormat()) {
            return f;
        }
    }
    return std::nullopt;
}

void setParagraphFormat(QTextCursor& at, const QTextBlock& block, const QTextCharFormat& f) {
    if (block.charFormat() != f) {
        at.setPosition(block.position());
        at.setBlockCharFormat(f);
    }
}

}  // namespace

void fitParagraphFormats(QTextCursor& cursor) {
    if (!cursor.hasSelection()) {
        return;
    }
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    QTextDocument* doc = cursor.document();
    QTextCursor at(doc);
    at.beginEditBlock();
    for (QTextBlock block = doc->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        if (block.position() < start) {
            continue;
        }
        if (const auto f = firstTextFormat(block)) {
            setParagraphFormat(at, block, *f);
        }
    }
    at.endEditBlock();
}

void setBullets(QTextCursor& cursor, bool on, const QTextCharFormat& typing) {
    QTextDocument* doc = cursor.document();
    const QTextBlock last = doc->findBlock(cursor.selectionEnd());
    QTextCursor at(doc);
    at.beginEditBlock();
    QTextList* bullets = nullptr;
    for (QTextBlock block = doc->findBlock(cursor.selectionStart()); block.isValid();
         block = block.next()) {
        const int left = twipsOf(block.blockFormat().leftMargin());
        QTextBlockFormat margin;
        if (on && block.textList() != nullptr) {
            bullets = block.textList();
        } else if (on) {
            if (bullets == nullptr) {
                at.setPosition(block.position());
                QTextListFormat format;
                format.setStyle(QTextListFormat::ListDisc);
                format.setIndent(0);
                bullets = at.createList(format);
            } else {
                bullets->add(block);
            }
            margin.setLeftMargin(pixelsOf(std::max(left, kBulletRoomTwips)));
        }
        if (on) {
            if (const auto f = firstTextFormat(block)) {
                setParagraphFormat(at, block, *f);
            } else if (block.length() == 1 && !cursor.hasSelection()) {
                setParagraphFormat(at, block, typing);
            }
        } else if (QTextList* list = block.textList()) {
            list->remove(block);
            if (left == kBulletRoomTwips) {
                margin.setLeftMargin(0);
            }
        }
        if (margin.hasProperty(QTextFormat::BlockLeftMargin)) {
            at.setPosition(block.position());
            at.mergeBlockFormat(margin);
        }
        if (block == last) {
            break;
        }
    }
    at.endEditBlock();
}

int findText(const QTextDocument& doc, const QString& text, int start, int length,
             TSearchTypes options, int* foundLength) {
    const int textLength = doc.characterCount() - 1;
    start = std::max(start, 0);
    const int end =
        length < 0 ? textLength : int(std::min<qint64>(qint64(start) + length, textLength));
    if (text.isEmpty() || start >= end) {
        return -1;
    }
    // The whole text by character position: paragraph ends are line feeds.
    QString all(textLength, u'\n');
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QString t = block.text();
        const int at = block.position();
        const int n = std::min(int(t.size()), textLength - at);
        if (n > 0) {
            all.replace(at, n, t.left(n));
        }
    }
    // A non-breaking space is a blank, as in the lines the search takes its excerpts from.
    all.replace(QChar::Nbsp, u' ');
    QString needle = text;
    needle.replace(QChar::Nbsp, u' ');
    // Both sides composed, so that an accent kept as a mark of its own is found by the letter
    // typed with it, and the other way round; positions found are the page's own.
    const qb::text::ComposedText page(QStringView(all).left(end));
    const QString composedNeedle = qb::text::ComposedText(needle).text();
    const QString& haystack = page.text();
    const Qt::CaseSensitivity cs =
        options.testFlag(TSearchType::MatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype p = haystack.indexOf(composedNeedle, page.composedAt(start), cs); p >= 0;
         p = haystack.indexOf(composedNeedle, p + 1, cs)) {
        const qsizetype after = p + composedNeedle.size();
        const int from = page.originOf(p);
        const int to = page.originOf(after);
        if (options.testFlag(TSearchType::WholeWord)) {
            const bool startsWord = from == 0 || !isWordCharacter(all.at(from - 1));
            const bool endsWord = to >= all.size() || !isWordCharacter(all.at(to));
            if (!startsWord || !endsWord) {
                continue;
            }
        }
        if (foundLength != nullptr) {
            *foundLength = to - from;
        }
        return from;
    }
    return -1;
}

}  // namespace qb::richedit
