#pragma once
// The program's image list: the 16 x 16 pictures of the main window's actions and menus, short
// glyphs of the layout face, and a few drawn with lines where no glyph draws well. It lies below
// the windows so that a tool window takes its icon from the same pictures as the main window's
// command that opens it.

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace ProgramImages {

// The ink of the pictures that are not black letters.
QColor ink();

// A short glyph on a soft square.
QIcon glyphIcon(const QString& glyph, QColor ink, const QFont& base, bool bold = false,
                bool italic = false, bool underline = false, bool strike = false);

// The font a glyph picture asks for, and the picture drawn with a given font.
QFont glyphFont(const QFont& base, const QString& glyph, bool bold = false, bool italic = false,
                bool underline = false, bool strike = false);
QPixmap drawGlyph(const QString& glyph, QColor ink, const QFont& font);

enum class Drawn { Save, Print, Paste };
QIcon drawnIcon(Drawn kind, QColor ink);

// Image 49: the picture of "Search All Documents", also the search window's icon.
QIcon searchImage();

}  // namespace ProgramImages
