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

// Decodes the token at `position` (line feeds already skipped). The end of the text, and a
// function declaration, decode as the end of the program with `next` = `position`, except
// that a declaration also carries its letter and a `next` past it for the renderer.
DecodeResult decodeToken(std::string_view logic, size_t position, DecodedToken* token);

// Skips line feeds from `position`.
size_t skipLineFeeds(std::string_view logic, size_t position);

} // namespace vetra
