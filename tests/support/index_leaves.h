// The leaves of one tag of a table's compound index inside a metafile image, found with the
// engine's own decoder, and the damage that tests of the searches aim at them: a leaf emptied
// (its key count set to 0) and leaves linked to other siblings.
#pragma once

#include "tools/metafile_writer/byte_buffer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vetra::testing {

struct IndexLeaves {
    int64_t indexStart = 0;                     // of the table's index image in the metafile
    std::vector<uint32_t> offsets;              // of each leaf from the index start, left to right
    std::vector<std::vector<std::string>> keys; // each leaf's keys, trailing blanks removed
};

// The leaves of `tag` in the index of `table`, in the undamaged metafile at `path`. Fails the
// test (and returns no leaves) when the index cannot be walked from its leftmost leaf.
IndexLeaves indexLeaves(const std::string& path, std::string_view table, std::string_view tag);

void emptyLeaf(writer::Bytes& metafile, const IndexLeaves& leaves, size_t leaf);

// Points the siblings of `leaf` at the leaves `left` and `right`.
void linkLeaf(writer::Bytes& metafile, const IndexLeaves& leaves, size_t leaf, size_t left,
              size_t right);

} // namespace vetra::testing
