// The ten date formats of date fields (type code D followed by 1 to 9 or A): reading a
// field's characters as a CCYYMMDD value with the status of its malformed parts, and the
// generalised 8-character text CCYYMMDD through which every date write goes.
//
//   1 CCYYMMDD   2 binary CCYYMMDD   3 YYMMDD    4 binary YYMMDD   5 MM/DD/YY
//   6 MM/DD/CCYY 7 MMDDYY            8 MMDDCCYY  9 MMCCYY          A MMYY
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vetra {

inline constexpr int32_t kDayStatus = 4;
inline constexpr int32_t kMonthStatus = 8;
inline constexpr int32_t kYearStatus = 16;

struct DateRead {
    int32_t value = 0;
    int32_t status = 0; // 0, or the status of the worst malformed part
    bool empty = false; // the date's characters are all blanks
};

// The field's bytes (binary formats: the integer in its first four bytes, little-endian).
DateRead readDateField(std::string_view field, char format, bool blankFirstMonthDigit);

// True for the format characters 1 to 9 and A.
bool isDateFormat(char format);

// The generalised text of a value given as CCYYMMDD text: cut or padded to 8 characters.
std::string generalizePlainDate(std::string_view text);

// The generalised text of a value given in a format: 8 blanks for an all-blank value, empty
// for an empty one. Binary formats take the value as a decimal text.
std::string VTi_generalizeDate(std::string_view text, char format);

// The bytes that store a generalised text in a field of the format (binary formats: four
// bytes, little-endian).
std::string storedDate(const std::string& generalized, char format);

} // namespace vetra
