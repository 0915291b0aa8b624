// The range fields of the "&Metafile Selections" tab: "Start Editing at Record" and "Number of
// Records to Edit", corrected as they change so that the range lies within the data file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vetra::desktop {

struct RangeFields {
    std::string start = "1";
    std::string count = "1";
};

// After "Start Editing at Record" changed: an empty field becomes "1"; a start below 1 or past
// the record count minus the number of records plus one becomes that last possible start.
// Nothing when a field is not a number (the caller shows the conversion message).
std::optional<RangeFields> startChanged(RangeFields fields, std::int64_t recordCount);
// After "Number of Records to Edit" changed: an empty field becomes the record count and the
// start "1"; a number below 1 or above the record count becomes the record count.
std::optional<RangeFields> countChanged(RangeFields fields, std::int64_t recordCount);

} // namespace vetra::desktop
