#include "tools/metafile_writer/dbf_table.h"

#include "tools/metafile_writer/table_name.h"
#include "tools/metafile_writer/writer_error.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <set>
#include <string_view>

namespace vetra::writer {

namespace {

constexpr int maxCharacterLength = 254;
constexpr int maxNumericLength = 20;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Column and tag names alike.
bool isWellFormedName(std::string_view name) {
    return !name.empty() && name.size() <= maxColumnNameLength && isLetter(name[0]) &&
           std::all_of(name.begin(), name.end(),
                       [](char c) { return isLetter(c) || isDigit(c) || c == '_'; });
}

void validateColumnName(std::string_view name) {
    if (!isWellFormedName(name))
        throw WriterError("column name \"" + std::string(name) +
                          "\" must be 1 to 10 letters, digits or underscores, starting with a "
                          "letter");
}

void requireLength(const DbfColumn& column, int low, int high) {
    if (column.length < low || column.length > high)
        throw WriterError("column " + column.name + " of type " + column.type +
                          " needs a length from " + std::to_string(low) + " to " +
                          std::to_string(high) + ", not " + std::to_string(column.length));
}

void validateGeometry(const DbfColumn& column) {
    switch (column.type) {
    case 'C':
        return requireLength(column, 1, maxCharacterLength);
    case 'N':
        return requireLength(column, 1, maxNumericLength);
    case 'M':
        return requireLength(column, memoFieldLength, memoFieldLength);
    case 'D':
        return requireLength(column, 8, 8);
    case 'L':
        return requireLength(column, 1, 1);
    default:
        throw WriterError("column " + column.name + " has unknown type '" +
                          std::string(1, column.type) + "' (expected C, N, M, D or L)");
    }
}

void validateDecimals(const DbfColumn& column) {
    bool fits = column.type == 'N' ? column.decimals >= 0 && (column.decimals == 0 ||
                                                              column.decimals < column.length - 1)
                                   : column.decimals == 0;
    if (!fits)
        throw WriterError("column " + column.name + " cannot have " +
                          std::to_string(column.decimals) + " decimals");
}

void validateColumn(const DbfColumn& column) {
    validateColumnName(column.name);
    validateGeometry(column);
    validateDecimals(column);
}

// Digits with an optional sign and decimal point; spaces are the writer's padding, not data.
bool isNumberText(std::string_view text) {
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
    auto point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? "" : text.substr(point + 1);
    auto digitsOnly = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), isDigit);
    };
    return !(whole.empty() && fraction.empty()) && digitsOnly(whole) && digitsOnly(fraction);
}

bool isValueOfType(char type, std::string_view value) {
    if (value.empty()) return true;
    switch (type) {
    case 'N':
        return isNumberText(value);
    case 'D':
        return value.size() == 8 && std::all_of(value.begin(), value.end(), isDigit);
    case 'L':
        return value.size() == 1 &&
               std::string_view("TFYNtfyn?").find(value[0]) != std::string_view::npos;
    default:
        return true;
    }
}

void validateValue(const DbfColumn& column, std::string_view value) {
    if (column.type != 'M' && value.size() > static_cast<std::size_t>(column.length))
        throw WriterError("column " + column.name + ": value \"" + std::string(value) + "\" has " +
                          std::to_string(value.size()) + " characters, more than its length " +
                          std::to_string(column.length));
    if (!isValueOfType(column.type, value))
        throw WriterError("column " + column.name + ": \"" + std::string(value) +
                          "\" is not a value of type " + column.type);
}

void validateIndexTag(const std::vector<DbfColumn>& columns, const IndexTag& tag) {
    if (!isWellFormedName(tag.name))
        throw WriterError("tag name \"" + tag.name +
                          "\" must be 1 to 10 letters, digits or underscores, starting with a "
                          "letter");
    const DbfColumn* column = findColumn(columns, tag.column);
    if (column == nullptr) throw WriterError("tag " + tag.name + ": no column " + tag.column);
    if (column->type != 'C')
        throw WriterError("tag " + tag.name + ": column " + column->name +
                          " is not a character column");
    if (static_cast<std::size_t>(column->length) > maxIndexKeyLength)
        throw WriterError("tag " + tag.name + ": column " + column->name +
                          " is longer than an index key may be (" +
                          std::to_string(maxIndexKeyLength) + ")");
}

void validateIndexTags(const DbfTable& table) {
    if (table.indexTags.empty()) return;
    if (!table.index.empty()) throw WriterError("has both an index image and index tags");
    if (table.indexTags.size() > maxIndexTags)
        throw WriterError("has more than " + std::to_string(maxIndexTags) + " index tags");
    std::set<std::string> names;
    for (const IndexTag& tag : table.indexTags) {
        validateIndexTag(table.columns, tag);
        if (!names.insert(upperCaseAscii(tag.name)).second)
            throw WriterError("tag " + tag.name + " appears twice");
    }
}

} // namespace

bool hasMemoColumns(const std::vector<DbfColumn>& columns) {
    return std::any_of(columns.begin(), columns.end(),
                       [](const DbfColumn& column) { return column.type == 'M'; });
}

const DbfColumn* findColumn(const std::vector<DbfColumn>& columns, std::string_view name) {
    std::string wanted = upperCaseAscii(name);
    auto column = std::find_if(columns.begin(), columns.end(), [&](const DbfColumn& candidate) {
        return upperCaseAscii(candidate.name) == wanted;
    });
    return column == columns.end() ? nullptr : &*column;
}

std::size_t recordLength(const std::vector<DbfColumn>& columns) {
    std::size_t length = 1;
    for (const DbfColumn& column : columns)
        length += static_cast<std::size_t>(column.length);
    return length;
}

void validateColumns(const std::vector<DbfColumn>& columns) {
    if (columns.empty()) throw WriterError("a table needs at least one column");
    std::set<std::string> names;
    for (const DbfColumn& column : columns) {
        validateColumn(column);
        if (!names.insert(upperCaseAscii(column.name)).second)
            throw WriterError("column " + column.name + " appears twice");
    }
    if (recordLength(columns) > std::numeric_limits<std::uint16_t>::max())
        throw WriterError("the columns make a record longer than 65535 bytes");
}

void validateRow(const std::vector<DbfColumn>& columns, const DbfRow& row) {
    if (row.values.size() != columns.size())
        throw WriterError("row has " + std::to_string(row.values.size()) + " values for " +
                          std::to_string(columns.size()) + " columns");
    for (std::size_t i = 0; i < columns.size(); ++i)
        validateValue(columns[i], row.values[i]);
}

void validateTable(const DbfTable& table) {
    validateTableName(table.name);
    if (!hasExtension(table.name, ".DBF"))
        throw WriterError("table " + table.name + " must be named *.DBF");
    try {
        validateColumns(table.columns);
        validateIndexTags(table);
    } catch (const WriterError& error) {
        throw WriterError(table.name + ": " + error.what());
    }
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        try {
            validateRow(table.columns, table.rows[i]);
        } catch (const WriterError& error) {
            throw WriterError(table.name + " row " + std::to_string(i + 1) + ": " + error.what());
        }
    }
}

} // namespace vetra::writer
