// Calendar rules of the _iop date functions, whose unknown day or month is blank (0 in the
// CCYYMMDD value): the validity check against the latest accepted date, the completion of
// unknown parts for a mode, and the day difference built on them. Days are counted as the
// plain functions count them.
#pragma once

#include "engine/library/date_arithmetic.h"

#include <cstdint>
#include <optional>

namespace vetra {

// Today with its year moved on by the years allow_future_date_iop granted the running edit.
struct LatestDate {
    DateParts parts;
    int32_t value;

    static LatestDate of(int32_t today, int32_t futureYears);
};

// 0 for a valid date, else the detail status 4, 8 or 16 of the part at fault. Years run from
// 1850; 29 February needs a Gregorian leap year; unknown parts pass.
int32_t VTi_ValidDate_IOP(const DateParts& date, const LatestDate& latest);

// Fills the unknown parts of p and q for the mode: dt_min brings them as close as they can be
// (p no later than the latest date), dt_max as far apart. False when a year is unknown or
// another mode meets an unknown part.
bool completeIop(DateParts& p, DateParts& q, int32_t mode, const LatestDate& latest);

// The signed distance in days from d1 to d2, two valid dates; none when they cannot be
// completed for the mode.
std::optional<int32_t> iopDayDifference(int32_t d1, int32_t d2, int32_t mode,
                                        const LatestDate& latest);

} // namespace vetra
