// The functions an edit defines after its main program, numbered A to Z in the order they are
// defined, and the calls to them. A call may come before the definition, so calls are written
// with a placeholder and resolved once the whole edit is read.
#pragma once

#include "tools/edit_compiler/code_buffer.h"
#include "tools/edit_compiler/source_token.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vetra::compiler {

class UserFunctions {
public:
    int count() const { return static_cast<int>(parameterListOffsets_.size()); }
    const std::vector<std::size_t>& parameterListOffsets() const { return parameterListOffsets_; }
    bool isDefined(std::string_view name) const;

    // `name` is empty for a function written funcdecl_X, which has only its letter.
    void define(std::string name, std::size_t parameterListOffset);

    // The call token is a name or funccall_X; `letterAt` is where its letter goes in the code.
    void addCall(const SourceToken& call, std::size_t letterAt);

    // Writes each call's letter; throws CompileError at the first call (in source order) to a
    // function the edit does not define.
    void resolveCalls(CodeBuffer& code, std::string_view fileName) const;

private:
    struct Call {
        SourceToken token;
        std::size_t letterAt;
    };

    std::optional<int> numberOf(const SourceToken& call) const;

    std::vector<std::string> names_;
    std::vector<std::size_t> parameterListOffsets_;
    std::vector<Call> calls_;
};

// The letter of funcdecl_X or funccall_X, when `word` is one with `prefix`.
std::optional<char> numberedFunctionLetter(std::string_view word, std::string_view prefix);

} // namespace vetra::compiler
