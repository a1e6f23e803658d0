#pragma once
// The stored texts the export's tests write into their diary, and the files they become.

#include <QString>

namespace qbtest {

inline constexpr char kDecemberRtf[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 Hello "
    "{\\b bold} caf\\'e9 world\\par Second line\\par}";
inline constexpr char kTripRtf[] =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Trip notes\\par}";

inline const QString kDecemberFile =
    QStringLiteral("Year 2005/12 - December/31 - December 31, 2005.rtf");
inline const QString kJanuaryFile =
    QStringLiteral("Year 2005/01 - January/05 - January  5, 2005.rtf");

}  // namespace qbtest
