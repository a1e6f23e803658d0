#include "platform/rtf/Rtf.h"

#include "platform/rtf/CodePage.h"
#include "platform/rtf/RtfParser.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

namespace qb::rtf {

namespace {

constexpr int kHexPerLine = 128;

// RTF being written: control words need a blank before text that would run into them.
class Out {
  public:
    void word(const char* w) {
        bytes_.append(w);
        delimit_ = true;
    }
    void word(const char* w, int n) {
        bytes_.append(w);
        char digits[16];  // the number written in place: no string made for each word
        const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
        bytes_.append(digits, end - digits);
        delimit_ = true;
    }
    void raw(const char* s) {
        bytes_.append(s);
        delimit_ = false;
    }
    void raw(const QByteArray& s) {
        bytes_.append(s);
        delimit_ = false;
    }
    void literal(char c) {
        if (delimit_) {
            bytes_.append(' ');
            delimit_ = false;
        }
        bytes_.append(c);
    }
    // Text as 7-bit ASCII: cp1252 bytes as \'hh, everything else as \uN with a '?' fallback.
    void text(QStringView s, bool fontName = false) {
        const char16_t* const chars = s.utf16();
        const qsizetype size = s.size();
        for (qsizetype i = 0; i < size;) {
            // Most of a diary's text goes out as it is: a run of such characters at once.
            qsizetype end = i;
            while (end < size && isPlain(chars[end], fontName)) {
                ++end;
            }
            if (end > i) {
                plain(chars + i, end - i);
                i = end;
                continue;
            }
            const char16_t c = chars[i++];
            if (QChar::isHighSurrogate(c)) {
                if (i < size && QChar::isLowSurrogate(chars[i])) {
                    unicode(c);
                    unicode(chars[i++]);
                }
                continue;
            }
            if (QChar::isLowSurrogate(c)) {
                continue;  // half a pair: no character
            }
            character(c, fontName);
        }
    }
    void reserve(qsizetype size) { bytes_.reserve(size); }
    QByteArray& bytes() { return bytes_; }

  private:
    // A character that stands for itself in the output.
    static bool isPlain(char16_t c, bool fontName) {
        return c >= 0x20 && c < 0x7F && c != u'\\' && c != u'{' && c != u'}' &&
               !(fontName && c == u';');
    }
    void plain(const char16_t* chars, qsizetype count) {
        if (delimit_) {
            bytes_.append(' ');
            delimit_ = false;
        }
        const qsizetype at = bytes_.size();
        bytes_.resize(at + count);
        char* out = bytes_.data() + at;
        for (qsizetype i = 0; i < count; ++i) {
            out[i] = static_cast<char>(chars[i]);
        }
    }
    void character(char16_t c, bool fontName) {
        switch (c) {
            case u'\\':
            case u'{':
            case u'}':
                bytes_.append('\\');
                bytes_.append(static_cast<char>(c));
                delimit_ = false;
                return;
            case u'\t':
                word("\\tab");
                return;
            case QChar::LineSeparator:
                word("\\line");
                return;
            case QChar::Nbsp:
                raw("\\~");
                return;
            default:
                break;
        }
        if (c < 0x20 || c == 0x7F || c == 0x2029 || c == QChar::ObjectReplacementCharacter ||
            (c >= 0xFDD0 && c <= 0xFDEF) || c >= 0xFFFE) {
            return;
        }
        if (c < 0x7F && !(fontName && c == u';')) {
            literal(static_cast<char>(c));
            return;
        }
        if (const unsigned char b = c < 0x80 ? static_cast<unsigned char>(c) : cp1252ByteOf(c);
            b != 0) {
            static const char hex[] = "0123456789abcdef";
            const char escaped[] = {'\\', '\'', hex[b >> 4], hex[b & 15], 0};
            raw(escaped);
            return;
        }
        unicode(c);
    }
    // The '?' fallback goes as \'3f: pandoc drops a blank that follows a bare '?'.
    void unicode(char16_t c) {
        word("\\u", static_cast<int16_t>(c));
        raw("\\'3f");
    }

