// The pattern matcher of the edit language. `match`, the pattern of `inlist`, the blank test of
// `justified` and the `dd/dd/dddd` date literals all test the shape of a value through the one
// matcher of the running instance. Patterns are a small language of character classes, exact
// characters, ranges, optional and repeated groups, alternatives and numeric qualifiers;
// matching is greedy and never backtracks.
//
// Yet a group inside a repetition is tried again from every position the repetition reaches,
// and nested repetitions multiply those tries: five nested groups "{...,a}*" took 20 seconds
// on a value of 100 characters. A nested invocation's outcome depends only on its part of the
// pattern, where it starts in the value and its mode, so each is worked out once per match.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace vetra {

class PatternMatcher {
public:
    // Longer values and patterns never match.
    static constexpr std::size_t kMaxLength = 100;

    // 1 when `value` has the shape `pattern` describes, else 0. Never fails: a malformed
    // pattern simply does not match.
    int32_t match(std::string_view value, std::string_view pattern);

private:
    friend class PatternSequence;

    // top: the entry's own invocation; full: an alternative, which must take the whole value;
    // prefix: a group's contents, which may stop before the end of the value.
    enum class Mode { top, full, prefix };

    int32_t matchCopies(std::string_view value, std::string_view pattern);
    // One invocation at the next depth (top mode: depth 1). On success its end position is in
    // that depth's slot.
    bool invoke(std::string_view pattern, std::string_view value, std::size_t start, Mode mode);
    // Where a nested invocation ended in the value; empty when it failed.
    std::optional<std::size_t> matchNested(std::string_view pattern, std::string_view value,
                                           std::size_t start, Mode mode);
    std::optional<std::size_t> matchAlternatives(std::string_view pattern, std::string_view value,
                                                 std::size_t start, Mode mode);
    std::uint32_t invocationKey(std::string_view pattern, std::size_t start, Mode mode) const;

    std::size_t depth_ = 0;
    // Indexed by depth: where the latest successful invocation at that depth ended in the value.
    // A nested invocation always has a shorter pattern than its caller, so the depth never
    // exceeds the longest pattern's length plus one.
    std::array<std::size_t, kMaxLength + 2> endPositions_{};
    // The current match's pattern, and where its nested invocations ended (kFailed when they
    // failed), by invocationKey.
    const char* patternStart_ = nullptr;
    std::unordered_map<std::uint32_t, std::size_t>* outcomes_ = nullptr;
};

} // namespace vetra
