// FoxPro index images for metafiles: the compound compact index the builder stores with a DBF
// table that has index tags, and the single compact and classic indexes, which the engine
// reads as well and tests build directly.
//
// A compound index starts with its own compact header, whose root is the tag directory: one
// leaf keyed by tag name, each key's record number the offset of that tag's header. Each tag
// follows as a whole compact index, its header and then its nodes. Offsets count from the
// start of the image.
#pragma once

#include "tools/metafile_writer/byte_buffer.h"
#include "tools/metafile_writer/dbf_table.h"
#include "tools/metafile_writer/index_keys.h"

#include <vector>

namespace vetra::writer {

// Each throws WriterError as orderedKeys does, and writeCompoundIndex also for a tag name that
// is empty, longer than 10 characters or given twice, or for more than maxIndexTags tags.
Bytes writeCompoundIndex(std::vector<IndexKeySet> tags);
Bytes writeCompactIndex(IndexKeySet keys);
Bytes writeClassicIndex(IndexKeySet keys);

// The compound index of a validated table's tags.
Bytes writeTableIndex(const DbfTable& table);

} // namespace vetra::writer
