// The string functions as edit logic calls them, on a bound record whose Primary Site (400)
// is "C5" and two blanks.
#include "tests/interp/edit_runner.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using vetra::testing::EditRunner;

class StringFunctions : public ::testing::Test {
protected:
    int32_t value(const std::string& expression) { return edits.run("return " + expression + ";"); }
    // Whether the text an expression yields is exactly `expected`.
    bool yields(const std::string& expression, const std::string& expected) {
        std::string source =
            "char t; t = " + expression + ";\nif (strcmp(t, \"" + expected +
            "\") != 0) return 0;\nreturn strlen(t) == " + std::to_string(expected.size()) + ";";
        return edits.run(source) == 1;
    }
    int32_t failure(const std::string& source) { return edits.failureOf(source); }

    EditRunner edits{"220051231C5  "};
};

TEST_F(StringFunctions, StrlenCountsAFieldsTrailingBlanks) {
    EXPECT_EQ(value("strlen(\"\")"), 0);
    EXPECT_EQ(value("strlen(\"abc\")"), 3);
    EXPECT_EQ(value("strlen(#S\"Primary Site\")"), 4);
    EXPECT_EQ(edits.failureOfLogic("@DMpU011;"), 2033); // no opening parenthesis
}

TEST_F(StringFunctions, AtFindsOccurrencesAtMultiplesOfTheWidth) {
    EXPECT_EQ(value("at(\"b\", \"abcb\")"), 2);
    EXPECT_EQ(value("at(\"b\", \"abcb\", 2)"), 0);
    EXPECT_EQ(value("at(\"cb\", \"abcb\", 2)"), 2);
    EXPECT_EQ(value("at(\"\", \"abc\")"), 1);
    EXPECT_EQ(value("at(\"z\", \"abc\")"), 0);
    EXPECT_EQ(edits.failureOfLogic("@DMA(\"01b,\"01a;"), 2056);
}

TEST_F(StringFunctions, StrcmpComparesUnsignedBytes) {
    EXPECT_EQ(value("strcmp(\"abc\", \"abd\")"), -1);
    EXPECT_EQ(value("strcmp(\"abd\", \"abc\")"), 1);
    EXPECT_EQ(value("strcmp(\"abc\", \"abc\")"), 0);
    EXPECT_EQ(value("strcmp(\"abc\", \"abd\", 2)"), 0);
    EXPECT_EQ(value("strcmp(\"ab\", \"abc\")"), -1);
}

TEST_F(StringFunctions, StrcpyPadsCutsAndGuardsItsDestination) {
    EXPECT_EQ(edits.run("char v[10]; strcpy(v, \"abc\", -6);\n"
                        "return strcmp(v, \"abc   \") == 0 && strlen(v) == 6;"),
              1);
    EXPECT_EQ(edits.run("char v[10]; strcpy(v, \"abcdef\", 3); return strcmp(v, \"abc\") == 0;"),
              1);
    EXPECT_EQ(failure("char v[5]; strcpy(v, \"abcdefgh\");"), 2059);
    EXPECT_EQ(failure("strcpy(\"abc\", \"x\");"), 2057);
    EXPECT_EQ(edits.run("char v[5]; strcpy(v, #S\"Sex\"); return v[0];"), '2');
}

TEST_F(StringFunctions, StrcatAppendsWithinTheCapacity) {
    EXPECT_EQ(edits.run("char v[8]; strcpy(v, \"ab\"); strcat(v, \"cd\");\n"
                        "return strcmp(v, \"abcd\") == 0;"),
              1);
    EXPECT_EQ(failure("char v[5]; strcpy(v, \"ab\"); strcat(v, \"cde\");"), 2062);
    EXPECT_EQ(edits.run("char v[5]; strcpy(v, \"ab\"); strcat(v, \"cd\"); return strlen(v);"), 4);
}

TEST_F(StringFunctions, TemporaryTextsCutCopyAndConvert) {
    EXPECT_TRUE(yields("substr(\"abcdef\", 3)", "cdef"));
    EXPECT_TRUE(yields("substr(\"abcdef\", 3, 2)", "cd"));
    EXPECT_TRUE(yields("substr(\"abc\", 9)", ""));
    EXPECT_TRUE(yields("right(\"abc\", 10)", "abc"));
    EXPECT_TRUE(yields("right(\"abcdef\", 2)", "ef"));
    EXPECT_TRUE(yields("left(\"abc\", 10)", "abc"));
    EXPECT_TRUE(yields("left(\"abc\", 2)", "ab"));
    EXPECT_TRUE(yields("left(\"abc\", -2)", ""));
    EXPECT_TRUE(yields("trim(\"  ab  \", left)", "ab  "));
    EXPECT_TRUE(yields("trim(\"  ab  \", right)", "  ab"));
    EXPECT_TRUE(yields("trim(\"  ab  \", both)", "ab"));
    EXPECT_TRUE(yields("trim(\"  ab  \", 7)", "  ab  "));
    EXPECT_TRUE(yields("upper(\"aBc1\")", "ABC1"));
    EXPECT_TRUE(yields("lower(\"aBc1\")", "abc1"));
    EXPECT_TRUE(yields("upper(left(#S\"Primary Site\", 2))", "C5"));
}

