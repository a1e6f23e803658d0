#pragma once
// Colour values as the diary stores and computes them: a TColor is 0x00BBGGRR (red in the low
// byte), the reverse of Qt's 0xAARRGGBB, so values are converted channel by channel, never cast.
// A value with the top bit set ($FF0000nn) names system colour nn and becomes a plain colour only
// through colorToRGB, which looks it up in one table.

#include <QColor>
#include <QRgb>

#include <cstdint>

namespace qb {

using TColor = std::uint32_t;

constexpr std::uint8_t redOf(TColor c) {
    return static_cast<std::uint8_t>(c & 0xFFu);
}
constexpr std::uint8_t greenOf(TColor c) {
    return static_cast<std::uint8_t>((c >> 8) & 0xFFu);
}
constexpr std::uint8_t blueOf(TColor c) {
    return static_cast<std::uint8_t>((c >> 16) & 0xFFu);
}
constexpr TColor rgbColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}

constexpr bool isSystemColor(TColor c) {
    return (c & 0x80000000u) != 0;
}
constexpr TColor systemColor(int index) {
    return 0xFF000000u | TColor(index & 0xFF);
}

// The plain 0x00BBGGRR value: a system colour through the table (an unknown number gives black),
// any other value as it is.
TColor colorToRGB(TColor c);

// Opaque Qt colours of a TColor (system colours resolved; clNone gives a transparent colour).
QRgb toQRgb(TColor c);
QColor toQColor(TColor c);
// The TColor of a Qt colour; its alpha is dropped.
TColor fromQRgb(QRgb rgb);
TColor fromQColor(const QColor& color);

// The named colours the settings file and the program use (clBlack, clRed, ...).
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;

// The system colours, by their Windows numbers.
inline constexpr TColor clScrollBar = systemColor(0);
inline constexpr TColor clBackground = systemColor(1);
inline constexpr TColor clActiveCaption = systemColor(2);
inline constexpr TColor clInactiveCaption = systemColor(3);
inline constexpr TColor clMenu = systemColor(4);
inline constexpr TColor clWindow = systemColor(5);
inline constexpr TColor clWindowFrame = systemColor(6);
inline constexpr TColor clMenuText = systemColor(7);
inline constexpr TColor clWindowText = systemColor(8);
inline constexpr TColor clCaptionText = systemColor(9);
inline constexpr TColor clActiveBorder = systemColor(10);
inline constexpr TColor clInactiveBorder = systemColor(11);
inline constexpr TColor clAppWorkSpace = systemColor(12);
inline constexpr TColor clHighlight = systemColor(13);
inline constexpr TColor clHighlightText = systemColor(14);
inline constexpr TColor clBtnFace = systemColor(15);
inline constexpr TColor clBtnShadow = systemColor(16);
inline constexpr TColor clGrayText = systemColor(17);
inline constexpr TColor clBtnText = systemColor(18);
inline constexpr TColor clInactiveCaptionText = systemColor(19);
inline constexpr TColor clBtnHighlight = systemColor(20);
inline constexpr TColor cl3DDkShadow = systemColor(21);
inline constexpr TColor cl3DLight = systemColor(22);
inline constexpr TColor clInfoText = systemColor(23);
inline constexpr TColor clInfoBk = systemColor(24);
inline constexpr TColor clHotLight = systemColor(26);
inline constexpr TColor clGradientActiveCaption = systemColor(27);
inline constexpr TColor clGradientInactiveCaption = systemColor(28);
inline constexpr TColor clMenuHighlight = systemColor(29);
inline constexpr TColor clMenuBar = systemColor(30);

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

}  // namespace qb
