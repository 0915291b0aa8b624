// Raw tables: an .ASC entry holds text lines, each ending in "\n"; a .BIN entry holds binary
// records of one fixed length. The metafile stores their bytes as they are, and its directory
// carries the record count and record length the author gives.
#pragma once

#include "tools/metafile_writer/byte_buffer.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace vetra::writer {

struct RawTable {
    std::string name; // "*.ASC" or "*.BIN"
    // Lines and the longest line's length for a text table; for a binary table the element
    // type (1 bits, 8 and -8 bytes, 16 and -16, 32 and -32 little-endian integers, the
    // negative types signed) and the row width in elements, which the directory's record
    // count and record length columns carry.
    long recordCount = 0;
    std::size_t recordLength = 0;
    Bytes data;
};

// One record per line of the text, whose lines may end in "\r\n" or "\n" (the last may have
// no end); each is stored ending in "\n". The record length is that of the longest line.
RawTable makeTextTable(std::string name, std::string_view text);

// The elements stored row after row; the data must hold whole elements.
RawTable makeBinaryTable(std::string name, long elementType, std::size_t rowWidth, Bytes data);

// Throws WriterError for a bad name, or for a binary table with an unknown element type, a
// row width of 0 or data that does not hold whole elements.
void validateRawTable(const RawTable& table);

} // namespace vetra::writer
