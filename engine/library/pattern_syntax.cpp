#include "engine/library/pattern_syntax.h"

#include <limits>

namespace vetra::pattern {

namespace {

constexpr std::int64_t kLargestNumber = std::numeric_limits<std::int64_t>::max();

// Classes are plain ASCII whatever locale the host has set, so a record's bytes fall in the
// same classes on every machine.
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool isLower(char c) {
    return c >= 'a' && c <= 'z';
}
bool isLetter(char c) {
    return isUpper(c) || isLower(c);
}
bool isWhiteSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool isPrintable(char c) {
    return c >= ' ' && c <= '~';
}
char toUpper(char c) {
    return isLower(c) ? static_cast<char>(c - 'a' + 'A') : c;
}

std::optional<Element::Kind> classOf(char c) {
    switch (c) {
    case 'd':
        return Element::Kind::digit;
    case 'a':
        return Element::Kind::letter;
    case 'x':
        return Element::Kind::digitOrLetter;
    case 'u':
        return Element::Kind::upper;
    case 'l':
        return Element::Kind::lower;
    case 'b':
        return Element::Kind::whiteSpace;
    case '?':
        return Element::Kind::printable;
    case '@':
        return Element::Kind::visible;
    default:
        return std::nullopt;
    }
}

// `c:e` or `c:!e`, with `c` at `at`.
std::optional<Element> readRange(std::string_view pattern, std::size_t at) {
    std::size_t upper = at + 2;
    if (upper < pattern.size() && pattern[upper] == '!') ++upper;
    if (upper >= pattern.size()) return std::nullopt;
    return Element{Element::Kind::range, pattern[at], pattern[upper], upper - at + 1};
}

// Brackets and braces are counted apart, so `[{]}` is balanced.
class Nesting {
public:
    // False for a closing character without its opener.
    bool enter(char c) {
        switch (c) {
        case '[':
            ++brackets_;
            return true;
        case ']':
            return brackets_-- > 0;
        case '{':
            ++braces_;
            return true;
        case '}':
            return braces_-- > 0;
        default:
            return true;
        }
    }
    bool balanced() const { return brackets_ == 0 && braces_ == 0; }
    int depthOf(char opener) const { return opener == '[' ? brackets_ : braces_; }

private:
    int brackets_ = 0;
    int braces_ = 0;
};

// The index after the unit of text at `at`: an escape with its character, a qualifier with
// both its carets (its commas and brackets are not structure), or one character.
std::optional<std::size_t> unitEnd(std::string_view pattern, std::size_t at) {
    if (pattern[at] == '!') {
        if (at + 1 == pattern.size()) return std::nullopt;
        return at + 2;
    }
    if (pattern[at] == '^') {
        const std::size_t closing = pattern.find('^', at + 1);
        if (closing == std::string_view::npos) return std::nullopt;
        return closing + 1;
    }
    return at + 1;
}

void skipBlanks(std::string_view text, std::size_t& at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
}

// Decimal digits from `at`, saturating; empty when there are none.
std::optional<std::int64_t> readNumber(std::string_view text, std::size_t& at) {
    if (at >= text.size() || !isDigit(text[at])) return std::nullopt;
    std::int64_t number = 0;
    for (; at < text.size() && isDigit(text[at]); ++at) {
        const int digit = text[at] - '0';
        number = number > (kLargestNumber - digit) / 10 ? kLargestNumber : number * 10 + digit;
    }
    return number;
}

// A comma also separates items, so it joins two bounds only when a number follows it.
bool joinsBounds(std::string_view text, std::size_t at) {
    if (at >= text.size() || std::string_view(".:,-/\\").find(text[at]) == std::string_view::npos)
        return false;
    if (text[at] != ',') return true;
    skipBlanks(text, ++at);
    return at < text.size() && isDigit(text[at]);
}

// The numbers after an item's letter: `n` alone, or `lo`, a separator and `hi`.
struct ItemNumbers {
    std::optional<std::int64_t> first;
    std::optional<std::int64_t> second;
    bool single;
};

ItemNumbers readItemNumbers(std::string_view text, std::size_t& at) {
    skipBlanks(text, at);
    const std::optional<std::int64_t> first = readNumber(text, at);
    std::size_t separator = at;
    skipBlanks(text, separator);
    if (!joinsBounds(text, separator)) return {first, std::nullopt, first.has_value()};
    at = separator + 1;
    skipBlanks(text, at);
    return {first, readNumber(text, at), false};
}

// Leading blanks, an optional sign and digits, within the first 19 characters.
std::int64_t integerValue(std::string_view text) {
    text = text.substr(0, 19);
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ')
        ++at;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    const std::int64_t magnitude = readNumber(text, at).value_or(0);
    return negative ? -magnitude : magnitude;
}

} // namespace

bool Element::accepts(char c) const {
    switch (kind) {
    case Kind::digit:
        return isDigit(c);
    case Kind::letter:
        return isLetter(c);
    case Kind::digitOrLetter:
        return isDigit(c) || isLetter(c);
    case Kind::upper:
        return isUpper(c);
    case Kind::lower:
        return isLower(c);
    case Kind::whiteSpace:
        return isWhiteSpace(c);
    case Kind::printable:
        return isPrintable(c);
    case Kind::visible:
        return isPrintable(c) && c != ' ';
    case Kind::exact:
        return c == low;
    case Kind::range:
        return static_cast<signed char>(low) <= static_cast<signed char>(c) &&
               static_cast<signed char>(c) <= static_cast<signed char>(high);
    }
    return false;
}

// Tested in the order of the element table: the class letters before a range, so `d:f` is a
// digit followed by `:` and `f`.
std::optional<Element> readElement(std::string_view pattern, std::size_t at) {
    const char c = pattern[at];
    if (const std::optional<Element::Kind> kind = classOf(c)) return Element{*kind, c, c, 1};
    if (c == '!') {
        if (at + 1 == pattern.size()) return std::nullopt;
        return Element{Element::Kind::exact, pattern[at + 1], pattern[at + 1], 2};
    }
    if (at + 1 < pattern.size() && pattern[at + 1] == ':') return readRange(pattern, at);
    return Element{Element::Kind::exact, c, c, 1};
}

std::optional<std::size_t> alternativeEnd(std::string_view pattern) {
    Nesting nesting;
    std::size_t at = 0;
    while (at < pattern.size()) {
        if (pattern[at] == ',' && nesting.balanced()) return at;
        if (!nesting.enter(pattern[at])) return std::nullopt;
        const std::optional<std::size_t> next = unitEnd(pattern, at);
        if (!next) return std::nullopt;
        at = *next;
    }
    if (!nesting.balanced()) return std::nullopt;
    return pattern.size();
}

std::optional<std::size_t> groupEnd(std::string_view pattern, std::size_t open) {
    const char opener = pattern[open];
    Nesting nesting;
    std::size_t at = open;
    while (at < pattern.size()) {
        if (!nesting.enter(pattern[at])) return std::nullopt;
        if (nesting.depthOf(opener) == 0) return at;
        const std::optional<std::size_t> next = unitEnd(pattern, at);
        if (!next) return std::nullopt;
        at = *next;
    }
    return std::nullopt;
}

bool Bounds::admits(std::int64_t number) const {
    return (!low || number >= *low) && (!high || number <= *high);
}

bool Qualifier::accepts(std::size_t width, std::string_view matched) const {
    if (!repetitions.admits(static_cast<std::int64_t>(width))) return false;
    if (width == 0) return true;
    const std::int64_t number = integerValue(matched);
    if (!value.admits(number)) return false;
    if (!modulus) return true;
    return *modulus == 0 ? number == 0 : number % *modulus == 0; // only 0 is a multiple of 0
}

// A single number is an upper bound (for M the modulus); of two, M takes the second.
Qualifier readQualifier(std::string_view text) {
    Qualifier qualifier;
    std::size_t at = 0;
    while (at < text.size()) {
        const char item = toUpper(text[at++]);
        if (item != 'W' && item != 'R' && item != 'M') continue;
        const ItemNumbers numbers = readItemNumbers(text, at);
        if (item == 'M') {
            qualifier.modulus = numbers.single ? numbers.first : numbers.second;
            continue;
        }
        Bounds& bounds = item == 'W' ? qualifier.repetitions : qualifier.value;
        bounds = numbers.single ? Bounds{0, numbers.first} : Bounds{numbers.first, numbers.second};
    }
    return qualifier;
}

std::optional<std::int64_t> repetitionCap(std::string_view text) {
    std::size_t at = 0;
    if (!text.empty() && toUpper(text[0]) == 'W') ++at;
    skipBlanks(text, at);
    const std::optional<std::int64_t> first = readNumber(text, at);
    if (!first) return std::nullopt;
    skipBlanks(text, at);
    if (at == text.size() || text[at] != '.') return first;
    ++at;
    skipBlanks(text, at);
    return readNumber(text, at);
}

} // namespace vetra::pattern
