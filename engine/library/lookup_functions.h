// The table built-ins: lookup, rlookup and ilookup ask whether a key is in one of the
// metafile's lookup tables; binlookup reads an element of a binary table.
#pragma once

#include <cstdint>

class TMetaFile;

namespace vetra {

int32_t call_lookup(TMetaFile& instance);
int32_t call_rlookup(TMetaFile& instance);
int32_t call_ilookup(TMetaFile& instance);
int32_t call_binlookup(TMetaFile& instance);

} // namespace vetra
