#include "pages/ShadeUnit.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <numeric>
#include <optional>

using qb::rgbColor;
using qb::TColor;

namespace {

// The colour a point shows after every fill has been painted; nullopt when none covers it.
std::optional<TColor> colorAt(const std::vector<ShadeFill>& fills, int x, int y) {
    std::optional<TColor> seen;
    for (const ShadeFill& fill : fills) {
        if (fill.rect.contains(x, y)) {
            seen = fill.color;
        }
    }
    return seen;
}

TColor gray(int v) {
    return rgbColor(std::uint8_t(v), std::uint8_t(v), std::uint8_t(v));
}

}  // namespace

TEST(ShadeBytes, LightenAndDarkenStopAtTheirLimits) {
    struct Case {
        int b, n, lighter, darker;
    };
    const Case cases[] = {{0, 0, 0, 0},       {0, 10, 10, 0},      {9, 10, 19, 0},
                          {10, 10, 20, 0},    {245, 10, 255, 235}, {246, 10, 255, 236},
                          {255, 1, 255, 254}, {128, 255, 255, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.b);
        EXPECT_EQ(LightenColorByte(std::uint8_t(c.b), c.n), c.lighter);
        EXPECT_EQ(DarkenColorByte(std::uint8_t(c.b), c.n), c.darker);
    }
}

TEST(ShadeGradient, BandWidthsRoundHalvesToEven) {
    const int firstTen[] = {101, 51, 34, 26, 21, 18, 15, 13, 12, 11};
    for (int j = 1; j <= 10; ++j) {
        EXPECT_EQ(ShadeBandWidth(j), firstTen[j - 1]) << "step " << j;
    }
    EXPECT_EQ(ShadeBandWidth(8), 13);  // 12.5 rounds to 12
    EXPECT_EQ(ShadeBandWidth(40), 3);  // 2.5 rounds to 2
    for (int j = 40; j <= 55; ++j) {
        EXPECT_EQ(ShadeBandWidth(j), 3) << "step " << j;
    }
    const std::pair<int, int> totals[] = {{20, 379}, {25, 406}, {35, 449}, {40, 468}, {55, 513}};
    for (auto [steps, total] : totals) {
        int sum = 0;
        for (int j = 1; j <= steps; ++j) {
            sum += ShadeBandWidth(j);
        }
        EXPECT_EQ(sum, total) << steps << " steps";
    }
}

TEST(ShadeGradient, TagGivesTheSteps) {
    const std::pair<int, int> cases[] = {{0, 35},  {1, 1},     {20, 20}, {55, 55},
                                         {56, 35}, {1000, 35}, {-1, 0}};
    for (auto [tag, steps] : cases) {
        EXPECT_EQ(ShadeSteps(tag), steps) << "tag " << tag;
    }
}

TEST(ShadeGradient, HintChoosesTheStyleExactly) {
    const std::pair<const char*, ShadeStyle> cases[] = {
        {"", ShadeStyle::LeftToRight},
        {"ShadeLeftToRight", ShadeStyle::LeftToRight},
        {"ShadeTopToBottom", ShadeStyle::TopToBottom},
        {"ShadeRightToLeft", ShadeStyle::RightToLeft},
        {"ShadeBarred", ShadeStyle::Barred},
        {"shadeLeftToRight", ShadeStyle::None},
        {"SHADEBARRED", ShadeStyle::None},
        {"ShadeLeftToRight ", ShadeStyle::None},
        {"Close this page.", ShadeStyle::None},
    };
    for (auto [hint, style] : cases) {
        EXPECT_EQ(ShadeStyleOf(QString::fromLatin1(hint)), style) << '"' << hint << '"';
    }
    EXPECT_TRUE(ShadeFills({600, 30, QStringLiteral("shadeLeftToRight"), 20}, gray(100)).empty());
}

