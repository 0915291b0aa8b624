// How the data dictionary and the record layouts are written into the internal tables: one
// _RE_DDIC.DBF record per dictionary entry, in the order of their local numbers; one
// _RE_BUFF.DBF record per field of each layout; and per layout one "RL" catalogue record
// whose component records, 43 bytes each, place the layout's fields and point at their
// dictionary records.
#pragma once

#include "tools/metafile_writer/catalogue_record.h"
#include "tools/metafile_writer/dbf_table.h"
#include "tools/metafile_writer/record_layout_set.h"

#include <cstddef>
#include <vector>

namespace vetra::writer {

inline constexpr std::size_t componentRecordLength = 43;

struct LayoutTableRows {
    std::vector<DbfRow> dictionary;   // for _RE_DDIC.DBF
    std::vector<DbfRow> layoutFields; // for _RE_BUFF.DBF
    std::vector<CatalogueRecord> catalogue;
};

LayoutTableRows layoutTableRows(const RecordLayoutSet& layouts);

} // namespace vetra::writer
