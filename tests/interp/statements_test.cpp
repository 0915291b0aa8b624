// Statements of the edit language run on a bound record: results, loops, declarations, and
// user functions with their arguments and call stack.
#include "tests/interp/edit_runner.h"

#include <gtest/gtest.h>

namespace {

using vetra::testing::EditRunner;

class Statements : public ::testing::Test {
protected:
    EditRunner edits;
};

TEST_F(Statements, AnEditWithoutReturnPassesAndAReturnAnywhereEndsTheRun) {
    EXPECT_EQ(edits.runLogic(""), 1);
    EXPECT_EQ(edits.runLogic("@"), 1);
    EXPECT_EQ(edits.run("int x; x = 3;"), 1);
    EXPECT_EQ(edits.run("int i; i = 0;\n"
                        "while (i < 10) {\n"
                        "    if (i == 4) { if (1) return fail; }\n"
                        "    i = i + 1;\n"
                        "}\n"
                        "return pass;"),
              0);
    EXPECT_EQ(edits.run("int i; for (i = 0; i < 5; i = i + 1) if (i == 3) return i * 7;"), 21);
    EXPECT_EQ(edits.run("return;"), 0);
}

TEST_F(Statements, IfAndElseRunOneBranchAndSkipTheOther) {
    const char* source = "int r; r = 0;\n"
                         "if (%s) r = 1; else { r = 2; }\n"
                         "return r + 10;";
    char text[200];
    std::snprintf(text, sizeof text, source, "1");
    EXPECT_EQ(edits.run(text), 11);
    std::snprintf(text, sizeof text, source, "0");
    EXPECT_EQ(edits.run(text), 12);
    EXPECT_EQ(edits.run("int r; r = 1; if (0) r = 5; r = r + 1; return r;"), 2);
    EXPECT_EQ(edits.run("int r; r = 0; if (1) if (0) r = 1; else r = 2; return r;"), 2);
}

TEST_F(Statements, AStandaloneElseSkipsItsStatement) {
    EXPECT_EQ(edits.runLogic("@IN01r;N01r=U011;A0000{N01r=U015;}DN01r;"), 1);
    EXPECT_EQ(edits.runLogic("@IN01r;N01r=U011;A0000U015;DN01r;"), 1);
}

TEST_F(Statements, LoopsRunUntilTheirConditionFails) {
    EXPECT_EQ(edits.run("int i, s; i = 0; s = 0;\n"
                        "while (i < 100) { s = s + i; i = i + 1; }\n"
                        "return s;"),
              4950);
    EXPECT_EQ(edits.run("int i, s; s = 0; for (i = 1; i <= 10; i = i + 1) s = s + i; return s;"),
              55);
    EXPECT_EQ(edits.run("int i; i = 0; do { i = i + 2; } while (i < 7); return i;"), 8);
    EXPECT_EQ(edits.run("int i; i = 9; do i = i + 1; while (0); return i;"), 10);
    EXPECT_EQ(edits.run("int i; i = 0; while (i < 3) i = i + 1; return i;"), 3);
    EXPECT_EQ(edits.run("int n; n = 0; if (1) while (n < 4) n = n + 1; else n = 99; return n;"), 4);
}

TEST_F(Statements, ALoopOfManyPassesWithADeclarationKeepsOneRecord) {
    EXPECT_EQ(edits.run("int n; n = 0;\n"
                        "while (n < 1000) { int i; i = n; n = n + 1; }\n"
                        "return n;"),
              1000);
    EXPECT_EQ(edits.interpreter().locals().count(), 2);
}

TEST_F(Statements, DeclarationsMakeZeroFilledArraysAndScalars) {
    EXPECT_EQ(edits.run("char x[5], c;\n"
                        "return x[0] + x[1] + x[2] + x[3] + x[4] + c + 100;"),
              100);
    vetra::LocalVariables& locals = edits.interpreter().locals();
    ASSERT_EQ(locals.count(), 2);
    EXPECT_STREQ(locals.at(0).name, "x");
    EXPECT_EQ(locals.at(0).type, 0x41);
    EXPECT_EQ(locals.at(0).count, 5);
    EXPECT_NE(locals.at(0).value, 0);
    EXPECT_EQ(locals.at(1).type, 1);
    EXPECT_EQ(locals.at(1).count, 1);
    EXPECT_EQ(locals.at(1).value, 0);
}

TEST_F(Statements, ArraysAreReleasedWhenTheRunEnds) {
    size_t before = edits.instance().memory().bytesInUse();
    EXPECT_EQ(edits.run("int n; n = 0; while (n < 50) { char big[1000]; n = n + 1; }"), 1);
    EXPECT_EQ(edits.instance().memory().bytesInUse(), before);
}

// Blocks nest deeper than the memory manager's levels of running edits (2 to 99) go: a
// temporary text made 120 blocks down must still go with its block and its run.
TEST_F(Statements, TemporariesOfDeeplyNestedBlocksAreReleased) {
    std::string source;
    for (int depth = 0; depth < 95; ++depth)
        source += "if (1) {\n";
    source += "int n; n = 0; while (n < 20) { left(\"abc\", 1); n = n + 1; }\n";
    source += std::string(95, '}') + "\nreturn 7;";
    vetra::MemoryManager& memory = edits.instance().memory();
    size_t before = memory.bytesInUse();
    int32_t highWaterMark = memory.highWaterMark();
    EXPECT_EQ(edits.run(source), 7);
    EXPECT_EQ(edits.run(source), 7);
    EXPECT_EQ(memory.bytesInUse(), before);
    EXPECT_EQ(memory.highWaterMark(), highWaterMark);
}

// Arrays live until the run ends, temporaries until their block does, however the two
// interleave.
TEST_F(Statements, ArraysOutliveTheBlocksThatDeclareThemAmongTemporaries) {
    EXPECT_EQ(edits.run("int t, n; n = 0;\n"
                        "while (n < 3) {\n"
                        "  t = left(\"abc\", 2);\n"
                        "  char a[4]; strcpy(a, t);\n"
                        "  if (1) { t = left(\"xyz\", 1); char b[4]; strcpy(b, t); }\n"
                        "  n = n + 1;\n"
                        "}\n"
                        "return strlen(t) * 100 + strcmp(a, \"ab\") * 10 + strcmp(b, \"x\");"),
              0);
}

// The longest text an edit can make, and so the most work any built-in does on one.
TEST_F(Statements, AnArrayHoldsAtMost65536Bytes) {
    EXPECT_EQ(edits.run("char a[65536]; a[65535] = 65; return a[65535];"), 65);
    EXPECT_EQ(edits.run("int a[32768]; return 1;"), 1);
    EXPECT_EQ(edits.failureOf("char a[65537];"), 2001);
    EXPECT_EQ(edits.failureOf("int a[32769];"), 2001);
    EXPECT_EQ(edits.failureOf("char a[2000000000];"), 2001);
}

TEST_F(Statements, ADeclarationWithoutItsSemicolonFails) {
    EXPECT_EQ(edits.failureOf("int i = 0;"), 2002);
}

TEST_F(Statements, ADoBodyMustBeFollowedByWhile) {
    EXPECT_EQ(edits.failureOfLogic("@IN01x;L0000N01x=U011;N01x;"), 2011);
}

TEST_F(Statements, ForHeadersNeedTheirSemicolons) {
    EXPECT_EQ(edits.failureOfLogic("@IN01i;C0001(N01i=U010)U011;"), 2012);
}

// ---- User functions ---------------------------------------------------------------------------

TEST_F(Statements, AFunctionsReturnValueBecomesTheResult) {
    EXPECT_EQ(edits.run("f();\n"
                        "function f() { return fail; }"),
              0);
    EXPECT_EQ(edits.run("int x; x = f() + 1; return x;\n"
                        "function f() { return 41; }"),
              42);
}

TEST_F(Statements, AReturnInsideANestedBlockOfAFunctionEndsOnlyThatBlock) {
    const char* source = "return f(%d);\n"
                         "function f(int a)\n"
                         "{\n"
                         "    if (a > 0) { return 1; }\n"
                         "    return 2;\n"
                         "}";
    char text[200];
    std::snprintf(text, sizeof text, source, 5);
    EXPECT_EQ(edits.run(text), 2);
    std::snprintf(text, sizeof text, source, -5);
    EXPECT_EQ(edits.run(text), 2);
}

TEST_F(Statements, ArgumentsBindToParametersInOrder) {
    EXPECT_EQ(edits.run("return f(1, 2) * 1000 + g(7, 8, 9);\n"
                        "function f(int a, int b) { return a * 10 + b; }\n"
                        "function g(int a, char b, int c) { return a * 100 + b * 10 + c; }"),
              12789);
}

TEST_F(Statements, NestedCallsAndRecursion) {
    EXPECT_EQ(edits.run("return fact(6);\n"
                        "function fact(int n) { int r; r = 1; if (n > 1) r = n * fact(n - 1); "
                        "return r; }"),
              720);
    EXPECT_EQ(edits.run("return twice(twice(3));\n"
                        "function twice(int n) { return n + n; }"),
              12);
}

TEST_F(Statements, TheSeventeenthNestedCallFails) {
    const char* source = "return down(%d);\n"
                         "function down(int n) { if (n > 0) down(n - 1); return 5; }";
    char text[200];
    std::snprintf(text, sizeof text, source, 15); // 16 nested calls
    EXPECT_EQ(edits.run(text), 5);
    std::snprintf(text, sizeof text, source, 16);
    EXPECT_EQ(edits.failureOf(text), 2009);
}

TEST_F(Statements, AFunctionsLocalsGoWhenItReturns) {
    EXPECT_EQ(edits.failureOf("f(); return inner;\n"
                              "function f() { int inner; inner = 3; }"),
              2010);
}

TEST_F(Statements, CallsMustMatchTheirFunctions) {
    EXPECT_EQ(edits.failureOf("return f(1);\n"
                              "function f(int a, int b) { return a; }"),
              2078);
    EXPECT_EQ(edits.failureOfLogic("A00000mB();"), 2005);
    EXPECT_EQ(edits.failureOfLogic("A00013mA();nA(N01a){}"), 2006);
    EXPECT_EQ(edits.failureOfLogic("A00017mA(U011);nA(IN01a;{}"), 2007);
}

} // namespace
