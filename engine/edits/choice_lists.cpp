#include "choice_lists.h"

#include "engine/records/dictionary_names.h"
#include "engine/store/internal_records.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace vetra {

namespace {

constexpr size_t kDescriptionOffset = 76; // in a _RE_DDIC.DBF record's field bytes
constexpr size_t kDescriptionWidth = 50;

// "TABLE.EXT[.TAG][(COLUMN,...)]": the table is the text up to the second period, the tag
// the text after it. The column list starts at an opening parenthesis, which also ends the
// names before it, and runs to a closing one or the end.
struct ChoiceTableParts {
    bool hasPeriod = false;
    std::string_view table;
    std::optional<std::string_view> tag;
    std::optional<std::string_view> columnList;
};

std::string_view trimBlanks(std::string_view text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

ChoiceTableParts splitChoiceTable(std::string_view text) {
    ChoiceTableParts parts;
    size_t parenthesis = text.find('(');
    if (parenthesis != std::string_view::npos) {
        std::string_view list = text.substr(parenthesis + 1);
        parts.columnList = list.substr(0, list.find(')'));
    }
    std::string_view names = text.substr(0, parenthesis);
    size_t first = names.find('.');
    parts.hasPeriod = first != std::string_view::npos;
    size_t second = parts.hasPeriod ? names.find('.', first + 1) : std::string_view::npos;
    parts.table = trimBlanks(names.substr(0, second));
    if (second != std::string_view::npos) parts.tag = trimBlanks(names.substr(second + 1));
    return parts;
}

std::optional<int64_t> columnNumber(std::string_view item) {
    int64_t number = 0;
    auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), number);
    if (error != std::errc() || end != item.data() + item.size()) return std::nullopt;
    return number;
}

std::string_view fieldName(const t_dbfFieldEntry& field) {
    return trimTrailingBlanks(std::string_view(field.name, strnlen(field.name, 11)));
}

} // namespace

ChoiceColumns ChoiceLists::VTi_InitChoices(std::string_view specification,
                                           std::string_view startKey) {
    return errors_.guard(436, "VTi_InitChoices", [&] {
        VTi_FreeChoices();
        ChoiceTableParts parts = splitChoiceTable(specification.substr(0, kMaxSpecificationLength));
        if (!parts.hasPeriod) errors_.fail(902, "VTi_InitChoices");
        t_dbfFile* table = openTable(parts.table);
        if (table == nullptr) errors_.fail(904, "VTi_InitChoices");
        try {
            open_ = true;
            table_.assign(parts.table);
            // Text and binary tables have no columns to choose from: the list stays empty.
            if (table->kind == kDbfTable) {
                selectColumns(*table, parts.columnList);
                if (parts.tag && table->indexPosition > 0)
                    readEntries(*table, *parts.tag, startKey);
            }
        } catch (...) {
            closeTable(table);
            VTi_FreeChoices();
            throw;
        }
        closeTable(table);
        ChoiceColumns reported;
        for (const Column& column : columns_) {
            reported.widths.push_back(static_cast<uint8_t>(column.width));
            reported.totalWidth += column.width;
        }
        reported.entryCount = static_cast<int32_t>(entries_.size());
        return reported;
    });
}

ChoiceColumns ChoiceLists::VTi_InitFieldChoices(int32_t localNumber, std::string_view startKey) {
    return errors_.guard(437, "VTi_InitFieldChoices",
                         [&] { return VTi_InitChoices(VTi_GetChoiceTab(localNumber), startKey); });
}

std::string ChoiceLists::VTi_GetChoiceTab(int32_t localNumber) {
    return errors_.guard(55, "VTi_GetChoiceTab", [&] {
        int64_t position = dictionaryRecordOf(
            lookups_, stream_, directory_.internalTables().dataDictionary, localNumber);
        if (position == 0) return std::string();
        auto bytes =
            stream_.bytesAt(position + static_cast<int64_t>(kDescriptionOffset), kDescriptionWidth);
        std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return std::string(trimTrailingBlanks(text));
    });
}

ChoiceRows ChoiceLists::VTi_GetChoices(int32_t step, int32_t wanted) {
    return errors_.guard(826, "VTi_GetChoices", [&] {
        ChoiceRows rows;
        if (!open_ || entries_.empty()) return rows;
        t_dbfFile* table = openTable(table_);
        if (table == nullptr) errors_.fail(826, "VTi_GetChoices");
        try {
            for (int32_t remaining = wanted; remaining > 0;) {
                std::span<const int32_t> batch = nextBatch(step, std::min(remaining, kBatchSize));
                if (batch.empty()) break;
                rows.count += static_cast<int32_t>(batch.size());
                remaining -= static_cast<int32_t>(batch.size());
                for (int32_t recordNumber : batch)
                    appendRow(table, recordNumber, &rows.text);
            }
        } catch (...) {
            closeTable(table);
            throw;
        }
        closeTable(table);
        return rows;
    });
}

void ChoiceLists::VTi_FreeChoices() {
    errors_.guard(926, "VTi_FreeChoices", [&] {
        if (open_) index_.VTi_indexcleanup();
        open_ = false;
        table_.clear();
        columns_.clear();
        entries_.clear();
        position_ = -1;
    });
}

