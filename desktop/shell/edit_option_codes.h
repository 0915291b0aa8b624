// Option codes of the edit option list are kept as text (as the configuration file holds
// them) and converted when they are used.
#pragma once

#include <charconv>
#include <optional>
#include <string>

namespace vetra::desktop {

// The code a text names: an optionally signed decimal number, blanks around it allowed;
// nothing for any other text.
inline std::optional<int> editOptionCodeOf(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t\r");
    if (first == std::string::npos) return std::nullopt;
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    if (*begin == '+') ++begin;
    int code = 0;
    const auto [stop, error] = std::from_chars(begin, end, code);
    if (error != std::errc() || stop != end) return std::nullopt;
    return code;
}

} // namespace vetra::desktop
