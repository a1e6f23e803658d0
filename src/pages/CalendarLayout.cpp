#include "pages/CalendarLayout.h"

#include "program/ProgramState.h"

namespace {

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

}  // namespace

QString MakeDateKey(int day, const QDate& date) {
    const int d = day == 0 ? date.day() : day;
    return QString::number(date.year()) + twoDigits(date.month()) + twoDigits(d);
}

namespace qb {

int WeekdayLabelLeft(int left, int k) {
    return left + kCellPitch * k;
}

const std::array<QString, 7>& WeekdayInitials() {
    static const std::array<QString, 7> initials = {
        QStringLiteral("Su"), QStringLiteral("Mo"), QStringLiteral("Tu"), QStringLiteral("We"),
        QStringLiteral("Th"), QStringLiteral("Fr"), QStringLiteral("Sa")};
    return initials;
}

bool DaysListHasDay(const QString& days, int day) {
    return days.contains(QLatin1Char(';') + twoDigits(day) + QLatin1Char(';'));
}

MonthLayout LayoutMonth(const QDate& date, const QDate& today, const QString& days) {
    MonthLayout layout;
    const QDate first(date.year(), date.month(), 1);
    layout.caption = MonthNames[date.month()] + QLatin1Char(' ') + QString::number(date.year());
    layout.monthKey = MakeDateKey(1, date).left(6);
    layout.firstWeekday = first.dayOfWeek() % 7;  // Qt counts Monday 1 .. Sunday 7
    layout.dayCount = first.daysInMonth();
    const bool todayInMonth = today.year() == date.year() && today.month() == date.month();
    layout.days.reserve(static_cast<std::size_t>(layout.dayCount));
    for (int d = 1; d <= layout.dayCount; ++d) {
        DayCell cell;
        cell.day = d;
        cell.cell = layout.firstWeekday + d - 1;
        cell.left = kFirstCellLeft + kCellPitch * (cell.cell % 7);
        cell.top = kFirstRowTop + kCellPitch * (cell.cell / 7) - kLabelRaise;
        cell.key = MakeDateKey(d, date);
        cell.today = todayInMonth && today.day() == d;
        cell.marked = DaysListHasDay(days, d);
        layout.days.push_back(cell);
    }
    return layout;
}

std::array<ExtraMonthPanel, 3> PlanExtraMonthPanels(int panelHeight,
                                                    const std::array<int, 3>& heights) {
    std::array<ExtraMonthPanel, 3> plan{};
    const auto show = [&](std::size_t i) {
        plan[i] = heights[i] == 0 ? ExtraMonthPanel{kExtraMonthPanelHeight, true}
                                  : ExtraMonthPanel{heights[i], false};
    };
    // The thresholds nest: a month is shown only when every month above it is shown.
    if (panelHeight < kSecondMonthHeight) {
        return plan;
    }
    show(0);
    if (panelHeight < kThirdMonthHeight) {
        return plan;
    }
    show(1);
    if (panelHeight >= kFourthMonthHeight) {
        show(2);
    }
    return plan;
}

}  // namespace qb