// The list reopens its table for each call rather than keeping the descriptor, which the next
// edit run would free (see the header).
t_dbfFile* ChoiceLists::openTable(std::string_view name) {
    DirectoryEntry entry{};
    if (directory_.VTi_locMetaTbl(&entry, name, false) != 1) return nullptr;
    return reader_.OpenMetaTable(entry, name);
}

// A table opened while edit logic runs (from a host callback) has made its columns variables
// of the running edit; it goes with that edit's storage.
void ChoiceLists::closeTable(t_dbfFile* table) {
    if (!reader_.columnsOn()) reader_.close(table);
}

void ChoiceLists::selectColumns(const t_dbfFile& table,
                                std::optional<std::string_view> columnList) {
    if (!columnList) {
        for (int32_t i = 0; i < table.fieldCount; ++i)
            addColumn(table.fld[i]);
        return;
    }
    for (std::string_view items = *columnList;;) {
        size_t comma = items.find(',');
        selectColumn(table, trimBlanks(items.substr(0, comma)));
        if (comma == std::string_view::npos) break;
        items.remove_prefix(comma + 1);
    }
}

// A number names a column from 1; a name selects every column so called. A number beyond
// the columns, like a name that matches none, selects nothing.
void ChoiceLists::selectColumn(const t_dbfFile& table, std::string_view item) {
    if (item.empty()) return;
    if (std::optional<int64_t> number = columnNumber(item)) {
        if (*number >= 1 && *number <= table.fieldCount) addColumn(table.fld[*number - 1]);
        return;
    }
    for (int32_t i = 0; i < table.fieldCount; ++i)
        if (equalsIgnoringCase(fieldName(table.fld[i]), item)) addColumn(table.fld[i]);
}

void ChoiceLists::addColumn(const t_dbfFieldEntry& field) {
    if (columns_.size() < kMaxColumns) columns_.push_back({field.offset - 1, field.length});
}

// Counts the entries of the tag from its first, then finds where the start key stands. The
// list starts two entries before it, so that the next forward call hands out the entry ahead
// of the start key first; near the top of the index it starts before the first entry.
void ChoiceLists::readEntries(const t_dbfFile& table, std::string_view tag,
                              std::string_view startKey) {
    int32_t found = tag.empty()
                        ? IndexSearch::kTagNotFound
                        : index_.VTi_indexseek(table.indexPosition, tag, "", SeekMode::AtOrAfter);
    if (found <= 0) errors_.fail(903, "VTi_InitChoices");
    int64_t limit = entryLimit(table);
    // Keys that sort below a blank come before the one an empty key finds.
    std::vector<int32_t> ahead = collect(-1, limit - 1);
    entries_.push_back(ahead.empty() ? found : ahead.front());
    std::vector<int32_t> rest = collect(1, limit - 1);
    entries_.insert(entries_.end(), rest.begin(), rest.end());

    index_.VTi_indexseek(table.indexPosition, tag, startKey, SeekMode::AtOrAfter);
    auto startOrdinal = static_cast<int64_t>(collect(-1, limit).size());
    int64_t last = static_cast<int64_t>(entries_.size()) - 1;
    position_ = std::clamp<int64_t>(startOrdinal - 2, -1, last);
    index_.VTi_indexcleanup();
}

// The record numbers from the search's current key onwards in one direction, ascending.
std::vector<int32_t> ChoiceLists::collect(int direction, int64_t limit) {
    std::vector<int32_t> records;
    if (limit > 0) index_.VTi_indexskip(direction, &records, static_cast<int32_t>(limit));
    return records;
}

// An index holds one key per record, so no sound one has more entries than the table has
// records that fit in the metafile. The bound stops a damaged index whose leaves link in a
// circle from being counted without end.
int64_t ChoiceLists::entryLimit(const t_dbfFile& table) const {
    int64_t fitting = stream_.size() / std::max(table.recordLength, 1);
    return std::clamp<int64_t>(std::min(table.recordCount, fitting), 1, INT32_MAX);
}

std::span<const int32_t> ChoiceLists::nextBatch(int32_t step, int32_t count) {
    auto wanted = static_cast<int64_t>(count);
    if (step >= 1) {
        int64_t first = position_ + 1;
        int64_t taken = std::min(wanted, static_cast<int64_t>(entries_.size()) - first);
        position_ += taken;
        return {entries_.data() + first, static_cast<size_t>(taken)};
    }
    int64_t taken = std::min(wanted, std::max<int64_t>(position_, 0));
    position_ -= taken;
    return {entries_.data() + position_, static_cast<size_t>(taken)};
}

// A record the table does not hold (an index naming a record beyond its end) gives a row of
// blanks, so that every row keeps the total width.
void ChoiceLists::appendRow(t_dbfFile* table, int32_t recordNumber, std::string* text) {
    std::string record(static_cast<size_t>(std::max(table->recordLength, 1)), '\0');
    bool read = false;
    if (recordNumber >= 1 && recordNumber <= table->recordCount) {
        table->recordCursor = recordNumber - 1;
        read = reader_.readNextRecord(table, record, true) == 1;
    }
    std::string_view fields(record.data(), read ? record.size() - 1 : 0);
    for (const Column& column : columns_) {
        std::string_view value =
            recordField(fields, static_cast<size_t>(std::max(column.offset, 0)),
                        static_cast<size_t>(column.width));
        text->append(value);
        text->append(static_cast<size_t>(column.width) - value.size(), ' ');
    }
}

} // namespace vetra
