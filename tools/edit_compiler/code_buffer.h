// The compiled text as it grows, token by token. It puts one line feed before a token's code
// for every line break the source has before the token (none before the first token: line
// feeds only separate tokens) and remembers where each token's code came from, so that a limit
// passed late can still be reported at a place in the source.
#pragma once

#include "tools/edit_compiler/source_token.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vetra::compiler {

class CodeBuffer {
public:
    // Appends the code of one source token after its line feeds; returns where the code starts.
    std::size_t emit(const SourceToken& token, std::string_view code);
    // For a source token that has no code of its own (`function` before a function's name):
    // its line breaks go before the next code.
    void absorb(const SourceToken& token);

    // A block keyword's 4-digit length, written once the block is known; returns where.
    std::size_t reserveLength();
    void setLength(std::size_t at, std::size_t length);
    void setCharacter(std::size_t at, char code);

    std::size_t size() const { return text_.size(); }
    const std::string& text() const { return text_; }
    // Where the source token whose code (or line feeds before it) covers `offset` starts.
    SourcePosition sourceOf(std::size_t offset) const;

private:
    struct Origin {
        std::size_t offset;
        SourcePosition position;
    };

    std::string text_;
    int pendingLineBreaks_ = 0;
    std::vector<Origin> origins_;
};

} // namespace vetra::compiler
