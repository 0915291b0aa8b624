// Field names from the data dictionary _RE_DDIC.DBF. A dictionary record holds (field bytes,
// 0-based) the short name at 0, the local number at 29, the long name at 37 and the third
// name at 126, each 25 characters wide.
#pragma once

#include "engine/store/directory_entry.h"
#include "engine/store/lookup_tables.h"
#include "engine/store/metafile_stream.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vetra {

enum class DictionaryName { Short, Long, Third };

// The name of the dictionary record at `position` (the record's byte 1); empty when the
// position lies outside the metafile.
std::string dictionaryNameAt(const MetafileStream& stream, int64_t position, DictionaryName name);

// The position of the dictionary record of a local number, or 0 when there is none: through
// the index on CLOCAL_NUM when the table has one, else by reading the records.
int64_t dictionaryRecordOf(LookupTables& lookups, const MetafileStream& stream,
                           const DirectoryEntry& dictionary, int32_t localNumber);

} // namespace vetra
