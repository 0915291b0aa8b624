#include "tools/edit_compiler/user_functions.h"

#include <algorithm>

namespace vetra::compiler {

bool UserFunctions::isDefined(std::string_view name) const {
    return std::find(names_.begin(), names_.end(), name) != names_.end();
}

void UserFunctions::define(std::string name, std::size_t parameterListOffset) {
    names_.push_back(std::move(name));
    parameterListOffsets_.push_back(parameterListOffset);
}

void UserFunctions::addCall(const SourceToken& call, std::size_t letterAt) {
    calls_.push_back({call, letterAt});
}

std::optional<int> UserFunctions::numberOf(const SourceToken& call) const {
    if (std::optional<char> letter = numberedFunctionLetter(call.text, "funccall_")) {
        int number = *letter - 'A';
        if (number < count()) return number;
        return std::nullopt;
    }
    auto found = std::find(names_.begin(), names_.end(), call.text);
    if (found == names_.end()) return std::nullopt;
    return static_cast<int>(found - names_.begin());
}

void UserFunctions::resolveCalls(CodeBuffer& code, std::string_view fileName) const {
    for (const Call& call : calls_) {
        std::optional<int> number = numberOf(call.token);
        if (!number && numberedFunctionLetter(call.token.text, "funccall_"))
            throw CompileError(fileName, call.token.start,
                               call.token.text + " calls function " + call.token.text.back() +
                                   ", but this edit defines " + std::to_string(count()) +
                                   " function" + (count() == 1 ? "" : "s"));
        if (!number)
            throw CompileError(fileName, call.token.start,
                               "no library function or function of this edit is called '" +
                                   call.token.text + "'");
        code.setCharacter(call.letterAt, static_cast<char>('A' + *number));
    }
}

std::optional<char> numberedFunctionLetter(std::string_view word, std::string_view prefix) {
    if (word.size() != prefix.size() + 1 || !word.starts_with(prefix)) return std::nullopt;
    char letter = word.back();
    if (letter < 'A' || letter > 'Z') return std::nullopt;
    return letter;
}

} // namespace vetra::compiler
