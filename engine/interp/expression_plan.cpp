#include "expression_plan.h"

#include "engine/interp/keyword_table.h"
#include "engine/interp/token_decoder.h"

#include <algorithm>

namespace vetra {

namespace {

// Thrown inside the compiler when the expression is one a plan does not cover.
struct NoPlan {};

// Reads the tokens of one expression as the evaluator reads them, level by level, and makes
// the nodes that do what each level does. Every check below is the evaluator's own check on
// the same token; a token whose text depends on the record (a field reference) ends the
// attempt wherever it is met.
class PlanCompiler {
public:
    PlanCompiler(const DecodedLogic& decoded, ExpressionPlan& plan, int32_t maxDepth)
        : decoded_(decoded), plan_(plan), maxDepth_(maxDepth) {}

    void compile(int32_t first) {
        current_ = first;
        checkToken();
        plan_.root = evaluateFromCurrent(0);
        plan_.follower = current_;
        plan_.depth = depthOf(plan_.root);
        countReads();
    }

private:
    const DecodedLogic::Entry& token() const { return decoded_.entry(current_); }
    bool punctuation(char code) const {
        return token().kind == kPunctuation && token().code == code;
    }
    bool isOperator(char code) const { return token().kind == kOperator && token().code == code; }

    void checkToken() const {
        if (token().kind == kFieldReference) throw NoPlan{};
    }
    // The next token of a straight read: one VTi_GetToken of the evaluator.
    void advance() {
        current_ = decoded_.following(current_);
        if (current_ == DecodedLogic::kNoEntry) throw NoPlan{};
        checkToken();
    }

    int32_t add(PlanNode node) {
        if (plan_.nodes.size() >= ExpressionPlans::kMaxPlanNodes) throw NoPlan{};
        plan_.nodes.push_back(node);
        return static_cast<int32_t>(plan_.nodes.size()) - 1;
    }
    int32_t depthOf(int32_t node) const { return depths_.at(static_cast<size_t>(node)); }
    int32_t setDepth(int32_t node, int32_t depth) {
        if (depths_.size() <= static_cast<size_t>(node)) depths_.resize(plan_.nodes.size());
        depths_[static_cast<size_t>(node)] = depth;
        return node;
    }
    int32_t leaf(PlanNode node) { return setDepth(add(node), 0); }
    // Children come before their parents: one pass adds up what each subtree reads, the
    // indexes that only a look-ahead evaluates (and only for an array) kept apart.
    void countReads() {
        std::vector<uint64_t> reads(plan_.nodes.size());
        for (size_t i = 0; i < plan_.nodes.size(); ++i) {
            PlanNode& node = plan_.nodes[i];
            reads[i] = node.reads;
            bool lookahead = node.op == PlanNode::Lookahead || node.op == PlanNode::Assign;
            if (node.left >= 0) {
                uint64_t left = reads[static_cast<size_t>(node.left)];
                if (lookahead)
                    node.indexReads = static_cast<uint32_t>(left + 2);
                else
                    reads[i] += left;
            }
            if (node.right >= 0) reads[i] += reads[static_cast<size_t>(node.right)];
        }
        plan_.reads = reads[static_cast<size_t>(plan_.root)];
    }

    void nest(int32_t nesting) const {
        if (nesting > maxDepth_) throw NoPlan{};
    }

    // evaluate(): its first token read (counted here), an empty expression not covered.
    int32_t evaluateFromCurrent(int32_t nesting) {
        nest(nesting + 1);
        if (token().kind == kPunctuation && decoded_.text(token())[0] == ';') throw NoPlan{};
        int32_t inner = assignmentLevel(nesting + 1);
        PlanNode node{PlanNode::Evaluate, 1, 0, DecodedLogic::kNoEntry, inner, -1};
        return setDepth(add(node), 1 + depthOf(inner));
    }
    int32_t evaluate(int32_t nesting) {
        advance();
        return evaluateFromCurrent(nesting);
    }

    // An index after "[": evaluated, then its "]" read again and the token after it read.
    int32_t index(int32_t nesting) {
        int32_t inner = evaluate(nesting);
        if (!punctuation(']')) throw NoPlan{};
        advance();
        return inner;
    }

    int32_t assignmentLevel(int32_t nesting) {
        if (token().kind != kIdentifier) return logicalLevel(nesting);
        // A name the variable table holds: one level deeper for the rest of the expression,
        // and the token after the name read ahead, with an array's index.
        nest(nesting + 1);
        int32_t name = current_;
        advance();
        int32_t indexNode = -1;
        if (punctuation('[')) {
            // An assignment to an element that turns out not to be an array is handed back
            // to the evaluator, so nothing may have been stored before it.
            int32_t storesBefore = stores_;
            indexNode = index(nesting + 1);
            if (isOperator('=') && storesBefore > 0) throw NoPlan{};
        }
        PlanNode node{PlanNode::Lookahead, 1, 0, name, indexNode, -1};
        int32_t inner = 0;
        if (isOperator('=')) {
            node.op = PlanNode::Assign;
            node.reads = 2;
            advance();
            inner = assignmentLevel(nesting + 1);
            ++stores_;
        } else {
            current_ = name;
            inner = logicalLevel(nesting + 1);
        }
        node.right = inner;
        int32_t deepest = std::max(indexNode < 0 ? 0 : depthOf(indexNode), depthOf(inner));
        return setDepth(add(node), 1 + deepest);
    }

