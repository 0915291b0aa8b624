#include "token_decoder.h"

#include <algorithm>
#include <cctype>

namespace vetra {

namespace {

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// A 2-digit length and the text it announces, after the code character at `position`.
DecodeResult lengthPrefixed(std::string_view logic, size_t position, DecodedToken* token) {
    if (logic.size() - position < 3 || !isDigit(logic[position + 1]) ||
        !isDigit(logic[position + 2]))
        return DecodeResult::Malformed;
    size_t length =
        static_cast<size_t>((logic[position + 1] - '0') * 10 + (logic[position + 2] - '0'));
    if (logic.size() - position - 3 < length) return DecodeResult::Malformed;
    token->text = logic.substr(position + 3, length);
    token->next = position + 3 + length;
    return DecodeResult::Ok;
}

DecodeResult fieldReference(std::string_view logic, size_t position, DecodedToken* token) {
    size_t p = position + 1;
    bool negative = p < logic.size() && logic[p] == '-';
    if (negative) ++p;
    int64_t value = 0;
    for (; p < logic.size() && isDigit(logic[p]); ++p)
        value = std::min<int64_t>(value * 10 + (logic[p] - '0'), INT32_MAX);
    token->fieldReference = static_cast<int32_t>(negative ? -value : value);
    token->kind = kFieldReference;
    token->code = '#';
    token->text = logic.substr(position, p - position);
    token->next = p;
    return DecodeResult::Ok;
}

} // namespace

size_t skipLineFeeds(std::string_view logic, size_t position) {
    while (position < logic.size() && logic[position] == '\n')
        ++position;
    return position;
}

DecodeResult decodeToken(std::string_view logic, size_t position, DecodedToken* token) {
    *token = DecodedToken{};
    token->next = position;
    if (position >= logic.size() || logic[position] == '\0') {
        token->end = true;
        token->code = kEndCode;
        return DecodeResult::Ok;
    }
    char c = logic[position];
    if (c == 'n') {
        if (position + 1 >= logic.size()) return DecodeResult::Malformed;
        token->end = token->declaration = true;
        token->kind = kCall;
        token->code = kEndCode;
        token->text = logic.substr(position + 1, 1);
        return DecodeResult::Ok;
    }
    if (c == '#') return fieldReference(logic, position, token);
    const Keyword* keyword = keywordForCode(c);
    if (keyword == nullptr) return DecodeResult::Malformed;
    token->kind = keyword->kind;
    token->code = keyword->tokenCode;
    token->text = logic.substr(position, 1);
    token->next = position + 1;
    switch (c) {
    case '\'':
        if (position + 1 >= logic.size()) return DecodeResult::Malformed;
        token->text = logic.substr(position + 1, 1);
        token->code = logic[position + 1];
        token->next = position + 2;
        return DecodeResult::Ok;
    case 'U':
    case 'N':
    case '"':
        return lengthPrefixed(logic, position, token);
    case 'M':
    case 'm':
        if (position + 1 >= logic.size()) return DecodeResult::Malformed;
        token->text = logic.substr(position + 1, 1);
        token->next = position + 2;
        return DecodeResult::Ok;
    default:
        break;
    }
    if (keyword->kind == kBlockKeyword) {
        if (logic.size() - position < 5) return DecodeResult::Malformed;
        token->next = position + 5;
    }
    return DecodeResult::Ok;
}

} // namespace vetra
