// daydiff, monthdiff and yeardiff run from compiled edits over thousands of date pairs of the
// years 1850 to 2100, some with missing (00) or unknown (99) parts, in every completion mode,
// against an independent count: days since year 0 by the calendar these functions use (every
// fourth year a leap year, February 28 in the month table when a part is completed).
#include "tests/interp/edit_runner.h"

#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>

namespace {

using vetra::testing::EditRunner;

constexpr int32_t kUnknown = 0x7FFFFFFF;
constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

struct Date {
    int32_t year, month, day;
    int32_t value() const { return year * 10000 + month * 100 + day; }
};

bool incomplete(int32_t part) {
    return part == 0 || part == 99;
}

int64_t serialDay(const Date& date) {
    int64_t days = int64_t{365} * date.year + (date.year + 3) / 4;
    for (int32_t m = 1; m < date.month; ++m)
        days += kMonthDays[m - 1] + (m == 2 && date.year % 4 == 0 ? 1 : 0);
    return days + date.day;
}

// The completion rules of the modes, written out again for the comparison.
std::optional<int32_t> expectedDays(Date d1, Date d2, int32_t mode) {
    bool inOrder = d1.value() <= d2.value();
    Date p = inOrder ? d1 : d2;
    Date q = inOrder ? d2 : d1;
    for (const Date& date : {p, q})
        if (incomplete(date.year) || date.year == 9999) return std::nullopt;
    if (mode == 1) {
        if (incomplete(p.month)) p.month = p.year == q.year && !incomplete(q.month) ? q.month : 12;
        if (incomplete(q.month)) q.month = p.year == q.year ? p.month : 1;
        bool sameMonth = p.year == q.year && p.month == q.month;
        if (incomplete(p.day))
            p.day = sameMonth && !incomplete(q.day) ? q.day : kMonthDays[p.month - 1];
        if (incomplete(q.day)) q.day = sameMonth ? p.day : 1;
    } else if (mode == 2) {
        if (incomplete(p.month)) p.month = 1;
        if (incomplete(q.month)) q.month = 12;
        if (incomplete(p.day)) p.day = 1;
        if (incomplete(q.day)) q.day = kMonthDays[q.month - 1];
    } else {
        for (const Date& date : {p, q})
            if (incomplete(date.month) || incomplete(date.day)) return std::nullopt;
    }
    int64_t distance = serialDay(q) - serialDay(p);
    return static_cast<int32_t>(inOrder ? distance : -distance);
}

Date randomDate(std::mt19937& random) {
    std::uniform_int_distribution<int32_t> year(1850, 2100), month(1, 12), chance(0, 9);
    Date date{year(random), month(random), 1};
    date.day = std::uniform_int_distribution<int32_t>(1, kMonthDays[date.month - 1])(random);
    if (chance(random) == 0) date.month = chance(random) < 5 ? 0 : 99;
    if (chance(random) < 2) date.day = chance(random) < 5 ? 0 : 99;
    return date;
}

TEST(DateDifferenceTable, AgreesWithAnIndependentDayCount) {
    EditRunner edits;
    std::mt19937 random(2026);
    int compared = 0;
    for (int pair = 0; pair < 1500; ++pair) {
        Date d1 = randomDate(random), d2 = randomDate(random);
        for (int32_t mode : {1, 2, 3}) {
            std::optional<int32_t> days = expectedDays(d1, d2, mode);
            std::string arguments = std::to_string(d1.value()) + ", " + std::to_string(d2.value()) +
                                    ", " + std::to_string(mode);
            int32_t daydiff = edits.run("return daydiff(" + arguments + ");");
            int32_t monthdiff = edits.run("return monthdiff(" + arguments + ");");
            int32_t yeardiff = edits.run("return yeardiff(" + arguments + ");");
            ASSERT_EQ(daydiff, days.value_or(kUnknown)) << arguments;
            ASSERT_EQ(monthdiff, days ? *days / 30 : kUnknown) << arguments;
            ASSERT_EQ(yeardiff, days ? *days / 365 : kUnknown) << arguments;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 4500);
}

} // namespace
