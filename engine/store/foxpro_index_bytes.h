// The numbers of a FoxPro index: headers and node headers little-endian, the record numbers
// and child pointers of interior entries big-endian ("normal left-to-right format"). Callers
// have checked that the bytes read lie inside the span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vetra::foxpro_index {

inline uint16_t littleEndian16(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

inline uint32_t littleEndian32(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

inline uint32_t bigEndian32(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) << 24 | static_cast<uint32_t>(bytes[at + 1]) << 16 |
           static_cast<uint32_t>(bytes[at + 2]) << 8 | static_cast<uint32_t>(bytes[at + 3]);
}

} // namespace vetra::foxpro_index
