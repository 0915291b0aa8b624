// The records of a CSV file whose first record, the header, names the columns in any order,
// without regard to case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vetra::writer {

struct CsvColumn {
    std::string name;
    bool required = true;
};

struct CsvRow {
    std::size_t line = 0; // where the record starts, counting from 1
    // One per column asked for, in that order; empty for an optional column the header leaves
    // out.
    std::vector<std::string> values;
};

// Throws WriterError ("line N: ...") for a header that names a column not asked for, names one
// twice or leaves out a required one, and for a record whose fields the header does not match.
std::vector<CsvRow> readCsvColumns(std::string_view text, const std::vector<CsvColumn>& columns);

} // namespace vetra::writer
