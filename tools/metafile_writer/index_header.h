// The headers of FoxPro indexes. A compact header is 1024 bytes: root, free list, key length
// and options in the first 512, the key expression text in the second. A classic header is
// 512 bytes and carries the file's size and, at 16, the key expression.
#pragma once

#include "tools/metafile_writer/byte_buffer.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vetra::writer {

inline constexpr std::size_t compactHeaderSize = 1024;
inline constexpr std::size_t classicHeaderSize = 512;
inline constexpr std::size_t maxCompactExpressionLength = 511; // and its terminating null
inline constexpr std::size_t maxClassicExpressionLength = 219;

inline constexpr std::uint8_t compactIndexOption = 0x20;
inline constexpr std::uint8_t compoundIndexOption = 0x40; // the header of a tag directory

// Both throw WriterError for an expression longer than their maximum.
Bytes compactIndexHeader(std::uint32_t root, std::size_t keyLength, std::uint8_t options,
                         std::string_view expression);
Bytes classicIndexHeader(std::uint32_t root, std::uint32_t fileSize, std::size_t keyLength,
                         std::string_view expression);

} // namespace vetra::writer
