#pragma once
// The tokenizer and interpreter that the reader and the paragraph extractor share, so that
// both lay out the same paragraphs from the same bytes.

#include <QByteArray>
#include <QRgb>
#include <QString>
#include <QTextFormat>

namespace qb::rtf {

// Start: no alignment given, the paragraph's own start side (the left of a left-to-right one,
// the right of a right-to-left one); Left and Right are the sides of the page.
enum class Align { Start, Left, Center, Right, Justify };

// The character format as the RTF states it, resolved through the font and colour tables.
struct CharProps {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    QString family;  // empty: none given
    int halfPoints = 24;
    bool automatic = true;  // the colour
    QRgb colour = 0;

    bool operator==(const CharProps&) const = default;
};

struct ParaProps {
    Align align = Align::Start;
    int firstIndent = 0;  // twips, as \fi
    int leftIndent = 0;   // \li
    int rightIndent = 0;  // \ri
    bool bullet = false;
    bool rightToLeft = false;  // \rtlpar (\ltrpar and \pard: left to right)

    bool operator==(const ParaProps&) const = default;
};

// The largest goal size of a picture that the reader takes, in twips (88 inches).
inline constexpr int kMaxPictureGoal = 31680 * 4;

// A PNG or JPEG picture of the text, with its sizes in RTF units.
struct Picture {
    QByteArray data;
    QByteArray kind;  // "png" or "jpeg"
    int width = 0;    // \picw, \pich: pixels for these kinds
    int height = 0;
    int goalWidth = 0;  // \picwgoal, \pichgoal: twips
    int goalHeight = 0;
    int scaleX = 100;
    int scaleY = 100;
};

// What the interpreter reports. Text never holds paragraph breaks, only tabs and
// QChar::LineSeparator among the control characters. Every paragraph but the first is
// announced by startParagraph before its content; endParagraph closes the paragraph that an
// RTF paragraph mark ends (empty when it holds nothing) and the unterminated last one.
class Sink {
  public:
    virtual ~Sink() = default;
    virtual void text(const QString& text, const CharProps& format) = 0;
    virtual void picture(const Picture& picture) = 0;
    virtual void startParagraph() = 0;
    virtual void endParagraph(const ParaProps& paragraph, const CharProps& format, bool empty) = 0;
    // A sink that takes text without formats may offer the string its text goes to, so that
    // printable ASCII text is appended there at once instead of through text().
    virtual QString* plainText() { return nullptr; }
};

// The formats that the reader gives text and paragraphs in a document.
QTextCharFormat charFormatOf(const CharProps& props);
QTextBlockFormat blockFormatOf(const ParaProps& props);

// Interprets data (which begins with "{\rtf"). With wantFormats false the sink is handed
// default formats, which is all a plain-text consumer needs and saves resolving them.
void parse(const QByteArray& data, Sink& sink, bool wantFormats);

// Whether a character may stand in text: tabs, but no other control characters, no paragraph
// or frame marks of QTextDocument, no object characters and no noncharacters.
bool isTextCharacter(char16_t c);

// Whether the bytes are a picture of the kind they claim: the reader shows only those.
bool isShowablePicture(const QByteArray& data, const QByteArray& kind);

}  // namespace qb::rtf
