// Fuzzes the pattern matcher with arbitrary values and patterns: the input up to its first NUL
// byte is the value, the rest the pattern. Every match must give 0 or 1 without reading outside
// the texts or hanging, give the same verdict when repeated on the same matcher, and ignore a
// blank added at the end of the value or the pattern.
#include "engine/library/pattern_matcher.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = std::min(input.find('\0'), input.size());
    const std::string value(input.substr(0, split));
    const std::string pattern(input.substr(std::min(split + 1, input.size())));

    vetra::PatternMatcher matcher;
    const int32_t verdict = matcher.match(value, pattern);
    if (verdict != 0 && verdict != 1) __builtin_trap();
    if (matcher.match(value, pattern) != verdict) __builtin_trap();
    if (value.size() < vetra::PatternMatcher::kMaxLength &&
        matcher.match(value + " ", pattern) != verdict)
        __builtin_trap();
    if (pattern.size() < vetra::PatternMatcher::kMaxLength &&
        matcher.match(value, pattern + " ") != verdict)
        __builtin_trap();
    return 0;
}
