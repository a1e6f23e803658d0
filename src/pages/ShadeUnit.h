#pragma once
// Panel shading: the tinted strips and backgrounds of every window. A paint box names its style
// in its Hint and its number of gradient steps in its Tag; the routines here turn that and a
// base colour into solid rectangles (pure arithmetic, testable without a display) and paint them
// with a QPainter. Colours are 0x00BBGGRR values (platform/core/Color.h).

#include "platform/core/Color.h"

#include <QPainter>
#include <QRect>
#include <QString>

#include <cstdint>
#include <vector>

// The channel raised by n, at most 255; lowered by n, at least 0.
std::uint8_t LightenColorByte(std::uint8_t b, int n);
std::uint8_t DarkenColorByte(std::uint8_t b, int n);

// What the shading routines know of a paint box.
struct ShadeBox {
    int width = 0;
    int height = 0;
    QString hint;  // "ShadeLeftToRight" (or ""), "ShadeTopToBottom", "ShadeRightToLeft",
                   // "ShadeBarred"; any other hint is left unpainted
    int tag = 0;   // gradient steps: 1 .. 55 as given, 0 or above 55 gives 35, below 0 none
};

// One solid rectangle of a shading, already cut to the box.
struct ShadeFill {
    QRect rect;
    qb::TColor color;
    bool operator==(const ShadeFill&) const = default;
};

enum class ShadeStyle { LeftToRight, TopToBottom, RightToLeft, Barred, None };

ShadeStyle ShadeStyleOf(const QString& hint);
// The number of gradient steps of a tag.
int ShadeSteps(int tag);
// The width of the band of step j (1 .. 55): 100 / j rounded half to even, plus 1.
int ShadeBandWidth(int step);
// The colour of gradient step j: each channel of base raised by j, at most 255.
qb::TColor ShadeLight(qb::TColor base, int step);

// The rectangles that shade the box, in painting order (a later one covers an earlier one).
std::vector<ShadeFill> ShadeFills(const ShadeBox& box, qb::TColor base);
// The same for the barred style, whatever the box's hint.
std::vector<ShadeFill> ShadeBarredFills(const ShadeBox& box, qb::TColor base);

// Paints the box on canvas (whose origin is the box's top left corner) in the style of its hint.
void ShadePaintBox(QPainter& canvas, const ShadeBox& box, qb::TColor base);
// Paints the barred style.
void PaintShadeBarred(QPainter& canvas, const ShadeBox& box, qb::TColor base);

// Each channel of c raised (or lowered) through LightenColorByte (DarkenColorByte).
qb::TColor LightenColor(qb::TColor c, int red, int green, int blue);
qb::TColor DarkenColor(qb::TColor c, int red, int green, int blue);

// The tints: every colour that a window derives from the program's colours or the button face.
// Base colours passed as they are (BackgroundColor for the background boxes, SelectedTabColor
// for the selected tab, each colour sample's own colour) need no routine.
namespace ShadeTint {
// The button face as a plain colour: unselected tabs, the about box and the password dialog.
qb::TColor ButtonFace();
// Title strips of the main window, the editor frame and the desktop calendar; the editor's
// thumbnail box colour.
qb::TColor TitleStrip(qb::TColor backgroundColor);
// Title strips of the search window and the picture viewer.
qb::TColor ToolTitleStrip(qb::TColor backgroundColor);
qb::TColor ThumbnailBox(qb::TColor backgroundColor);
// The picture viewer's scroll box.
qb::TColor ViewerScrollBox(qb::TColor backgroundColor);
// The splash's label.
qb::TColor SplashLabel(qb::TColor backgroundColor);
// The hatch of a marked day that has a picture folder.
qb::TColor PictureDayHatch(qb::TColor highlightColor);
// The menu painter's icon column.
qb::TColor MenuIconBack();
}  // namespace ShadeTint
