// The pattern matcher: element classes, ranges, escapes, groups, repetitions, qualifiers,
// alternatives and negation, with the greedy, non-backtracking rules and the shortcuts at the
// end of the value that decide outcomes a regular-expression engine would decide otherwise.
#include "engine/library/pattern_matcher.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class PatternMatcherTest : public ::testing::Test {
protected:
    int32_t match(std::string_view value, std::string_view pattern) {
        return matcher.match(value, pattern);
    }

    vetra::PatternMatcher matcher;
};

TEST_F(PatternMatcherTest, DigitsAndTheValuesTrailingBlanks) {
    EXPECT_EQ(match("123", "ddd"), 1);
    EXPECT_EQ(match("12", "ddd"), 0);
    EXPECT_EQ(match("1234", "ddd"), 0);
    EXPECT_EQ(match("12 ", "dd"), 1);
    EXPECT_EQ(match(" 12", "dd"), 0); // leading blanks count
    EXPECT_EQ(match(" 12", "bdd"), 1);
}

TEST_F(PatternMatcherTest, TrailingBlankElementsOfThePatternGo) {
    EXPECT_EQ(match("  ", "bb"), 1);
    EXPECT_EQ(match("", "bb"), 1);
    EXPECT_EQ(match("1", "d b b"), 1);
    EXPECT_EQ(match("1", "dd  "), 0);
    EXPECT_EQ(match("12", "dd  "), 1);
    EXPECT_EQ(match("Q", "ab"), 1); // the final `b` is dropped, not matched
    // The `b` of a final escape goes as well; the `!` left at the end never matches.
    EXPECT_EQ(match("b", "!b"), 0);
    EXPECT_EQ(match("1\t", "d"), 0); // only blanks are trailing blanks
}

TEST_F(PatternMatcherTest, EachElementClass) {
    EXPECT_EQ(match("7", "d"), 1);
    EXPECT_EQ(match("q", "d"), 0);
    EXPECT_EQ(match("Q", "a"), 1);
    EXPECT_EQ(match("q", "a"), 1);
    EXPECT_EQ(match("7", "a"), 0);
    EXPECT_EQ(match("q7", "xx"), 1);
    EXPECT_EQ(match("-", "x"), 0);
    EXPECT_EQ(match("A1", "ux"), 1);
    EXPECT_EQ(match("a1", "ux"), 0);
    EXPECT_EQ(match("q", "l"), 1);
    EXPECT_EQ(match("Q", "l"), 0);
    EXPECT_EQ(match("1 2", "dbd"), 1);
    for (char white : std::string("\t\n\v\f\r"))
        EXPECT_EQ(match(std::string{'1', white, '2'}, "dbd"), 1) << int{white};
    EXPECT_EQ(match("1x2", "dbd"), 0);
    EXPECT_EQ(match("~ %", "???"), 1);
    EXPECT_EQ(match("\x01", "?"), 0);
    EXPECT_EQ(match("\x7f", "?"), 0);
    EXPECT_EQ(match("\xe9", "?"), 0);
    EXPECT_EQ(match("~%", "@@"), 1);
    EXPECT_EQ(match("1 2", "d@d"), 0);
    EXPECT_EQ(match("\xe9", "a"), 0); // classes are ASCII
}

TEST_F(PatternMatcherTest, OtherCharactersMatchThemselvesCaseSensitively) {
    EXPECT_EQ(match("A", "A"), 1);
    EXPECT_EQ(match("a", "A"), 0);
    EXPECT_EQ(match("1-2", "d-d"), 1);
    EXPECT_EQ(match("12/31/2005", "dd/dd/dddd"), 1);
    EXPECT_EQ(match("12-31-2005", "dd/dd/dddd"), 0);
    EXPECT_EQ(match("1/31/2005", "dd/dd/dddd"), 0);
}

