// Compiled logic that no compiler writes: truncated tokens, lengths past the end, unbalanced
// brackets, endless loops and nesting that would exhaust the stack. Each ends the run with
// its engine error, and the instance stays usable.
#include "tests/interp/edit_runner.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using vetra::testing::EditRunner;

std::string repeated(std::string_view text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

class MalformedLogic : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(edits.run("return 3;"), 3); }
    EditRunner edits;
};

TEST_F(MalformedLogic, TruncatedTokensAreSyntaxErrors) {
    EXPECT_EQ(edits.failureOfLogic("@N05ab"), 2017);
    EXPECT_EQ(edits.failureOfLogic("@DU1"), 2017);
    EXPECT_EQ(edits.failureOfLogic("@F00"), 2017);
    EXPECT_EQ(edits.failureOfLogic("@V"), 2017);
}

TEST_F(MalformedLogic, LengthsAndOffsetsPastTheEndAreSyntaxErrors) {
    EXPECT_EQ(edits.failureOfLogic("@F9999(U010)U011;"), 2017);
    EXPECT_EQ(edits.failureOfLogic("@IN01x;F0009(U011)N01x=U011;A9999U012;"), 2017);
    EXPECT_EQ(edits.failureOfLogic("@B9999(U010);"), 2017);
    EXPECT_EQ(edits.failureOfLogic("A99999mA();"), 2017);
    EXPECT_EQ(edits.failureOfLogic("B00001"), 2017);
    EXPECT_EQ(edits.failureOfLogic("[00001"), 2017);
}

TEST_F(MalformedLogic, UnbalancedBracketsFail) {
    EXPECT_EQ(edits.failureOfLogic("@D((U011);"), 2013);
    EXPECT_EQ(edits.failureOfLogic("@C0000(;;"), 2074);
    EXPECT_EQ(edits.failureOfLogic("@F0000U011)"), 2085);
    EXPECT_EQ(edits.failureOfLogic("@HN01x[U012;"), 2092);
    EXPECT_EQ(edits.runLogic("@{{{DU017;"), 7);
}

TEST_F(MalformedLogic, EndlessLoopsRunOutOfTokens) {
    edits.interpreter().setTokenBudget(10000);
    EXPECT_EQ(edits.failureOf("while (1) ;"), 474);
    EXPECT_EQ(edits.lastErrorText(),
              "In VTi_interpret: edit logic read more than 10000 tokens in one run");
    EXPECT_EQ(edits.failureOf("for (;1;) ;"), 474);
    EXPECT_EQ(edits.failureOf("int i; do i = 1; while (1);"), 474);
    EXPECT_EQ(edits.failureOf("f();\nfunction f() { while (1) { return 1; } }"), 474);
}

TEST_F(MalformedLogic, NestingTooDeepForTheStackFails) {
    EXPECT_EQ(edits.failureOfLogic("@D" + repeated("(", 5000) + "U011" + repeated(")", 5000) + ";"),
              474);
    EXPECT_EQ(edits.lastErrorText(), "In VTi_interpret: edit logic nested too deeply");
    EXPECT_EQ(edits.failureOfLogic("@" + repeated("F0000(U011)", 2000) + "DU011;"), 474);
    EXPECT_EQ(edits.failureOfLogic("@IN01a;" + repeated("N01a=", 1500) + "U011;"), 474);
    EXPECT_EQ(edits.runLogic("@D" + repeated("(", 50) + "U011" + repeated(")", 50) + ";"), 1);
}

} // namespace
