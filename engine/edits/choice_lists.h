// Choice lists: the valid codes of a field, offered to a host that lets a user enter or
// correct it. A choice table specification ("SITES.DBF.CODE(1,DESC)") names a lookup table of
// the metafile, optionally one of its index tags and the columns to show; the list reports the
// widths of those columns and the number of index entries, and hands out rows of the chosen
// columns in index order, a batch at a time. One list is open per metafile instance.
//
// The list keeps what it needs in its own storage rather than in the table descriptor and the
// index search it starts from: both are level-3 and level-5 blocks, which every edit run frees
// and whose search state any lookup overwrites, while a list stays open across runs and calls.
#pragma once

#include "engine/api/last_engine_error.h"
#include "engine/store/index_search.h"
#include "engine/store/lookup_tables.h"
#include "engine/store/metafile_directory.h"
#include "engine/store/metafile_stream.h"
#include "engine/store/table_file.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vetra {

// What opening a list reports: the selected columns' widths, their sum and the entry count.
struct ChoiceColumns {
    std::vector<uint8_t> widths;
    int32_t totalWidth = 0;
    int32_t entryCount = 0;
};

// Rows handed out by one call: the selected columns of each, concatenated without separators.
struct ChoiceRows {
    std::string text;
    int32_t count = 0;
};

class ChoiceLists {
public:
    // The widths output is a count byte and one byte per column, in a caller's buffer that
    // holds 20 bytes.
    static constexpr size_t kMaxColumns = 19;
    static constexpr int32_t kBatchSize = 100;
    static constexpr size_t kMaxSpecificationLength = 50;

    ChoiceLists(MetafileDirectory& directory, TableReader& reader, IndexSearch& index,
                LookupTables& lookups, const MetafileStream& stream, LastEngineError& errors)
        : directory_(directory), reader_(reader), index_(index), lookups_(lookups), stream_(stream),
          errors_(errors) {}

    // Opens the list a specification names, releasing a list still open, and positions it
    // near the start key. Fails with 902 (no period), 904 (no such table) or 903 (the named
    // index has no entry).
    ChoiceColumns VTi_InitChoices(std::string_view specification, std::string_view startKey);
    // As VTi_InitChoices with the specification of the field with that local number.
    ChoiceColumns VTi_InitFieldChoices(int32_t localNumber, std::string_view startKey);
    // The choice table specification of a field: its dictionary description, trailing blanks
    // removed; empty when the dictionary has no record of it.
    std::string VTi_GetChoiceTab(int32_t localNumber);
    // Up to `wanted` rows from the current position, forward (step 1) or backward, in batches
    // of kBatchSize entries. Backward batches come each in ascending order.
    ChoiceRows VTi_GetChoices(int32_t step, int32_t wanted);
    void VTi_FreeChoices();

private:
    struct Column {
        int32_t offset; // in the record's field bytes, from 0
        int32_t width;
    };

    t_dbfFile* openTable(std::string_view name);
    void closeTable(t_dbfFile* table);
    // Without a column list, every column in table order.
    void selectColumns(const t_dbfFile& table, std::optional<std::string_view> columnList);
    void selectColumn(const t_dbfFile& table, std::string_view item);
    void addColumn(const t_dbfFieldEntry& field);
    void readEntries(const t_dbfFile& table, std::string_view tag, std::string_view startKey);
    std::vector<int32_t> collect(int direction, int64_t limit);
    int64_t entryLimit(const t_dbfFile& table) const;
    std::span<const int32_t> nextBatch(int32_t step, int32_t count);
    void appendRow(t_dbfFile* table, int32_t recordNumber, std::string* text);

    MetafileDirectory& directory_;
    TableReader& reader_;
    IndexSearch& index_;
    LookupTables& lookups_;
    const MetafileStream& stream_;
    LastEngineError& errors_;

    bool open_ = false;
    std::string table_;
    std::vector<Column> columns_;
    std::vector<int32_t> entries_; // record numbers in index order
    int64_t position_ = -1;        // the entry last handed out; -1 before the first
};

} // namespace vetra
