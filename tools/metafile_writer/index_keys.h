// The keys an index holds: character keys of one fixed length, padded with blanks, in the
// order the engine searches them: ascending without regard to case (a to z read as A to Z,
// every other byte as itself, unsigned), keys equal so by their bytes, then by record number.
// Any other order leaves keys that the engine's descent passes by.
#pragma once

#include "tools/metafile_writer/dbf_table.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vetra::writer {

struct IndexKey {
    std::string key;
    std::uint32_t record = 0; // from 1
};

struct IndexKeySet {
    std::string tagName;    // compound indexes only
    std::string expression; // the key expression text the header carries, e.g. "CODE"
    std::size_t keyLength = 0;
    std::vector<IndexKey> keys; // any order; shorter keys are padded
};

// The set with its keys padded to the key length and in index order. Throws WriterError for
// a key length of 0 or over maxIndexKeyLength, a key longer than it, or record number 0.
IndexKeySet orderedKeys(IndexKeySet set);

// The keys of one tag of a validated table, the rows numbered from 1.
IndexKeySet tagKeys(const DbfTable& table, const IndexTag& tag);

} // namespace vetra::writer
