#include "tools/naaccr_generator/incidence_layout.h"

#include "tools/metafile_writer/csv_columns.h"
#include "tools/metafile_writer/file_contents.h"
#include "tools/metafile_writer/writer_error.h"
#include "tools/naaccr_generator/generator_error.h"

#include <algorithm>
#include <charconv>

namespace vetra::generator {

namespace {

template <class Number> Number csvNumber(std::string_view column, const std::string& text) {
    Number value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw GeneratorError(std::string(column) + " \"" + text + "\" is not a number");
    return value;
}

// The values are in the order the reader asks for the columns: local, type, first_column,
// length, flag; the generator needs no type, since it writes every value as text.
FieldPlacement placementOf(const std::vector<std::string>& values) {
    return {csvNumber<long>("local", values[0]), csvNumber<int>("first_column", values[2]),
            csvNumber<int>("length", values[3])};
}

} // namespace

IncidenceLayout::IncidenceLayout(std::vector<FieldPlacement> fields) : fields_(std::move(fields)) {
    for (const FieldPlacement& field : fields_) {
        if (field.firstColumn < 1 || field.length < 1 ||
            field.firstColumn + field.length - 1 > incidenceRecordLength)
            throw GeneratorError("item " + std::to_string(field.item) + " at column " +
                                 std::to_string(field.firstColumn) + ", length " +
                                 std::to_string(field.length) + ", leaves the " +
                                 std::to_string(incidenceRecordLength) + "-column record");
    }
    std::sort(fields_.begin(), fields_.end(),
              [](const FieldPlacement& a, const FieldPlacement& b) { return a.item < b.item; });
    auto twice = std::adjacent_find(
        fields_.begin(), fields_.end(),
        [](const FieldPlacement& a, const FieldPlacement& b) { return a.item == b.item; });
    if (twice != fields_.end())
        throw GeneratorError("item " + std::to_string(twice->item) + " is placed twice");
}

const FieldPlacement* IncidenceLayout::find(long item) const {
    auto found = std::lower_bound(
        fields_.begin(), fields_.end(), item,
        [](const FieldPlacement& field, long number) { return field.item < number; });
    return found != fields_.end() && found->item == item ? &*found : nullptr;
}

IncidenceLayout parseIncidenceLayout(std::string_view csv, const std::string& fileName) {
    const std::vector<writer::CsvColumn> columns = {
        {"local"}, {"type"}, {"first_column"}, {"length"}, {"flag", false}};
    std::vector<FieldPlacement> fields;
    try {
        for (const writer::CsvRow& row : writer::readCsvColumns(csv, columns)) {
            try {
                fields.push_back(placementOf(row.values));
            } catch (const GeneratorError& error) {
                throw GeneratorError("line " + std::to_string(row.line) + ": " + error.what());
            }
        }
        return IncidenceLayout(std::move(fields));
    } catch (const std::runtime_error& error) { // the CSV reader's errors name their line too
        throw GeneratorError(fileName + ": " + error.what());
    }
}

IncidenceLayout readIncidenceLayout(const std::filesystem::path& csvFile) {
    std::string text;
    try {
        text = writer::readFileContents(csvFile);
    } catch (const writer::WriterError& error) {
        throw GeneratorError(csvFile.string() + ": " + error.what());
    }
    return parseIncidenceLayout(text, csvFile.string());
}

} // namespace vetra::generator
