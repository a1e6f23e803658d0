#pragma once
// Our RTF reader and writer: the stored form of every day and document text.

#include <QByteArray>
#include <QStringList>

class QTextDocument;

namespace qb::rtf {

// Replaces the content of doc with the text read from data. A text that does not begin with
// "{\rtf" is taken as plain text. Never throws on malformed input.
void read(const QByteArray& data, QTextDocument& doc);

// The whole document as RTF: 7-bit ASCII, readable by WordPad, Word, LibreOffice and unrtf.
QByteArray write(const QTextDocument& doc);

// The plain paragraphs of data, exactly as read() would lay them out in the editor (one string
// per paragraph), without building a document: for search and excerpts.
QStringList paragraphs(const QByteArray& data);

}  // namespace qb::rtf
