#pragma once
// Our RTF reader and writer: the stored form of every day and document text.
//
// How a QTextDocument holds what the RTF holds (the rich-edit control follows the same rules):
// - face: the first of QTextFormat::FontFamilies, else the document's default font;
// - size: QTextCharFormat::fontPointSize in half points, else the default font's;
// - bold: a weight above QFont::Medium; underline: any underline style;
// - colour: the foreground brush; no foreground property at all is the automatic colour;
// - indents: textIndent is \fi, leftMargin plus the block's and its list's indent levels is
//   \li, rightMargin is \ri, all in layout pixels at 96 per inch (15 twips each);
// - bullets: a block in a QTextList (any list is written as bullets);
// - a line break inside a paragraph is QChar::LineSeparator;
// - pictures: a QTextImageFormat whose kPictureBytes / kPictureKind properties carry the PNG
//   or JPEG file bytes; without them, the image resource of its name (encoded bytes, QImage
//   or QPixmap) is written as PNG; a picture without either is left out.

#include <QByteArray>
#include <QStringList>
#include <QTextFormat>

#include <optional>
#include <string>

class QFont;
class QTextDocument;

namespace qb::rtf {

// Replaces the content of doc with the text read from data. A text that does not begin with
// "{\rtf" is taken as plain text. Never throws on malformed input.
void read(const QByteArray& data, QTextDocument& doc);
// The same, unless the text has more than maxCharacters characters (a paragraph end and a
// picture count one each, as in QTextDocument::characterCount without its final end): then
// reading stops there, doc is left empty and the result is false.
bool read(const QByteArray& data, QTextDocument& doc, qsizetype maxCharacters);

// The whole document as RTF: 7-bit ASCII, readable by WordPad, Word, LibreOffice and unrtf.
QByteArray write(const QTextDocument& doc);

// What write() gives for a document that read(data) filled and whose default font is
// defaultFont, without building the document: for writing thousands of texts out again.
// nullopt for a text that is not RTF or holds a picture; those take read() and write().
std::optional<QByteArray> rewrite(const QByteArray& data, const QFont& defaultFont);

// The plain paragraphs of data, exactly as read() would lay them out in the editor (one string
// per paragraph), without building a document: for search and excerpts.
// Precisely: read(data, doc); doc.toPlainText().split(u'\n') — a line break inside a
// paragraph starts a new line here, as in an editor without word wrap, a non-breaking space
// is a blank, and a picture is U+FFFC.
QStringList paragraphs(const QByteArray& data);

// True when every character from "!" to "~" that paragraphs(data) gives stands among the bytes
// of data itself: RTF of 7-bit bytes without \' and \u escapes, whose text is its own bytes. A
// search can then pass over a text that lacks a character it looks for without reading it.
bool asciiTextIsInBytes(QByteArrayView data);

// The text of data followed without the parse, for RTF whose text is its own printable ASCII
// bytes: the characters of every line paragraphs(data) gives, one line after the other, with a
// character outside ASCII as the byte 0x80 and a picture left out. False, with out unspecified,
// where that needs the parse: a byte above 127 or a \' escape in the text, \u, hidden text, a
// list's mark, a code page that spells ASCII otherwise, or data that is no RTF.
bool asciiTextWithoutParse(QByteArrayView data, std::string& out);

// Image format properties that keep a picture's own file bytes and kind ("png" or "jpeg").
inline constexpr int kPictureBytes = QTextFormat::UserProperty + 0x51;
inline constexpr int kPictureKind = QTextFormat::UserProperty + 0x52;
// The scheme of the image resource names the reader gives pictures ("qb-picture:<sha1>.png").
inline constexpr char kPictureScheme[] = "qb-picture";

// Layout pixels (96 per inch) and twips.
inline constexpr double kTwipsPerPixel = 15.0;

}  // namespace qb::rtf
