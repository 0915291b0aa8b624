// Decoding one token of compiled edit logic. The compiled text is read from metafiles and is
// not trusted: a length prefix or block length that reaches past the end of the text is a
// malformed token, as is a code character outside the keyword table.
//
// Token layouts after their code character: block keywords (else, while, for, if, do) carry
// 4 decimal digits; numbers (U), identifiers (N) and strings (") a 2-digit length and that
// many characters; a character literal (') the character; a field reference (#) an optional
// minus and digits; library (M) and user (m) calls and function declarations (n) one
// character 'A' + number. Line feeds between tokens carry the source's lines.
#pragma once

#include "engine/interp/keyword_table.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vetra {

inline constexpr char kEndCode = '~';
inline constexpr char kStringCode = 0x0B;

struct DecodedToken {
    TokenKind kind = kPunctuation;
    char code = 0;
    std::string_view text; // the characters the token carries (for most tokens its code)
    int32_t fieldReference = 0;
    bool end = false;         // the end of the program: the terminator or a function declaration
    bool declaration = false; // code n: read as the end by the reader, rendered by the renderer
    size_t next = 0;          // position after the token
};

enum class DecodeResult { Ok, Malformed };

namespace detail {

inline bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// A 2-digit length and the text it announces, after the code character at `position`.
inline DecodeResult lengthPrefixed(std::string_view logic, size_t position, DecodedToken* token) {
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

inline DecodeResult fieldReference(std::string_view logic, size_t position, DecodedToken* token) {
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

} // namespace detail

// The value of a number token's text: an optional sign, then digits up to the first other
// character, wrapping around at 32 bits.
inline int32_t numberTokenValue(const char* text) {
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10 + static_cast<uint32_t>(*text - '0');
    return static_cast<int32_t>(negative ? 0u - value : value);
}

// Skips line feeds from `position`.
inline size_t skipLineFeeds(std::string_view logic, size_t position) {
    while (position < logic.size() && logic[position] == '\n')
        ++position;
    return position;
}

// Decodes the token at `position` (line feeds already skipped). The end of the text, and a
// function declaration, decode as the end of the program with `next` = `position`, except
// that a declaration also carries its letter and a `next` past it for the renderer. Inline:
// the token reader decodes every token this way, loops again and again.
inline DecodeResult decodeToken(std::string_view logic, size_t position, DecodedToken* token) {
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
    if (c == '#') return detail::fieldReference(logic, position, token);
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
        return detail::lengthPrefixed(logic, position, token);
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
