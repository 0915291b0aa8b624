#include "engine/library/pattern_matcher.h"

#include "engine/library/pattern_syntax.h"

#include <vector>

namespace vetra {

// The walk of one invocation over the elements of its last alternative, from a start position
// in the value. Groups and qualified elements match their contents by nested invocations.
class PatternSequence {
public:
    using Mode = PatternMatcher::Mode;

    PatternSequence(PatternMatcher& matcher, std::string_view pattern, std::string_view value,
                    std::size_t start, Mode mode)
        : matcher_(matcher), pattern_(pattern), value_(value), valueAt_(start), mode_(mode) {}

    // Where the match ended in the value; empty when it failed.
    std::optional<std::size_t> run() {
        Step step = Step::next;
        while (step == Step::next)
            step = nextStep();
        if (step == Step::fail) return std::nullopt;
        return valueAt_;
    }

private:
    enum class Step { next, succeed, fail };

    Step nextStep();
    Step singleElement();
    Step optionalGroup();
    Step braceGroup();
    Step repeatedGroup(std::string_view contents, std::size_t after);
    Step qualifiedRepetition(std::string_view contents, std::size_t caret);

    Step moveTo(std::size_t position) {
        patternAt_ = position;
        matchedOnce_ = false;
        return Step::next;
    }
    bool followedBy(std::size_t position, char c) const {
        return position < pattern_.size() && pattern_[position] == c;
    }
    bool valueExhausted() const { return valueAt_ == value_.size(); }
    // Shortcuts at the end of the value are taken by the entry's own invocation only.
    bool atTop() const { return mode_ == Mode::top; }
    std::optional<std::size_t> matchContents(std::string_view contents) {
        return matcher_.matchNested(contents, value_, valueAt_, Mode::prefix);
    }
    std::string_view groupContents(std::size_t closing) const {
        return pattern_.substr(patternAt_ + 1, closing - patternAt_ - 1);
    }

