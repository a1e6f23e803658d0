#include "pages/CalendarLayout.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

struct MonthCase {
    const char* name;
    QDate date;
    int firstWeekday;
    int dayCount;
    int lastLeft;  // where the last day of the month stands
    int lastTop;
};

class MonthLayoutTest : public ::testing::TestWithParam<MonthCase> {};

TEST_P(MonthLayoutTest, PlacesEveryDayInItsWeekdayColumnAndRow) {
    const MonthCase& c = GetParam();
    const MonthLayout layout = LayoutMonth(c.date, QDate(1999, 1, 1), QString());
    EXPECT_EQ(layout.firstWeekday, c.firstWeekday);
    EXPECT_EQ(layout.dayCount, c.dayCount);
    ASSERT_EQ(layout.days.size(), static_cast<std::size_t>(c.dayCount));

    const DayCell& first = layout.days.front();
    EXPECT_EQ(first.left, 18 + 26 * c.firstWeekday);
    EXPECT_EQ(first.top, 53);
    EXPECT_EQ(layout.days.back().left, c.lastLeft);
    EXPECT_EQ(layout.days.back().top, c.lastTop);
    for (const DayCell& cell : layout.days) {
        const QDate day(c.date.year(), c.date.month(), cell.day);
        EXPECT_EQ((cell.left - 18) / 26, day.dayOfWeek() % 7) << "day " << cell.day;
        EXPECT_EQ(cell.key, day.toString(QStringLiteral("yyyyMMdd")));
        EXPECT_FALSE(cell.today);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Months, MonthLayoutTest,
    ::testing::Values(
        // No blank cells before the 1st.
        MonthCase{"StartsOnSunday", QDate(2005, 5, 17), 0, 31, 18 + 26 * 2, 53 + 26 * 4},
        // Day 1 in the last column; day 31 needs the sixth row (cell 36).
        MonthCase{"SaturdayWith31Days", QDate(2005, 10, 3), 6, 31, 18 + 26, 53 + 130},
        MonthCase{"February", QDate(2005, 2, 28), 2, 28, 18 + 26, 53 + 26 * 4},
        MonthCase{"LeapFebruary", QDate(2004, 2, 1), 0, 29, 18, 53 + 26 * 4},
        // Exactly four rows.
        MonthCase{"FebruaryOnFourRows", QDate(2009, 2, 14), 0, 28, 18 + 26 * 6, 53 + 26 * 3}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(MonthLayout, CaptionAndMonthKey) {
    const MonthLayout layout = LayoutMonth(QDate(2005, 3, 5), QDate(), QString());
    EXPECT_EQ(layout.caption, QStringLiteral("March 2005"));
    EXPECT_EQ(layout.monthKey, QStringLiteral("200503"));
}

TEST(MonthLayout, TodayOnlyInTodaysMonthAndYear) {
    const QDate today(2005, 3, 5);
    const auto todays = [&](const QDate& month) {
        std::vector<int> found;
        for (const DayCell& cell : LayoutMonth(month, today, QString()).days) {
            if (cell.today) {
                found.push_back(cell.day);
            }
        }
        return found;
    };
    EXPECT_EQ(todays(QDate(2005, 3, 20)), std::vector<int>{5});
    EXPECT_TRUE(todays(QDate(2005, 4, 5)).empty());
    EXPECT_TRUE(todays(QDate(2006, 3, 5)).empty());
}

TEST(MonthLayout, MarksTheDaysOfTheDayList) {
    struct Case {
        const char* days;
        std::vector<int> marked;
    };
    const Case cases[] = {
        {";05;;12;", {5, 12}},  // the empty item of a deleted day marks nothing
        {";;12;05;", {5, 12}},  // order of adding does not matter
        {";;", {}},
        {"", {}},
        {";31;", {31}},
        {";1;", {}},    // only two-digit items count
        {"05;12", {}},  // items need separators on both sides
        {";05;12;03;", {3, 5, 12}},
    };
    for (const Case& c : cases) {
        std::vector<int> marked;
        for (const DayCell& cell :
             LayoutMonth(QDate(2005, 3, 1), QDate(), QString::fromLatin1(c.days)).days) {
            if (cell.marked) {
                marked.push_back(cell.day);
            }
        }
        EXPECT_EQ(marked, c.marked) << c.days;
    }
}

TEST(MakeDateKey, PadsMonthAndDayNotTheYear) {
    EXPECT_EQ(MakeDateKey(1, QDate(2005, 3, 17)), QStringLiteral("20050301"));
    EXPECT_EQ(MakeDateKey(0, QDate(2005, 3, 17)), QStringLiteral("20050317"));
    EXPECT_EQ(MakeDateKey(31, QDate(2005, 12, 1)), QStringLiteral("20051231"));
}

TEST(ExtraMonthPanels, ThresholdsShowOneToFourMonths) {
    struct Case {
        int height;
        std::array<int, 3> heights;  // of month panels 2 .. 4 afterwards
    };
    const Case cases[] = {
        {200, {0, 0, 0}},     {335, {0, 0, 0}},     {336, {224, 0, 0}},     {553, {224, 0, 0}},
        {554, {224, 224, 0}}, {771, {224, 224, 0}}, {772, {224, 224, 224}}, {2000, {224, 224, 224}},
    };
    for (const Case& c : cases) {
        const auto plan = PlanExtraMonthPanels(c.height, {0, 0, 0});
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(plan[i].height, c.heights[i]) << "height " << c.height << " panel " << i + 2;
            EXPECT_EQ(plan[i].build, c.heights[i] > 0) << "height " << c.height;
        }
    }
}

TEST(ExtraMonthPanels, ShownPanelsKeepTheirHeightAndAreNotRebuilt) {
    const auto grown = PlanExtraMonthPanels(772, {218, 224, 0});
    EXPECT_EQ(grown[0].height, 218);
    EXPECT_FALSE(grown[0].build);
    EXPECT_FALSE(grown[1].build);
    EXPECT_TRUE(grown[2].build);

    const auto shrunk = PlanExtraMonthPanels(553, {218, 224, 224});
    EXPECT_EQ(shrunk[0].height, 218);
    EXPECT_EQ(shrunk[1].height, 0);
    EXPECT_EQ(shrunk[2].height, 0);
    for (const auto& p : shrunk) {
        EXPECT_FALSE(p.build);
    }
}

}  // namespace
}  // namespace qb
