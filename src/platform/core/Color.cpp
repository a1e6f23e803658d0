#include "platform/core/Color.h"

#include <array>

namespace qb {
namespace {

// The system colours on Linux: the light palette that Qt's own style paints with, so that a
// shaded strip next to a standard button matches it.
constexpr std::array<TColor, 31> kSystemColors = {
    rgbColor(0xC8, 0xC8, 0xC8),  // 0 scroll bar
    rgbColor(0x3A, 0x6E, 0xA5),  // 1 desktop
    rgbColor(0x99, 0xB4, 0xD1),  // 2 active caption
    rgbColor(0xBF, 0xCD, 0xDB),  // 3 inactive caption
    rgbColor(0xEF, 0xEF, 0xEF),  // 4 menu
    rgbColor(0xFF, 0xFF, 0xFF),  // 5 window
    rgbColor(0x64, 0x64, 0x64),  // 6 window frame
    rgbColor(0x00, 0x00, 0x00),  // 7 menu text
    rgbColor(0x00, 0x00, 0x00),  // 8 window text
    rgbColor(0x00, 0x00, 0x00),  // 9 caption text
    rgbColor(0xB4, 0xB4, 0xB4),  // 10 active border
    rgbColor(0xF4, 0xF7, 0xFC),  // 11 inactive border
    rgbColor(0xAB, 0xAB, 0xAB),  // 12 application work space
    rgbColor(0x30, 0x8C, 0xC6),  // 13 highlight
    rgbColor(0xFF, 0xFF, 0xFF),  // 14 highlight text
    rgbColor(0xEF, 0xEF, 0xEF),  // 15 button face
    rgbColor(0xA0, 0xA0, 0xA0),  // 16 button shadow
    rgbColor(0x6D, 0x6D, 0x6D),  // 17 gray text
    rgbColor(0x00, 0x00, 0x00),  // 18 button text
    rgbColor(0x00, 0x00, 0x00),  // 19 inactive caption text
    rgbColor(0xFF, 0xFF, 0xFF),  // 20 button highlight
    rgbColor(0x69, 0x69, 0x69),  // 21 3-D dark shadow
    rgbColor(0xE3, 0xE3, 0xE3),  // 22 3-D light
    rgbColor(0x00, 0x00, 0x00),  // 23 tool-tip text
    rgbColor(0xFF, 0xFF, 0xDC),  // 24 tool-tip background
    rgbColor(0xE3, 0xE3, 0xE3),  // 25 (no name)
    rgbColor(0x00, 0x66, 0xCC),  // 26 hot-tracked item
    rgbColor(0xB9, 0xD1, 0xEA),  // 27 gradient of the active caption
    rgbColor(0xD7, 0xE4, 0xF2),  // 28 gradient of the inactive caption
    rgbColor(0x30, 0x8C, 0xC6),  // 29 menu highlight
    rgbColor(0xEF, 0xEF, 0xEF),  // 30 menu bar
};

}  // namespace

TColor colorToRGB(TColor c) {
    if (!isSystemColor(c)) {
        return c;
    }
    const TColor index = c & 0xFFu;
    return index < kSystemColors.size() ? kSystemColors[index] : clBlack;
}

QRgb toQRgb(TColor c) {
    if (c == clNone) {
        return qRgba(0, 0, 0, 0);
    }
    const TColor plain = colorToRGB(c);
    return qRgb(redOf(plain), greenOf(plain), blueOf(plain));
}

QColor toQColor(TColor c) {
    return QColor::fromRgba(toQRgb(c));
}

TColor fromQRgb(QRgb rgb) {
    return rgbColor(static_cast<std::uint8_t>(qRed(rgb)), static_cast<std::uint8_t>(qGreen(rgb)),
                    static_cast<std::uint8_t>(qBlue(rgb)));
}

TColor fromQColor(const QColor& color) {
    return fromQRgb(color.rgb());
}

}  // namespace qb
