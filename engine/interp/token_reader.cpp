#include "token_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vetra {

void TokenReader::start(std::string_view logic, size_t position) {
    logic_ = logic;
    position_ = tokenStart_ = std::min(position, logic.size());
    token_ = TokenRecord{};
    tokensRead_ = 0;
}

void TokenReader::setText(std::string_view text) {
    size_t length = std::min(text.size(), TokenRecord::kTextCapacity - 1);
    if (length > 0) std::memcpy(token_.text, text.data(), length);
    token_.text[length] = '\0';
}

uint8_t TokenReader::VTi_GetToken() {
    ++tokensRead_;
    token_.text[0] = '\0';
    token_.kind = 0;
    token_.code = 0;
    position_ = skipLineFeeds(logic_, position_);
    tokenStart_ = position_;
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
