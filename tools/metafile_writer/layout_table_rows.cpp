#include "tools/metafile_writer/layout_table_rows.h"

#include "tools/metafile_writer/field_type.h"
#include "tools/metafile_writer/fixed_width_text.h"
#include "tools/metafile_writer/internal_tables.h"

#include <algorithm>
#include <map>
#include <string>
#include <string_view>

namespace vetra::writer {

namespace {

// A row of an internal table filled by column name, numbers right-aligned in the column's
// width, so that the widths have one home: the column lists in internal_tables.cpp. Columns
// left unset stay blank.
class TableRow {
public:
    explicit TableRow(const std::vector<DbfColumn>& columns)
        : columns_(columns), row_{std::vector<std::string>(columns.size()), false} {}

    TableRow& text(std::string_view column, std::string value) {
        row_.values.at(indexOf(column)) = std::move(value);
        return *this;
    }
    TableRow& number(std::string_view column, long value) {
        std::size_t index = indexOf(column);
        row_.values.at(index) =
            rightAligned(value, static_cast<std::size_t>(columns_.at(index).length));
        return *this;
    }
    DbfRow row() const { return row_; }

private:
    std::size_t indexOf(std::string_view name) const {
        auto column =
            std::find_if(columns_.begin(), columns_.end(),
                         [&](const DbfColumn& candidate) { return candidate.name == name; });
        return static_cast<std::size_t>(column - columns_.begin());
    }

    const std::vector<DbfColumn>& columns_;
    DbfRow row_;
};

// NUM3 carries nothing for the layouts written here. It holds 0 rather than blanks, so that a
// reader taking it as a number finds one.
DbfRow dictionaryRow(const DictionaryEntry& entry, std::size_t recordNumber) {
    return TableRow(dataDictionaryColumns)
        .text("SNAME", entry.shortName)
        .number("NUM1", static_cast<long>(recordNumber))
        .number("CLOCAL_NUM", entry.localNumber)
        .text("LNAME", entry.longName)
        .number("NUM2", entry.length)
        .text("TYPE", storedTypeCode(entry.typeCode))
        .number("NUM3", 0)
        .text("DESCRIPT", entry.description)
        .text("TNAME", entry.thirdName)
        .text("FLAG", std::string(1, entry.flag))
        .row();
}

DbfRow layoutFieldRow(const LayoutField& field, int layoutNumber) {
    return TableRow(layoutFieldColumns)
        .number("LOCAL_NUM", field.localNumber)
        .number("LAYOUT_NUM", layoutNumber)
        .number("FIRST_COL", field.firstColumn)
        .number("FLD_LEN", field.length)
        .text("TYPE", storedTypeCode(field.typeCode))
        .row();
}

// Local number, type, layout number, first column, blank, length, flag, blank, and the
// 1-based number of the field's dictionary record: 8+2+4+5+4+4+1+7+8 = 43 bytes.
std::string componentRecord(const LayoutField& field, int layoutNumber,
                            std::size_t dictionaryRecord) {
    return rightAligned(field.localNumber, 8) + storedTypeCode(field.typeCode) +
           rightAligned(layoutNumber, 4) + rightAligned(field.firstColumn, 5) +
           std::string(4, ' ') + rightAligned(field.length, 4) + field.flag + std::string(7, ' ') +
           rightAligned(static_cast<long>(dictionaryRecord), 8);
}

CatalogueRecord layoutRecord(const RecordLayout& layout,
                             const std::map<long, std::size_t>& dictionaryRecords) {
    std::string components;
    for (const LayoutField& field : layout.fields)
        components +=
            componentRecord(field, layout.number, dictionaryRecords.at(field.localNumber));
    return CatalogueRecord{
        "RL",
        layout.number,
        layout.name,
        {static_cast<int>(componentRecordLength), static_cast<int>(layout.fields.size())},
        std::move(components),
        layout.description};
}

} // namespace

LayoutTableRows layoutTableRows(const RecordLayoutSet& layouts) {
    LayoutTableRows rows;
    std::map<long, std::size_t> dictionaryRecords;
    for (const auto& [localNumber, entry] : layouts.dictionary()) {
        dictionaryRecords[localNumber] = rows.dictionary.size() + 1;
        rows.dictionary.push_back(dictionaryRow(entry, rows.dictionary.size() + 1));
    }
    for (const RecordLayout& layout : layouts.layouts()) {
        for (const LayoutField& field : layout.fields)
            rows.layoutFields.push_back(layoutFieldRow(field, layout.number));
        rows.catalogue.push_back(layoutRecord(layout, dictionaryRecords));
    }
    return rows;
}

} // namespace vetra::writer
