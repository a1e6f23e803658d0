#pragma once
// Colour values as the settings file writes them. A colour is a 32-bit value 0x00BBGGRR; a value
// $FF0000nn names the desktop's system colour nn and is turned into RGB only where it is painted.

#include <QString>

#include <cstdint>
#include <optional>

namespace qb {

// The colour's identifier ("clWhite", "clBtnFace", ...) when it has one, else "$" and eight
// upper-case hexadecimal digits ("$00914A28").
QString colorToText(std::uint32_t color);

// An identifier, compared without case, else an integer text (decimal, or hexadecimal after
// "$" or "0x"); nullopt for any other text.
std::optional<std::uint32_t> textToColor(const QString& text);

// The identifier of a colour value, or an empty text.
QString colorIdentifier(std::uint32_t color);

}  // namespace qb