TEST(ShadeGradient, BandsRunFromTheLightestEdgeIntoTheBase) {
    const TColor base = rgbColor(0x28, 0x4A, 0x91);
    struct Case {
        const char* hint;
        int tag;
        int steps;
    };
    const Case cases[] = {{"ShadeLeftToRight", 0, 35},
                          {"", 56, 35},
                          {"ShadeLeftToRight", 55, 55},
                          {"ShadeTopToBottom", 40, 40},
                          {"ShadeRightToLeft", 20, 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hint);
        const QString hint = QString::fromLatin1(c.hint);
        const bool vertical = ShadeStyleOf(hint) == ShadeStyle::TopToBottom;
        const bool fromRight = ShadeStyleOf(hint) == ShadeStyle::RightToLeft;
        const int length = 700;
        const ShadeBox box{vertical ? 20 : length, vertical ? length : 20, hint, c.tag};
        const std::vector<ShadeFill> fills = ShadeFills(box, base);
        ASSERT_EQ(fills.size(), std::size_t(c.steps + 1));
        // Walk the bands from the starting edge: step k first, one darker and wider each time.
        int offset = 0;
        for (int n = 0; n < c.steps; ++n) {
            const int step = c.steps - n;
            const int along = fromRight ? length - 1 - offset : offset;
            const int x = vertical ? 5 : along;
            const int y = vertical ? along : 5;
            EXPECT_EQ(colorAt(fills, x, y), LightenColor(base, step, step, step)) << step;
            offset += ShadeBandWidth(step);
        }
        const int rest = fromRight ? length - 1 - offset : offset;
        EXPECT_EQ(colorAt(fills, vertical ? 5 : rest, vertical ? rest : 5), base);
        const int far = fromRight ? 0 : length - 1;
        EXPECT_EQ(colorAt(fills, vertical ? 5 : far, vertical ? far : 5), base);
    }
}

TEST(ShadeGradient, ChannelsStopAtWhiteAndBoxesCutTheBands) {
    const TColor base = rgbColor(250, 10, 0);
    const std::vector<ShadeFill> fills = ShadeFills({600, 10, QString(), 20}, base);
    for (const ShadeFill& fill : fills) {
        if (fill.color == base) {
            continue;
        }
        const int step = qb::greenOf(fill.color) - 10;
        EXPECT_EQ(qb::redOf(fill.color), step >= 5 ? 255 : 250 + step) << step;
        EXPECT_EQ(qb::blueOf(fill.color), step);
    }
    // A box narrower than the bands: nothing is painted outside it, and no base is left over.
    const std::vector<ShadeFill> narrow = ShadeFills({100, 10, QString(), 20}, base);
    for (const ShadeFill& fill : narrow) {
        EXPECT_TRUE(QRect(0, 0, 100, 10).contains(fill.rect));
        EXPECT_NE(fill.color, base);
    }
    // No steps: the base alone.
    const std::vector<ShadeFill> flat = ShadeFills({50, 10, QString(), -3}, base);
    ASSERT_EQ(flat.size(), 1u);
    EXPECT_EQ(flat[0], (ShadeFill{QRect(0, 0, 50, 10), base}));
}

