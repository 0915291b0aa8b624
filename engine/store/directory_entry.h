// One embedded file of a metafile as its directory describes it. Positions are absolute
// offsets in the metafile and 0 when the file has no such part.
#pragma once

#include <cstdint>

namespace vetra {

struct DirectoryEntry {
    char name[13]; // upper case, trailing blanks removed
    int32_t recordLength;
    int64_t dataPosition; // content of the data block
    int64_t dataLength;   // its length as the block header gives it
    int32_t recordCount;
    int64_t memoPosition;  // content of the embedded memo file's block
    int64_t indexPosition; // content of the index block
    int32_t memoBlockSize; // block size of the embedded memo file
};

} // namespace vetra
