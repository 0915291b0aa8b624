// A dBase/FoxPro table as the writer's callers describe it: columns, rows of field values as
// text, and optionally an index kept with it, given as an image or as tags to build one from.
// The checks here are the border: the image and index writers trust a table that has passed
// validateTable.
#pragma once

#include "tools/metafile_writer/byte_buffer.h"
#include "tools/metafile_writer/index_tag.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vetra::writer {

inline constexpr std::size_t maxColumnNameLength = 10;
inline constexpr int memoFieldLength = 10; // a memo field holds its block number as decimal text

struct DbfColumn {
    std::string name; // up to 10 characters, written upper case
    char type = 'C';  // C character, N numeric, M memo, D date (YYYYMMDD), L logical
    int length = 0;
    int decimals = 0; // numeric columns only
};

struct DbfRow {
    // One per column. A memo column holds the memo's content; empty means no memo.
    std::vector<std::string> values;
    bool deleted = false;
};

struct DbfTable {
    std::string name; // the embedded file name, e.g. "SITES.DBF"
    std::vector<DbfColumn> columns;
    std::vector<DbfRow> rows;
    Bytes index; // an index image stored with the table; empty for none
    // Tags the builder makes the table's compound index of, in place of `index`.
    std::vector<IndexTag> indexTags = {};
};

bool hasMemoColumns(const std::vector<DbfColumn>& columns);

// The column named `name`, without regard to case; null when there is none.
const DbfColumn* findColumn(const std::vector<DbfColumn>& columns, std::string_view name);

// The deletion byte plus every field.
std::size_t recordLength(const std::vector<DbfColumn>& columns);

// Each throws WriterError naming what is wrong; validateTable also names the table and row,
// or the index tag.
void validateColumns(const std::vector<DbfColumn>& columns);
void validateRow(const std::vector<DbfColumn>& columns, const DbfRow& row);
void validateTable(const DbfTable& table);

} // namespace vetra::writer
