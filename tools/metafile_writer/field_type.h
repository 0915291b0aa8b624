// The type codes of record fields. A code is one letter, C R T S Z D I L in either case; a date
// (D) adds a digit 1-9 or A naming its form. The tables store codes in two characters, a
// one-letter code followed by a blank. I and L fields are 4-byte binary numbers, and each date
// form has one length.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vetra::writer {

inline constexpr std::size_t typeCodeWidth = 2;
inline constexpr int maxFieldLength = 9999; // four digits in the tables

// Throws WriterError for an unknown code, or for a length outside 1 to 9999 or other than the
// one the type fixes.
void validateFieldType(std::string_view typeCode, int length);

// The code in its two stored characters: "C" becomes "C ". The code must have passed
// validateFieldType.
std::string storedTypeCode(std::string_view typeCode);

} // namespace vetra::writer
