// The translated path beside the reference path on the cases where the two could most easily
// part: the evaluator's look-ahead, an element store into a name that is no array (the plan
// hands it back), the token budget and the nesting limit hit in the middle of an expression,
// and a logic's text replaced in place after its translation was made.
#include "tests/interp/edit_runner.h"

#include <gtest/gtest.h>
#include <string>

namespace vetra::testing {
namespace {

struct Outcome {
    bool failed = false;
    int32_t value = 0;
    int32_t code = 0;
    std::string text;
    uint64_t tokens = 0;

    bool operator==(const Outcome&) const = default;
};

Outcome runOn(EditRunner& runner, const std::string& logic, bool reference, uint64_t budget) {
    runner.interpreter().forceReferencePath(reference);
    runner.interpreter().setTokenBudget(budget);
    Outcome outcome;
    try {
        outcome.value = runner.interpreter().VTi_interpret(logic);
        outcome.tokens = runner.interpreter().tokens().tokensRead();
    } catch (const EngineFailure&) {
        outcome.failed = true;
    }
    outcome.code = runner.instance().lastEngineError();
    outcome.text = runner.lastErrorText();
    return outcome;
}

// The logic's outcome both ways, with the full budget and with every smaller budget up to
// what the reference read, so that the budget ends the run at each of its checks in turn.
// The reference's outcome with the full budget.
Outcome expectSameBothWays(const std::string& source) {
    EditRunner runner;
    std::string logic = EditRunner::compile(source);
    Outcome reference = runOn(runner, logic, true, Interpreter::kDefaultTokenBudget);
    Outcome translated = runOn(runner, logic, false, Interpreter::kDefaultTokenBudget);
    EXPECT_EQ(translated, reference) << source;
    uint64_t read = runner.interpreter().tokens().tokensRead();
    for (uint64_t budget = 1; budget <= read; ++budget) {
        Outcome cut = runOn(runner, logic, true, budget);
        EXPECT_EQ(runOn(runner, logic, false, budget), cut) << source << "\nbudget " << budget;
    }
    return reference;
}

TEST(TranslatedLogic, GivesTheReferenceResultsTokenCountsAndBudgetEnds) {
    const char* sources[] = {
        // look-ahead of leading names, with and without an index evaluated twice
        "int i, n; char c[4]; c[1] = 'x'; i = 1; n = c[i] + c[i] * 2; return n;",
        "int i; i = 0; for (i = 0; i < 7; i = i + 1) { if (i mod 3 == 0) i = i + 1; } return i;",
        "int a, b; a = b = 3; a = (b = a + 1) * (a - 2); return a + b;",
        // an element store into an int: the evaluator's other path, the same failure
        "int x; x = 5; x[1] = 2; return x;",
        "int x, y; y = 1; x = 5; y = x[1] = 2; return y;",
        // a name not declared, a division by zero, the most negative number
        "int x; x = y + 1; return x;",
        "int x; x = 0; return 7 / x;",
        "int x; x = -2147483647 - 1; return x / -1 + x mod -1;",
        // while and do loops, returns from a user function
        "int n; n = 0; while (n < 20) n = n + 3; do { n = n - 1; } while (n > 5); return n;",
        "int n; n = twice(4) + twice(twice(1)); return n;\nfunction twice(int v) { return v * 2; }",
        // named constants, characters, unary operators and the logical operators
        "int d; d = dt_today; if (!(d > 0) || -d > 0 && 'a' != 97) return fail; return pass;",
    };
    for (const char* source : sources)
        expectSameBothWays(source);
}

TEST(TranslatedLogic, NestingTooDeepEndsTheRunAtTheSameExpression) {
    // Each parenthesis opening on a declared name nests two levels, so the limit falls
    // among these depths.
    for (int depth : {120, 124, 125, 126, 127, 130}) {
        std::string deep = "int x; x = 1; x = ";
        for (int i = 0; i < depth; ++i)
            deep += "(x + ";
        deep += "1";
        for (int i = 0; i < depth; ++i)
            deep += ")";
        Outcome reference = expectSameBothWays(deep + "; return x;");
        if (depth == 120) {
            EXPECT_FALSE(reference.failed);
        }
        if (depth == 130) {
            EXPECT_EQ(reference.code, Interpreter::kInterpretFailure);
        }
    }
}

TEST(TranslatedLogic, ALogicReplacedInPlaceIsTranslatedAgain) {
    EditRunner runner;
    std::string logic = EditRunner::compile("int x; x = 2; return x * 3;");
    EXPECT_EQ(runner.runLogic(logic), 6);
    std::string other = EditRunner::compile("int x; x = 2; return x + 3;");
    ASSERT_EQ(other.size(), logic.size());
    logic.replace(0, logic.size(), other); // the same storage, another text
    EXPECT_EQ(runner.runLogic(logic), 5);
}

TEST(TranslatedLogic, TheEngineVariableSwitchesToTheReferencePath) {
    EditRunner runner;
    runner.interpreter().forceReferencePath(false); // whatever the environment says
    std::string logic = EditRunner::compile("int x; x = 2; return x * 3;");
    EXPECT_EQ(runner.runLogic(logic), 6);
    size_t translations = runner.interpreter().translations().size();
    ASSERT_EQ(VTx_SetVar(runner.id(), "_REFERENCE_INTERPRETER", "1"), 0);
    EXPECT_TRUE(runner.interpreter().referencePath());
    std::string other = EditRunner::compile("int y; y = 4; return y * 3;");
    EXPECT_EQ(runner.runLogic(other), 12);
    EXPECT_EQ(runner.interpreter().translations().size(), translations);
    ASSERT_EQ(VTx_SetVar(runner.id(), "_REFERENCE_INTERPRETER", ""), 0);
    EXPECT_FALSE(runner.interpreter().referencePath());
}

} // namespace
} // namespace vetra::testing
