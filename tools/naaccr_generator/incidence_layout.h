// Where each item sits in a NAACCR version 18 incidence record, read from a layout CSV of the
// metafile writer (columns local, type, first_column, length and an optional flag). The
// generator places values by item number, so a layout may hold items it knows nothing of
// (they stay blank) and leave out items it knows (they are not written).
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace vetra::generator {

inline constexpr int incidenceRecordLength = 4048;

struct FieldPlacement {
    long item = 0;       // the NAACCR item number, the layout's local number
    int firstColumn = 0; // counting from 1
    int length = 0;
};

class IncidenceLayout {
public:
    // Throws GeneratorError for a field that leaves the record's 4048 columns or an item
    // placed twice.
    explicit IncidenceLayout(std::vector<FieldPlacement> fields);

    // Null when the layout does not place the item.
    const FieldPlacement* find(long item) const;
    const std::vector<FieldPlacement>& fields() const { return fields_; }

private:
    std::vector<FieldPlacement> fields_; // sorted by item number
};

// Parses the CSV text; errors name `fileName` and the line.
IncidenceLayout parseIncidenceLayout(std::string_view csv, const std::string& fileName);

// Throws GeneratorError naming the file when it cannot be read or does not parse.
IncidenceLayout readIncidenceLayout(const std::filesystem::path& csvFile);

} // namespace vetra::generator
