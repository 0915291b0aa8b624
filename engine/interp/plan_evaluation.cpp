// Running expression plans (expression_plan.h) on the interpreter's own state: the same
// variable table, address space and error record as the evaluator, and the same token
// count, so that whether an expression ran from its plan or from its tokens cannot be told.
#include "engine/interp/expression_plan.h"
#include "engine/interp/translation_cache.h"
#include "interpreter.h"

namespace vetra {

namespace {

int32_t wrap(uint32_t value) {
    return static_cast<int32_t>(value);
}

} // namespace

bool Interpreter::evaluatePlanned(int32_t& value) {
    DecodedLogic& decoded = translation_->decoded;
    int32_t first = decoded.entryAt(tokens_.position());
    if (first == DecodedLogic::kNoEntry) return false;
    const ExpressionPlan* plan = translation_->plans.planAt(decoded, first, kMaxNesting);
    if (plan == nullptr || nesting_ + plan->depth > kMaxNesting) return false;
    uint64_t reads = plan->reads;
    if (!planValue(*plan, plan->root, value, reads)) return false;
    tokens_.countReads(reads);
    tokens_.putBackEntry(plan->follower);
    return true;
}

VariableRecord* Interpreter::findAt(int32_t entry, bool required) {
    DecodedLogic& decoded = translation_->decoded;
    DecodedLogic::VariableSlot& slot = decoded.variableSlot(entry);
    uint64_t shape = locals_.shape();
    if (slot.shape == shape && shape != KeyShapes::kUnknown) {
        if (slot.record >= 0) return &locals_.recordAt(slot.record);
        if (!required) return nullptr;
    }
    const DecodedLogic::Entry& name = decoded.entry(entry);
    VariableRecord* record = VTi_FindVar({decoded.text(name), name.length}, required);
    slot = {shape, record != nullptr ? locals_.indexOf(*record) : -1};
    return record;
}

std::string_view Interpreter::nameAt(int32_t entry) const {
    const DecodedLogic& decoded = translation_->decoded;
    const DecodedLogic::Entry& name = decoded.entry(entry);
    return {decoded.text(name), name.length};
}

// One node: false when the plan hands the expression back to the evaluator. `reads` counts
// only what the plan's own count leaves out: the indexes look-aheads evaluate.
bool Interpreter::planValue(const ExpressionPlan& plan, int32_t index, int32_t& value,
                            uint64_t& reads) {
    const PlanNode& node = plan.nodes[static_cast<size_t>(index)];
    int32_t right = 0;
    switch (node.op) {
    case PlanNode::Constant:
        value = node.value;
        return true;
    case PlanNode::Today:
        value = today_;
        return true;
    case PlanNode::Variable:
        value = findAt(node.entry, true)->value;
        return true;
    case PlanNode::Element: {
        int32_t base = findAt(node.entry, true)->value;
        if (!planValue(plan, node.left, right, reads)) return false;
        value = signedByteAt(wrap(static_cast<uint32_t>(base) + static_cast<uint32_t>(right)));
        return true;
    }
    case PlanNode::Evaluate:
    case PlanNode::Paren:
    case PlanNode::UnaryPlus:
        return planValue(plan, node.left, value, reads);
    case PlanNode::Lookahead:
    case PlanNode::Assign:
        return leadingNameValue(plan, node, value, reads);
    case PlanNode::Negate:
        if (!planValue(plan, node.left, value, reads)) return false;
        value = wrap(0u - static_cast<uint32_t>(value));
        return true;
    case PlanNode::Not:
        if (!planValue(plan, node.left, value, reads)) return false;
        value = value == 0;
        return true;
    default:
        break;
    }
    if (!planValue(plan, node.left, value, reads) || !planValue(plan, node.right, right, reads))
        return false;
    value = operate(static_cast<char>(node.value), value, right);
    return true;
}

// The leading name of an assignment level: found first (a name the table lacks fails as the
// evaluator fails on it), an array's index evaluated as the look-ahead evaluates it, then
// the rest of the level, or the value to store.
bool Interpreter::leadingNameValue(const ExpressionPlan& plan, const PlanNode& node, int32_t& value,
                                   uint64_t& reads) {
    VariableRecord* variable = findAt(node.entry, false);
    if (variable == nullptr) findAt(node.entry, true); // fails with the evaluator's code
    int32_t index = 0;
    if (node.left >= 0) {
        if (!variable->isArrayOrPointer()) {
            if (node.op == PlanNode::Assign) return false;
        } else {
            if (!planValue(plan, node.left, index, reads)) return false;
            reads += node.indexReads;
        }
    }
    if (!planValue(plan, node.right, value, reads)) return false;
    if (node.op == PlanNode::Assign) storeAssignment(nameAt(node.entry), index, value, node.entry);
    return true;
}

} // namespace vetra
