#include "platform/ini/ColorText.h"

#include "platform/ini/IniFile.h"

#include <array>

namespace qb {
namespace {

struct NamedColor {
    const char* name;
    std::uint32_t value;
};

constexpr std::uint32_t kSystem = 0xFF000000u;

// Fixed colours first: a value that is both a fixed and a system colour cannot occur, but the
// fixed names are the ones the program itself writes.
constexpr std::array<NamedColor, 52> kColorNames{{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clScrollBar", kSystem | 0},
    {"clBackground", kSystem | 1},
    {"clActiveCaption", kSystem | 2},
    {"clInactiveCaption", kSystem | 3},
    {"clMenu", kSystem | 4},
    {"clWindow", kSystem | 5},
    {"clWindowFrame", kSystem | 6},
    {"clMenuText", kSystem | 7},
    {"clWindowText", kSystem | 8},
    {"clCaptionText", kSystem | 9},
    {"clActiveBorder", kSystem | 10},
    {"clInactiveBorder", kSystem | 11},
    {"clAppWorkSpace", kSystem | 12},
    {"clHighlight", kSystem | 13},
    {"clHighlightText", kSystem | 14},
    {"clBtnFace", kSystem | 15},
    {"clBtnShadow", kSystem | 16},
    {"clGrayText", kSystem | 17},
    {"clBtnText", kSystem | 18},
    {"clInactiveCaptionText", kSystem | 19},
    {"clBtnHighlight", kSystem | 20},
    {"cl3DDkShadow", kSystem | 21},
    {"cl3DLight", kSystem | 22},
    {"clInfoText", kSystem | 23},
    {"clInfoBk", kSystem | 24},
    {"clHotLight", kSystem | 26},
    {"clGradientActiveCaption", kSystem | 27},
    {"clGradientInactiveCaption", kSystem | 28},
    {"clMenuHighlight", kSystem | 29},
    {"clMenuBar", kSystem | 30},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
}};

}  // namespace

QString colorIdentifier(std::uint32_t color) {
    for (const NamedColor& named : kColorNames) {
        if (named.value == color) {
            return QString::fromLatin1(named.name);
        }
    }
    return QString();
}

QString colorToText(std::uint32_t color) {
    QString name = colorIdentifier(color);
    if (!name.isEmpty()) {
        return name;
    }
    return QStringLiteral("$%1").arg(color, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<std::uint32_t> textToColor(const QString& text) {
    for (const NamedColor& named : kColorNames) {
        if (text.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0) {
            return named.value;
        }
    }
    if (std::optional<std::int32_t> number = parseProfileInteger(text)) {
        return static_cast<std::uint32_t>(*number);
    }
    return std::nullopt;
}

}  // namespace qb
