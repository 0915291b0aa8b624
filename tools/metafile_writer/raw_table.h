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
    std::size_t recordCount = 0;
    std::size_t recordLength = 0;
    Bytes data;
};

// One record per line of the text, whose lines may end in "\r\n" or "\n" (the last may have
// no end); each is stored ending in "\n". The record length is that of the longest line.
RawTable makeTextTable(std::string name, std::string_view text);

// The data must hold a whole number of records of the given length.
RawTable makeBinaryTable(std::string name, Bytes data, std::size_t recordLength);

// Throws WriterError for a bad name, or for a binary table whose data is not exactly
// recordCount records of recordLength bytes.
void validateRawTable(const RawTable& table);

} // namespace vetra::writer
