// Expressions: operands joined by binary operators. Precedence does not matter here, since the
// code keeps the tokens in source order; what matters is where an expression ends, so that a
// missing ';' is caught.
#include "tools/edit_compiler/edit_parser.h"
#include "tools/edit_compiler/token_codes.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>

namespace vetra::compiler {

namespace {

constexpr std::array<std::string_view, 17> binaryOperators = {
    "=", "==", "!=", "<", ">", "<=", ">=", "+", "-", "*", "/", "%", "&&", "||", ".", ":", ","};
constexpr std::array<std::string_view, 4> prefixOperators = {"!", "-", "+", "*"};

template <std::size_t N>
bool isOneOf(const std::array<std::string_view, N>& spellings, std::string_view text) {
    return std::find(spellings.begin(), spellings.end(), text) != spellings.end();
}

} // namespace

// Commas are operators inside parentheses and brackets, but separate declarators.
void EditParser::parseExpression(bool commas) {
    Nesting nesting(*this);
    parseOperand();
    while (atBinaryOperator(commas)) {
        emitKeyword();
        parseOperand();
    }
}

bool EditParser::atBinaryOperator(bool commas) const {
    const SourceToken& token = peek();
    if (token.kind == SourceTokenKind::Word) return token.text == "mod";
    if (token.kind != SourceTokenKind::Symbol) return false;
    return (commas || token.text != ",") && isOneOf(binaryOperators, token.text);
}

void EditParser::parseOperand() {
    while (peek().kind == SourceTokenKind::Symbol && isOneOf(prefixOperators, peek().text))
        emitKeyword();
    parsePrimary();
    while (atSymbol("[")) {
        emitKeyword();
        parseExpression(true);
        expectSymbol("]");
    }
}

void EditParser::parsePrimary() {
    const SourceToken& token = peek();
    switch (token.kind) {
    case SourceTokenKind::Number:
        checkLength(token, maxNumberDigits, "number", "digits");
        emitNext(numberCode(token.text));
        return;
    case SourceTokenKind::String:
        checkLength(token, maxStringLength, "string", "characters");
        emitNext(stringCode(token.text));
        return;
    case SourceTokenKind::Character:
        emitNext(characterCode(token.text[0]));
        return;
    case SourceTokenKind::FieldByName:
    case SourceTokenKind::FieldByNumber:
        return parseField();
    case SourceTokenKind::Word:
        return parseWordOperand();
    case SourceTokenKind::Symbol:
        if (token.text != "(") break;
        emitKeyword();
        parseExpression(true);
        expectSymbol(")");
        return;
    case SourceTokenKind::End:
        break;
    }
    failExpected("an expression");
}

// A name followed by '(' is a call: of the library function by that name if there is one,
// else of the edit's own. `left` and `right` are library functions when called and the
// justification words otherwise.
void EditParser::parseWordOperand() {
    const SourceToken& token = peek();
    bool called = atSymbol("(", 1);
    if (numberedFunctionLetter(token.text, "funccall_")) return parseUserCall();
    if (called) {
        if (std::optional<std::size_t> index = libraryFunctionIndex(token.text)) {
            emitNext(libraryCallCode(*index));
            return parseArguments();
        }
    }
    if (isNamedConstant(token.text)) return emitKeyword();
    if (keywordCode(token.text)) failExpected("an expression");
    if (called) return parseUserCall();
    emitIdentifier();
}

// The letter of a call by name is written once every function is known.
void EditParser::parseUserCall() {
    const SourceToken& call = peek();
    char letter = numberedFunctionLetter(call.text, "funccall_").value_or('A');
    std::size_t at = emitNext(userFunctionCode("funccall", letter - 'A'));
    functions_.addCall(call, at + 1);
    if (!atSymbol("(")) failExpected("'(' and the arguments of the call");
    parseArguments();
}

void EditParser::parseArguments() {
    expectSymbol("(");
    if (!atSymbol(")")) parseExpression(true);
    expectSymbol(")");
}

void EditParser::parseField() {
    const SourceToken& token = peek();
    std::int32_t number = 0;
    bool negative = token.text.starts_with('-');
    if (token.kind == SourceTokenKind::FieldByName) {
        std::optional<std::int32_t> found =
            resolveField_ ? resolveField_(token.text) : std::nullopt;
        if (!found) fail(token.start, "no field has the short name \"" + token.text + "\"");
        number = *found;
        negative = false;
    } else {
        std::string_view digits = std::string_view(token.text).substr(negative ? 1 : 0);
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (error != std::errc() || end != digits.data() + digits.size())
            fail(token.start, "field number " + token.text + " is too large");
    }
    emitNext("#" + std::string(negative ? "-" : "") + std::to_string(number));
    std::int32_t local = static_cast<std::int32_t>(std::abs(static_cast<std::int64_t>(number)));
    if (std::find(fields_.begin(), fields_.end(), local) == fields_.end()) fields_.push_back(local);
}

void EditParser::emitIdentifier() {
    const SourceToken& token = peek();
    checkLength(token, maxIdentifierLength, "name", "characters");
    emitNext(identifierCode(token.text));
}

void EditParser::checkLength(const SourceToken& token, std::size_t limit, std::string_view what,
                             std::string_view units) const {
    if (token.text.size() <= limit) return;
    fail(token.start, "this " + std::string(what) + " has " + std::to_string(token.text.size()) +
                          " " + std::string(units) + "; a " + std::string(what) + " has at most " +
                          std::to_string(limit));
}

} // namespace vetra::compiler