TEST_F(PatternMatcherTest, Escapes) {
    EXPECT_EQ(match("dax", "!d!a!x"), 1);
    EXPECT_EQ(match("5", "!d"), 0);
    EXPECT_EQ(match("1,2", "d!,d"), 1); // not two alternatives
    EXPECT_EQ(match("[5]", "![d!]"), 1);
    EXPECT_EQ(match("5*", "d!*"), 1);
    EXPECT_EQ(match("-5", "!-d"), 1); // an escaped `-` does not negate
    EXPECT_EQ(match("!", "!!"), 1);
    EXPECT_EQ(match("^", "!^"), 1); // an escape is never qualified
    EXPECT_EQ(match("!", "!"), 0);  // a trailing `!` never matches
}

TEST_F(PatternMatcherTest, RangesCompareSignedBytes) {
    EXPECT_EQ(match("C", "A:D"), 1);
    EXPECT_EQ(match("A", "A:D"), 1);
    EXPECT_EQ(match("D", "A:D"), 1);
    EXPECT_EQ(match("E", "A:D"), 0);
    EXPECT_EQ(match("]", "A:!]"), 1);
    EXPECT_EQ(match("\xe9", "\x80:\xff"), 1);
    EXPECT_EQ(match("A", "\x80:\xff"), 0);
    // 0xE9 is below `A` as a signed byte, so no character lies in this range.
    EXPECT_EQ(match("B", "A:\xe9"), 0);
    EXPECT_EQ(match("\xf0", "A:\xe9"), 0);
    EXPECT_EQ(match("5:f", "d:f"), 1); // a class letter never starts a range
    EXPECT_EQ(match("e", "d:f"), 0);
    EXPECT_EQ(match("A", "A:"), 0);  // no upper end
    EXPECT_EQ(match("A", "A:!"), 0); // no upper end after the escape
    EXPECT_EQ(match("BCA", "A:C*"), 1);
}

TEST_F(PatternMatcherTest, StarAndPlusAreGreedyWithoutBacktracking) {
    EXPECT_EQ(match("123", "d*"), 1);
    EXPECT_EQ(match("", "d*"), 1);
    EXPECT_EQ(match("12a", "d+a"), 1);
    EXPECT_EQ(match("a", "d+a"), 0);
    EXPECT_EQ(match("", "d+"), 0);
    EXPECT_EQ(match("1", "d+"), 1);
    EXPECT_EQ(match("abc1", "a*d"), 1);
    EXPECT_EQ(match("12x", "d*"), 0);
    EXPECT_EQ(match("12", "d*d"), 0); // the star took the last digit and gives none back
}

TEST_F(PatternMatcherTest, OptionalGroups) {
    EXPECT_EQ(match("1", "d[d]"), 1);
    EXPECT_EQ(match("12", "d[d]"), 1);
    EXPECT_EQ(match("123", "d[d]"), 0);
    EXPECT_EQ(match("1", "[d]d"), 0); // the group took the only digit
    EXPECT_EQ(match("A", "[d]A"), 1);
    EXPECT_EQ(match("5A", "[d]A"), 1);
    EXPECT_EQ(match("", "[d]"), 1);
    EXPECT_EQ(match("5", "[d]"), 1);
    EXPECT_EQ(match("X", "[d]"), 0);
    EXPECT_EQ(match("", "[[d]]"), 1);
}

TEST_F(PatternMatcherTest, AtTheEndOfTheValueTheRestOfThePatternIsNotNeeded) {
    EXPECT_EQ(match("", "[d]d"), 1);
    EXPECT_EQ(match("1", "d[d]A"), 1);
    EXPECT_EQ(match("12", "{d}*A"), 1);
    EXPECT_EQ(match("12", "d*A"), 0); // an element has no such shortcut
}

TEST_F(PatternMatcherTest, MandatoryAndRepeatedGroups) {
    EXPECT_EQ(match("AB1", "{AB}d"), 1);
    EXPECT_EQ(match("A1", "{AB}d"), 0);
    EXPECT_EQ(match("AB", "{AB}"), 1);
    EXPECT_EQ(match("AB1", "{AB}"), 0);
    EXPECT_EQ(match("ABAB1", "{AB}*d"), 1);
    EXPECT_EQ(match("1", "{AB}*d"), 1);
    EXPECT_EQ(match("1", "{AB}+d"), 0);
    EXPECT_EQ(match("AB1", "{AB}+d"), 1);
    EXPECT_EQ(match("ABAB1", "{AB}+d"), 1);
    EXPECT_EQ(match("", "{AB}*"), 1);
    EXPECT_EQ(match("12-34", "{dd}{-dd}"), 1);
    EXPECT_EQ(match("1", "d{b}"), 1); // contents of exactly `b` match the end of the value
    // The class `a` takes `a`, but `b` is white space and does not take `b`: the group never
    // matches, and `x` alone cannot take the whole value.
    EXPECT_EQ(match("ababx", "{ab}*x"), 0);
    EXPECT_EQ(match("ababx", "{!a!b}*x"), 1);
}