    int32_t binary(char code, int32_t left, int32_t right) {
        PlanNode node{PlanNode::Binary, 1, code, DecodedLogic::kNoEntry, left, right};
        return setDepth(add(node), std::max(depthOf(left), depthOf(right)));
    }

    int32_t logicalLevel(int32_t nesting) {
        int32_t value = relationalLevel(nesting);
        while (token().kind == kOperator &&
               (decoded_.text(token())[0] == '&' || decoded_.text(token())[0] == '|')) {
            char code = decoded_.text(token())[0];
            advance();
            value = binary(code, value, relationalLevel(nesting));
        }
        return value;
    }

    int32_t relationalLevel(int32_t nesting) {
        int32_t value = additiveLevel(nesting);
        if (token().kind != kOperator) return value;
        char code = token().code;
        if (code != '<' && code != '>' && code != 'E' && code != 'G' && code != 'J' && code != 'K')
            return value;
        advance();
        return binary(code, value, additiveLevel(nesting));
    }

    int32_t additiveLevel(int32_t nesting) {
        int32_t value = multiplicativeLevel(nesting);
        while (isOperator('+') || isOperator('-')) {
            char code = token().code;
            advance();
            value = binary(code, value, multiplicativeLevel(nesting));
        }
        return value;
    }

    int32_t multiplicativeLevel(int32_t nesting) {
        int32_t value = unaryLevel(nesting);
        while (isOperator('*') || isOperator('/') || isOperator('%')) {
            char code = token().code;
            advance();
            value = binary(code, value, unaryLevel(nesting));
        }
        return value;
    }

    int32_t unaryLevel(int32_t nesting) {
        char code = token().kind == kOperator ? token().code : '\0';
        if (code != '+' && code != '-' && code != '!') return parenthesisLevel(nesting);
        advance();
        int32_t operand = parenthesisLevel(nesting);
        PlanNode::Op op = code == '+'   ? PlanNode::UnaryPlus
                          : code == '-' ? PlanNode::Negate
                                        : PlanNode::Not;
        PlanNode node{op, 1, 0, DecodedLogic::kNoEntry, operand, -1};
        return setDepth(add(node), depthOf(operand));
    }

    int32_t parenthesisLevel(int32_t nesting) {
        if (!punctuation('(')) return operand(nesting);
        nest(nesting + 1);
        advance();
        int32_t inner = assignmentLevel(nesting + 1);
        if (token().code != ')') throw NoPlan{};
        advance();
        PlanNode node{PlanNode::Paren, 2, 0, DecodedLogic::kNoEntry, inner, -1};
        return setDepth(add(node), 1 + depthOf(inner));
    }

    int32_t operand(int32_t nesting) {
        const DecodedLogic::Entry& at = token();
        const char* text = decoded_.text(at);
        PlanNode node{PlanNode::Constant, 1, 0, DecodedLogic::kNoEntry, -1, -1};
        switch (at.kind) {
        case kCharacterLiteral:
            node.value = static_cast<signed char>(at.code);
            break;
        case kNumber:
            node.value = numberTokenValue(text);
            break;
        case kNamedConstant:
            if (text[0] == 'O')
                node.op = PlanNode::Today;
            else
                node.value = namedConstantValue(text[0], 0);
            break;
        case kIdentifier:
            return variable(nesting);
        default:
            throw NoPlan{}; // calls, strings, empty operands, anything else
        }
        advance();
        return leaf(node);
    }

    int32_t variable(int32_t nesting) {
        int32_t name = current_;
        advance();
        if (punctuation('(')) throw NoPlan{};
        if (!punctuation('[')) return leaf({PlanNode::Variable, 1, 0, name, -1, -1});
        int32_t indexNode = evaluate(nesting);
        if (!punctuation(']')) throw NoPlan{};
        advance();
        PlanNode node{PlanNode::Element, 3, 0, name, indexNode, -1};
        return setDepth(add(node), depthOf(indexNode));
    }

    const DecodedLogic& decoded_;
    ExpressionPlan& plan_;
    int32_t maxDepth_;
    int32_t current_ = DecodedLogic::kNoEntry;
    int32_t stores_ = 0;
    std::vector<int32_t> depths_;
};

} // namespace

const ExpressionPlan* ExpressionPlans::planAt(DecodedLogic& decoded, int32_t first,
                                              int32_t maxDepth) {
    int32_t& known = decoded.planOf(first);
    if (known == DecodedLogic::kPlanUnknown) {
        known = DecodedLogic::kNoPlan;
        size_t bound = kNodesPerToken * static_cast<size_t>(decoded.entryCount()) + kSpareNodes;
        if (nodes_ >= bound) return nullptr;
        ExpressionPlan plan;
        try {
            PlanCompiler(decoded, plan, maxDepth).compile(first);
        } catch (const NoPlan&) {
            return nullptr;
        }
        nodes_ += plan.nodes.size();
        known = static_cast<int32_t>(plans_.size());
        plans_.push_back(std::move(plan));
    }
    return known < 0 ? nullptr : &plans_[static_cast<size_t>(known)];
}

size_t ExpressionPlans::bytes() const {
    size_t total = plans_.capacity() * sizeof(ExpressionPlan);
    for (const ExpressionPlan& plan : plans_)
        total += plan.nodes.capacity() * sizeof(PlanNode);
    return total;
}

} // namespace vetra
