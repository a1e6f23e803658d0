#include "pages/ShadeUnit.h"

#include <algorithm>

using qb::TColor;

namespace {

constexpr int kMaxSteps = 55;
constexpr int kDefaultSteps = 35;
constexpr int kBarStep = 7;

TColor perChannel(TColor c, std::uint8_t (*change)(std::uint8_t, int), int r, int g, int b) {
    const TColor plain = qb::colorToRGB(c);
    return qb::rgbColor(change(qb::redOf(plain), r), change(qb::greenOf(plain), g),
                        change(qb::blueOf(plain), b));
}

// Each channel b + 7 i while 255 - 7 i > b, else 255.
TColor barLight(TColor base, int i) {
    auto channel = [i](std::uint8_t b) {
        return 255 - kBarStep * i > b ? std::uint8_t(b + kBarStep * i) : std::uint8_t(255);
    };
    return qb::rgbColor(channel(qb::redOf(base)), channel(qb::greenOf(base)),
                        channel(qb::blueOf(base)));
}

// Each channel b - 7 i while 7 i < b, else 0.
TColor barDark(TColor base, int i) {
    auto channel = [i](std::uint8_t b) {
        return kBarStep * i < b ? std::uint8_t(b - kBarStep * i) : std::uint8_t(0);
    };
    return qb::rgbColor(channel(qb::redOf(base)), channel(qb::greenOf(base)),
                        channel(qb::blueOf(base)));
}

// A rectangle from (left, top) to one pixel short of (right, bottom), cut to the box; empty
// ones are dropped.
void addFill(std::vector<ShadeFill>& fills, const ShadeBox& box, int left, int top, int right,
             int bottom, TColor color) {
    const QRect rect = QRect(left, top, right - left, bottom - top)
                           .intersected(QRect(0, 0, box.width, box.height));
    if (!rect.isEmpty()) {
        fills.push_back({rect, color});
    }
}

void paint(QPainter& canvas, const std::vector<ShadeFill>& fills) {
    for (const ShadeFill& fill : fills) {
        canvas.fillRect(fill.rect, qb::toQColor(fill.color));
    }
}

}  // namespace

std::uint8_t LightenColorByte(std::uint8_t b, int n) {
    return static_cast<std::uint8_t>(std::clamp(int(b) + n, 0, 255));
}

std::uint8_t DarkenColorByte(std::uint8_t b, int n) {
    return static_cast<std::uint8_t>(std::clamp(int(b) - n, 0, 255));
}

ShadeStyle ShadeStyleOf(const QString& hint) {
    if (hint.isEmpty() || hint == QLatin1String("ShadeLeftToRight")) {
        return ShadeStyle::LeftToRight;
    }
    if (hint == QLatin1String("ShadeTopToBottom")) {
        return ShadeStyle::TopToBottom;
    }
    if (hint == QLatin1String("ShadeRightToLeft")) {
        return ShadeStyle::RightToLeft;
    }
    if (hint == QLatin1String("ShadeBarred")) {
        return ShadeStyle::Barred;
    }
    return ShadeStyle::None;
}

int ShadeSteps(int tag) {
    if (tag < 0) {
        return 0;
    }
    return tag == 0 || tag > kMaxSteps ? kDefaultSteps : tag;
}

int ShadeBandWidth(int step) {
    int quotient = 100 / step;
    const int twiceRest = 2 * (100 % step);
    if (twiceRest > step || (twiceRest == step && quotient % 2 == 1)) {
        ++quotient;
    }
    return quotient + 1;
}

TColor ShadeLight(TColor base, int step) {
    return LightenColor(base, step, step, step);
}

std::vector<ShadeFill> ShadeBarredFills(const ShadeBox& box, TColor base) {
    const TColor c = qb::colorToRGB(base) & 0xFFFFFFu;
    const int w = box.width;
    const int h = box.height;
    std::vector<ShadeFill> fills;
    const int lightRows[] = {2, 3, 4, 5, 4, 3, 2, 1};  // rows 1 .. 8
    for (int row = 1; row <= 8; ++row) {
        addFill(fills, box, 0, row, w, row + 1, barLight(c, lightRows[row - 1]));
    }
    addFill(fills, box, 0, 9, w, h - 9, c);
    for (int up = 1; up <= 11; ++up) {  // row h - 1 is the darkest
        addFill(fills, box, 0, h - up, w, h - up + 1, barDark(c, 12 - up));
    }
    return fills;
}

std::vector<ShadeFill> ShadeFills(const ShadeBox& box, TColor base) {
    const ShadeStyle style = ShadeStyleOf(box.hint);
    if (style == ShadeStyle::Barred) {
        return ShadeBarredFills(box, base);
    }
    std::vector<ShadeFill> fills;
    if (style == ShadeStyle::None) {
        return fills;
    }
    const TColor c = qb::colorToRGB(base) & 0xFFFFFFu;
    const int w = box.width;
    const int h = box.height;
    int edge = style == ShadeStyle::RightToLeft ? w : 0;
    for (int step = ShadeSteps(box.tag); step >= 1; --step) {
        const int band = ShadeBandWidth(step);
        const TColor light = ShadeLight(c, step);
        switch (style) {
            case ShadeStyle::TopToBottom:
                addFill(fills, box, 0, edge, w, edge + band, light);
                edge += band;
                break;
            case ShadeStyle::RightToLeft:
                addFill(fills, box, edge - band, 0, edge, h, light);
                edge -= band;
                break;
            default:
                addFill(fills, box, edge, 0, edge + band, h, light);
                edge += band;
                break;
        }
    }
    switch (style) {
        case ShadeStyle::TopToBottom:
            addFill(fills, box, 0, edge, w, h, c);
            break;
        case ShadeStyle::RightToLeft:
            addFill(fills, box, 0, 0, edge, h, c);
            break;
        default:
            addFill(fills, box, edge, 0, w, h, c);
            break;
    }
    return fills;
}

void ShadePaintBox(QPainter& canvas, const ShadeBox& box, TColor base) {
    paint(canvas, ShadeFills(box, base));
}

void PaintShadeBarred(QPainter& canvas, const ShadeBox& box, TColor base) {
    paint(canvas, ShadeBarredFills(box, base));
}

TColor LightenColor(TColor c, int red, int green, int blue) {
    return perChannel(c, LightenColorByte, red, green, blue);
}

TColor DarkenColor(TColor c, int red, int green, int blue) {
    return perChannel(c, DarkenColorByte, red, green, blue);
}

namespace ShadeTint {

TColor ButtonFace() {
    return qb::colorToRGB(qb::clBtnFace);
}
TColor TitleStrip(TColor backgroundColor) {
    return LightenColor(backgroundColor, 20, 30, 30);
}
TColor ToolTitleStrip(TColor backgroundColor) {
    return LightenColor(backgroundColor, 10, 20, 20);
}
TColor ThumbnailBox(TColor backgroundColor) {
    return LightenColor(backgroundColor, 20, 30, 30);
}
TColor ViewerScrollBox(TColor backgroundColor) {
    return LightenColor(backgroundColor, 20, 20, 20);
}
TColor SplashLabel(TColor backgroundColor) {
    return LightenColor(backgroundColor, 12, 12, 12);
}
TColor PictureDayHatch(TColor highlightColor) {
    return DarkenColor(highlightColor, 20, 20, 20);
}
TColor MenuIconBack() {
    return DarkenColor(ButtonFace(), 10, 10, 10);
}

}  // namespace ShadeTint
