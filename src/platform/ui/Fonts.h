#pragma once
// The windows' layouts were measured in Tahoma, which Debian does not have: the condensed DejaVu
// face (fonts-dejavu-extra) comes closest to its widths, plain DejaVu Sans after it.

#include <QFont>

class QWidget;

namespace qb {

// The layout face at a size in points.
QFont layoutFont(int pointSize = 8);

// The layout face at a size in pixels.
QFont layoutFontPixels(int pixels);

// Gives a widget of a window made hidden at start its own font only when the window is first
// shown (the window calls applyFontsWhenShown from setVisible): a face the start does not draw
// is not loaded before the first frame. A font set on the widget in between wins.
void setFontWhenShown(QWidget* widget, const QFont& font);
void applyFontsWhenShown(QWidget* window);

}  // namespace qb
