#include "date_arithmetic_iop.h"

namespace vetra {

namespace {

constexpr int32_t kFirstYear = 1850;

bool gregorianLeapYear(int32_t year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// The part of a date later than the latest accepted date that makes it so.
int32_t futureStatus(const DateParts& date, const DateParts& latest) {
    if (date.year > latest.year) return 16;
    if (date.month > latest.month) return 8;
    return 4;
}

void completeNearest(DateParts& p, DateParts& q, const DateParts& latest) {
    bool sameYear = p.year == q.year;
    if (p.month == 0) {
        if (p.year != q.year)
            p.month = p.year < q.year ? 12 : 1;
        else
            p.month = q.month != 0 ? q.month : 12;
    }
    if (q.month == 0) q.month = sameYear ? p.month : 1;
    bool sameMonth = sameYear && p.month == q.month;
    if (p.day == 0) {
        bool thisMonth = p.year == latest.year && p.month == latest.month;
        p.day = sameMonth && q.day != 0 ? q.day : thisMonth ? latest.day : daysInMonth(p.month);
    }
    if (q.day == 0) q.day = sameMonth ? p.day : 1;
}

void completeFarthest(DateParts& p, DateParts& q) {
    if (p.month == 0) p.month = 1;
    if (q.month == 0) q.month = 12;
    if (p.day == 0) p.day = 1;
    if (q.day == 0) q.day = daysInMonth(q.month);
}

} // namespace

LatestDate LatestDate::of(int32_t today, int32_t futureYears) {
    DateParts parts = DateParts::of(today);
    parts.year += futureYears;
    return {parts, parts.value()};
}

int32_t VTi_ValidDate_IOP(const DateParts& date, const LatestDate& latest) {
    if (date.year < kFirstYear || date.year > latest.parts.year) return 16;
    if (date.month > 12) return 8;
    if (date.day >= 32) return 4;
    if (date.month >= 1 && date.day > daysInMonth(date.month) &&
        !(date.month == 2 && date.day == 29 && gregorianLeapYear(date.year)))
        return 4;
    if (date.value() > latest.value) return futureStatus(date, latest.parts);
    return 0;
}

bool completeIop(DateParts& p, DateParts& q, int32_t mode, const LatestDate& latest) {
    if (p.year == 0 || q.year == 0) return false;
    if (mode == kDateMin) {
        completeNearest(p, q, latest.parts);
    } else if (mode == kDateMax) {
        completeFarthest(p, q);
    } else if (p.month == 0 || p.day == 0 || q.month == 0 || q.day == 0) {
        return false;
    }
    return true;
}

std::optional<int32_t> iopDayDifference(int32_t d1, int32_t d2, int32_t mode,
                                        const LatestDate& latest) {
    DateParts first = DateParts::of(d1);
    DateParts second = DateParts::of(d2);
    if (mode == kDateMax) completeFarthest(first, second); // d1 earliest, d2 latest
    bool forward = first.value() <= second.value();
    DateParts p = forward ? first : second;
    DateParts q = forward ? second : first;
    if (!completeIop(p, q, mode, latest)) return std::nullopt;
    int64_t distance = dayDistance(p, q);
    return static_cast<int32_t>(forward ? distance : -distance);
}

} // namespace vetra
