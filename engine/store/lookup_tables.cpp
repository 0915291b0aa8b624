#include "lookup_tables.h"

#include "engine/store/internal_records.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace vetra {

namespace {

struct SplitName {
    std::string_view table;
    std::string_view column; // empty without a third component
};

// "NAME.EXT.COLUMN": the table is the text before the second dot.
SplitName splitAtSecondDot(std::string_view name) {
    size_t first = name.find('.');
    size_t second = first == std::string_view::npos ? first : name.find('.', first + 1);
    if (second == std::string_view::npos) return {name, {}};
    return {name.substr(0, second), name.substr(second + 1)};
}

std::string_view trimRight(std::string_view text) {
    size_t end = text.find_last_not_of(" \r\n");
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

// The part of a text that a search compares: from `start` (1-based) for `length` characters,
// to the end when 0, up to the character -length when negative.
std::string_view comparedPart(std::string_view text, int32_t start, int32_t length) {
    size_t from = static_cast<size_t>(std::max(start, 1) - 1);
    if (from >= text.size()) return {};
    text = text.substr(from);
    if (length > 0) return text.substr(0, static_cast<size_t>(length));
    if (length < 0) return text.substr(0, text.find(static_cast<char>(-length)));
    return trimRight(text);
}

int32_t littleEndian(std::span<const uint8_t> bytes) {
    uint32_t value = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
        value |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    return static_cast<int32_t>(value);
}

} // namespace

int64_t LookupTables::VTi_StrLookUp(std::string_view key, std::string_view name) {
    return errors_.guard(480, "VTi_StrLookUp", [&]() -> int64_t {
        SplitName split = splitAtSecondDot(name);
        DirectoryEntry entry{};
        if (directory_.VTi_locMetaTbl(&entry, split.table, running_) != 1 ||
            entry.indexPosition <= 0 || split.column.empty())
            return 0;
        int32_t record = index_.VTi_indexseek(entry.indexPosition, split.column, trimRight(key),
                                              SeekMode::Exact);
        index_.endSearch();
        if (record <= 0) return -1;
        auto header = stream_.bytesAt(entry.dataPosition + 8, 4);
        if (header.size() != 4) return -1;
        int64_t headerLength = header[0] | header[1] << 8;
        int64_t recordLength = header[2] | header[3] << 8;
        return entry.dataPosition + headerLength + recordLength * (record - 1);
    });
}

int LookupTables::readWithIndex(t_dbfFile* table, std::string_view tag, std::string_view key,
                                std::string* record, SeekMode mode) {
    int32_t found = index_.VTi_indexseek(table->indexPosition, tag, key, mode);
    index_.endSearch();
    if (found <= 0 || found > table->recordCount) return 0;
    table->recordCursor = found - 1;
    std::string text(static_cast<size_t>(std::max(table->recordLength, 1)), '\0');
    if (reader_.readNextRecord(table, text, true) != 1) return 0;
    if (record != nullptr) *record = trimRight(text.c_str());
    return 1;
}

int LookupTables::scanTable(t_dbfFile* table, std::string_view field, std::string_view key,
                            int32_t start, int32_t length, std::string* record) {
    const t_dbfFieldEntry* column = nullptr;
    for (int32_t i = 0; i < table->fieldCount && !field.empty(); ++i) {
        std::string_view name(table->fld[i].name, strnlen(table->fld[i].name, 11));
        if (equalsIgnoringCase(name, field.substr(0, 11))) column = &table->fld[i];
    }
    std::string wanted(trimRight(key));
    std::string text(static_cast<size_t>(std::max(table->recordLength, 1)) + 1, '\0');
    bool textTable = table->kind == kTextTable;
    while (reader_.readNextRecord(table, text, textTable) == 1) {
        std::string_view line(text.c_str());
        std::string_view compared;
        if (column != nullptr) {
            compared = trimRight(
                recordField(line, static_cast<size_t>(column->offset - 1), column->length));
        } else if (textTable && start == 1 && length == 0) {
            size_t first = line.find_first_not_of(' ');
            compared = first == std::string_view::npos ? std::string_view()
                                                       : trimRight(line.substr(first));
        } else {
            compared = trimRight(comparedPart(line, start, length));
        }
        if (compared == wanted) {
            if (record != nullptr) *record = trimRight(line);
            return 1;
        }
    }
    return 0;
}

int LookupTables::VTi_Tblreadrec(std::string_view key, std::string_view name, int32_t start,
                                 int32_t length, std::string* record, SeekMode mode) {
    return errors_.guard(479, "VTi_Tblreadrec", [&]() -> int {
        int64_t savedPosition = stream_.tell();
        SplitName split = splitAtSecondDot(name);
        DirectoryEntry entry{};
        if (directory_.VTi_locMetaTbl(&entry, split.table, running_) != 1) return 0;
        t_dbfFile* table = reader_.columnsOn() ? reader_.openForRun(entry, split.table)
                                               : reader_.OpenMetaTable(entry, split.table);
        if (table == nullptr) return 0;
        int found = 0;
        if (table->kind == kDbfTable && !split.column.empty() && table->indexPosition > 0)
            found = readWithIndex(table, split.column, key, record, mode);
        else if (table->kind == kDbfTable || table->kind == kTextTable)
            found = scanTable(table, split.column, key, start, length, record);
        if (found == 0) TableReader::clearColumnValues(table);
        if (!reader_.columnsOn()) reader_.close(table);
        stream_.seek(savedPosition);
        return found;
    });
}

std::optional<int32_t> LookupTables::binaryElement(std::string_view name, int32_t row,
                                                   std::optional<int32_t> column) {
    DirectoryEntry entry{};
    if (directory_.VTi_locMetaTbl(&entry, splitAtSecondDot(name).table, running_) != 1)
        return std::nullopt;
    int32_t type = entry.recordCount;
    int64_t width = entry.recordLength;
    int64_t element = column ? (int64_t{row} - 1) * width + (*column - 1) : int64_t{row} - 1;
    if (element < 0 || entry.dataPosition == 0) return std::nullopt;
    int64_t size = 0;
    switch (type) {
    case 1: {
        auto byte = stream_.bytesAt(entry.dataPosition + element / 8, 1);
        if (byte.empty() || element / 8 >= entry.dataLength) return std::nullopt;
        return (byte[0] >> (7 - element % 8)) & 1;
    }
    case 8:
    case -8:
        size = 1;
        break;
    case 16:
    case -16:
        size = 2;
        break;
    case 32:
    case -32:
        size = 4;
        break;
    default:
        return std::nullopt;
    }
    if ((element + 1) * size > entry.dataLength) return std::nullopt;
    auto bytes = stream_.bytesAt(entry.dataPosition + element * size, size);
    if (static_cast<int64_t>(bytes.size()) != size) return std::nullopt;
    int32_t value = littleEndian(bytes);
    if (type == -8) return static_cast<int8_t>(value);
    if (type == -16) return static_cast<int16_t>(value);
    return value;
}

int64_t LookupTables::columnPosition(std::string_view key, std::string_view columnName) {
    SplitName split = splitAtSecondDot(columnName.substr(0, 30));
    if (split.column.empty()) return -1;
    DirectoryEntry entry{};
    if (directory_.VTi_locMetaTbl(&entry, split.table, running_) != 1 || entry.indexPosition <= 0)
        return 0;
    int32_t record = index_.VTi_indexseek(entry.indexPosition, split.column, key, SeekMode::Exact);
    index_.endSearch();
    if (record <= 0) return -1;
    return entry.dataPosition + entry.dataLength +
           int64_t{entry.recordLength} * (record - entry.recordCount - 1);
}

} // namespace vetra
