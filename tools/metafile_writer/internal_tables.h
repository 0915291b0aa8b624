// The _RE_*.DBF tables every metafile carries, with the column lists readers expect of them.
// The writer fixes their columns; callers only add rows, and a table without rows is still
// written, empty.
#pragma once

#include "tools/metafile_writer/dbf_table.h"

#include <string_view>
#include <vector>

namespace vetra::writer {

inline constexpr std::string_view editSetTableName = "_RE_EDSE.DBF";
inline constexpr std::string_view layoutFieldTableName = "_RE_BUFF.DBF";
inline constexpr std::string_view componentTableName = "_RE_COMP.DBF";
inline constexpr std::string_view compiledEditTableName = "_RE_CEDI.DBF";
inline constexpr std::string_view dataDictionaryTableName = "_RE_DDIC.DBF";
inline constexpr std::string_view messageTableName = "_RE_ERMS.DBF";

// NAME, MEMBERS (memo): 61-byte records.
extern const std::vector<DbfColumn> editSetColumns;
// LOCAL_NUM, FILLER1, LAYOUT_NUM, FIRST_COL, FLD_LEN, TYPE, FILLER2: 29-byte records.
extern const std::vector<DbfColumn> layoutFieldColumns;
// KEY at 1, SIZES at 53, memos COMPONENTS at 153 and DESCRIPT at 163: 183-byte records.
extern const std::vector<DbfColumn> componentColumns;
// EDIT_NAME at 1, ERR_NUM at 51, memos LOGIC, DESCRIPT, HELP, FIELDS at 55, 65, 75, 85:
// 95-byte records.
extern const std::vector<DbfColumn> compiledEditColumns;
// Thirteen character fields from SNAME at 1 to FLAG at 152 and three spares: 173-byte records.
extern const std::vector<DbfColumn> dataDictionaryColumns;
// NUM, MESSAGE: 259-byte records.
extern const std::vector<DbfColumn> messageColumns;

// The six tables, without rows, in the order the directory lists them.
std::vector<DbfTable> emptyInternalTables();

} // namespace vetra::writer
