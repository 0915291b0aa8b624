#include "date_arithmetic.h"

#include <array>
#include <utility>

namespace vetra {

namespace {

constexpr std::array<int32_t, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr std::array<int32_t, 12> kFirstDay = {1,   32,  60,  91,  121, 152,
                                               182, 213, 244, 274, 305, 335};

bool incomplete(int32_t part) {
    return part == 0 || part == 99;
}

int32_t dayOfYear(const DateParts& date) {
    int32_t leap = date.month >= 3 && date.year % 4 == 0 ? 1 : 0;
    return kFirstDay[static_cast<size_t>(date.month - 1)] + date.day - 1 + leap;
}

// Days of the years from `from` up to, not including, `to`.
int64_t daysOfYears(int32_t from, int32_t to) {
    auto leapsBefore = [](int64_t year) { return year <= 0 ? 0 : (year - 1) / 4 + 1; };
    return int64_t{365} * (to - from) + leapsBefore(to) - leapsBefore(from);
}

bool complete(DateParts& p, DateParts& q, int32_t mode) {
    if (incomplete(p.year) || p.year == 9999 || incomplete(q.year) || q.year == 9999) return false;
    bool sameYear = p.year == q.year;
    if (mode == kDateMin) {
        if (incomplete(p.month)) p.month = sameYear && !incomplete(q.month) ? q.month : 12;
        if (incomplete(q.month)) q.month = sameYear ? p.month : 1;
        bool sameMonth = sameYear && p.month == q.month;
        if (incomplete(p.day))
            p.day = sameMonth && !incomplete(q.day) ? q.day : daysInMonth(p.month);
        if (incomplete(q.day)) q.day = sameMonth ? p.day : 1;
    } else if (mode == kDateMax) {
        if (incomplete(p.month)) p.month = 1;
        if (incomplete(q.month)) q.month = 12;
        if (incomplete(p.day)) p.day = 1;
        if (incomplete(q.day)) q.day = daysInMonth(q.month);
    } else if (incomplete(p.month) || incomplete(p.day) || incomplete(q.month) ||
               incomplete(q.day)) {
        return false;
    }
    // Months that no calendar has cannot be counted.
    return daysInMonth(p.month) != 0 && daysInMonth(q.month) != 0;
}

} // namespace

int32_t daysInMonth(int32_t month) {
    return month >= 1 && month <= 12 ? kDays[static_cast<size_t>(month - 1)] : 0;
}

int64_t dayDistance(const DateParts& p, const DateParts& q) {
    return dayOfYear(q) + daysOfYears(p.year, q.year) - dayOfYear(p);
}

std::optional<int32_t> dayDifference(int32_t d1, int32_t d2, int32_t mode) {
    DateParts p = DateParts::of(d1 <= d2 ? d1 : d2);
    DateParts q = DateParts::of(d1 <= d2 ? d2 : d1);
    if (!complete(p, q, mode)) return std::nullopt;
    int64_t distance = dayDistance(p, q);
    return static_cast<int32_t>(d1 <= d2 ? distance : -distance);
}

} // namespace vetra
