// Upper case as the engine compares names and index keys: a to z become A to Z and every
// other byte stays as it is, whatever locale the host has set.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace vetra {

inline constexpr std::array<char, 256> kUpperCase = [] {
    std::array<char, 256> table{};
    for (int byte = 0; byte < 256; ++byte)
        table[static_cast<size_t>(byte)] =
            static_cast<char>(byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte);
    return table;
}();

inline void upperCaseAscii(std::span<char> text) {
    for (char& c : text)
        c = kUpperCase[static_cast<unsigned char>(c)];
}

inline std::string upperCasedAscii(std::string_view text) {
    std::string result(text);
    upperCaseAscii(std::span<char>(result));
    return result;
}

} // namespace vetra
