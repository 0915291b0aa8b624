#include "tools/edit_compiler/code_buffer.h"

#include "tools/edit_compiler/token_codes.h"

#include <algorithm>

namespace vetra::compiler {

std::size_t CodeBuffer::emit(const SourceToken& token, std::string_view code) {
    absorb(token);
    if (text_.empty()) pendingLineBreaks_ = 0;
    origins_.push_back({text_.size(), token.start});
    text_.append(static_cast<std::size_t>(pendingLineBreaks_), '\n');
    pendingLineBreaks_ = 0;
    std::size_t start = text_.size();
    text_ += code;
    return start;
}

void CodeBuffer::absorb(const SourceToken& token) {
    pendingLineBreaks_ += token.lineBreaksBefore;
}

std::size_t CodeBuffer::reserveLength() {
    std::size_t at = text_.size();
    text_ += "0000";
    return at;
}

void CodeBuffer::setLength(std::size_t at, std::size_t length) {
    text_.replace(at, 4, paddedNumber(length, 4));
}

void CodeBuffer::setCharacter(std::size_t at, char code) {
    text_[at] = code;
}

SourcePosition CodeBuffer::sourceOf(std::size_t offset) const {
    auto after = std::upper_bound(
        origins_.begin(), origins_.end(), offset,
        [](std::size_t value, const Origin& origin) { return value < origin.offset; });
    return after == origins_.begin() ? SourcePosition{} : std::prev(after)->position;
}

} // namespace vetra::compiler