    PatternMatcher& matcher_;
    std::string_view pattern_;
    std::string_view value_;
    std::size_t patternAt_ = 0;
    std::size_t valueAt_;
    Mode mode_;
    bool matchedOnce_ = false; // the current repeated element has taken a character
};

// Escapes and groups are never qualified by a `^` after their first character: `!^` is the
// exact character `^`.
PatternSequence::Step PatternSequence::nextStep() {
    if (patternAt_ == pattern_.size())
        return valueExhausted() || mode_ == Mode::prefix ? Step::succeed : Step::fail;
    const char here = pattern_[patternAt_];
    const bool single = here != '!' && here != '[' && here != '{';
    if (single && followedBy(patternAt_ + 1, '^'))
        return qualifiedRepetition(pattern_.substr(patternAt_, 1), patternAt_ + 1);
    if (here == '[') return optionalGroup();
    if (here == '{') return braceGroup();
    return singleElement();
}

// A repeated element stays current while it takes characters; it is left when it fails, or
// at once when the value runs out.
PatternSequence::Step PatternSequence::singleElement() {
    const std::optional<pattern::Element> element = pattern::readElement(pattern_, patternAt_);
    if (!element) return Step::fail;
    const std::size_t after = patternAt_ + element->length;
    const bool starred = followedBy(after, '*');
    const bool repeated = starred || followedBy(after, '+');
    if (!valueExhausted() && element->accepts(value_[valueAt_])) {
        ++valueAt_;
        if (!repeated) return moveTo(after);
        if (valueExhausted()) return moveTo(after + 1);
        matchedOnce_ = true;
        return Step::next;
    }
    if (starred || (repeated && matchedOnce_)) return moveTo(after + 1);
    return Step::fail;
}

PatternSequence::Step PatternSequence::optionalGroup() {
    const std::optional<std::size_t> closing = pattern::groupEnd(pattern_, patternAt_);
    if (!closing) return Step::fail;
    const std::size_t after = *closing + 1;
    if (atTop() && valueExhausted()) return Step::succeed;
    if (const std::optional<std::size_t> end = matchContents(groupContents(*closing))) {
        valueAt_ = *end;
        // A group that ends the pattern leaves the rest of the value to the caller.
        if (after == pattern_.size() && !valueExhausted())
            return atTop() ? Step::fail : Step::succeed;
    }
    return moveTo(after);
}

PatternSequence::Step PatternSequence::braceGroup() {
    const std::optional<std::size_t> closing = pattern::groupEnd(pattern_, patternAt_);
    if (!closing) return Step::fail;
    const std::string_view contents = groupContents(*closing);
    const std::size_t after = *closing + 1;
    if (followedBy(after, '*')) return repeatedGroup(contents, after + 1);
    if (followedBy(after, '^')) return qualifiedRepetition(contents, after);
    const std::optional<std::size_t> end = matchContents(contents);
    if (!end) return Step::fail;
    valueAt_ = *end;
    if (followedBy(after, '+')) return repeatedGroup(contents, after + 1);
    return moveTo(after);
}

// `after` is the element after the group's `*` or `+`.
PatternSequence::Step PatternSequence::repeatedGroup(std::string_view contents, std::size_t after) {
    for (;;) {
        if (atTop() && valueExhausted()) return Step::succeed;
        const std::optional<std::size_t> end = matchContents(contents);
        if (!end || *end == valueAt_) break; // contents that take nothing would repeat forever
        valueAt_ = *end;
    }
    return moveTo(after);
}

// `caret` is the `^` that opens the qualifier text.
PatternSequence::Step PatternSequence::qualifiedRepetition(std::string_view contents,
                                                           std::size_t caret) {
    const std::size_t closing = pattern_.find('^', caret + 1);
    if (closing == std::string_view::npos) return Step::fail;
    const std::string_view text = pattern_.substr(caret + 1, closing - caret - 1);
    const pattern::Qualifier qualifier = pattern::readQualifier(text);
    const std::optional<std::int64_t> cap = pattern::repetitionCap(text);
    const std::size_t start = valueAt_;
    std::int64_t count = 0;
    for (;;) {
        const std::optional<std::size_t> end = matchContents(contents);
        if (!end) {
            if (atTop() && valueExhausted() && qualifier.accepts(0, {})) return Step::succeed;
            break;
        }
        ++count;
        const bool tookSome = *end != valueAt_;
        valueAt_ = *end;
        if (count == cap || !tookSome) break;
    }
    // The qualifier sees as many characters as there were repetitions, not what they took.
    const auto width = static_cast<std::size_t>(count);
    if (!qualifier.accepts(width, value_.substr(start, width))) return Step::fail;
    return moveTo(closing + 1);
}

int32_t PatternMatcher::match(std::string_view value, std::string_view pattern) {
    if (value.size() > kMaxLength || pattern.size() > kMaxLength) return 0;
    // Copies of exactly the texts' lengths: a read past either end leaves the allocation, where
    // the sanitizers catch it, instead of landing on the caller's neighbouring bytes.
    const std::vector<char> valueCopy(value.begin(), value.end());
    const std::vector<char> patternCopy(pattern.begin(), pattern.end());
    std::unordered_map<std::uint32_t, std::size_t> outcomes;
    outcomes_ = &outcomes;
    patternStart_ = patternCopy.data();
    const int32_t verdict =
        matchCopies({valueCopy.data(), valueCopy.size()}, {patternCopy.data(), patternCopy.size()});
    outcomes_ = nullptr;
    return verdict;
}

namespace {

// Trailing blanks and `b` elements of a pattern go, as the value's trailing blanks do. The `b`
// of a final escape `!b` goes too, leaving a trailing `!` that never matches.
std::string_view withoutTrailingBlankElements(std::string_view pattern) {
    while (!pattern.empty() && (pattern.back() == 'b' || pattern.back() == ' '))
        pattern.remove_suffix(1);
    return pattern;
}

std::string_view withoutTrailingBlanks(std::string_view value) {
    while (!value.empty() && value.back() == ' ')
        value.remove_suffix(1);
    return value;
}

// True when the whole pattern is one group opened by `opener`.
bool isOneGroup(std::string_view pattern, char opener) {
    if (pattern.empty() || pattern.front() != opener) return false;
    const std::optional<std::size_t> closing = pattern::groupEnd(pattern, 0);
    return closing && *closing == pattern.size() - 1;
}

} // namespace

int32_t PatternMatcher::matchCopies(std::string_view value, std::string_view pattern) {
    depth_ = 0;
    endPositions_.fill(0);
    pattern = withoutTrailingBlankElements(pattern);
    const bool negated = pattern.starts_with('-');
    if (negated) pattern.remove_prefix(1);
    value = withoutTrailingBlanks(value);
    for (;;) {
        if (isOneGroup(pattern, '{')) {
            pattern = pattern.substr(1, pattern.size() - 2);
        } else if (isOneGroup(pattern, '[')) {
            pattern = pattern.substr(1, pattern.size() - 2);
            if (value.empty()) return 1; // an optional group allows a blank value, negated or not
        } else {
            break;
        }
    }
    return invoke(pattern, value, 0, Mode::top) != negated ? 1 : 0;
}

bool PatternMatcher::invoke(std::string_view pattern, std::string_view value, std::size_t start,
                            Mode mode) {
    depth_ = mode == Mode::top ? 1 : depth_ + 1;
    const std::optional<std::size_t> end = matchAlternatives(pattern, value, start, mode);
    if (end) endPositions_[depth_] = *end;
    --depth_;
    return end.has_value();
}

// Pattern parts, positions and modes all fit in a few bits: both texts are at most kMaxLength.
std::uint32_t PatternMatcher::invocationKey(std::string_view pattern, std::size_t start,
                                            Mode mode) const {
    const auto offset = static_cast<std::uint32_t>(pattern.data() - patternStart_);
    return ((offset * 128 + static_cast<std::uint32_t>(pattern.size())) * 128 +
            static_cast<std::uint32_t>(start)) *
               4 +
           static_cast<std::uint32_t>(mode);
}

std::optional<std::size_t> PatternMatcher::matchNested(std::string_view pattern,
                                                       std::string_view value, std::size_t start,
                                                       Mode mode) {
    constexpr std::size_t kFailed = kMaxLength + 1;
    const std::uint32_t key = invocationKey(pattern, start, mode);
    if (const auto known = outcomes_->find(key); known != outcomes_->end()) {
        if (known->second == kFailed) return std::nullopt;
        return known->second;
    }
    std::optional<std::size_t> end;
    if (invoke(pattern, value, start, mode)) end = endPositions_[depth_ + 1];
    outcomes_->emplace(key, end.value_or(kFailed));
    return end;
}

// Every alternative but the last is a nested invocation; the first that matches decides. The
// last one is matched by this invocation itself.
std::optional<std::size_t> PatternMatcher::matchAlternatives(std::string_view pattern,
                                                             std::string_view value,
                                                             std::size_t start, Mode mode) {
    const Mode alternativeMode = mode == Mode::prefix ? Mode::prefix : Mode::full;
    for (;;) {
        const std::optional<std::size_t> comma = pattern::alternativeEnd(pattern);
        if (!comma) return std::nullopt;
        if (*comma == pattern.size()) break;
        const std::string_view alternative = pattern.substr(0, *comma);
        if (const auto end = matchNested(alternative, value, start, alternativeMode)) return end;
        pattern.remove_prefix(*comma + 1);
        while (pattern.starts_with(' '))
            pattern.remove_prefix(1);
    }
    if (pattern == "b" && start == value.size()) return start;
    return PatternSequence(*this, pattern, value, start, mode).run();
}

} // namespace vetra
