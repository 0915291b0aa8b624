// The keyword table of compiled edit logic. Every keyword, operator and punctuation mark of
// the edit language is one code character in the compiled text; the table gives each its
// token code, its token kind and the name the readable rendering writes for it. The compiler,
// the token reader and the renderer share it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vetra {

enum TokenKind : uint8_t {
    kFieldReference = 0,
    kBrace = 1,
    kCharacterLiteral = 2,
    kPunctuation = 3, // also the end-of-program token
    kCall = 5,        // library call, user function call, function declaration
    kIdentifier = 6,
    kDeclaration = 7, // char, int and return
    kNumber = 8,
    kNamedConstant = 9,
    kOperator = 10,
    kStringLiteral = 11,
    kBlockKeyword = 14, // followed by a 4-digit block length
};

struct Keyword {
    std::string_view name;
    char codeCharacter;
    char tokenCode;
    TokenKind kind;
};

inline constexpr std::array<Keyword, 53> kKeywords = {{
    {"!", '!', '!', kOperator},
    {"\"", '"', 0x0B, kStringLiteral},
    {"#", '#', '#', kFieldReference},
    {"mod", '%', '%', kOperator},
    {"&&", '&', '&', kOperator},
    {"'", '\'', '\'', kCharacterLiteral},
    {"(", '(', '(', kPunctuation},
    {")", ')', ')', kPunctuation},
    {"*", '*', '*', kOperator},
    {"+", '+', '+', kOperator},
    {",", ',', ',', kOperator},
    {"-", '-', '-', kOperator},
    {".", '.', '.', kPunctuation},
    {"/", '/', '/', kOperator},
    {":", ':', ':', kPunctuation},
    {";", ';', ';', kPunctuation},
    {"<", '<', '<', kOperator},
    {"=", '=', '=', kOperator},
    {">", '>', '>', kOperator},
    {"else", 'A', 'A', kBlockKeyword},
    {"while", 'B', 'B', kBlockKeyword},
    {"for", 'C', 'C', kBlockKeyword},
    {"return", 'D', 'D', kDeclaration},
    {"==", 'E', 'E', kOperator},
    {"if", 'F', 'F', kBlockKeyword},
    {">=", 'G', 'G', kOperator},
    {"char", 'H', 'H', kDeclaration},
    {"int", 'I', 'I', kDeclaration},
    {"!=", 'J', 'J', kOperator},
    {"<=", 'K', 'K', kOperator},
    {"do", 'L', 'L', kBlockKeyword},
    {"libfnc", 'M', 'M', kCall},
    {"var", 'N', 'N', kIdentifier},
    {"dt_today", 'O', 'O', kNamedConstant},
    {"dt_unknown", 'P', 'P', kNamedConstant},
    {"fail", 'Q', '0', kNamedConstant},
    {"pass", 'R', '1', kNamedConstant},
    {"dt_max", 'S', '2', kNamedConstant},
    {"dt_exact", 'T', '3', kNamedConstant},
    {"number", 'U', 'U', kNumber},
    {"[", '[', '[', kPunctuation},
    {"]", ']', ']', kPunctuation},
    {"funccall", 'm', 'm', kCall},
    {"function", 'n', 'n', kCall},
    {"{", '{', '{', kBrace},
    {"||", '|', '|', kOperator},
    {"}", '}', '}', kBrace},
    {"dt_empty", 'W', 'W', kNamedConstant},
    {"dt_valid", 'X', 'X', kNamedConstant},
    {"dt_missing", 'Y', 'Y', kNamedConstant},
    {"dt_error", 'Z', 'Z', kNamedConstant},
    {"dt_day_empty", 'y', 'y', kNamedConstant},
    {"dt_month_empty", 'z', 'z', kNamedConstant},
}};

namespace detail {

// Code character -> row, built once from the table so that lookups are one array access.
struct CodeIndex {
    std::array<int8_t, 256> rows{};
    constexpr CodeIndex() {
        rows.fill(-1);
        for (size_t i = 0; i < kKeywords.size(); ++i)
            rows[static_cast<unsigned char>(kKeywords[i].codeCharacter)] = static_cast<int8_t>(i);
    }
};

inline constexpr CodeIndex kCodeIndex;

} // namespace detail

// The value of a named constant, by the code character its token carries as text.
inline int32_t namedConstantValue(char text, int32_t today) {
    switch (text) {
    case 'Q':
        return 0; // fail, right
    case 'R':
        return 1; // pass, left, dt_min
    case 'S':
        return 2; // dt_max, both, warn
    case 'T':
        return 3; // dt_exact
    case 'O':
        return today;
    case 'P':
        return 0x7FFFFFFF; // dt_unknown
    case 'Z':
        return 0x6FFFFFFF; // dt_error
    case 'Y':
        return 0x5FFFFFFF; // dt_missing
    case 'X':
        return 0x4FFFFFFF; // dt_valid
    case 'W':
        return 0x3FFFFFFF; // dt_empty
    case 'y':
        return 0x2FFFFFFF; // dt_day_empty
    default:
        return 0x1FFFFFFF; // dt_month_empty
    }
}

// The row of a code character, found by arithmetic on the character: null for a character
// that is no code. Inline: the token reader calls it for every token.
inline const Keyword* keywordForCode(char codeCharacter) {
    int8_t row = detail::kCodeIndex.rows[static_cast<unsigned char>(codeCharacter)];
    return row < 0 ? nullptr : &kKeywords[static_cast<size_t>(row)];
}

} // namespace vetra
