// Checks that parentheses, brackets and braces pair up before the parser looks at structure,
// so that an author hears about the bracket itself rather than what the parser expected next.
#pragma once

#include "tools/edit_compiler/source_token.h"

#include <string_view>
#include <vector>

namespace vetra::compiler {

// Throws CompileError at a closer without an opener, at a closer of the wrong shape (naming the
// opener it should close), and at an opener still open at the end of the edit.
void checkBracketBalance(const std::vector<SourceToken>& tokens, std::string_view fileName);

} // namespace vetra::compiler
