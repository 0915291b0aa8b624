// Byte images and the two byte orders the metafile uses: DBF headers store their numbers
// little-endian, FoxPro memo files big-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vetra::writer {

using Bytes = std::vector<std::uint8_t>;

inline void appendLittleEndian16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void appendLittleEndian32(Bytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline void appendBigEndian16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

inline void appendBigEndian32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline void appendText(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

inline void appendZeros(Bytes& out, std::size_t count) {
    out.insert(out.end(), count, 0);
}

} // namespace vetra::writer