TEST_F(StringFunctions, FmtstrFormatsOneValue) {
    EXPECT_EQ(edits.run("char v[10]; fmtstr(v, \"%05d\", 42); return strcmp(v, \"00042\") == 0;"),
              1);
    EXPECT_EQ(edits.run("char v[10], w[4]; strcpy(w, \"ab\"); fmtstr(v, \"<%-3s>\", w);\n"
                        "return strcmp(v, \"<ab >\") == 0;"),
              1);
    EXPECT_EQ(failure("char v[3]; fmtstr(v, \"%d\", 12345);"), 2064);
    EXPECT_EQ(failure("char v[9]; fmtstr(v, \"%d%d\", 1);"), 2064);
    EXPECT_EQ(edits.run("char v[9]; fmtstr(v, \"[%s]\", 77); return strcmp(v, \"[]\") == 0;"), 1);
}

// A field wider than the output can hold is refused before it is formatted, whatever the
// destination: the C library would otherwise write all of it first.
TEST_F(StringFunctions, FmtstrRefusesFieldsWiderThanItsOutput) {
    EXPECT_EQ(failure("fmtstr(#S\"Primary Site\", \"%2147483000d\", 1);"), 2064);
    EXPECT_EQ(failure("char v[600]; fmtstr(v, \"%512d\", 1);"), 2064);
    EXPECT_EQ(failure("char v[600], w[4]; fmtstr(v, \"%.600s\", w);"), 2064);
    EXPECT_EQ(edits.run("char v[600]; fmtstr(v, \"%0511d\", 7); return strlen(v);"), 511);
}

TEST_F(StringFunctions, ValReadsASignedNumberOfText) {
    EXPECT_EQ(value("val(\" -12x\")"), -12);
    EXPECT_EQ(value("val(\"\")"), 0);
    EXPECT_EQ(value("val(#S\"Date of Diagnosis\")"), 20051231);
    EXPECT_EQ(failure("int n; n = 4; return val(n);"), 505);
    EXPECT_EQ(failure("return val(nothing);"), 2010);
}

TEST_F(StringFunctions, EmptyAndJustifiedJudgeBlanks) {
    EXPECT_EQ(value("empty(\"  \")"), 1);
    EXPECT_EQ(value("empty(\" x\")"), 0);
    EXPECT_EQ(value("justified(\"  \", left)"), 1);
    EXPECT_EQ(value("justified(\"\", right)"), 1);
    EXPECT_EQ(value("justified(\" a\", left)"), 0);
    EXPECT_EQ(value("justified(\"a \", right)"), 0);
    EXPECT_EQ(value("justified(\" a\", right)"), 1);
    EXPECT_EQ(value("justified(#S\"Primary Site\", right)"), 0);
    EXPECT_EQ(value("justified(#S\"Date of Diagnosis\", right)"), 1);
    EXPECT_EQ(value("justified(\"a\", 5)"), 0);
}

} // namespace

namespace {

class ListFunctions : public StringFunctions {};

TEST_F(ListFunctions, InlistTestsCodesAndNumericRanges) {
    EXPECT_EQ(value("inlist(\"05\", \"01-10\")"), 1);
    EXPECT_EQ(value("inlist(\"5a\", \"01-10\")"), 1); // the number stops at the letter
    EXPECT_EQ(value("inlist(\"a5\", \"01-10\")"), 0);
    EXPECT_EQ(value("inlist(\" x \", \"y, x\")"), 1);
    EXPECT_EQ(value("inlist(\"10\", \"5-\")"), 1); // an open upper bound
    EXPECT_EQ(value("inlist(\"11\", \"01-10,20\")"), 0);
    EXPECT_EQ(value("inlist(\"X\", \"x\")"), 0); // codes compare with case
    EXPECT_EQ(value("inlist(\"(-)\", \"(-),A\")"), 1);
    EXPECT_EQ(value("inlist(#S\"Sex\", \"1,2\")"), 1);
}

TEST_F(ListFunctions, InlistAppliesItsPatternBeforeItsStartAndLength) {
    EXPECT_EQ(value("inlist(\"  \", \"A,B\", \"A\")"), 0);
    EXPECT_EQ(value("inlist(\"  \", \"A,B\", \"[a]\")"), 1); // blank: the list is not consulted
    EXPECT_EQ(value("inlist(\"ABC05\", \"01-10\", \"aaadd\", 4)"), 1);
    EXPECT_EQ(value("inlist(\"ABC05X\", \"05\", \"aaadda\", 4, 2)"), 1);
    EXPECT_EQ(value("inlist(\"ABC05\", \"01-10\", \"ddddd\", 4)"), 0);
    EXPECT_EQ(value("inlist(\"ABC05\", \"01-10\", \"aaadd\", 9)"), 0);
    EXPECT_EQ(edits.failureOfLogic("@DMU(\"01a,\"01a;"), 2047);
}

TEST_F(ListFunctions, MatchGivesTheMatchersVerdict) {
    EXPECT_EQ(value("match(\"123\", \"ddd\")"), 1);
    EXPECT_EQ(value("match(\"12a\", \"ddd\")"), 0);
    EXPECT_EQ(value("match(#S\"Primary Site\", \"ad\")"), 1);
}

} // namespace
