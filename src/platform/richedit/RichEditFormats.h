#pragma once
// The formats of the rich-edit control in the units of the pages: styles, whole points,
// 0x00BBGGRR colours, indents in twips and bullets, read and written on QTextDocument formats
// the way our RTF reader and writer keep them.

#include "platform/richedit/RichEdit.h"

#include <QTextCharFormat>

#include <functional>

class QTextBlock;
class QTextBlockFormat;
class QTextCursor;
class QTextDocument;

namespace qb::richedit {

// The format of the character at position (the paragraph end takes the format the paragraph
// ends in).
// Lengths of the document layout in twips and back.
int twipsOf(qreal pixels);
qreal pixelsOf(int twips);

QTextCharFormat formatOfCharacter(const QTextDocument& doc, int position);

TFontStyles stylesOf(const QTextCharFormat& format, const QTextDocument& doc);
QString faceOf(const QTextCharFormat& format, const QTextDocument& doc);
int pointsOf(const QTextCharFormat& format, const QTextDocument& doc);
TColor colorOf(const QTextCharFormat& format);  // clWindowText when automatic

void setStyles(QTextCharFormat& format, TFontStyles styles);
void setColor(QTextCharFormat& format, TColor color);  // clWindowText: automatic

// Gives every run of text in the cursor's selection, and the paragraphs it starts, the format
// edit makes of its own; one edit for the change notification.
void editRuns(QTextCursor& cursor, const std::function<void(QTextCharFormat&)>& edit);
// The same for the format of every paragraph the selection touches.
void editBlocks(QTextCursor& cursor,
                const std::function<void(const QTextBlock&, QTextBlockFormat&)>& edit);

// Where the first line of the paragraph starts, in twips from the margin.
int firstIndentTwips(const QTextBlock& block);
// Moves the first line to twips, the other lines with it.
void setFirstIndentTwips(const QTextBlock& block, QTextBlockFormat& format, int twips);

// A bullet needs room left of its paragraph: turning bullets on gives a paragraph at least
// this left indent, and turning them off takes exactly this indent back.
inline constexpr int kBulletRoomTwips = 360;

bool isBullet(const QTextBlock& block);
// Turning bullets on gives each paragraph's bullet the look of its first character, or of
// typing (the format for text typed next) when the caret stands in an empty paragraph.
void setBullets(QTextCursor& cursor, bool on, const QTextCharFormat& typing);
// Qt draws a bullet in the paragraph's own character format, and the RTF reader gives that the
// format of the paragraph's first character: every non-empty paragraph whose first character
// the cursor's selection holds takes that format again, so that its bullet looks the same
// before a save and after a load.
void fitParagraphFormats(QTextCursor& cursor);
// The indent a block has from indent levels and its list, in layout pixels.
qreal levelIndent(const QTextBlock& block);

// The first position at or after start where text stands (compared in composed form); the
// length of the page's text found there goes to foundLength when it is given.
int findText(const QTextDocument& doc, const QString& text, int start, int length,
             TSearchTypes options, int* foundLength = nullptr);

}  // namespace qb::richedit
