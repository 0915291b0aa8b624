// The searches edit logic and the engine run on lookup tables: whether a key is present in an
// indexed column (VTi_StrLookUp), the record whose column or text equals a key
// (VTi_Tblreadrec, through the index when the table has one, else by reading the records),
// the element of a binary table, and the position of an indexed column's record.
#pragma once

#include "engine/api/last_engine_error.h"
#include "engine/store/index_search.h"
#include "engine/store/metafile_directory.h"
#include "engine/store/table_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vetra {

class LookupTables {
public:
    LookupTables(MetafileDirectory& directory, TableReader& reader, IndexSearch& index,
                 MetafileStream& stream, LastEngineError& errors, const bool& running)
        : directory_(directory), reader_(reader), index_(index), stream_(stream), errors_(errors),
          running_(running) {}

    // The metafile position of the record whose tag column equals the key: > 0 found, 0 when
    // the table, its index or the tag is missing, -1 when the key is absent.
    int64_t VTi_StrLookUp(std::string_view key, std::string_view name);

    // 1 when a record (or line) equals the key, else 0; `record` receives its text without
    // trailing blanks. `length` 0 compares to the end, a negative -c up to the character c.
    int VTi_Tblreadrec(std::string_view key, std::string_view name, int32_t start, int32_t length,
                       std::string* record, SeekMode mode);

    // The element (row, column) of a binary table, from 1; nothing for an unknown table,
    // element type or an element outside the table.
    std::optional<int32_t> binaryElement(std::string_view name, int32_t row,
                                         std::optional<int32_t> column);

    // The position of the first field byte of the record whose indexed column equals the key
    // ("TABLE.EXT.COLUMN"): -1 without a column part or when no record matches, 0 when the
    // table is missing or has no index.
    int64_t columnPosition(std::string_view key, std::string_view columnName);

private:
    int readWithIndex(t_dbfFile* table, std::string_view tag, std::string_view key,
                      std::string* record, SeekMode mode);
    int scanTable(t_dbfFile* table, std::string_view field, std::string_view key, int32_t start,
                  int32_t length, std::string* record);

    MetafileDirectory& directory_;
    TableReader& reader_;
    IndexSearch& index_;
    MetafileStream& stream_;
    LastEngineError& errors_;
    const bool& running_;
};

} // namespace vetra
