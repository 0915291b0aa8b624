// The catalogue table _RE_COMP.DBF: one "RL" record per record layout and one "ES" record per
// edit set, read in record order (deleted records are not skipped). A layout's record points
// at a memo of component records, one per field, each of the length the record states.
//
// Catalogue record (field bytes, 0-based): 0-1 kind; for "RL" 2-5 layout number and from 7
// the name, 52-55 component record length, 56-59 component count; for "ES" 2-51 the name;
// 152 memo of the components, 162 memo of the description.
#pragma once

#include "engine/store/directory_entry.h"
#include "engine/store/metafile_stream.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vetra {

struct LayoutComponent {
    int32_t localNumber;
    std::string typeCode; // trailing blanks removed
    int32_t layoutNumber;
    int32_t firstColumn;
    int32_t length;
    char flag;
    int32_t dictionaryRecord;

    int32_t lastColumn() const { return firstColumn + length - 1; }
};

class LayoutCatalogue {
public:
    LayoutCatalogue(const MetafileStream& stream, const DirectoryEntry& table)
        : stream_(stream), table_(table) {}

    int32_t layoutCount() const { return countRecords("RL"); }
    int32_t editSetCount() const { return countRecords("ES"); }

    // The n-th (from 1) layout or edit set record; empty when there is none.
    std::string_view nthRecord(std::string_view kind, int32_t n) const;
    std::string layoutName(std::string_view record) const;
    std::string editSetName(std::string_view record) const;

    // The layout number of the first "RL" record whose 30 name characters match, or 0.
    int32_t layoutNumberByName(std::string_view name) const;
    // The "RL" record of a layout number; empty when there is none.
    std::string_view layoutRecord(int32_t layoutNumber) const;
    std::vector<LayoutComponent> components(std::string_view layoutRecord) const;
    // The highest last column among the layout's components.
    int32_t recordLength(std::string_view layoutRecord) const;

    // Description memos, found by the name compared without regard to case.
    std::optional<std::string_view> layoutDescription(std::string_view name) const;
    std::optional<std::string_view> editSetDescription(std::string_view name) const;

    bool exists() const { return table_.dataPosition != 0; }

private:
    int32_t countRecords(std::string_view kind) const;
    std::string_view record(int64_t n) const;
    std::string_view descriptionOf(std::string_view record) const;
    std::optional<std::string_view> descriptionByName(std::string_view kind, size_t nameOffset,
                                                      size_t nameWidth,
                                                      std::string_view name) const;

    const MetafileStream& stream_;
    const DirectoryEntry& table_;
};

} // namespace vetra
