#include "platform/core/Color.h"

#include <gtest/gtest.h>

using namespace qb;

TEST(ColorTest, ChannelsAreSwappedNeverCast) {
    const std::pair<TColor, QRgb> cases[] = {
        {0x00914A28, 0xFF284A91}, {clRed, 0xFFFF0000},   {clBlue, 0xFF0000FF},
        {clLime, 0xFF00FF00},     {clBlack, 0xFF000000}, {clWhite, 0xFFFFFFFF},
        {0x00E1AF97, 0xFF97AFE1},
    };
    for (auto [color, rgb] : cases) {
        EXPECT_EQ(toQRgb(color), rgb) << std::hex << color;
        EXPECT_EQ(toQColor(color).rgb(), rgb);
        EXPECT_EQ(fromQRgb(rgb), color);
        EXPECT_EQ(fromQColor(QColor::fromRgba(rgb)), color);
    }
    EXPECT_EQ(fromQRgb(qRgba(1, 2, 3, 0)), rgbColor(1, 2, 3));  // alpha dropped
    EXPECT_EQ(redOf(0x00914A28), 0x28);
    EXPECT_EQ(greenOf(0x00914A28), 0x4A);
    EXPECT_EQ(blueOf(0x00914A28), 0x91);
}

TEST(ColorTest, SystemColoursGoThroughOneTable) {
    EXPECT_EQ(clBtnFace, 0xFF00000Fu);
    EXPECT_EQ(clHighlight, 0xFF00000Du);
    EXPECT_EQ(clBtnShadow, 0xFF000010u);
    EXPECT_EQ(clMenuText, 0xFF000007u);
    for (int index = 0; index <= 30; ++index) {
        const TColor plain = colorToRGB(systemColor(index));
        EXPECT_FALSE(isSystemColor(plain)) << index;
        EXPECT_EQ(plain & 0xFF000000u, 0u) << index;
        EXPECT_EQ(toQRgb(systemColor(index)), toQRgb(plain)) << index;
    }
    // Light faces, dark texts, as a light desktop theme has them.
    EXPECT_GT(greenOf(colorToRGB(clBtnFace)), 0xC0);
    EXPECT_GT(greenOf(colorToRGB(clBtnFace)), greenOf(colorToRGB(clBtnShadow)));
    EXPECT_EQ(colorToRGB(clMenuText), clBlack);
    EXPECT_EQ(colorToRGB(clWindow), clWhite);
    EXPECT_EQ(colorToRGB(systemColor(200)), clBlack);  // no such number
    EXPECT_EQ(colorToRGB(0x00914A28), 0x00914A28u);    // a plain colour stays as it is
    EXPECT_EQ(qAlpha(toQRgb(clNone)), 0);
}
