// Calendar arithmetic on CCYYMMDD dates as the plain date functions of edit logic count:
// February has 28 days in the month table, and a year divisible by 4 is a leap year.
#pragma once

#include <cstdint>
#include <optional>

namespace vetra {

inline constexpr int32_t kDateMonthEmpty = 0x1FFFFFFF;
inline constexpr int32_t kDateDayEmpty = 0x2FFFFFFF;
inline constexpr int32_t kDateEmpty = 0x3FFFFFFF;
inline constexpr int32_t kDateValid = 0x4FFFFFFF;
inline constexpr int32_t kDateMissing = 0x5FFFFFFF;
inline constexpr int32_t kDateError = 0x6FFFFFFF;
inline constexpr int32_t kDateUnknown = 0x7FFFFFFF;
inline constexpr int32_t kDateMin = 1;
inline constexpr int32_t kDateMax = 2;

struct DateParts {
    int32_t year;
    int32_t month;
    int32_t day;

    static DateParts of(int32_t date) { return {date / 10000, date / 100 % 100, date % 100}; }
    int32_t value() const { return year * 10000 + month * 100 + day; }
};

// Days of a month in the table (February 28); 0 for a month outside 1 to 12.
int32_t daysInMonth(int32_t month);

// Days from p to a date q not earlier, both complete with months 1 to 12.
int64_t dayDistance(const DateParts& p, const DateParts& q);

// The signed distance in days from d1 to d2, their missing (0) and unknown (99) parts
// completed for the mode (dt_min the smallest distance, dt_max the largest); none when a
// year is missing or unknown, or another mode meets an incomplete date.
std::optional<int32_t> dayDifference(int32_t d1, int32_t d2, int32_t mode);

} // namespace vetra
