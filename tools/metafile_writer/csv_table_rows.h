// The rows of a table read from a CSV file whose first record names the columns, in any order.
#pragma once

#include "tools/metafile_writer/dbf_table.h"

#include <filesystem>
#include <vector>

namespace vetra::writer {

// Every column must be named exactly once in the header, and every value must suit its
// column; otherwise this throws WriterError naming the CSV file and the line.
std::vector<DbfRow> readCsvRows(const std::filesystem::path& csvFile,
                                const std::vector<DbfColumn>& columns);

} // namespace vetra::writer