TEST(ShadeBarred, RowsOfATwentySixPixelBox) {
    const TColor base = rgbColor(100, 0, 250);
    auto light = [](int b, int i) { return 255 - 7 * i > b ? b + 7 * i : 255; };
    auto dark = [](int b, int i) { return 7 * i < b ? b - 7 * i : 0; };
    auto lightRow = [&](int i) {
        return rgbColor(std::uint8_t(light(100, i)), std::uint8_t(light(0, i)),
                        std::uint8_t(light(250, i)));
    };
    auto darkRow = [&](int i) {
        return rgbColor(std::uint8_t(dark(100, i)), std::uint8_t(dark(0, i)),
                        std::uint8_t(dark(250, i)));
    };
    std::vector<std::optional<TColor>> expected(26);
    const int lights[] = {2, 3, 4, 5, 4, 3, 2, 1};
    for (int row = 1; row <= 8; ++row) {
        expected[row] = lightRow(lights[row - 1]);
    }
    for (int row = 9; row <= 14; ++row) {
        expected[row] = base;
    }
    for (int row = 15; row <= 25; ++row) {
        expected[row] = darkRow(row - 14);
    }
    // The tag does not matter, and the barred routine paints whatever the hint says.
    for (const ShadeBox& box : {ShadeBox{40, 26, QStringLiteral("ShadeBarred"), 55},
                                ShadeBox{40, 26, QStringLiteral("ShadeBarred"), 3}}) {
        const std::vector<ShadeFill> fills = ShadeFills(box, base);
        EXPECT_EQ(fills, ShadeBarredFills({40, 26, QStringLiteral("whatever"), 0}, base));
        for (int row = 0; row < 26; ++row) {
            EXPECT_EQ(colorAt(fills, 39, row), expected[row]) << "row " << row;
        }
    }
    // A channel of 0 stays 0 in every dark row; 250 is 255 from light[1] on.
    for (int row = 15; row <= 25; ++row) {
        EXPECT_EQ(qb::greenOf(*expected[row]), 0);
    }
    for (int row = 1; row <= 8; ++row) {
        EXPECT_EQ(qb::blueOf(*expected[row]), 255);
    }
}

TEST(ShadeBarred, PaintsTheStripOnACanvas) {
    const TColor base = rgbColor(0x28, 0x4A, 0x91);
    const QColor parent(1, 2, 3);
    QImage image(30, 24, QImage::Format_RGB32);
    image.fill(parent);
    {
        QPainter canvas(&image);
        ShadePaintBox(canvas, {30, 24, QStringLiteral("ShadeBarred"), 55}, base);
    }
    const std::vector<ShadeFill> fills = ShadeBarredFills({30, 24, QString(), 0}, base);
    for (int y = 0; y < 24; ++y) {
        const QRgb expected = y == 0 ? parent.rgb() : qb::toQRgb(*colorAt(fills, 0, y));
        for (int x : {0, 15, 29}) {
            EXPECT_EQ(image.pixel(x, y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(image.pixel(0, 23), qRgb(0, 0, 0x91 - 77));  // the darkest row
}

TEST(ShadeTints, EveryDerivedColour) {
    const TColor background = 0x00914A28;  // red 0x28, green 0x4A, blue 0x91
    const TColor face = qb::colorToRGB(qb::clBtnFace);
    struct Case {
        const char* where;
        TColor got;
        TColor expected;
    };
    const Case cases[] = {
        {"title strip", ShadeTint::TitleStrip(background), rgbColor(0x3C, 0x68, 0xAF)},
        {"tool title strip", ShadeTint::ToolTitleStrip(background), rgbColor(0x32, 0x5E, 0xA5)},
        {"thumbnail box", ShadeTint::ThumbnailBox(background), rgbColor(0x3C, 0x68, 0xAF)},
        {"viewer scroll box", ShadeTint::ViewerScrollBox(background), rgbColor(0x3C, 0x5E, 0xA5)},
        {"splash label", ShadeTint::SplashLabel(background), rgbColor(0x34, 0x56, 0x9D)},
        {"picture hatch", ShadeTint::PictureDayHatch(0x00E1AF97), rgbColor(0x83, 0x9B, 0xCD)},
        {"hatch floor", ShadeTint::PictureDayHatch(rgbColor(5, 20, 200)), rgbColor(0, 0, 180)},
        {"title ceiling", ShadeTint::TitleStrip(rgbColor(240, 230, 250)), gray(255)},
        {"button face", ShadeTint::ButtonFace(), face},
        {"menu icon column", ShadeTint::MenuIconBack(),
         rgbColor(DarkenColorByte(qb::redOf(face), 10), DarkenColorByte(qb::greenOf(face), 10),
                  DarkenColorByte(qb::blueOf(face), 10))},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.got, c.expected) << c.where;
    }
    EXPECT_FALSE(qb::isSystemColor(ShadeTint::ButtonFace()));
    // A system colour given as the base is painted as its plain value.
    EXPECT_EQ(ShadeFills({10, 10, QString(), -1}, qb::clBtnFace)[0].color, face);
}
