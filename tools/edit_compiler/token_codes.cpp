#include "tools/edit_compiler/token_codes.h"

#include "engine/interp/keyword_table.h"
#include "engine/library/function_names.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vetra::compiler {

namespace {

// Words an author may write for a value that shares the code of a named constant: the
// justification sides of the string functions, the severity of a message, the earliest date.
constexpr std::array<std::pair<std::string_view, std::string_view>, 5> sharedCodeWords = {{
    {"right", "fail"},
    {"left", "pass"},
    {"both", "dt_max"},
    {"warn", "dt_max"},
    {"dt_min", "pass"},
}};

// The rows of the table that stand for a class of tokens carry a name the source never spells.
bool isClassRow(const Keyword& keyword) {
    switch (keyword.kind) {
    case kFieldReference:
    case kCharacterLiteral:
    case kCall:
    case kIdentifier:
    case kNumber:
    case kStringLiteral:
        return true;
    default:
        return false;
    }
}

const Keyword* spelledKeyword(std::string_view spelling) {
    if (spelling == "%") spelling = "mod";
    for (const auto& [word, constant] : sharedCodeWords)
        if (spelling == word) spelling = constant;
    auto row = std::find_if(kKeywords.begin(), kKeywords.end(), [&](const Keyword& keyword) {
        return keyword.name == spelling && !isClassRow(keyword);
    });
    return row == kKeywords.end() ? nullptr : &*row;
}

std::string lengthPrefixed(char code, std::string_view text) {
    return code + paddedNumber(text.size(), 2) + std::string(text);
}

} // namespace

std::optional<char> keywordCode(std::string_view spelling) {
    const Keyword* keyword = spelledKeyword(spelling);
    if (keyword == nullptr) return std::nullopt;
    return keyword->codeCharacter;
}

bool isNamedConstant(std::string_view spelling) {
    const Keyword* keyword = spelledKeyword(spelling);
    return keyword != nullptr && keyword->kind == kNamedConstant;
}

char classCode(std::string_view className) {
    auto row = std::find_if(kKeywords.begin(), kKeywords.end(), [&](const Keyword& keyword) {
        return keyword.name == className && isClassRow(keyword);
    });
    return row->codeCharacter; // only called with the names listed in the header
}

std::optional<std::size_t> libraryFunctionIndex(std::string_view name) {
    auto found = std::find(kLibraryFunctionNames.begin(), kLibraryFunctionNames.end(), name);
    if (found == kLibraryFunctionNames.end()) return std::nullopt;
    return static_cast<std::size_t>(found - kLibraryFunctionNames.begin());
}

std::string numberCode(std::string_view digits) {
    return lengthPrefixed(classCode("number"), digits);
}

std::string identifierCode(std::string_view name) {
    return lengthPrefixed(classCode("var"), name);
}

std::string stringCode(std::string_view contents) {
    return lengthPrefixed(classCode("\""), contents);
}

std::string characterCode(char c) {
    return {classCode("'"), c};
}

// Past index 57 the character leaves the letters, and past 62 plain ASCII; the token reader
// takes whatever byte follows the code.
std::string libraryCallCode(std::size_t index) {
    return {classCode("libfnc"), static_cast<char>('A' + index)};
}

std::string userFunctionCode(std::string_view className, int functionNumber) {
    return {classCode(className), static_cast<char>('A' + functionNumber)};
}

std::string paddedNumber(std::size_t value, int width) {
    std::string digits = std::to_string(value);
    return std::string(static_cast<std::size_t>(width) -
                           std::min(digits.size(), static_cast<std::size_t>(width)),
                       '0') +
           digits;
}

} // namespace vetra::compiler
