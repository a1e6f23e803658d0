#include "platform/ini/ColorText.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(ColorTextTest, ReadsIdentifiersAndIntegerTexts) {
    struct Case {
        const char* text;
        std::optional<std::uint32_t> expected;
    };
    const Case cases[] = {
        {"clRed", 0x0000FF},       {"CLRED", 0x0000FF},        {"clred", 0x0000FF},
        {"$000000FF", 0x0000FF},   {"255", 0x0000FF},          {"0x0000FF", 0x0000FF},
        {"$00914A28", 0x00914A28}, {"clWhite", 0xFFFFFF},      {"clGreen", 0x008000},
        {"clSkyBlue", 0xF0CAA6},   {"clMedGray", 0xA4A0A0},    {"clBtnFace", 0xFF00000F},
        {"clMenuBar", 0xFF00001E}, {"clHotLight", 0xFF00001A}, {"clNone", 0x1FFFFFFF},
        {"clDefault", 0x20000000}, {"$FF00000F", 0xFF00000F},  {"-1", 0xFFFFFFFF},
        {"red", std::nullopt},     {"cl", std::nullopt},       {"", std::nullopt},
        {"#FF0000", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qb::textToColor(QString::fromLatin1(c.text)), c.expected) << c.text;
    }
}

TEST(ColorTextTest, WritesIdentifierElseEightUpperCaseDigits) {
    struct Case {
        std::uint32_t color;
        const char* expected;
    };
    const Case cases[] = {
        {0x0000FF, "clRed"},       {0xFFFFFF, "clWhite"},     {0x000000, "clBlack"},
        {0x008000, "clGreen"},     {0xF0FBFF, "clCream"},     {0x00914A28, "$00914A28"},
        {0x00E1AF97, "$00E1AF97"}, {0x0000FE, "$000000FE"},   {0xFF00000F, "clBtnFace"},
        {0xFF000019, "$FF000019"},  // index 25 has no name
        {0x1FFFFFFF, "clNone"},    {0xABCDEF12, "$ABCDEF12"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qb::colorToText(c.color), QString::fromLatin1(c.expected)) << c.expected;
    }
}

}  // namespace
