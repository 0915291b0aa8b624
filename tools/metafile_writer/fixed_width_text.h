// Fixed-width text as the internal tables and the component records hold it: numbers
// right-aligned, texts left-aligned, both padded with blanks. The values must fit; they are
// checked where they enter the writer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vetra::writer {

inline std::string leftAligned(std::string_view text, std::size_t width) {
    std::string field(text);
    field.resize(width, ' ');
    return field;
}

inline std::string rightAligned(std::string_view text, std::size_t width) {
    return std::string(width - text.size(), ' ') + std::string(text);
}

// As printf's "%*ld" writes it.
inline std::string rightAligned(long number, std::size_t width) {
    return rightAligned(std::to_string(number), width);
}

} // namespace vetra::writer
