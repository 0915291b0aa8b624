// Expression plans: an expression of compiled logic made once into a small tree, so that
// evaluating it again costs a walk of that tree instead of a read of every token through the
// eight levels of the evaluator.
//
// A plan does exactly what the evaluator (expressions.cpp) does with the same tokens, step by
// step: it looks up the same names at the same moments (the leading name of each assignment
// level twice, as the evaluator's look-ahead does; an element read there, index and all,
// twice), reads bytes, stores, divides and fails in the same order, and counts the tokens the
// evaluator would have read. It is made only for what it covers: numbers, characters, named
// constants, variables and their elements, the unary, arithmetic, relational and logical
// operators, parentheses and assignments. Calls, strings, field references and anything the
// evaluator reads in a way that depends on a field's value have no plan, and neither has
// logic that does not read as the evaluator reads it.
//
// One thing a plan cannot know before it runs: whether a name with an index before "=" is an
// array. When it is not, the evaluator takes another path, and the plan hands the expression
// back (see Interpreter::runPlan) before it has changed anything: a plan in which that could
// happen after a store is not made.
#pragma once

#include "engine/interp/decoded_logic.h"

#include <cstdint>
#include <vector>

namespace vetra {

struct PlanNode {
    enum Op : uint8_t {
        Constant,
        Today,
        Variable,  // entry: the name
        Element,   // entry, left: the index (an Evaluate)
        Evaluate,  // left: an assignment level; one more level of nesting
        Paren,     // left
        Lookahead, // entry, left: the index or -1, right: the logical level after the name
        Assign,    // entry, left: the index or -1, right: the value
        UnaryPlus,
        Negate,
        Not,
        Binary, // value: the operator's token code; left, right
    };

    Op op = Constant;
    uint8_t reads = 0; // tokens the evaluator reads for the node itself, children aside
    int32_t value = 0; // a constant's, or a binary operator's token code
    int32_t entry = DecodedLogic::kNoEntry;
    int32_t left = -1;
    int32_t right = -1;
    // Lookahead and Assign: the tokens read when the look-ahead evaluates the index.
    uint32_t indexReads = 0;
};

struct ExpressionPlan {
    std::vector<PlanNode> nodes;
    int32_t root = -1;     // an Evaluate
    int32_t follower = -1; // the entry left current, put back, after the expression
    int32_t depth = 0;     // the deepest nesting the evaluator reaches in it
    // The tokens the evaluator reads for it, but for what a look-ahead's index adds.
    uint64_t reads = 0;
};

class ExpressionPlans {
public:
    // Plans of one logic hold at most kNodesPerToken nodes for each of its tokens and
    // kSpareNodes more together; past that, no more are made.
    static constexpr size_t kNodesPerToken = 4;
    static constexpr size_t kSpareNodes = 4096;
    static constexpr size_t kMaxPlanNodes = 4096;

    // The plan of the expression that evaluate() reads from entry `first`, made the first
    // time it is asked for; null when there is none.
    const ExpressionPlan* planAt(DecodedLogic& decoded, int32_t first, int32_t maxDepth);

    size_t bytes() const;

private:
    std::vector<ExpressionPlan> plans_;
    size_t nodes_ = 0;
};

} // namespace vetra
