#include "tools/edit_compiler/edit_parser.h"

#include "tools/edit_compiler/token_codes.h"

#include <algorithm>

namespace vetra::compiler {

ParsedEdit EditParser::parse() {
    while (peek().kind != SourceTokenKind::End && !atFunctionDefinition())
        parseStatement();
    while (peek().kind != SourceTokenKind::End) {
        if (!atFunctionDefinition())
            fail(peek().start, "only function definitions may follow the first function; " +
                                   describeToken(peek()) + " belongs in the main program");
        parseFunctionDefinition();
    }
    functions_.resolveCalls(code_, fileName_);
    return {std::move(code_), functions_.parameterListOffsets(), std::move(fields_)};
}

EditParser::Nesting::Nesting(EditParser& parser) : parser_(parser) {
    if (++parser_.nesting_ > maxNesting)
        parser_.fail(parser_.peek().start, "statements and expressions nest more than " +
                                               std::to_string(maxNesting) + " deep here");
}

const SourceToken& EditParser::peek(std::size_t ahead) const {
    return tokens_[std::min(next_ + ahead, tokens_.size() - 1)];
}

// Never moves past the End token, so a parser that expects more meets End again and fails.
const SourceToken& EditParser::take() {
    const SourceToken& token = tokens_[next_];
    if (token.kind != SourceTokenKind::End) ++next_;
    return token;
}

bool EditParser::atSymbol(std::string_view symbol, std::size_t ahead) const {
    const SourceToken& token = peek(ahead);
    return token.kind == SourceTokenKind::Symbol && token.text == symbol;
}

bool EditParser::atWord(std::string_view word) const {
    return peek().kind == SourceTokenKind::Word && peek().text == word;
}

std::size_t EditParser::emitNext(std::string_view code) {
    return code_.emit(take(), code);
}

void EditParser::emitKeyword() {
    const SourceToken& token = take();
    code_.emit(token, std::string(1, *keywordCode(token.text)));
}

void EditParser::expectSymbol(std::string_view symbol) {
    if (!atSymbol(symbol)) failExpected("'" + std::string(symbol) + "'");
    emitKeyword();
}

void EditParser::fail(SourcePosition at, const std::string& message) const {
    throw CompileError(fileName_, at, message);
}

void EditParser::failExpected(const std::string& what) const {
    fail(peek().start, "expected " + what + " before " + describeToken(peek()));
}

} // namespace vetra::compiler
