// The colour routines of the menu painter, the rounding they share, and the shortcut texts.
#include "menupaint/FlatMenuDraw.h"
#include "menupaint/FlatMenuPainter.h"
#include "platform/core/Rounding.h"

#include <gtest/gtest.h>

using namespace FlatMenuPainter;

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    const struct {
        double value;
        int rounded;
    } cases[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},   {127.5, 128}, {10.5, 10},
                 {13.5, 14}, {9.75, 10}, {-2.5, -2}, {3.49, 3},    {3.51, 4}};
    for (const auto& c : cases) {
        EXPECT_EQ(qb::roundHalfEven(c.value), c.rounded) << c.value;
    }
}

TEST(FlatMenuColors, DarkenLowersEveryChannelAlike) {
    // Green is lowered as much as red and blue: shades of gray stay gray.
    EXPECT_EQ(DarkenColor(0xFFFFFF, 10), 0xF5F5F5u);
    EXPECT_EQ(DarkenColor(0x000000, 10), 0x000000u);
    EXPECT_EQ(DarkenColor(0x000000, 0), 0x000000u);
    EXPECT_EQ(DarkenColor(0x0A1428, 20), 0x000014u);
    // A system colour is resolved before its channels are worked on.
    EXPECT_EQ(DarkenColor(qb::clBtnFace, 0), qb::colorToRGB(qb::clBtnFace));
}

TEST(FlatMenuColors, LightenRoundsHalvesToEven) {
    const struct {
        qb::TColor color;
        int percent;
        qb::TColor expected;
    } cases[] = {
        {0x000000, 50, 0x808080},  // 127.5 rounds to the even 128
        {0x010101, 50, 0x808080},  // 127 exactly
        {0xFEFEFE, 50, 0xFEFEFE},  // 0.5 rounds to 0
        {0x123456, 100, 0xFFFFFF}, {0x123456, 250, 0xFFFFFF}, {0x123456, 0, 0x123456},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LightenColor(c.color, c.percent), c.expected)
            << std::hex << c.color << " " << std::dec << c.percent;
    }
}

TEST(FlatMenuColors, GrayIsTheMeanPlusValueCappedAt240) {
    EXPECT_EQ(GrayColor(0xFFFFFF, 10), 0xF0F0F0u);
    EXPECT_EQ(GrayColor(0x000000, 10), 0x0A0A0Au);
    EXPECT_EQ(GrayColor(0x0000FF, 0), 0x555555u);
}

TEST(FlatMenuColors, MixIsTheRoundedMeanOfWholeChannels) {
    // Each half truncated gave $E9E7E3; white mixed with white lost a step.
    EXPECT_EQ(MixColors({0xFFFFFF, 0xD4D0C8}), 0xEAE8E4u);
    EXPECT_EQ(MixColors({0xFFFFFF, 0xFFFFFF}), 0xFFFFFFu);
    EXPECT_EQ(MixColors({0x123456}), 0x123456u);
    EXPECT_EQ(MixColors({}), 0x000000u);
}

TEST(FlatMenuShortcuts, ModifiersInTheDiarysOrder) {
    const struct {
        const char* qt;
        const char* shown;
    } cases[] = {
        {"Ctrl+Shift+Z", "Shift+Ctrl+Z"},
        {"Ctrl+Z", "Ctrl+Z"},
        {"Ctrl+Alt+Shift+T", "Shift+Ctrl+Alt+T"},
        {"Ctrl++", "Ctrl++"},
        {"F3", "F3"},
        {"Shift+F3", "Shift+F3"},
        {"Ctrl+K, Ctrl+Shift+B", "Ctrl+K, Shift+Ctrl+B"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DiaryShortcutText(QString::fromLatin1(c.qt)), QString::fromLatin1(c.shown));
    }
}

TEST(FlatMenuSets, MembersComeAndGo) {
    const TFlatControls program =
        TFlatControls::all().without(TFlatControl::fcToolbar).without(TFlatControl::fcControlbar);
    EXPECT_TRUE(program.contains(TFlatControl::fcMainMenu));
    EXPECT_TRUE(program.contains(TFlatControl::fcHotKey));
    EXPECT_FALSE(program.contains(TFlatControl::fcToolbar));
    EXPECT_TRUE(TFlatContainers{}.empty());
    EXPECT_TRUE(TFlatContainers::all().contains(TFlatContainer::fccPageScroller));
}
