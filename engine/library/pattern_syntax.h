// The text of a pattern as the matcher reads it: its elements, the extent of its groups and
// alternatives, and the qualifiers of repetitions. Every function reads only within the text it
// is given; malformed text gives an empty result, never a read past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vetra::pattern {

// One element of a pattern: a character class, one exact character, or a range of characters.
struct Element {
    enum class Kind {
        digit,
        letter,
        digitOrLetter,
        upper,
        lower,
        whiteSpace,
        printable,
        visible,
        exact,
        range,
    };

    bool accepts(char c) const;

    Kind kind;
    char low;           // the exact character, or the first of a range
    char high;          // the last of a range
    std::size_t length; // characters of pattern text it takes
};

// The element at `at`. Empty for a range without its upper end.
std::optional<Element> readElement(std::string_view pattern, std::size_t at);

// The index of the first comma outside all groups, or the text's size when there is none.
// Empty when the text before it is malformed (a trailing `!`, a `^` without its partner, a
// closing `]` or `}` without its opener) or, with no such comma, when groups are left open.
std::optional<std::size_t> alternativeEnd(std::string_view pattern);

// The index of the `]` or `}` that closes the group opened at `open`. Empty when it is missing
// or when a closing character of the other kind inside has no opener.
std::optional<std::size_t> groupEnd(std::string_view pattern, std::size_t open);

struct Bounds {
    bool admits(std::int64_t number) const;

    std::optional<std::int64_t> low;
    std::optional<std::int64_t> high;
};

// The text between the two `^` of a qualified repetition: bounds on the number of repetitions
// (W), on the numeric value of the characters matched (R), and a modulus of that value (M).
struct Qualifier {
    // `width` repetitions took `matched`, the first `width` characters from where they began.
    bool accepts(std::size_t width, std::string_view matched) const;

    Bounds repetitions;
    Bounds value;
    std::optional<std::int64_t> modulus;
};

Qualifier readQualifier(std::string_view text);

// How many repetitions the matcher takes at most, read from the start of the qualifier text
// alone: `W3` and `3` give 3, `W1.5` gives 5; empty when no number leads the text.
std::optional<std::int64_t> repetitionCap(std::string_view text);

} // namespace vetra::pattern