    QByteArray bytes_;
    bool delimit_ = false;
};

struct CharState {
    int font = 0;
    int halfPoints = 24;
    int colour = 0;  // 0: automatic
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
};

struct PictureData {
    QByteArray bytes;
    QByteArray kind;
};

QByteArray pngOf(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) {
        return {};
    }
    return png;
}

std::optional<PictureData> pictureOf(const QTextDocument& doc, const QTextImageFormat& format) {
    PictureData p{format.property(kPictureBytes).toByteArray(),
                  format.property(kPictureKind).toByteArray()};
    if (isShowablePicture(p.bytes, p.kind)) {
        return p;
    }
    const QVariant resource = doc.resource(QTextDocument::ImageResource, QUrl(format.name()));
    QImage image;
    switch (resource.typeId()) {
        case QMetaType::QByteArray: {
            const QByteArray bytes = resource.toByteArray();
            for (const char* kind : {"png", "jpeg"}) {
                if (isShowablePicture(bytes, kind)) {
                    return PictureData{bytes, kind};
                }
            }
            image = QImage::fromData(bytes);
            break;
        }
        case QMetaType::QImage:
            image = resource.value<QImage>();
            break;
        case QMetaType::QPixmap:
            image = resource.value<QPixmap>().toImage();
            break;
        default:
            break;
    }
    QByteArray png = pngOf(image);
    if (png.isEmpty()) {
        return std::nullopt;
    }
    return PictureData{png, "png"};
}

// A paragraph as read() lays it out in a document, taken straight off the RTF: its format,
// whether it is in a list, the character format of the block (none: the empty format) and its
// runs of text, each in the format the reader gives it.
struct ReadParagraph {
    struct Run {
        CharProps props;
        qsizetype from;  // where its text lies in the text of all paragraphs
        qsizetype length;
    };
    ParaProps format;
    std::optional<CharProps> charFormat;
    std::vector<Run> runs;
};

// Builds the paragraphs the way the reader's document sink builds blocks, so that the writer
// gives the same bytes from them as from that document. Pictures are left to the document.
class ParagraphSink : public Sink {
  public:
    ParagraphSink() { paragraphs_.emplace_back(); }

    void text(const QString& text, const CharProps& props) override {
        if (!haveFirst_) {
            first_ = props;
            haveFirst_ = true;
        }
        if (text.isEmpty()) {
            return;
        }
        // The document joins text of one format that follows on into one fragment.
        // Runs follow on in text_, so a run of the last format only grows.
        std::vector<ReadParagraph::Run>& runs = paragraphs_.back().runs;
        if (!runs.empty() && runs.back().props == props) {
            runs.back().length += text.size();
        } else {
            runs.push_back({props, text_.size(), text.size()});
        }
        text_ += text;
    }
    void picture(const Picture&) override { hasPicture_ = true; }
    void startParagraph() override {
        paragraphs_.emplace_back();
        haveFirst_ = false;
    }
    void endParagraph(const ParaProps& paragraph, const CharProps& format, bool empty) override {
        ReadParagraph& p = paragraphs_.back();
        p.format = paragraph;
        if (empty) {
            p.charFormat = format;
        } else if (haveFirst_) {
            p.charFormat = first_;
        }
        haveFirst_ = false;
    }

    bool hasPicture() const { return hasPicture_; }
    const std::vector<ReadParagraph>& paragraphs() const { return paragraphs_; }
    const QString& text() const { return text_; }

  private:
    std::vector<ReadParagraph> paragraphs_;
    QString text_;     // of all runs, one after the other
    CharProps first_;  // of the current paragraph's first text
    bool haveFirst_ = false;
    bool hasPicture_ = false;
};

class Writer {
  public:
    Writer(const QFont& defaultFont, qreal indentWidth, const QTextDocument* doc = nullptr)
        : doc_(doc),
          defaultFamily_(defaultFont.family()),
          defaultPoints_(defaultFont.pointSizeF()),
          indentWidth_(indentWidth) {}

    QByteArray run(const QTextDocument& doc);
    QByteArray run(const std::vector<ReadParagraph>& paragraphs, const QString& text);

  private:
    CharState stateOf(const QTextCharFormat& f);
    CharState stateOf(const CharProps& props);
    // A face (empty: the default one) and a size (0 or less: the default one).
    CharState stateFor(const QString& family, double points);
    int colourIndex(QRgb colour);
    // listIndent: the indent levels of the block's list; none when it is in no list.
    ParaProps paraOf(const QTextBlockFormat& f, std::optional<double> listIndent) const;
    int fontIndex(const QString& name, int charset = 0);
    void start(const CharState& first, qsizetype characters);
    void beginBlock(const ParaProps& p);
    // False for a run without text.
    bool textRun(const CharState& s, QStringView text);
    void endBlock(bool empty, const CharState& blockState);
    void block(const QTextBlock& block);
    void switchTo(const CharState& s);
    void paragraphFormat(const ParaProps& p);
    void picture(const QTextImageFormat& format);
    QByteArray header();
    QByteArray finish();

