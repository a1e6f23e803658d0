#include "platform/rtf/Rtf.h"

#include "platform/rtf/CodePage.h"
#include "platform/rtf/RtfParser.h"

#include <QCryptographicHash>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <limits>

namespace qb::rtf {

namespace {

bool isRtf(const QByteArray& data) {
    return data.startsWith("{\\rtf");
}

// Text that is not RTF: UTF-8 when it is valid UTF-8, else the Windows code page.
QString plainText(const QByteArray& data) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(data);
    if (utf8.hasError()) {
        text.clear();
        CodePageDecoder(1252).decode(data, text);
    }
    if (text.startsWith(QChar::ByteOrderMark)) {
        text.remove(0, 1);
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    // The same characters as in RTF text, so that plain text saves as what it shows.
    text.removeIf([](QChar c) { return c != u'\n' && !isTextCharacter(c.unicode()); });
    return text;
}

}  // namespace

QTextCharFormat charFormatOf(const CharProps& props) {
    QTextCharFormat f;
    if (!props.family.isEmpty()) {
        f.setFontFamilies(QStringList{props.family});
    }
    f.setFontPointSize(props.halfPoints / 2.0);
    if (props.bold) {
        f.setFontWeight(QFont::Bold);
    }
    if (props.italic) {
        f.setFontItalic(true);
    }
    if (props.underline) {
        f.setFontUnderline(true);
    }
    if (props.strike) {
        f.setFontStrikeOut(true);
    }
    if (!props.automatic) {
        f.setForeground(QColor::fromRgb(props.colour));
    }
    return f;
}

QTextBlockFormat blockFormatOf(const ParaProps& props) {
    QTextBlockFormat f;
    // The rich edit mirrors left and right in a right-to-left paragraph unless told that they
    // are the page's.
    const Qt::Alignment page = props.rightToLeft ? Qt::AlignAbsolute : Qt::Alignment();
    if (props.rightToLeft) {
        f.setLayoutDirection(Qt::RightToLeft);
    }
    switch (props.align) {
        case Align::Start:
            break;
        case Align::Left:
            if (props.rightToLeft) {
                f.setAlignment(Qt::AlignLeft | page);
            }
            break;
        case Align::Center:
            f.setAlignment(Qt::AlignHCenter);
            break;
        case Align::Right:
            f.setAlignment(Qt::AlignRight | page);
            break;
        case Align::Justify:
            f.setAlignment(Qt::AlignJustify);
            break;
    }
    if (props.firstIndent != 0) {
        f.setTextIndent(props.firstIndent / kTwipsPerPixel);
    }
    if (props.leftIndent != 0) {
        f.setLeftMargin(props.leftIndent / kTwipsPerPixel);
    }
    if (props.rightIndent != 0) {
        f.setRightMargin(props.rightIndent / kTwipsPerPixel);
    }
    return f;
}

namespace {

// A picture's shown size in twips: its goal, else its stored pixel size, scaled. The writer
// stores it as the goal, unscaled; held to the largest goal that the reader takes, it reads
// back as the same size after every save.
int shownTwips(int goal, int pixels, int scale) {
    const std::int64_t twips = goal > 0 ? goal : std::int64_t{pixels} * 15;
    return static_cast<int>(std::min<std::int64_t>(twips * scale / 100, kMaxPictureGoal));
}

// Thrown by a sink to stop the parse when the text passes its length.
struct TooLong {};

class DocumentSink : public Sink {
  public:
    DocumentSink(QTextDocument& doc, qsizetype maxCharacters)
        : doc_(doc), cursor_(&doc), room_(maxCharacters) {}

    void text(const QString& text, const CharProps& format) override {
        take(text.size());
        if (!(format == lastProps_) || !haveLast_) {
            lastProps_ = format;
            lastFormat_ = charFormatOf(format);
            haveLast_ = true;
        }
        cursor_.insertText(text, lastFormat_);
        if (!haveFirst_) {
            firstFormat_ = lastFormat_;
            haveFirst_ = true;
        }
    }

    void picture(const Picture& picture) override {
        take(1);
        const QString name =
            QLatin1String(kPictureScheme) + u':' +
            QString::fromLatin1(
                QCryptographicHash::hash(picture.data, QCryptographicHash::Sha1).toHex()) +
            u'.' + QString::fromLatin1(picture.kind);
        doc_.addResource(QTextDocument::ImageResource, QUrl(name), picture.data);
        QTextImageFormat f;
        f.setName(name);
        const int shownW = shownTwips(picture.goalWidth, picture.width, picture.scaleX);
        const int shownH = shownTwips(picture.goalHeight, picture.height, picture.scaleY);
        if (shownW > 0) {
            f.setWidth(shownW / kTwipsPerPixel);
        }
        if (shownH > 0) {
            f.setHeight(shownH / kTwipsPerPixel);
        }
        f.setProperty(kPictureBytes, picture.data);
        f.setProperty(kPictureKind, picture.kind);
        cursor_.insertImage(f);
    }

    void startParagraph() override {
        take(1);
        cursor_.insertBlock(QTextBlockFormat(), QTextCharFormat());
        haveFirst_ = false;
    }

