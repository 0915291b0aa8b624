// Reads the structure of an edit source and writes its code: just enough of a C-like grammar
// to know where every statement ends, because each block keyword carries the length of the
// code it governs. Types are not checked; the engine does that when it runs the edit.
//
// The parser may assume that brackets pair up (bracket_balance.h checked them first).
#pragma once

#include "tools/edit_compiler/code_buffer.h"
#include "tools/edit_compiler/edit_compiler.h"
#include "tools/edit_compiler/source_token.h"
#include "tools/edit_compiler/user_functions.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vetra::compiler {

struct ParsedEdit {
    CodeBuffer code; // the main program and the functions, without the function header
    std::vector<std::size_t> parameterListOffsets; // into `code`, one per function
    std::vector<std::int32_t> fields;
};

class EditParser {
public:
    EditParser(const std::vector<SourceToken>& tokens, const FieldResolver& fields,
               std::string_view fileName)
        : tokens_(tokens), resolveField_(fields), fileName_(fileName) {}

    // Throws CompileError at the first thing that does not compile.
    ParsedEdit parse();

private:
    // Statements and function definitions (edit_statements.cpp).
    bool atFunctionDefinition() const;
    void parseFunctionDefinition();
    void checkFunctionName(const SourceToken& name) const;
    void parseParameters();
    void parseParameter();
    void parseStatement();
    void parseBlock();
    void parseIf();
    void parseWhile();
    void parseFor();
    void parseDo();
    void parseReturn();
    void parseDeclaration();
    void parseDeclarator(bool mayInitialize);
    void parseCondition();
    void parseGoverned(const SourceToken& keyword, std::size_t lengthAt);
    void expectSemicolon();

    // Expressions (edit_expressions.cpp).
    void parseExpression(bool commas);
    bool atBinaryOperator(bool commas) const;
    void parseOperand();
    void parsePrimary();
    void parseWordOperand();
    void parseUserCall();
    void parseArguments();
    void parseField();
    void emitIdentifier();
    void checkLength(const SourceToken& token, std::size_t limit, std::string_view what,
                     std::string_view units) const;

    // Statements and expressions nest by recursion; the limit keeps a pathological source from
    // exhausting the stack, far above what an edit needs.
    static constexpr int maxNesting = 200;
    class Nesting {
    public:
        explicit Nesting(EditParser& parser);
        ~Nesting() { --parser_.nesting_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        EditParser& parser_;
    };

    // The token cursor (edit_parser.cpp).
    const SourceToken& peek(std::size_t ahead = 0) const;
    const SourceToken& take();
    bool atSymbol(std::string_view symbol, std::size_t ahead = 0) const;
    bool atWord(std::string_view word) const;
    std::size_t emitNext(std::string_view code);
    void emitKeyword();
    void expectSymbol(std::string_view symbol);
    [[noreturn]] void fail(SourcePosition at, const std::string& message) const;
    [[noreturn]] void failExpected(const std::string& what) const;

    const std::vector<SourceToken>& tokens_;
    const FieldResolver& resolveField_;
    std::string_view fileName_;
    std::size_t next_ = 0;
    int nesting_ = 0;
    CodeBuffer code_;
    UserFunctions functions_;
    std::vector<std::int32_t> fields_;
};

} // namespace vetra::compiler
