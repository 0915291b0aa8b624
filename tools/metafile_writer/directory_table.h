// The metafile's directory: a DBF table with one 56-byte record per embedded file. Its memo
// fields name blocks of the directory's own memo file, the memo base, which hold the file's
// data image, the file's own memo file and its index image.
#pragma once

#include "tools/metafile_writer/byte_buffer.h"
#include "tools/metafile_writer/dbf_image_writer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vetra::writer {

struct DirectoryEntry {
    std::string name;
    long recordCount = 0; // a binary table's element type may be negative
    std::size_t recordLength = 0;
    Bytes data;
    Bytes memoFile; // empty for none
    Bytes index;    // empty for none
};

// NAME C(12), FILLER C(1), RECORDS N(6), RECLEN N(6), DATA M(10), MEMO M(10), INDEX M(10).
extern const std::vector<DbfColumn> directoryColumns;

// The directory image and, as its memo file, the memo base. Throws WriterError for a count
// or length too large for the directory's six-digit fields.
DbfImage writeDirectory(const std::vector<DirectoryEntry>& entries, std::uint16_t blockSize);

} // namespace vetra::writer
