#include "tools/metafile_writer/internal_tables.h"

#include <string>

namespace vetra::writer {

const std::vector<DbfColumn> editSetColumns = {
    {"NAME", 'C', 50, 0},
    {"MEMBERS", 'M', 10, 0},
};

const std::vector<DbfColumn> layoutFieldColumns = {
    {"LOCAL_NUM", 'C', 8, 0}, {"FILLER1", 'C', 2, 0}, {"LAYOUT_NUM", 'C', 4, 0},
    {"FIRST_COL", 'C', 5, 0}, {"FLD_LEN", 'C', 4, 0}, {"TYPE", 'C', 2, 0},
    {"FILLER2", 'C', 3, 0},
};

// The ten bytes after the two memos are unused; they are split in two so that the table has
// the six fields (and the 225-byte header) that readers expect.
const std::vector<DbfColumn> componentColumns = {
    {"KEY", 'C', 52, 0},      {"SIZES", 'C', 100, 0}, {"COMPONENTS", 'M', 10, 0},
    {"DESCRIPT", 'M', 10, 0}, {"FILLER1", 'C', 5, 0}, {"FILLER2", 'C', 5, 0},
};

const std::vector<DbfColumn> compiledEditColumns = {
    {"EDIT_NAME", 'C', 50, 0}, {"ERR_NUM", 'N', 4, 0}, {"LOGIC", 'M', 10, 0},
    {"DESCRIPT", 'M', 10, 0},  {"HELP", 'M', 10, 0},   {"FIELDS", 'M', 10, 0},
};

// The three spare fields fill the record out to 173 bytes.
const std::vector<DbfColumn> dataDictionaryColumns = {
    {"SNAME", 'C', 25, 0}, {"NUM1", 'C', 4, 0}, {"CLOCAL_NUM", 'C', 8, 0}, {"LNAME", 'C', 25, 0},
    {"NUM2", 'C', 4, 0},   {"TYPE", 'C', 2, 0}, {"NUM3", 'C', 8, 0},       {"DESCRIPT", 'C', 50, 0},
    {"TNAME", 'C', 25, 0}, {"FLAG", 'C', 1, 0}, {"EXTRA1", 'C', 7, 0},     {"EXTRA2", 'C', 7, 0},
    {"EXTRA3", 'C', 6, 0},
};

const std::vector<DbfColumn> messageColumns = {
    {"NUM", 'C', 4, 0},
    {"MESSAGE", 'C', 254, 0},
};

std::vector<DbfTable> emptyInternalTables() {
    auto table = [](std::string_view name, const std::vector<DbfColumn>& columns,
                    std::vector<IndexTag> tags = {}) {
        return DbfTable{std::string(name), columns, {}, {}, std::move(tags)};
    };
    // The engine finds edits by upper-case name, dictionary entries by local number ("%8ld")
    // and messages by number ("%4ld") through these tags.
    return {
        table(editSetTableName, editSetColumns),
        table(layoutFieldTableName, layoutFieldColumns),
        table(componentTableName, componentColumns),
        table(compiledEditTableName, compiledEditColumns, {{"EDIT_NAME", "EDIT_NAME", true}}),
        table(dataDictionaryTableName, dataDictionaryColumns,
              {{"CLOCAL_NUM", "CLOCAL_NUM", false}}),
        table(messageTableName, messageColumns, {{"NUM", "NUM", false}}),
    };
}

} // namespace vetra::writer
