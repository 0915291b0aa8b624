// Records of the catalogue _RE_COMP.DBF, one per component of the metafile: "RL" a record
// layout, "ES" an edit set. A record names its component by kind, number and name in the KEY
// column, gives sizes describing the component's records in SIZES (the first is the length
// of one record, the second their count), and holds those records back to back in the
// COMPONENTS memo.
#pragma once

#include "tools/metafile_writer/dbf_table.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vetra::writer {

inline constexpr std::size_t catalogueNameLength = 45;
inline constexpr std::size_t catalogueSizeWidth = 4;
inline constexpr std::size_t maxCatalogueSizes = 25; // the SIZES column is 100 characters

struct CatalogueRecord {
    std::string kind; // two characters, e.g. "RL"
    long number = 0;  // 1 to 9999
    std::string name;
    std::vector<int> sizes; // each from 0 to 9999
    std::string components;
    std::string description; // empty for no memo
};

// The record as a row of _RE_COMP.DBF. Throws WriterError for a kind, number, name or size
// that does not fit its place in the KEY and SIZES columns.
DbfRow catalogueRow(const CatalogueRecord& record);

} // namespace vetra::writer
