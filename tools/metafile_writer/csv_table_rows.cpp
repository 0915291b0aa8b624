#include "tools/metafile_writer/csv_table_rows.h"

#include "tools/metafile_writer/csv_reader.h"
#include "tools/metafile_writer/file_contents.h"
#include "tools/metafile_writer/table_name.h"
#include "tools/metafile_writer/writer_error.h"

#include <algorithm>

namespace vetra::writer {

namespace {

std::string atLine(std::size_t line, const std::string& message) {
    return "line " + std::to_string(line) + ": " + message;
}

std::size_t columnIndex(const std::vector<DbfColumn>& columns, const std::string& name) {
    auto column = std::find_if(columns.begin(), columns.end(), [&](const DbfColumn& candidate) {
        return upperCaseAscii(candidate.name) == upperCaseAscii(name);
    });
    if (column == columns.end()) throw WriterError("the header names no column " + name);
    return static_cast<std::size_t>(column - columns.begin());
}

// For each field of a record, the column it fills.
std::vector<std::size_t> headerColumns(const CsvRecord& header,
                                       const std::vector<DbfColumn>& columns) {
    std::vector<std::size_t> order;
    for (const std::string& name : header.fields) {
        std::size_t index = columnIndex(columns, name);
        if (std::find(order.begin(), order.end(), index) != order.end())
            throw WriterError("the header names column " + name + " twice");
        order.push_back(index);
    }
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (std::find(order.begin(), order.end(), i) == order.end())
            throw WriterError("the header does not name column " + columns[i].name);
    return order;
}

DbfRow tableRow(const CsvRecord& record, const std::vector<std::size_t>& order,
                const std::vector<DbfColumn>& columns) {
    if (record.fields.size() != order.size())
        throw WriterError(std::to_string(record.fields.size()) + " fields where the header has " +
                          std::to_string(order.size()));
    DbfRow row{std::vector<std::string>(columns.size()), false};
    for (std::size_t i = 0; i < order.size(); ++i)
        row.values[order[i]] = record.fields[i];
    validateRow(columns, row);
    return row;
}

std::vector<DbfRow> tableRows(const std::vector<CsvRecord>& records,
                              const std::vector<DbfColumn>& columns) {
    if (records.empty()) throw WriterError("the file has no header naming the columns");
    std::vector<std::size_t> order;
    try {
        order = headerColumns(records.front(), columns);
    } catch (const WriterError& error) {
        throw WriterError(atLine(records.front().line, error.what()));
    }
    std::vector<DbfRow> rows;
    for (auto record = records.begin() + 1; record != records.end(); ++record) {
        try {
            rows.push_back(tableRow(*record, order, columns));
        } catch (const WriterError& error) {
            throw WriterError(atLine(record->line, error.what()));
        }
    }
    return rows;
}

} // namespace

std::vector<DbfRow> readCsvRows(const std::filesystem::path& csvFile,
                                const std::vector<DbfColumn>& columns) {
    std::string text = readFileContents(csvFile);
    try {
        return tableRows(parseCsv(text), columns);
    } catch (const WriterError& error) {
        throw WriterError(csvFile, error.what());
    }
}

} // namespace vetra::writer
