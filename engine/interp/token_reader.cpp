#include "token_reader.h"

#include "engine/interp/decoded_logic.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace vetra {

void TokenReader::start(std::string_view logic, size_t position, const DecodedLogic* decoded) {
    logic_ = logic;
    position_ = tokenStart_ = std::min(position, logic.size());
    token_ = TokenRecord{};
    tokensRead_ = 0;
    decoded_ = decoded;
    entry_ = DecodedLogic::kNoEntry;
}

void TokenReader::copyEntry(int32_t index) {
    const DecodedLogic::Entry& entry = decoded_->entry(index);
    entry_ = index;
    tokenStart_ = entry.start;
    position_ = entry.next;
    token_.kind = entry.kind;
    token_.code = entry.code;
    if (entry.kind == kFieldReference) {
        token_.fieldReference = entry.fieldReference;
        const char* value = fields_.fieldValue(std::abs(entry.fieldReference));
        setText(value != nullptr ? value : "");
        return;
    }
    // Most tokens are a character or two: a fixed copy of the first eight (the table keeps
    // eight bytes after every text) costs less than a copy of the length.
    const char* text = decoded_->text(entry);
    if (entry.length < DecodedLogic::kTextPadding)
        std::memcpy(token_.text, text, DecodedLogic::kTextPadding);
    else
        std::memcpy(token_.text, text, entry.length + 1u);
    token_.length = entry.length;
}

bool TokenReader::readDecodedToken() {
    int32_t index = decoded_->entryAt(position_);
    if (index == DecodedLogic::kNoEntry) return false;
    copyEntry(index);
    return true;
}

void TokenReader::putBackEntry(int32_t index) {
    copyEntry(index);
    position_ = tokenStart_;
}

void TokenReader::setText(std::string_view text) {
    size_t length = std::min(text.size(), TokenRecord::kTextCapacity - 1);
    for (size_t i = 0; i < length; ++i) // mostly one character: cheaper than a call
        token_.text[i] = text[i];
    token_.text[length] = '\0';
    token_.length = static_cast<uint8_t>(length);
}

// The tokens that make up most of any logic — keywords, operators, punctuation, names and
// numbers — decoded in place; the rest, and anything malformed, go through decodeToken.
bool TokenReader::readCommonToken() {
    size_t available = logic_.size() - position_;
    if (available == 0) return false;
    const char* at = logic_.data() + position_;
    char c = *at;
    const Keyword* keyword = keywordForCode(c);
    if (keyword == nullptr || c == '\'' || c == 'M' || c == 'm' || c == 'n' || c == '#')
        return false;
    size_t width = 1;
    std::string_view text(at, 1);
    if (c == 'U' || c == 'N' || c == '"') {
        if (available < 3 || !std::isdigit(static_cast<unsigned char>(at[1])) ||
            !std::isdigit(static_cast<unsigned char>(at[2])))
            return false;
        size_t length = static_cast<size_t>((at[1] - '0') * 10 + (at[2] - '0'));
        if (available - 3 < length) return false;
        text = std::string_view(at + 3, length);
        width = 3 + length;
    } else if (keyword->kind == kBlockKeyword) {
        if (available < 5) return false;
        width = 5;
    }
    token_.kind = keyword->kind;
    token_.code = keyword->tokenCode;
    setText(text);
    position_ += width;
    return true;
}

uint8_t TokenReader::VTi_GetToken() {
    ++tokensRead_;
    if (decoded_ != nullptr) {
        if (readDecodedToken()) return token_.kind;
        entry_ = DecodedLogic::kNoEntry;
    }
    position_ = skipLineFeeds(logic_, position_);
    tokenStart_ = position_;
    if (readCommonToken()) return token_.kind;
    token_.text[0] = '\0';
    token_.length = 0;
    token_.kind = 0;
    token_.code = 0;
    DecodedToken decoded;
    if (decodeToken(logic_, position_, &decoded) != DecodeResult::Ok)
        errors_.fail(2017, "VTi_GetToken");
    token_.kind = decoded.kind;
    token_.code = decoded.code;
    if (decoded.end) {
        token_.kind = kPunctuation; // the end never moves: every further read returns it
        return token_.kind;
    }
    position_ = decoded.next;
    switch (decoded.kind) {
    case kFieldReference: {
        token_.fieldReference = decoded.fieldReference;
        const char* value = fields_.fieldValue(std::abs(decoded.fieldReference));
        setText(value != nullptr ? value : "");
        break;
    }
    case kCall:
        token_.text[0] = static_cast<char>(decoded.text[0] - 'A');
        token_.text[1] = '\0';
        token_.length = 1;
        break;
    default:
        setText(decoded.text);
        break;
    }
    return token_.kind;
}

void TokenReader::VTi_GetHardToken(char expected, int errorIndex) {
    VTi_GetToken();
    if (token_.text[0] == expected) return;
    int index = errorIndex >= 0 && errorIndex < kHardTokenErrors ? errorIndex : 0;
    errors_.fail(2073 + index, "VTi_GetHardToken");
}

} // namespace vetra
