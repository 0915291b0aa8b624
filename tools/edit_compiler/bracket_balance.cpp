#include "tools/edit_compiler/bracket_balance.h"

namespace vetra::compiler {

namespace {

constexpr std::string_view openers = "([{";
constexpr std::string_view closers = ")]}";

std::string where(SourcePosition position) {
    return std::to_string(position.line) + ":" + std::to_string(position.column);
}

char symbolOf(const SourceToken& token) {
    return token.kind == SourceTokenKind::Symbol && token.text.size() == 1 ? token.text[0] : '\0';
}

} // namespace

void checkBracketBalance(const std::vector<SourceToken>& tokens, std::string_view fileName) {
    std::vector<const SourceToken*> open;
    for (const SourceToken& token : tokens) {
        char symbol = symbolOf(token);
        if (symbol != '\0' && openers.find(symbol) != std::string_view::npos) {
            open.push_back(&token);
            continue;
        }
        std::size_t shape = symbol == '\0' ? std::string_view::npos : closers.find(symbol);
        if (shape == std::string_view::npos) continue;
        if (open.empty())
            throw CompileError(fileName, token.start,
                               "'" + token.text + "' without a matching '" + openers[shape] + "'");
        const SourceToken& opener = *open.back();
        std::size_t expected = openers.find(opener.text[0]);
        if (expected != shape)
            throw CompileError(fileName, token.start,
                               std::string("missing '") + closers[expected] + "' to close the '" +
                                   opener.text + "' at " + where(opener.start));
        open.pop_back();
    }
    if (!open.empty())
        throw CompileError(fileName, open.back()->start,
                           "'" + open.back()->text + "' is never closed");
}

} // namespace vetra::compiler