TEST_F(PatternMatcherTest, RepetitionsThatTakeNothingStop) {
    EXPECT_EQ(match("A", "{[d]}*A"), 1);
    EXPECT_EQ(match("12A", "{[d]}*A"), 1);
    EXPECT_EQ(match("A", "{d*}+A"), 1);
    EXPECT_EQ(match("A", "{[d]}^W3^A"), 1);
    EXPECT_EQ(match("", "{[d]}^W1^"), 1);
    EXPECT_EQ(match("", "{[d]}^W2.3^"), 0); // the empty repetition counts once
    EXPECT_EQ(match("", "{[d]}^R5.9^"), 0); // and the qualifier then reads no digits
}

TEST_F(PatternMatcherTest, QualifiedRepetitionCountsAndBounds) {
    EXPECT_EQ(match("123", "d^W1.3^"), 1);
    EXPECT_EQ(match("1234", "d^W1.3^"), 0); // three digits are taken, the fourth is left over
    EXPECT_EQ(match("1234", "d^W3^d"), 1);
    EXPECT_EQ(match("1", "d^W2.3^"), 0);
    EXPECT_EQ(match("123", "d^W2^"), 0);
    EXPECT_EQ(match("07", "d^W2 R1.12^"), 1);
    EXPECT_EQ(match("13", "d^W2 R1.12^"), 0);
    EXPECT_EQ(match("00", "d^W2 R1.12^"), 0);
    EXPECT_EQ(match("49A", "d^R1.50^A"), 1);
    EXPECT_EQ(match("51A", "d^R1.50^A"), 0);
    EXPECT_EQ(match("15", "d^W2 M5^"), 1);
    EXPECT_EQ(match("16", "d^W2 M5^"), 0);
    EXPECT_EQ(match("15", "d^W2 M1.5^"), 1); // of two numbers, M takes the second
    EXPECT_EQ(match("16", "d^W2 M1.5^"), 0);
    EXPECT_EQ(match("0", "d^W1 M0^"), 1); // only 0 is a multiple of 0
    EXPECT_EQ(match("5", "d^W1 M0^"), 0);
    EXPECT_EQ(match("12", "{d}^W2^"), 1);
    EXPECT_EQ(match("123", "{d}^W2^"), 0);
}

TEST_F(PatternMatcherTest, OnlyADotGivesTheCapItsSecondNumber) {
    // `W2-5` allows two to five repetitions, but the matcher stops taking digits after two.
    EXPECT_EQ(match("12", "d^W2-5^"), 1);
    EXPECT_EQ(match("12345", "d^W2-5^"), 0);
    EXPECT_EQ(match("1", "d^W2-5^"), 0);
    // Without a leading number, or without a number after the dot, there is no cap at all.
    EXPECT_EQ(match("123A", "d^W.2^A"), 0);
    EXPECT_EQ(match("12A", "d^W.2^A"), 1);
    EXPECT_EQ(match("123", "d^W2.^"), 1);
    EXPECT_EQ(match("1", "d^W2.^"), 0);
}

