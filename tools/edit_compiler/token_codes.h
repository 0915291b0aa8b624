// The code characters of compiled edit logic, taken from the engine's shared tables so that
// the compiler and the engine's token reader cannot drift apart, and the limits of the
// compiled form.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vetra::compiler {

inline constexpr std::size_t maxCompiledLength = 9999; // the length fields count in 4 digits
inline constexpr std::size_t maxBlockLength = 9999;
inline constexpr std::size_t maxIdentifierLength = 19;
inline constexpr std::size_t maxStringLength = 79;
inline constexpr std::size_t maxNumberDigits = 99; // the length is written in 2 digits
inline constexpr int maxUserFunctions = 26;        // one letter each

// The code of a keyword, operator or punctuation mark as the source spells it (`if`, `mod`,
// `%`, `<=`, `fail`), and of the words that share a named constant's code (`left`, `warn`).
std::optional<char> keywordCode(std::string_view spelling);

// Whether a spelling is a named constant or a word sharing one's code.
bool isNamedConstant(std::string_view spelling);

// The code that starts a token of a class rather than one keyword: "number", "var", "\"",
// "#", "'", "libfnc", "funccall", "function".
char classCode(std::string_view className);

std::optional<std::size_t> libraryFunctionIndex(std::string_view name);

// The code of one token of each class; the caller has checked the limits above.
std::string numberCode(std::string_view digits);
std::string identifierCode(std::string_view name);
std::string stringCode(std::string_view contents);
std::string characterCode(char c);
std::string libraryCallCode(std::size_t index);
std::string userFunctionCode(std::string_view className, int functionNumber);

// A block length or an offset, zero-padded to `width` decimal digits.
std::string paddedNumber(std::size_t value, int width);

} // namespace vetra::compiler
