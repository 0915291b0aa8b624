// Statements and function definitions. A statement is a brace block, an if with its optional
// else, a loop, a declaration, a return or an expression statement; the block keywords get the
// length of the code they govern once their statement is read.
#include "tools/edit_compiler/edit_parser.h"
#include "tools/edit_compiler/token_codes.h"

namespace vetra::compiler {

namespace {

std::string ordinal(int number) {
    std::string suffix = number % 10 == 1 && number != 11   ? "st"
                         : number % 10 == 2 && number != 12 ? "nd"
                         : number % 10 == 3 && number != 13 ? "rd"
                                                            : "th";
    return std::to_string(number) + suffix;
}

} // namespace

// funcdecl_X is the rendered spelling, `function name` the one authors write.
bool EditParser::atFunctionDefinition() const {
    const SourceToken& token = peek();
    if (token.kind != SourceTokenKind::Word) return false;
    if (numberedFunctionLetter(token.text, "funcdecl_")) return true;
    return token.text == "function" && peek(1).kind == SourceTokenKind::Word;
}

void EditParser::parseFunctionDefinition() {
    const SourceToken& first = peek();
    int number = functions_.count();
    if (number == maxUserFunctions)
        fail(first.start, "an edit defines at most " + std::to_string(maxUserFunctions) +
                              " functions; this is the " + ordinal(number + 1));
    std::string name;
    if (numberedFunctionLetter(first.text, "funcdecl_")) {
        std::string expected = "funcdecl_" + std::string(1, static_cast<char>('A' + number));
        if (first.text != expected)
            fail(first.start, "this is the " + ordinal(number + 1) +
                                  " function of the edit, so it is " + expected);
    } else {
        code_.absorb(take());
        checkFunctionName(peek());
        name = peek().text;
    }
    emitNext(userFunctionCode("function", number));
    if (!atSymbol("(")) failExpected("'(' and the parameter list");
    functions_.define(std::move(name), emitNext("("));
    parseParameters();
    parseStatement();
}

void EditParser::checkFunctionName(const SourceToken& name) const {
    if (keywordCode(name.text) || numberedFunctionLetter(name.text, "funcdecl_") ||
        numberedFunctionLetter(name.text, "funccall_"))
        fail(name.start, "'" + name.text + "' is a word of the language, not a function name");
    if (libraryFunctionIndex(name.text))
        fail(name.start, "'" + name.text + "' is a library function; give this one another name");
    if (functions_.isDefined(name.text))
        fail(name.start, "a function called '" + name.text + "' is already defined");
}

// After the '(': `int a, char *s, char t[]`, or nothing.
void EditParser::parseParameters() {
    if (!atSymbol(")")) {
        parseParameter();
        while (atSymbol(",")) {
            emitKeyword();
            parseParameter();
        }
    }
    expectSymbol(")");
}

void EditParser::parseParameter() {
    if (!atWord("int") && !atWord("char")) failExpected("'int' or 'char' to start a parameter");
    emitKeyword();
    parseDeclarator(false);
}

void EditParser::parseStatement() {
    Nesting nesting(*this);
    const SourceToken& token = peek();
    if (atSymbol("{")) return parseBlock();
    if (atSymbol(";")) return emitKeyword();
    if (token.kind == SourceTokenKind::Word) {
        if (token.text == "if") return parseIf();
        if (token.text == "while") return parseWhile();
        if (token.text == "for") return parseFor();
        if (token.text == "do") return parseDo();
        if (token.text == "return") return parseReturn();
        if (token.text == "int" || token.text == "char") return parseDeclaration();
        if (token.text == "else") fail(token.start, "'else' without a matching 'if'");
        if (atFunctionDefinition())
            fail(token.start, "functions are defined after the main program, outside every block");
    }
    parseExpression(true);
    expectSemicolon();
}

void EditParser::parseBlock() {
    emitKeyword();
    while (!atSymbol("}"))
        parseStatement();
    emitKeyword();
}

void EditParser::parseIf() {
    const SourceToken& keyword = peek();
    emitKeyword();
    std::size_t lengthAt = code_.reserveLength();
    parseCondition();
    parseGoverned(keyword, lengthAt);
    if (!atWord("else")) return;
    const SourceToken& elseKeyword = peek();
    emitKeyword();
    parseGoverned(elseKeyword, code_.reserveLength());
}

void EditParser::parseWhile() {
    const SourceToken& keyword = peek();
    emitKeyword();
    std::size_t lengthAt = code_.reserveLength();
    parseCondition();
    parseGoverned(keyword, lengthAt);
}

void EditParser::parseFor() {
    const SourceToken& keyword = peek();
    emitKeyword();
    std::size_t lengthAt = code_.reserveLength();
    expectSymbol("(");
    for (int part = 0; part < 2; ++part) {
        if (!atSymbol(";")) parseExpression(true);
        expectSemicolon();
    }
    if (!atSymbol(")")) parseExpression(true);
    expectSymbol(")");
    parseGoverned(keyword, lengthAt);
}

// The engine does not read the do's length, but it is written like the others; the while
// that closes the loop governs nothing and gets 0000.
void EditParser::parseDo() {
    const SourceToken& keyword = peek();
    emitKeyword();
    parseGoverned(keyword, code_.reserveLength());
    if (!atWord("while")) failExpected("'while' and the condition that ends the 'do' loop");
    emitNext(std::string(1, *keywordCode("while")) + "0000");
    parseCondition();
    expectSemicolon();
}

void EditParser::parseReturn() {
    emitKeyword();
    if (!atSymbol(";")) parseExpression(true);
    expectSemicolon();
}

// `char x[5], *p;` or `int i = 0;`
void EditParser::parseDeclaration() {
    emitKeyword();
    parseDeclarator(true);
    while (atSymbol(",")) {
        emitKeyword();
        parseDeclarator(true);
    }
    expectSemicolon();
}

void EditParser::parseDeclarator(bool mayInitialize) {
    while (atSymbol("*"))
        emitKeyword();
    if (peek().kind != SourceTokenKind::Word || keywordCode(peek().text))
        failExpected("a variable name");
    emitIdentifier();
    while (atSymbol("[")) {
        emitKeyword();
        if (!atSymbol("]")) parseExpression(true);
        expectSymbol("]");
    }
    if (mayInitialize && atSymbol("=")) {
        emitKeyword();
        parseExpression(false);
    }
}

void EditParser::parseCondition() {
    expectSymbol("(");
    parseExpression(true);
    expectSymbol(")");
}

// The length runs from just after the code already written (the condition's ')' or the
// keyword's own digits), so it takes in the line feeds before the statement, and ends with the
// statement's last character.
void EditParser::parseGoverned(const SourceToken& keyword, std::size_t lengthAt) {
    std::size_t start = code_.size();
    parseStatement();
    std::size_t length = code_.size() - start;
    if (length > maxBlockLength)
        fail(keyword.start, "this '" + keyword.text + "' governs " + std::to_string(length) +
                                " characters of compiled code, more than " +
                                std::to_string(maxBlockLength) + "; split it into functions");
    code_.setLength(lengthAt, length);
}

// Reported just after the statement's last token, where the ';' belongs.
void EditParser::expectSemicolon() {
    if (atSymbol(";")) return emitKeyword();
    std::string where = peek().kind == SourceTokenKind::End ? "at the end of the edit"
                                                            : "before " + describeToken(peek());
    fail(tokens_[next_ - 1].end, "missing ';' " + where);
}

} // namespace vetra::compiler
