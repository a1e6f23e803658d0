#pragma once
// What the rich-edit control takes from the clipboard and from drops, and what it gives them.
// A page keeps only what our RTF writer can save: text, the character formats of the page
// (styles, face, whole-point size, colour), alignment, indents, bullets, and PNG or JPEG
// pictures. Everything else is left out at the paste, never shown and then lost at the save.

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class QMimeData;
class QTextCursor;
class QTextDocument;
class QTextImageFormat;

namespace qb::richedit {

// A picture as the page keeps it: its PNG or JPEG file bytes.
struct Picture {
    QByteArray bytes;
    QByteArray kind;  // "png" or "jpeg"
};

// The picture an image format of doc shows, when the page can keep it.
std::optional<Picture> pictureOf(const QTextDocument& doc, const QTextImageFormat& format);
// Inserts the picture at the cursor.
void insertPicture(QTextCursor& cursor, const Picture& picture);
// The picture of encoded image bytes: PNG and JPEG as they are, any other readable image as
// PNG; nothing for bytes that are no image.
std::optional<Picture> pictureFromData(const QByteArray& data);

bool canPaste(const QMimeData& source);

// The rich content of source, cleaned to what the page keeps; false when source is plain text
// (inserted with the format at the caret) or holds nothing the page can keep.
bool richContent(const QMimeData& source, QTextDocument& content);
// The plain text of source with paragraph ends as line feeds and no control characters but
// tabs; empty when source has none.
QString plainContent(const QMimeData& source);

// Copies into target what of source the page keeps.
void keepWritable(const QTextDocument& source, QTextDocument& target);
// Cuts content to its first length characters.
void truncate(QTextDocument& content, int length);
// Inserts content at the cursor, its pictures with it.
void insertDocument(QTextCursor& cursor, const QTextDocument& content);

// The clipboard form of the cursor's selection: plain text and RTF.
std::unique_ptr<QMimeData> mimeDataOf(const QTextCursor& cursor);

}  // namespace qb::richedit
