// The expression evaluator: precedence and associativity, integer arithmetic, assignment,
// char arrays and text addresses, named constants and the operand rule.
#include "tests/interp/edit_runner.h"

#include <gtest/gtest.h>

namespace {

using vetra::testing::EditRunner;

class Expressions : public ::testing::Test {
protected:
    int32_t value(const std::string& expression) { return edits.run("return " + expression + ";"); }
    EditRunner edits;
};

TEST_F(Expressions, AndAndOrShareOneLevelFromLeftToRight) {
    EXPECT_EQ(value("1 || 0 && 0"), 0);
    EXPECT_EQ(value("0 && 1 || 1"), 1);
    EXPECT_EQ(value("5 && 7"), 1);
    EXPECT_EQ(value("0 || 0"), 0);
}

TEST_F(Expressions, ArithmeticHasItsPrecedenceAndAssociativity) {
    EXPECT_EQ(value("2 + 3 * 4"), 14);
    EXPECT_EQ(value("(2 + 3) * 4"), 20);
    EXPECT_EQ(value("10 - 2 - 3"), 5);
    EXPECT_EQ(value("100 / 10 / 5"), 2);
    EXPECT_EQ(value("1 + 2 == 3"), 1);
    EXPECT_EQ(value("2 * 3 > 5 && 1"), 1);
    EXPECT_EQ(value("!0 + 1"), 2);
    EXPECT_EQ(value("-(3 + 4) * 2"), -14);
    EXPECT_EQ(value("+5"), 5);
}

TEST_F(Expressions, DivisionTruncatesAndTheRemainderFollowsTheLeftSign) {
    EXPECT_EQ(value("-7 / 2"), -3);
    EXPECT_EQ(value("-7 mod 2"), -1);
    EXPECT_EQ(value("7 % -2"), 1);
    EXPECT_EQ(value("7 / -2"), -3);
}

TEST_F(Expressions, IntegersWrapAround) {
    EXPECT_EQ(value("2147483647 + 1"), INT32_MIN);
    EXPECT_EQ(value("65536 * 65536"), 0);
    EXPECT_EQ(value("(0 - 2147483647 - 1) / -1"), INT32_MIN);
    EXPECT_EQ(value("(0 - 2147483647 - 1) mod -1"), 0);
    EXPECT_EQ(value("4294967297"), 1);
}

TEST_F(Expressions, DivisionByZeroEndsTheRun) {
    EXPECT_EQ(edits.failureOf("int z; z = 0; return 1 / z;"), 474);
    EXPECT_EQ(edits.lastErrorText(), "In VTi_interpret: division by zero");
    EXPECT_EQ(edits.failureOf("return 1 mod 0;"), 474);
}

TEST_F(Expressions, RelationalOperatorsCompareSigned) {
    EXPECT_EQ(value("-1 < 0"), 1);
    EXPECT_EQ(value("3 >= 3"), 1);
    EXPECT_EQ(value("3 <= 2"), 0);
    EXPECT_EQ(value("3 != 3"), 0);
    EXPECT_EQ(value("4 > 3"), 1);
}

TEST_F(Expressions, OnlyOneRelationalOperatorIsApplied) {
    EXPECT_EQ(edits.failureOf("int x; x = 3 < 4 < 5;"), 2079);
}

TEST_F(Expressions, AssignmentIsRightAssociative) {
    EXPECT_EQ(edits.run("int a, b, c; c = a = b = 5; return a * 100 + b * 10 + c;"), 555);
}

TEST_F(Expressions, OnlyOneUnaryOperatorIsTaken) {
    EXPECT_EQ(edits.failureOf("int x; x = 1; x = --x;"), 2016);
}

TEST_F(Expressions, NamedConstantsAndCharacterLiterals) {
    EXPECT_EQ(value("fail"), 0);
    EXPECT_EQ(value("pass"), 1);
    EXPECT_EQ(value("dt_max"), 2);
    EXPECT_EQ(value("dt_exact"), 3);
    EXPECT_EQ(value("dt_unknown"), 0x7FFFFFFF);
    EXPECT_EQ(value("dt_error"), 0x6FFFFFFF);
    EXPECT_EQ(value("dt_missing"), 0x5FFFFFFF);
    EXPECT_EQ(value("dt_valid"), 0x4FFFFFFF);
    EXPECT_EQ(value("dt_empty"), 0x3FFFFFFF);
    EXPECT_EQ(value("dt_day_empty"), 0x2FFFFFFF);
    EXPECT_EQ(value("dt_month_empty"), 0x1FFFFFFF);
    EXPECT_EQ(value("dt_today"), edits.instance().today());
    EXPECT_EQ(value("'A'"), 65);
}

TEST_F(Expressions, AnEmptyOperandKeepsTheSlotsValue) {
    EXPECT_EQ(edits.runLogic("@D();"), 1); // a return's slot is the return register
    EXPECT_EQ(edits.runLogic("@D(U017+());"), 7);
}

TEST_F(Expressions, OperandsThatAreNoValuesAreSyntaxErrors) {
    EXPECT_EQ(edits.failureOf("int x; x = #S\"Sex\";"), 2016);
    EXPECT_EQ(edits.failureOfLogic("@IN01x;N01x={;"), 2016);
    EXPECT_EQ(edits.failureOf("return y;"), 2010);
    EXPECT_EQ(edits.failureOfLogic("@N01f(U011);"), 2014);
    EXPECT_EQ(edits.failureOfLogic("@D(U011;"), 2013);
}

// ---- Char arrays and text addresses -----------------------------------------------------------

TEST_F(Expressions, AssigningToACharArrayWritesItsFirstCharacter) {
    EXPECT_EQ(edits.run("char x[4]; int before; before = x; x = 65;\n"
                        "if (x != before) return 99;\n"
                        "return x[0];"),
              65);
}

TEST_F(Expressions, IndexingReadsSignedCharacters) {
    EXPECT_EQ(edits.run("char x[4]; x[0] = 'A'; x[1] = 'B'; x[2] = 'C'; return x[2];"), 67);
    EXPECT_EQ(edits.run("char x[4]; x[1] = 200; return x[1];"), -56);
    EXPECT_EQ(edits.run("char x[4]; x[1] = 'Q' + 256; return x[1];"), 'Q');
}

TEST_F(Expressions, AnAddressPlusAnIndexIsAnAddress) {
    EXPECT_EQ(edits.run("char x[4]; int p; x[0] = 'A'; x[1] = 'B';\n"
                        "p = x + 1; return p[0] * 1000 + p[-1];"),
              66065);
}

TEST_F(Expressions, AnIntArrayIndexedAsTheTargetReplacesItsValue) {
    EXPECT_EQ(edits.run("int v[3]; v[2] = 7; return v;"), 7);
}

TEST_F(Expressions, AddressesOutsideEveryBlockReadAsEmpty) {
    EXPECT_EQ(edits.run("int n; n = 12345; return n[0];"), 0);
    EXPECT_EQ(edits.run("char x[3]; x[0] = 'A'; return x[3] + x[-1] + x[100000];"), 0);
    EXPECT_EQ(edits.run("int n; n = -1; return n[0] + n[1];"), 0);
}

TEST_F(Expressions, WritingThroughAnAddressOfNoBlockEndsTheRun) {
    EXPECT_EQ(edits.failureOf("char *p; p[3] = 65;"), 474);
    EXPECT_EQ(edits.lastErrorText(), "In VTi_interpret: no text at address 3 to store into p");
    EXPECT_EQ(edits.failureOf("char x[2]; x[2] = 65;"), 474);
}

} // namespace
