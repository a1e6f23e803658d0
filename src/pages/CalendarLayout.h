#pragma once
// Where a month calendar puts its caption, weekday initials, day labels and entry marks, and
// how many months the calendar side panel shows for its height. Pure arithmetic over dates and
// the month's day list, so that the layout can be checked without any widget.

#include <QDate>
#include <QString>

#include <array>
#include <vector>

// The key of day `day` of the month of `date` (day 0: the date's own day): the year as
// decimal text, then the month and the day as two digits each.
QString MakeDateKey(int day, const QDate& date);

namespace qb {

inline constexpr int kCellPitch = 26;      // distance between neighbouring cells
inline constexpr int kCellSize = 24;       // day labels and entry marks are square
inline constexpr int kFirstCellLeft = 18;  // left edge of the Sunday column
inline constexpr int kFirstRowTop = 56;    // top of the first row of days
inline constexpr int kLabelRaise = 3;      // labels and marks stand this much above their row
inline constexpr int kWeekdayTop = 30;
inline constexpr int kMaxDayNumber = 31;

struct CaptionGeometry {
    int left = 26;
    int top = 6;
    int width = 160;
    int height = 22;
};

struct DayCell {
    int day = 0;   // 1 .. 31
    int cell = 0;  // 0 .. 41, Sunday-first, row by row
    int left = 0;
    int top = 0;
    QString key;  // the day key, also the label's hint
    bool today = false;
    bool marked = false;  // the month's day list holds this day
};

struct MonthLayout {
    QString caption;       // the program's English month name, blank, year
    QString monthKey;      // "YYYYMM"
    int firstWeekday = 0;  // weekday of the 1st, Sunday 0 .. Saturday 6
    int dayCount = 0;
    std::vector<DayCell> days;  // day 1 first
};

// Left edge of weekday initial k (0 = "Su" .. 6 = "Sa") when the row starts at `left`.
int WeekdayLabelLeft(int left, int k);

// The weekday initials, Sunday first.
const std::array<QString, 7>& WeekdayInitials();

// True when the month's day list (";" then "DD;" per day) holds day `day`. Empty items left by
// deleted days never match.
bool DaysListHasDay(const QString& days, int day);

// Lays out the month of `date`; `today` decides which number is today's, `days` is the month's
// day list.
MonthLayout LayoutMonth(const QDate& date, const QDate& today, const QString& days);

// The calendar side panel shows months 2, 3 and 4 below the first when it is tall enough.
inline constexpr int kSecondMonthHeight = 336;
inline constexpr int kThirdMonthHeight = 554;
inline constexpr int kFourthMonthHeight = 772;
inline constexpr int kExtraMonthPanelHeight = 224;

struct ExtraMonthPanel {
    int height = 0;
    bool build = false;  // the panel is shown now and must be built
};

// What a resize of the side panel to `panelHeight` does to month panels 2 .. 4, given their
// current heights. A panel that already has a height keeps it and is not rebuilt.
std::array<ExtraMonthPanel, 3> PlanExtraMonthPanels(int panelHeight,
                                                    const std::array<int, 3>& heights);

}  // namespace qb
