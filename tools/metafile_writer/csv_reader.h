// Comma-separated values as spreadsheets write them (close to RFC 4180): fields separated by
// commas, records by "\r\n" or "\n"; a field in double quotes may hold commas, line ends and
// doubled quotes ("") standing for one. Blank lines are skipped, and a byte-order mark at the
// start is dropped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vetra::writer {

struct CsvRecord {
    std::size_t line = 0; // where the record starts, counting from 1
    std::vector<std::string> fields;
};

// Throws WriterError ("line N: ...") for a quoted field that never ends or for text after a
// closing quote.
std::vector<CsvRecord> parseCsv(std::string_view text);

} // namespace vetra::writer
