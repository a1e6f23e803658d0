#pragma once
// The windows' layouts were measured in Tahoma, which Debian does not have: the condensed DejaVu
// face (fonts-dejavu-extra) comes closest to its widths, plain DejaVu Sans after it.

#include <QFont>

namespace qb {

// The layout face at a size in points.
QFont layoutFont(int pointSize = 8);

// The layout face at a size in pixels.
QFont layoutFontPixels(int pixels);

}  // namespace qb