    const QTextDocument* doc_;  // for the resources of pictures
    QString defaultFamily_;
    qreal defaultPoints_;
    qreal indentWidth_;
    Out body_;
    std::vector<std::pair<QString, int>> fonts_;  // name and charset
    std::vector<QRgb> colours_;
    CharState current_;
    std::optional<ParaProps> para_;
};

int Writer::fontIndex(const QString& name, int charset) {
    for (size_t i = 0; i < fonts_.size(); ++i) {
        if (fonts_[i].first == name && fonts_[i].second == charset) {
            return static_cast<int>(i);
        }
    }
    fonts_.emplace_back(name, charset);
    return static_cast<int>(fonts_.size() - 1);
}

CharState Writer::stateOf(const QTextCharFormat& f) {
    QString family;
    const QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
    if (!families.isEmpty()) {
        family = families.front();
    }
    if (family.isEmpty()) {
        family = f.property(QTextFormat::FontFamily).toString();
    }
    double points = 0;
    if (f.hasProperty(QTextFormat::FontPointSize)) {
        points = f.fontPointSize();
    } else if (f.hasProperty(QTextFormat::FontPixelSize)) {
        points = f.intProperty(QTextFormat::FontPixelSize) * 0.75;
    }
    CharState s = stateFor(family, points);
    s.bold = f.fontWeight() > QFont::Medium;
    s.italic = f.fontItalic();
    s.underline = f.hasProperty(QTextFormat::TextUnderlineStyle)
                      ? f.underlineStyle() != QTextCharFormat::NoUnderline
                      : f.fontUnderline();
    s.strike = f.fontStrikeOut();
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush) {
        s.colour = colourIndex(f.foreground().color().rgb());
    }
    return s;
}

// What stateOf gives for the format the reader makes of props.
CharState Writer::stateOf(const CharProps& props) {
    CharState s = stateFor(props.family, props.halfPoints / 2.0);
    s.bold = props.bold;
    s.italic = props.italic;
    s.underline = props.underline;
    s.strike = props.strike;
    if (!props.automatic) {
        s.colour = colourIndex(props.colour);
    }
    return s;
}

CharState Writer::stateFor(const QString& family, double points) {
    CharState s;
    s.font = fontIndex(family.isEmpty() ? defaultFamily_ : family);
    if (points <= 0) {
        points = defaultPoints_;
    }
    s.halfPoints = points > 0 ? std::clamp(static_cast<int>(std::lround(points * 2)), 2, 3276) : 24;
    return s;
}

int Writer::colourIndex(QRgb colour) {
    const QRgb rgb = colour | 0xFF000000u;
    auto it = std::find(colours_.begin(), colours_.end(), rgb);
    if (it == colours_.end()) {
        colours_.push_back(rgb);
        it = colours_.end() - 1;
    }
    return static_cast<int>(it - colours_.begin()) + 1;
}

ParaProps Writer::paraOf(const QTextBlockFormat& f, std::optional<double> listIndent) const {
    ParaProps p;
    const Qt::Alignment a = f.alignment() & Qt::AlignHorizontal_Mask;
    p.rightToLeft = f.layoutDirection() == Qt::RightToLeft;
    if (a & Qt::AlignHCenter) {
        p.align = Align::Center;
    } else if (a & Qt::AlignJustify) {
        p.align = Align::Justify;
    } else if (p.rightToLeft) {
        // Written as the page's side it shows on; none given stays the paragraph's start.
        if (f.hasProperty(QTextFormat::BlockAlignment)) {
            const bool right = (a & Qt::AlignRight) != 0;
            p.align = right == ((a & Qt::AlignAbsolute) != 0) ? Align::Right : Align::Left;
        }
    } else if ((a & Qt::AlignRight) && !(a & Qt::AlignAbsolute && a & Qt::AlignLeft)) {
        p.align = Align::Right;
    }
    double levels = f.indent();
    if (listIndent) {
        levels += *listIndent;
        p.bullet = true;
    }
    auto twips = [](double px) {
        return std::clamp(static_cast<int>(std::lround(px * kTwipsPerPixel)), -31680, 31680);
    };
    p.firstIndent = twips(f.textIndent());
    p.leftIndent = twips(f.leftMargin() + levels * indentWidth_);
    p.rightIndent = twips(f.rightMargin());
    return p;
}

