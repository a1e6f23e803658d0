#pragma once
// The drawing routines of menu items that the button painters share: item text with its
// shortcut, item images (dimmed, grayed, lifted over a shadow), marks and arrows, and the
// per-pixel image routines. Images are ARGB: their alpha is the transparency and the shadow's
// silhouette; the caller's image is never changed.

#include "menupaint/FlatMenuPainter.h"
#include "platform/ui/Canvas.h"

#include <QImage>
#include <QString>

class QPainter;

namespace FlatMenuPainter {

// Text flags of DrawItemText.
enum TextFlags : unsigned {
    TextLeft = 0,
    TextRight = 1,       // right-aligned (right to left)
    TextRtlReading = 2,  // right-to-left reading order
};

// The caption, and the shortcut text followed by a blank, in r: the caption from r's left, the
// shortcut right-aligned 10 pixels inside r's right (mirrored right to left). Colour: the font's
// colour, else the scheme's selected or disabled colour. An enabled default item is embossed.
void DrawItemText(const TFlatMenuPainter& painter, qb::Canvas& canvas, const QString& caption,
                  const QString& shortCut, const qb::TRect& r, bool selected, bool enabled,
                  bool isDefault, bool isBarItem, bool rtl, const QFont& font, qb::TColor fontColor,
                  unsigned flags);

// Who asks DrawIcon: a menu item places its image in the icon column, a button at r's corner.
enum class IconSender { MenuItem, Button };

// The image in r, dimmed when at rest, grayed when disabled, lifted over its shadow when
// selected unless keepInPlace (a focused button).
void DrawIcon(const TFlatMenuPainter& painter, qb::Canvas& canvas, IconSender sender,
              const QImage& image, const qb::TRect& r, bool selected, bool keepInPlace,
              bool enabled, bool checked, bool isBarItem, bool rtl);

// A text colour readable on background: a light tint on dark backgrounds, else the font colour.
qb::TColor TextColorOn(const TFlatMenuPainter& painter, qb::TColor background);

// Copies of image with every pixel through GrayColor(value) / LightenColor(percent); alpha kept.
QImage GrayBitmap(const QImage& image, int value);
QImage DimBitmap(const QImage& image, int percent);
// Every pixel of image that is not transparent sets the canvas pixel at (x, y) + its place.
void DrawBitmapShadow(const QImage& image, qb::Canvas& canvas, int x, int y, qb::TColor colour);
// Three parallel strokes of a tick in the pen colour below (x, y).
void DrawCheckMark(qb::Canvas& canvas, int x, int y);
// A chevron with its tip at (x, y): 0 up, 1 down (tip at y + 3); any other draws nothing.
void DrawUpDownArrow(qb::Canvas& canvas, int x, int y, int direction);

}  // namespace FlatMenuPainter

// --- Menu items (what the program style hands to the painter) ---

class QStyleOptionMenuItem;

namespace FlatMenuPainter {

// The item's shortcut text with its modifiers in the order the diary shows them
// ("Shift+Ctrl+Z" where Qt writes "Ctrl+Shift+Z"); each chord of a sequence alike.
QString DiaryShortcutText(const QString& qtText);

// An item as the painting reads it, taken from Qt's option for it.
struct TFlatMenuItem {
    QString caption;   // with its "&" accelerator
    QString shortCut;  // in the diary's order, "" when none
    QImage image;      // ARGB, null when the item has none
    bool separator = false;
    bool checked = false;
    bool radio = false;
    bool enabled = true;
    bool isDefault = false;
    bool hasSubItems = false;
    bool barItem = false;
    bool rtl = false;
};
TFlatMenuItem MenuItemOf(const QStyleOptionMenuItem& option, bool barItem);

// The size the item asks for, before the platform's own share; proposed is Qt's size, which it
// never lowers.
QSize MeasureMenuItem(const TFlatMenuPainter& painter, const TFlatMenuItem& item,
                      const QSize& proposed);

// Paints one item into rect of out (a popup item also owns the four columns left of rect in its
// buffer, which the item's clip cuts away). selected: the item is selected (an open menu-bar
// item); hot: a menu-bar item under the mouse.
void DrawMenuItem(TFlatMenuPainter& painter, QPainter& out, const QRect& rect,
                  const TFlatMenuItem& item, bool selected, bool hot);

// The icon column of a popup item in buffer coordinates (its right edge at x = 30); returns the
// colour of its leftmost column.
qb::TColor GradientColumn(const TFlatMenuPainter& painter, qb::Canvas& canvas, const qb::TRect& r);

// A band of a control bar: a flat face a little lighter than the bar and a grabber of short
// graded lines at its left.
void ControlBarBandPaint(TFlatMenuPainter& painter, QPainter& out, const qb::TRect& rect,
                         qb::TColor barColor);

// The flat frame, left strip, top margin and shadow of a popup-menu window of size w by h.
void PaintMenuWindow(TFlatMenuPainter& painter, QPainter& out, int w, int h, bool rtl);

}  // namespace FlatMenuPainter
