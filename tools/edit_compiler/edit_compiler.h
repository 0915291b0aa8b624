// The edit compiler: turns the readable source of an edit into the compiled logic the engine
// runs. The compiled text is a function header (a count letter, then the 5-digit offset of
// each user function's parameter list), the main program's tokens, then the user functions.
// Each token is a code character from the engine's keyword table, some followed by a length
// and their text; line breaks of the source come back as line feeds between tokens.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vetra::compiler {

// The local number of the field with a short name, compared without regard to case; nullopt
// when no field has the name.
using FieldResolver = std::function<std::optional<std::int32_t>(std::string_view shortName)>;

struct CompiledEdit {
    std::string logic;                // at most 9999 characters, without a terminator
    std::vector<std::int32_t> fields; // local numbers referred to, once each, in order of use
};

// Throws CompileError ("file:line:column: message", with `fileName`) for a source that does
// not compile or whose compiled form passes a limit of the format.
CompiledEdit compileEdit(std::string_view source, const FieldResolver& fields,
                         std::string_view fileName);

} // namespace vetra::compiler