void Writer::switchTo(const CharState& s) {
    CharState& c = current_;
    if (s.font != c.font) {
        body_.word("\\f", s.font);
    }
    if (s.halfPoints != c.halfPoints) {
        body_.word("\\fs", s.halfPoints);
    }
    if (s.colour != c.colour) {
        body_.word("\\cf", s.colour);
    }
    if (s.bold != c.bold) {
        body_.word(s.bold ? "\\b" : "\\b0");
    }
    if (s.italic != c.italic) {
        body_.word(s.italic ? "\\i" : "\\i0");
    }
    if (s.underline != c.underline) {
        body_.word(s.underline ? "\\ul" : "\\ulnone");
    }
    if (s.strike != c.strike) {
        body_.word(s.strike ? "\\strike" : "\\strike0");
    }
    c = s;
}

void Writer::paragraphFormat(const ParaProps& p) {
    body_.word("\\pard");
    if (p.bullet) {
        body_.raw("{\\*\\pn\\pnlvlblt");
        body_.word("\\pnf", fontIndex(QStringLiteral("Symbol"), 2));
        body_.word("\\pnindent0");
        body_.raw("{\\pntxtb\\'b7}}");
    }
    if (p.rightToLeft) {
        body_.word("\\rtlpar");
    }
    switch (p.align) {
        case Align::Start:
            break;
        case Align::Left:
            if (p.rightToLeft) {
                body_.word("\\ql");
            }
            break;
        case Align::Center:
            body_.word("\\qc");
            break;
        case Align::Right:
            body_.word("\\qr");
            break;
        case Align::Justify:
            body_.word("\\qj");
            break;
    }
    if (p.firstIndent != 0) {
        body_.word("\\fi", p.firstIndent);
    }
    if (p.leftIndent != 0) {
        body_.word("\\li", p.leftIndent);
    }
    if (p.rightIndent != 0) {
        body_.word("\\ri", p.rightIndent);
    }
}

void Writer::picture(const QTextImageFormat& format) {
    const auto data = pictureOf(*doc_, format);
    if (!data) {
        return;
    }
    QBuffer buffer;
    buffer.setData(data->bytes);
    buffer.open(QIODevice::ReadOnly);
    const QSize pixels = QImageReader(&buffer).size();
    const int w = std::max(pixels.width(), 0);
    const int h = std::max(pixels.height(), 0);
    const int goalW =
        format.width() > 0 ? static_cast<int>(std::lround(format.width() * 15)) : w * 15;
    const int goalH =
        format.height() > 0 ? static_cast<int>(std::lround(format.height() * 15)) : h * 15;
    body_.raw("{\\pict");
    body_.word(data->kind == "png" ? "\\pngblip" : "\\jpegblip");
    body_.word("\\picw", w);
    body_.word("\\pich", h);
    body_.word("\\picwgoal", goalW);
    body_.word("\\pichgoal", goalH);
    body_.raw("\r\n");
    const QByteArray hex = data->bytes.toHex();
    QByteArray& out = body_.bytes();
    out.reserve(out.size() + hex.size() + hex.size() / kHexPerLine * 2 + 8);
    for (qsizetype i = 0; i < hex.size(); i += kHexPerLine) {
        out.append(hex.constData() + i, std::min<qsizetype>(kHexPerLine, hex.size() - i));
        out.append("\r\n");
    }
    body_.raw("}");
}

void Writer::beginBlock(const ParaProps& p) {
    if (!para_ || !(*para_ == p)) {
        paragraphFormat(p);
        para_ = p;
    }
    if (p.bullet) {
        body_.raw("{\\pntext");
        body_.word("\\f", fontIndex(QStringLiteral("Symbol"), 2));
        body_.raw("\\'b7");
        body_.word("\\tab");
        body_.raw("}");
    }
}

bool Writer::textRun(const CharState& s, QStringView text) {
    if (text.isEmpty()) {
        return false;
    }
    switchTo(s);
    body_.text(text);
    return true;
}

void Writer::endBlock(bool empty, const CharState& blockState) {
    if (empty) {
        switchTo(blockState);
    }
    body_.word("\\par");
    body_.raw("\r\n");
}

