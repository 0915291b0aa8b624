// Calendar dates as the generator needs them: counted in days so that intervals are sums, and
// written CCYYMMDD as NAACCR dates are.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vetra::generator {

struct CivilDate {
    int year = 1970;
    int month = 1;
    int day = 1;

    auto operator<=>(const CivilDate&) const = default;
};

// Days since 1970-01-01 in the proleptic Gregorian calendar, and back.
int daysFromCivil(const CivilDate& date);
CivilDate civilFromDays(int days);

std::string ccyymmdd(const CivilDate& date);
// The date of eight digits that name a real day; nullopt for anything else.
std::optional<CivilDate> parseCcyymmdd(std::string_view text);

// Age in completed years on `on` of a person born on `birth`.
int completedYears(const CivilDate& birth, const CivilDate& on);

} // namespace vetra::generator
