#include "tools/metafile_writer/csv_table_rows.h"

#include "tools/metafile_writer/csv_columns.h"
#include "tools/metafile_writer/file_contents.h"
#include "tools/metafile_writer/writer_error.h"

namespace vetra::writer {

namespace {

std::vector<DbfRow> tableRows(std::string_view text, const std::vector<DbfColumn>& columns) {
    std::vector<CsvColumn> named;
    for (const DbfColumn& column : columns)
        named.push_back(CsvColumn{column.name, true});
    std::vector<DbfRow> rows;
    for (CsvRow& record : readCsvColumns(text, named)) {
        DbfRow row{std::move(record.values), false};
        try {
            validateRow(columns, row);
        } catch (const WriterError& error) {
            throw WriterError("line " + std::to_string(record.line) + ": " + error.what());
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

std::vector<DbfRow> readCsvRows(const std::filesystem::path& csvFile,
                                const std::vector<DbfColumn>& columns) {
    std::string text = readFileContents(csvFile);
    try {
        return tableRows(text, columns);
    } catch (const WriterError& error) {
        throw WriterError(csvFile, error.what());
    }
}

} // namespace vetra::writer
