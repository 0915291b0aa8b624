// The tokens of an edit source as an author writes them, before they become code characters.
// Comments and blanks are gone; the line breaks before a token are counted on it, because every
// one of them becomes a line feed in the compiled text.
#pragma once

#include "tools/edit_compiler/compile_error.h"

#include <string>

namespace vetra::compiler {

enum class SourceTokenKind {
    Word,          // a name or a keyword
    Number,        // decimal digits
    String,        // text holds the contents, escapes resolved
    Character,     // text holds the one character
    FieldByName,   // #S"Short Name": text holds the short name
    FieldByNumber, // #123 or #-123: text holds the number with its sign
    Symbol,        // an operator or punctuation mark, as spelt
    End,           // after the last token
};

struct SourceToken {
    SourceTokenKind kind = SourceTokenKind::End;
    std::string text;
    SourcePosition start;
    SourcePosition end; // just past the token's last character
    int lineBreaksBefore = 0;
};

// How an error message names a token: 'if', the string "abc", the end of the edit.
std::string describeToken(const SourceToken& token);

} // namespace vetra::compiler