TEST_F(PatternMatcherTest, QualifierTextForms) {
    for (std::string separator : {".", ":", ",", "-", "/", "\\", " . ", " , "}) {
        const std::string pattern = "d^W2 R10" + separator + "20^";
        EXPECT_EQ(match("15", pattern), 1) << pattern;
        EXPECT_EQ(match("25", pattern), 0) << pattern;
        EXPECT_EQ(match("09", pattern), 0) << pattern;
    }
    EXPECT_EQ(match("123", "d^W 1 . 3^"), 1);
    EXPECT_EQ(match("1234", "d^W 1 . 3^"), 0);
    EXPECT_EQ(match("07", "d^w2 r1.12^"), 1);
    EXPECT_EQ(match("13", "d^w2 r1.12^"), 0);
    for (std::string items : {"W2,R1.12", "W2\tR1.12", "W2R1.12", "W2 ; R1.12"}) {
        EXPECT_EQ(match("07", "d^" + items + "^"), 1) << items;
        EXPECT_EQ(match("13", "d^" + items + "^"), 0) << items;
        EXPECT_EQ(match("013", "d^" + items + "^"), 0) << items;
    }
    EXPECT_EQ(match("05", "d^W2 R,20^"), 1); // lower bound left unset
    EXPECT_EQ(match("25", "d^W2 R,20^"), 0);
    EXPECT_EQ(match("25", "d^W2 R20.^"), 1); // upper bound left unset
    EXPECT_EQ(match("25", "d^W2 R20,^"), 0); // a comma with no number after it ends the item
    EXPECT_EQ(match("1", "d^W2"), 0);        // no closing caret
}

TEST_F(PatternMatcherTest, QualifiedGroupsReadAsManyCharactersAsRepetitions) {
    // Two repetitions of two digits: the range test reads the first two characters, `12`.
    EXPECT_EQ(match("1299", "{dd}^W2 R10.20^"), 1);
    EXPECT_EQ(match("2199", "{dd}^W2 R10.20^"), 0);
}

TEST_F(PatternMatcherTest, QualifierShortcutAtTheEndOfTheValue) {
    // The value runs out before `A`: the match succeeds if the qualifier allows no repetition.
    EXPECT_EQ(match("12", "d^W3^A"), 1);
    EXPECT_EQ(match("12", "d^W1.3^A"), 0);
    EXPECT_EQ(match("", "d^W3^"), 1);
    EXPECT_EQ(match("", "d^W1.3^"), 0);
    // Without a cap the repetition always runs to the end of the value, so there the
    // qualifier's value bounds are never checked.
    EXPECT_EQ(match("51", "d^R1.50^"), 1);
    EXPECT_EQ(match("51", "d^W2 R1.50^"), 0);
}

TEST_F(PatternMatcherTest, Alternatives) {
    EXPECT_EQ(match("12", "d,dd"), 1);
    EXPECT_EQ(match("123", "d,dd"), 0);
    EXPECT_EQ(match("1", "d,dd"), 1);
    EXPECT_EQ(match("12", "d, dd"), 1);
    EXPECT_EQ(match("AC", "{A,B}C"), 1);
    EXPECT_EQ(match("BC", "{A,B}C"), 1);
    EXPECT_EQ(match("CC", "{A,B}C"), 0);
    EXPECT_EQ(match("C", "{A,B},C"), 1);
    EXPECT_EQ(match("B", "{A,B},C"), 1);
    EXPECT_EQ(match("ABC", "{A,AB}C"), 0); // the first alternative that fits is kept
    EXPECT_EQ(match("12A", "{d,dd}A"), 0);
    EXPECT_EQ(match("12A", "{dd,d}A"), 1);
    EXPECT_EQ(match("", "{d,b}"), 1);
    EXPECT_EQ(match("", "d,"), 1);   // an empty alternative matches an empty value
    EXPECT_EQ(match("1", "d,]"), 1); // the scan stops at the alternative that matched
    EXPECT_EQ(match("A", "d,]"), 0);
}

TEST_F(PatternMatcherTest, ANestedOptionalGroupAtTheEndLeavesTheRestOfTheValue) {
    // Only the entry's own invocation fails on what follows such a group; an earlier
    // alternative is a nested invocation, so `d[d]` is satisfied by `12` of `123`.
    EXPECT_EQ(match("123", "d[d],A"), 1);
    EXPECT_EQ(match("123", "A,d[d]"), 0);
}