void Writer::block(const QTextBlock& block) {
    const QTextList* list = block.textList();
    beginBlock(paraOf(block.blockFormat(),
                      list ? std::optional<double>(list->format().indent()) : std::nullopt));
    bool empty = true;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat f = fragment.charFormat();
        const QString text = fragment.text();
        if (f.isImageFormat()) {
            for (qsizetype i = 0; i < text.size(); ++i) {
                picture(f.toImageFormat());
            }
            empty = false;
            continue;
        }
        if (!text.isEmpty()) {
            textRun(stateOf(f), text);
            empty = false;
        }
    }
    if (empty) {
        endBlock(true, stateOf(block.charFormat()));
    } else {
        endBlock(false, CharState{});
    }
}

QByteArray Writer::header() {
    Out h;
    h.raw("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl");
    for (size_t i = 0; i < fonts_.size(); ++i) {
        h.raw("{");
        h.word("\\f", static_cast<int>(i));
        h.word("\\fnil");
        h.word("\\fcharset", fonts_[i].second);
        h.text(fonts_[i].first, true);
        h.raw(";}");
    }
    h.raw("}\r\n");
    if (!colours_.empty()) {
        h.raw("{\\colortbl ;");
        for (QRgb c : colours_) {
            h.word("\\red", qRed(c));
            h.word("\\green", qGreen(c));
            h.word("\\blue", qBlue(c));
            h.raw(";");
        }
        h.raw("}\r\n");
    }
    h.raw("{\\*\\generator Quillbrook;}\\viewkind4\\uc1");
    return std::move(h.bytes());
}

// The document's first face is font 0, the face that text without a \\f takes.
void Writer::start(const CharState& first, qsizetype characters) {
    current_ = CharState{};
    current_.font = first.font;
    colours_.clear();
    // Text goes out about byte for character, plus the words of its formats.
    body_.reserve(characters + characters / 4 + 256);
}

QByteArray Writer::finish() {
    QByteArray out = header();
    out.append(body_.bytes());
    out.append("}\r\n");
    return out;
}

QByteArray Writer::run(const QTextDocument& doc) {
    const QTextBlock first = doc.begin();
    QTextCharFormat firstFormat = first.charFormat();
    for (auto it = first.begin(); !it.atEnd(); ++it) {
        if (!it.fragment().charFormat().isImageFormat()) {
            firstFormat = it.fragment().charFormat();
            break;
        }
    }
    start(stateOf(firstFormat), doc.characterCount());
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        block(b);
    }
    return finish();
}

QByteArray Writer::run(const std::vector<ReadParagraph>& paragraphs, const QString& text) {
    const ReadParagraph& first = paragraphs.front();
    const std::optional<CharProps>& firstProps =
        first.runs.empty() ? first.charFormat : std::optional<CharProps>(first.runs.front().props);
    start(firstProps ? stateOf(*firstProps) : stateOf(QTextCharFormat()), text.size());
    for (const ReadParagraph& p : paragraphs) {
        // A list of the reader's has no indent levels of its own.
        beginBlock(paraOf(blockFormatOf(p.format),
                          p.format.bullet ? std::optional<double>(0.0) : std::nullopt));
        bool empty = true;
        for (const ReadParagraph::Run& r : p.runs) {
            if (r.length > 0) {
                textRun(stateOf(r.props), QStringView(text).mid(r.from, r.length));
                empty = false;
            }
        }
        if (empty) {
            endBlock(true, p.charFormat ? stateOf(*p.charFormat) : stateOf(QTextCharFormat()));
        } else {
            endBlock(false, CharState{});
        }
    }
    return finish();
}

}  // namespace

QByteArray write(const QTextDocument& doc) {
    return Writer(doc.defaultFont(), doc.indentWidth(), &doc).run(doc);
}

std::optional<QByteArray> rewrite(const QByteArray& data, const QFont& defaultFont) {
    if (!data.startsWith("{\\rtf")) {
        return std::nullopt;
    }
    ParagraphSink sink;
    parse(data, sink, true);
    if (sink.hasPicture()) {
        return std::nullopt;
    }
    // Indent widths multiply only the indent levels of lists, and the reader's lists have none.
    return Writer(defaultFont, 0, nullptr).run(sink.paragraphs(), sink.text());
}

}  // namespace qb::rtf
