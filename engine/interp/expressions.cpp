// The expression evaluator: recursive descent over the token stream with one token of
// lookahead, lowest precedence first — assignment (right-associative), && and || sharing one
// level, at most one relational operator, + and -, * / mod, one unary operator, parentheses,
// and the operand rule (VTi_atom). Each level starts at the current token and leaves the token
// after its operand current. Arithmetic wraps around at 32 bits.
#include "engine/interp/decoded_logic.h"
#include "engine/interp/keyword_table.h"
#include "engine/interp/token_decoder.h"
#include "interpreter.h"

#include <climits>

namespace vetra {

namespace {

bool isOperator(const TokenRecord& token, char code) {
    return token.kind == kOperator && token.code == code;
}

int32_t wrap(uint32_t value) {
    return static_cast<int32_t>(value);
}

} // namespace

int32_t Interpreter::evaluate(int32_t slot) {
    if (translation_ != nullptr) {
        int32_t planned = 0;
        if (evaluatePlanned(planned)) return planned;
    }
    Nesting nesting(*this);
    tokens_.VTi_GetToken();
    const TokenRecord& token = tokens_.token();
    if (token.kind == kPunctuation && token.text[0] == ';') return 0;
    int32_t value = slot;
    evalAssignment(value);
    tokens_.putBack();
    return value;
}

void Interpreter::evalAssignment(int32_t& value) {
    const TokenRecord& token = tokens_.token();
    VariableRecord* variable = token.kind == kIdentifier ? findCurrent(false) : nullptr;
    if (variable == nullptr) return evalLogical(value);

    Nesting nesting(*this);
    TokenReader::Mark identifier = tokens_.mark();
    tokens_.VTi_GetToken();
    int32_t index = 0;
    if (token.kind == kPunctuation && token.code == '[' && variable->isArrayOrPointer()) {
        index = evaluate();
        tokens_.VTi_GetHardToken(']', 19);
        tokens_.VTi_GetToken();
    }
    if (!isOperator(token, '=')) {
        tokens_.reset(identifier);
        return evalLogical(value);
    }
    tokens_.VTi_GetToken();
    evalAssignment(value);
    storeAssignment({identifier.token.text, identifier.token.length}, index, value,
                    identifier.entry);
}

VariableRecord* Interpreter::findCurrent(bool required) {
    if (translation_ != nullptr && tokens_.entry() != DecodedLogic::kNoEntry)
        return findAt(tokens_.entry(), required);
    return VTi_FindVar(tokens_.text(), required);
}

void Interpreter::storeAssignment(std::string_view name, int32_t index, int32_t value,
                                  int32_t entry) {
    VariableRecord* target = translation_ != nullptr && entry != DecodedLogic::kNoEntry
                                 ? findAt(entry, true)
                                 : VTi_FindVar(name, true);
    if (!target->isByteAddressed()) {
        target->value = value;
        return;
    }
    int32_t address = wrap(static_cast<uint32_t>(target->value) + static_cast<uint32_t>(index));
    std::span<char> bytes = addresses_.bytesAt(address);
    if (bytes.empty())
        failRun(kInterpretFailure, "VTi_interpret",
                "In VTi_interpret: no text at address " + std::to_string(address) +
                    " to store into " + std::string(name));
    bytes[0] = static_cast<char>(value & 0xFF);
}

void Interpreter::evalLogical(int32_t& value) {
    evalRelational(value);
    const TokenRecord& token = tokens_.token();
    while (token.kind == kOperator && (token.text[0] == '&' || token.text[0] == '|')) {
        char op = token.text[0];
        tokens_.VTi_GetToken();
        int32_t right = 0;
        evalRelational(right);
        value = operate(op, value, right);
    }
}

void Interpreter::evalRelational(int32_t& value) {
    evalAdditive(value);
    const TokenRecord& token = tokens_.token();
    if (token.kind != kOperator) return;
    char op = token.code;
    if (op != '<' && op != '>' && op != 'E' && op != 'G' && op != 'J' && op != 'K') return;
    tokens_.VTi_GetToken();
    int32_t right = 0;
    evalAdditive(right);
    value = operate(op, value, right);
}

void Interpreter::evalAdditive(int32_t& value) {
    evalMultiplicative(value);
    const TokenRecord& token = tokens_.token();
    while (isOperator(token, '+') || isOperator(token, '-')) {
        char op = token.code;
        tokens_.VTi_GetToken();
        int32_t right = 0;
        evalMultiplicative(right);
        value = operate(op, value, right);
    }
}

void Interpreter::evalMultiplicative(int32_t& value) {
    evalUnary(value);
    const TokenRecord& token = tokens_.token();
    while (isOperator(token, '*') || isOperator(token, '/') || isOperator(token, '%')) {
        char op = token.code;
        tokens_.VTi_GetToken();
        int32_t right = 0;
        evalUnary(right);
        value = operate(op, value, right);
    }
}

// A binary operator by its token code: && and || by their characters, the relational
// operators by their codes. Arithmetic wraps; dividing by zero ends the run.
int32_t Interpreter::operate(char op, int32_t left, int32_t right) {
    auto l = static_cast<uint32_t>(left);
    auto r = static_cast<uint32_t>(right);
    switch (op) {
    case '&':
        return left != 0 && right != 0;
    case '|':
        return left != 0 || right != 0;
    case '<':
        return left < right;
    case '>':
        return left > right;
    case 'E':
        return left == right;
    case 'G':
        return left >= right;
    case 'J':
        return left != right;
    case 'K':
        return left <= right;
    case '+':
        return wrap(l + r);
    case '-':
        return wrap(l - r);
    case '*':
        return wrap(l * r);
    default:
        break;
    }
    if (right == 0)
        failRun(kInterpretFailure, "VTi_interpret",
                op == '/' ? "In VTi_interpret: division by zero"
                          : "In VTi_interpret: remainder of a division by zero");
    // INT_MIN / -1 wraps to INT_MIN, and its remainder is 0.
    int32_t quotient = left == INT_MIN && right == -1 ? INT_MIN : left / right;
    return op == '/' ? quotient : wrap(l - static_cast<uint32_t>(quotient) * r);
}

void Interpreter::evalUnary(int32_t& value) {
    const TokenRecord& token = tokens_.token();
    char op = token.kind == kOperator ? token.code : '\0';
    if (op != '+' && op != '-' && op != '!') return eval_exp5(value);
    tokens_.VTi_GetToken();
    eval_exp5(value);
    if (op == '!') value = value == 0;
    if (op == '-') value = wrap(0u - static_cast<uint32_t>(value));
}

void Interpreter::eval_exp5(int32_t& value) {
    const TokenRecord& token = tokens_.token();
    if (token.kind != kPunctuation || token.code != '(') return VTi_atom(value);
    Nesting nesting(*this);
    tokens_.VTi_GetToken();
    evalAssignment(value);
    if (token.code != ')') errors_.fail(2013, "eval_exp5");
    tokens_.VTi_GetToken();
}

void Interpreter::VTi_atom(int32_t& value) {
    const TokenRecord& token = tokens_.token();
    switch (token.kind) {
    case kCharacterLiteral:
        value = static_cast<signed char>(token.code);
        break;
    case kNumber:
        value = numberTokenValue(token.text);
        break;
    case kNamedConstant:
        value = namedConstant(token.text[0]);
        break;
    case kIdentifier:
        return variableOperand(value);
    case kCall:
        return callOperand(value);
    case kPunctuation:
        return; // an empty operand keeps the slot's value
    default:
        if (token.text[0] == ')') return;
        errors_.fail(2016, "VTi_atom");
    }
    tokens_.VTi_GetToken();
}

void Interpreter::variableOperand(int32_t& value) {
    const TokenRecord& token = tokens_.token();
    char name[TokenRecord::kTextCapacity];
    size_t length = token.length;
    std::copy_n(token.text, length, name);
    int32_t entry = tokens_.entry();
    tokens_.VTi_GetToken();
    if (token.kind == kPunctuation && token.code == '(') errors_.fail(2014, "VTi_atom");
    value = (translation_ != nullptr && entry != DecodedLogic::kNoEntry
                 ? findAt(entry, true)
                 : VTi_FindVar({name, length}, true))
                ->value;
    // The token after the name is the next one whatever it is; reading it again after putting
    // it back would give the same token.
    if (token.kind != kPunctuation || token.code != '[') return;
    int32_t index = evaluate();
    tokens_.VTi_GetHardToken(']', 19);
    value = signedByteAt(wrap(static_cast<uint32_t>(value) + static_cast<uint32_t>(index)));
    tokens_.VTi_GetToken();
}

void Interpreter::callOperand(int32_t& value) {
    const TokenRecord& token = tokens_.token();
    if (token.code == 'm') {
        call();
        value = returnRegister_;
    } else {
        int32_t index = static_cast<signed char>(token.text[0]);
        if (index < 0 || index >= LibraryDispatch::kFunctionCount || library_ == nullptr)
            errors_.fail(2014, "VTi_atom");
        value = library_->call(index);
    }
    tokens_.VTi_GetToken();
}

int32_t Interpreter::signedByteAt(int32_t address) const {
    std::span<char> bytes = addresses_.bytesAt(address);
    return bytes.empty() ? 0 : static_cast<signed char>(bytes[0]);
}

int32_t Interpreter::namedConstant(char text) const {
    return namedConstantValue(text, today_);
}

} // namespace vetra
