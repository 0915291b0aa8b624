// Splits an edit source into tokens: names and keywords, numbers, string and character
// literals, field references and operators. Comments (// to the end of the line and /* */)
// make no tokens, but the line breaks inside them count like any other.
#pragma once

#include "tools/edit_compiler/source_token.h"

#include <string_view>
#include <vector>

namespace vetra::compiler {

// The tokens end with one of kind End. Throws CompileError naming `fileName` for a stray
// character, a string, character literal or comment that is never closed, and a field
// reference that is neither #S"Name" nor #number.
std::vector<SourceToken> lexEditSource(std::string_view source, std::string_view fileName);

} // namespace vetra::compiler