    void endParagraph(const ParaProps& paragraph, const CharProps& format, bool empty) override {
        cursor_.setBlockFormat(blockFormatOf(paragraph));
        // Qt draws a bullet in the paragraph's own character format: the one of its first
        // text, as while it was typed, else the one its mark was written in.
        if (empty) {
            cursor_.setBlockCharFormat(charFormatOf(format));
        } else if (haveFirst_) {
            cursor_.setBlockCharFormat(firstFormat_);
        }
        haveFirst_ = false;
        if (paragraph.bullet) {
            const QTextBlock block = cursor_.block();
            if (list_ != nullptr && block.previous().isValid() &&
                block.previous().textList() == list_) {
                list_->add(block);
            } else {
                QTextListFormat lf;
                lf.setStyle(QTextListFormat::ListDisc);
                lf.setIndent(0);
                list_ = cursor_.createList(lf);
            }
        } else {
            list_ = nullptr;
        }
    }

  private:
    void take(qsizetype characters) {
        room_ -= characters;
        if (room_ < 0) {
            throw TooLong{};
        }
    }

    QTextDocument& doc_;
    QTextCursor cursor_;
    qsizetype room_;
    QTextList* list_ = nullptr;
    CharProps lastProps_;
    QTextCharFormat lastFormat_;
    bool haveLast_ = false;
    QTextCharFormat firstFormat_;  // of the current paragraph's first text
    bool haveFirst_ = false;
};

// The lines of the text as QTextDocument::toPlainText would give them.
class LinesSink : public Sink {
  public:
    void text(const QString& text, const CharProps&) override {
        const QStringView rest(text);
        qsizetype from = 0;
        for (;;) {
            const qsizetype at = rest.indexOf(QChar::LineSeparator, from);
            const QStringView part = rest.mid(from, (at < 0 ? rest.size() : at) - from);
            QString& line = lines_.back();
            const qsizetype old = line.size();
            line.append(part);
            if (part.contains(QChar::Nbsp)) {
                std::replace(line.begin() + old, line.end(), QChar(QChar::Nbsp), QChar(u' '));
            }
            if (at < 0) {
                return;
            }
            lines_.append(QString());
            from = at + 1;
        }
    }
    void picture(const Picture&) override {
        lines_.back().append(QChar::ObjectReplacementCharacter);
    }
    void startParagraph() override { lines_.append(QString()); }
    QString* plainText() override { return &lines_.back(); }
    void endParagraph(const ParaProps&, const CharProps&, bool) override {}

    QStringList take() { return std::move(lines_); }

  private:
    QStringList lines_{QString()};
};

}  // namespace

void read(const QByteArray& data, QTextDocument& doc) {
    read(data, doc, std::numeric_limits<qsizetype>::max());
}

bool read(const QByteArray& data, QTextDocument& doc, qsizetype maxCharacters) {
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    bool within = true;
    if (!isRtf(data)) {
        const QString text = plainText(data);
        within = text.size() <= maxCharacters;
        if (within) {
            doc.setPlainText(text);
        }
    } else {
        // One edit block for the whole text: outside one, every insertion lays its line out
        // again to place the cursor, most of the reading's time.
        QTextCursor block(&doc);
        block.beginEditBlock();
        try {
            DocumentSink sink(doc, maxCharacters);
            parse(data, sink, true);
        } catch (const TooLong&) {
            within = false;
        }
        block.endEditBlock();
        if (!within) {
            doc.clear();
        }
    }
    doc.setUndoRedoEnabled(undo);
    doc.setModified(false);
    return within;
}

bool asciiTextIsInBytes(QByteArrayView data) {
    if (!data.startsWith("{\\rtf")) {
        return false;
    }
    // Every code page the reader knows keeps bytes below 128 as they are; only escapes and
    // bytes above 127 bring other characters, and the control words that stand for a character
    // stand for none in that range. This runs over every text of a search: eight bytes a step.
    const char* const begin = data.data();
    const char* const end = begin + data.size();
    std::uint64_t high = 0;
    const char* at = begin;
    for (; end - at >= 8; at += 8) {
        std::uint64_t word;
        std::memcpy(&word, at, sizeof word);
        high |= word;
    }
    for (; at != end; ++at) {
        high |= static_cast<unsigned char>(*at);
    }
    if ((high & 0x8080808080808080ull) != 0) {
        return false;
    }
    for (at = begin; (at = static_cast<const char*>(std::memchr(at, '\\', end - at))) != nullptr;
         at += 2) {
        if (at + 1 == end) {
            break;
        }
        const char next = at[1];
        if (next == '\'' ||
            (next == 'u' && (at + 2 == end || !std::isalpha(static_cast<unsigned char>(at[2]))))) {
            return false;
        }
        // Past the symbol or the first letter of the word: an escaped backslash starts nothing.
    }
    return true;
}

QStringList paragraphs(const QByteArray& data) {
    if (!isRtf(data)) {
        QString text = plainText(data);
        text.replace(QChar::Nbsp, u' ');
        text.replace(QChar::LineSeparator, u'\n');
        return text.split(u'\n');
    }
    LinesSink sink;
    parse(data, sink, false);
    return sink.take();
}

}  // namespace qb::rtf
