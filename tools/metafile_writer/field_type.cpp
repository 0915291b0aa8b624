#include "tools/metafile_writer/field_type.h"

#include "tools/metafile_writer/writer_error.h"

#include <optional>

namespace vetra::writer {

namespace {

constexpr std::string_view typeLetters = "CRTSZDIL";
constexpr std::string_view dateForms = "123456789A";
constexpr int dateLengths[] = {8, 4, 6, 4, 8, 10, 6, 8, 6, 4}; // in the order of dateForms
constexpr int binaryNumberLength = 4;

char upperCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// A one-letter code may come with its stored blank already in place.
std::string_view withoutStoredBlank(std::string_view typeCode) {
    return typeCode.size() == typeCodeWidth && typeCode[1] == ' ' ? typeCode.substr(0, 1)
                                                                  : typeCode;
}

bool isKnownCode(std::string_view code) {
    if (code.empty() || typeLetters.find(upperCase(code[0])) == std::string_view::npos)
        return false;
    if (upperCase(code[0]) == 'D')
        return code.size() == 2 && dateForms.find(upperCase(code[1])) != std::string_view::npos;
    return code.size() == 1;
}

// The one length a code allows, if it fixes one; the code must be known.
std::optional<int> fixedLength(std::string_view code) {
    char letter = upperCase(code[0]);
    if (letter == 'I' || letter == 'L') return binaryNumberLength;
    if (letter == 'D') return dateLengths[dateForms.find(upperCase(code[1]))];
    return std::nullopt;
}

} // namespace

void validateFieldType(std::string_view typeCode, int length) {
    std::string_view code = withoutStoredBlank(typeCode);
    if (!isKnownCode(code))
        throw WriterError("type code \"" + std::string(typeCode) +
                          "\" is not one of C, R, T, S, Z, I, L or D1 to D9 and DA");
    if (length < 1 || length > maxFieldLength)
        throw WriterError("length " + std::to_string(length) + " is not from 1 to " +
                          std::to_string(maxFieldLength));
    if (auto fixed = fixedLength(code); fixed && length != *fixed)
        throw WriterError("a field of type " + std::string(code) + " is " + std::to_string(*fixed) +
                          " bytes long, not " + std::to_string(length));
}

std::string storedTypeCode(std::string_view typeCode) {
    std::string stored(withoutStoredBlank(typeCode));
    stored.resize(typeCodeWidth, ' ');
    return stored;
}

} // namespace vetra::writer
