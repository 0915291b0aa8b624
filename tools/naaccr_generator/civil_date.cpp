#include "tools/naaccr_generator/civil_date.h"

#include <charconv>
#include <cstdio>

namespace vetra::generator {

namespace {

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    constexpr int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : lengths[month - 1];
}

} // namespace

// Howard Hinnant's algorithm: years counted from March, so that the leap day ends the year,
// in eras of 400 years.
int daysFromCivil(const CivilDate& date) {
    int year = date.month <= 2 ? date.year - 1 : date.year;
    int era = (year >= 0 ? year : year - 399) / 400;
    int yearOfEra = year - era * 400;
    int dayOfYear = (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate civilFromDays(int days) {
    days += 719468;
    int era = (days >= 0 ? days : days - 146096) / 146097;
    int dayOfEra = days - era * 146097;
    int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int shiftedMonth = (5 * dayOfYear + 2) / 153;
    int day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    int month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    int year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

std::string ccyymmdd(const CivilDate& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", date.year, date.month, date.day);
    return text;
}

std::optional<CivilDate> parseCcyymmdd(std::string_view text) {
    int number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.size() != 8 || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    CivilDate date{number / 10000, number / 100 % 100, number % 100};
    if (date.month < 1 || date.month > 12) return std::nullopt;
    if (date.day < 1 || date.day > daysInMonth(date.year, date.month)) return std::nullopt;
    return date;
}

int completedYears(const CivilDate& birth, const CivilDate& on) {
    int years = on.year - birth.year;
    bool birthdayToCome = on.month < birth.month || (on.month == birth.month && on.day < birth.day);
    return birthdayToCome ? years - 1 : years;
}

} // namespace vetra::generator