TEST_F(PatternMatcherTest, Negation) {
    EXPECT_EQ(match("x", "-d"), 1);
    EXPECT_EQ(match("5", "-d"), 0);
    EXPECT_EQ(match("", "-"), 0);
    EXPECT_EQ(match("1", "-"), 1);
    EXPECT_EQ(match("-5", "--d"), 0);
    EXPECT_EQ(match("1-", "d-"), 1); // a `-` elsewhere is a character
    EXPECT_EQ(match("", "-[d]"), 1); // an optional group takes a blank value before negation
    EXPECT_EQ(match("5", "-[d]"), 0);
}

TEST_F(PatternMatcherTest, WholePatternGroups) {
    EXPECT_EQ(match("5", "{d}"), 1);
    EXPECT_EQ(match("5", "{{[d]}}"), 1);
    EXPECT_EQ(match("", "{{[d]}}"), 1);
    EXPECT_EQ(match("12", "{d}{d}"), 1);
    EXPECT_EQ(match("", "{d}"), 0);
}

TEST_F(PatternMatcherTest, MalformedPatternsDoNotMatch) {
    for (std::string pattern : {"[d", "d]", "{d", "d}", "{d]", "[d}", "d^", "{d}^W2", "A:"})
        EXPECT_EQ(match("1", pattern), 0) << pattern;
    EXPECT_EQ(match("1", "[}d]"), 0);
    EXPECT_EQ(match("1", "{]d}"), 0);
}

TEST_F(PatternMatcherTest, EmptyValueAndPattern) {
    EXPECT_EQ(match("", ""), 1);
    EXPECT_EQ(match("   ", ""), 1);
    EXPECT_EQ(match("x", ""), 0);
    EXPECT_EQ(match("", "d"), 0);
    EXPECT_EQ(match("", "-d"), 1);
}

TEST_F(PatternMatcherTest, OverLongValuesAndPatternsNeverMatch) {
    const std::string digits(100, '7');
    const std::string pattern(100, 'd');
    EXPECT_EQ(match(digits, pattern), 1);
    EXPECT_EQ(match(digits + "7", "d*"), 0);
    EXPECT_EQ(match(digits + " ", "d*"), 0); // the length counts before blanks are dropped
    EXPECT_EQ(match(digits, pattern + "d"), 0);
    EXPECT_EQ(match(digits, pattern + " "), 0);
    EXPECT_EQ(match("x", "-" + pattern), 0);
}

TEST_F(PatternMatcherTest, DeepNesting) {
    std::string pattern = "d";
    std::string value = "1";
    while (pattern.size() + 3 <= vetra::PatternMatcher::kMaxLength) {
        pattern = "d{" + pattern + "}";
        value += "1";
    }
    EXPECT_EQ(match(value, pattern), 1);
    EXPECT_EQ(match(value + "1", pattern), 0);
    std::string optional = "d";
    while (optional.size() + 2 < vetra::PatternMatcher::kMaxLength)
        optional = "[" + optional + "]";
    EXPECT_EQ(match("5", "A" + optional), 0);
    EXPECT_EQ(match("A5", "A" + optional), 1);
}

TEST_F(PatternMatcherTest, NoStateSurvivesBetweenMatches) {
    EXPECT_EQ(match("12", "{dd,d}[A]"), 1);
    EXPECT_EQ(match("1", "[d]"), 1);
    EXPECT_EQ(match("12", "{dd,d}[A]"), 1);
    EXPECT_EQ(match("123", "d^W1.3^"), 1);
    EXPECT_EQ(match("123", "d^W1.3^"), 1);
}

// Each level of "{...,a}*b" tries its group from every position the level above reaches; ten
// levels once meant about 100^11 tries on a value of 100 characters.
TEST_F(PatternMatcherTest, NestedRepetitionsAreDecidedWithoutRetryingEachPosition) {
    std::string pattern = "a*b";
    for (int depth = 1; depth <= 10; ++depth)
        pattern = "{" + pattern + ",a}*" + (depth < 10 ? "b" : "d");
    EXPECT_EQ(match(std::string(99, 'a') + "5", pattern), 1);
    EXPECT_EQ(match(std::string(50, 'a') + "5" + std::string(49, 'a'), pattern), 0);
    EXPECT_EQ(match(std::string(98, 'a') + "  ", pattern), 1);
}

} // namespace
