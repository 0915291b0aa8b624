#include "tools/metafile_writer/csv_columns.h"

#include "tools/metafile_writer/csv_reader.h"
#include "tools/metafile_writer/table_name.h"
#include "tools/metafile_writer/writer_error.h"

#include <algorithm>

namespace vetra::writer {

namespace {

std::string atLine(std::size_t line, const std::string& message) {
    return "line " + std::to_string(line) + ": " + message;
}

std::size_t columnIndex(const std::vector<CsvColumn>& columns, const std::string& name) {
    auto column = std::find_if(columns.begin(), columns.end(), [&](const CsvColumn& candidate) {
        return upperCaseAscii(candidate.name) == upperCaseAscii(name);
    });
    if (column == columns.end()) throw WriterError("the header names no column " + name);
    return static_cast<std::size_t>(column - columns.begin());
}

// For each field of a record, the column it fills.
std::vector<std::size_t> headerColumns(const CsvRecord& header,
                                       const std::vector<CsvColumn>& columns) {
    std::vector<std::size_t> order;
    for (const std::string& name : header.fields) {
        std::size_t index = columnIndex(columns, name);
        if (std::find(order.begin(), order.end(), index) != order.end())
            throw WriterError("the header names column " + name + " twice");
        order.push_back(index);
    }
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].required && std::find(order.begin(), order.end(), i) == order.end())
            throw WriterError("the header does not name column " + columns[i].name);
    return order;
}

CsvRow rowOf(const CsvRecord& record, const std::vector<std::size_t>& order,
             std::size_t columnCount) {
    if (record.fields.size() != order.size())
        throw WriterError(atLine(record.line, std::to_string(record.fields.size()) +
                                                  " fields where the header has " +
                                                  std::to_string(order.size())));
    CsvRow row{record.line, std::vector<std::string>(columnCount)};
    for (std::size_t i = 0; i < order.size(); ++i)
        row.values[order[i]] = record.fields[i];
    return row;
}

} // namespace

std::vector<CsvRow> readCsvColumns(std::string_view text, const std::vector<CsvColumn>& columns) {
    std::vector<CsvRecord> records = parseCsv(text);
    if (records.empty()) throw WriterError("the file has no header naming the columns");
    std::vector<std::size_t> order;
    try {
        order = headerColumns(records.front(), columns);
    } catch (const WriterError& error) {
        throw WriterError(atLine(records.front().line, error.what()));
    }
    std::vector<CsvRow> rows;
    for (auto record = records.begin() + 1; record != records.end(); ++record)
        rows.push_back(rowOf(*record, order, columns.size()));
    return rows;
}

} // namespace vetra::writer
