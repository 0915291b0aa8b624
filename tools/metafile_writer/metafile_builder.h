// Assembles a metafile (.rmf): a 512-byte prefix carrying the version text, the directory at
// offset 512, and right after the directory its memo file, the memo base, in which every
// embedded table image, table memo file and index image is one block.
#pragma once

#include "tools/metafile_writer/byte_buffer.h"
#include "tools/metafile_writer/catalogue_record.h"
#include "tools/metafile_writer/dbf_table.h"
#include "tools/metafile_writer/edit_tables.h"
#include "tools/metafile_writer/raw_table.h"
#include "tools/metafile_writer/record_layout_set.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vetra::writer {

inline constexpr std::size_t metafilePrefixSize = 512;
inline constexpr std::size_t metafileVersionOffset = 41;
inline constexpr std::size_t metafileVersionLength = 4;
inline constexpr std::size_t metafileDirectoryOffset = metafilePrefixSize;

struct MetafileOptions {
    std::string version = "4.00"; // four printable ASCII characters
    std::uint16_t directoryBlockSize = 64;
    std::uint16_t tableMemoBlockSize = 64;
    // Tables left out of the directory, to make metafiles a reader must refuse.
    std::vector<std::string> omittedTables;
};

class MetafileBuilder {
public:
    explicit MetafileBuilder(MetafileOptions options = {});

    // Each throws WriterError for an invalid table or a name already taken. The directory
    // lists the internal _RE_*.DBF tables first, then these in the order they were added. A
    // DBF table with index tags gets a compound index of them as its index block.
    void addTable(DbfTable table);
    void addTable(RawTable table);

    // Adds a row to one of the internal tables (see internal_tables.h). The rows written for
    // the dictionary and the layouts come first in their tables, these after them.
    void addInternalRow(std::string_view tableName, DbfRow row);

    // Edits, edit sets and messages go to the internal tables when the metafile is built; an
    // edit set names edits added before or after it.
    void addEdit(EditDefinition edit);
    void addEditSet(EditSetDefinition editSet);
    void addMessage(int number, std::string text);
    // The local number of the dictionary entry with that short name (ignoring case).
    std::optional<long> localNumberOf(std::string_view shortName) const;

    // The data dictionary and the record layouts, written into _RE_DDIC.DBF, _RE_BUFF.DBF and
    // _RE_COMP.DBF (see layout_table_rows.h). Each throws WriterError as RecordLayoutSet does;
    // a layout's fields need their dictionary entries first.
    void addDictionaryEntry(DictionaryEntry entry);
    void addLayout(RecordLayout layout);
    const DictionaryEntry* dictionaryEntry(long localNumber) const;

    // Appends a record to the catalogue _RE_COMP.DBF, after the "RL" records of the layouts.
    // Throws WriterError for a record that does not fit the catalogue's columns.
    void addCatalogueRecord(const CatalogueRecord& record);

    MetafileOptions& options() { return options_; }
    const MetafileOptions& options() const { return options_; }

    // Throws WriterError for bad options: a malformed version text, an unknown block size or
    // an omitted table that does not exist.
    Bytes build() const;

private:
    using Table = std::variant<DbfTable, RawTable>;

    void requireUnusedName(const std::string& name) const;
    bool hasTable(std::string_view name) const;

    MetafileOptions options_;
    std::vector<DbfTable> internalTables_; // the rows added by addInternalRow
    std::vector<EditDefinition> edits_;
    std::vector<EditSetDefinition> editSets_;
    RecordLayoutSet layouts_;
    std::vector<Table> tables_;
};

} // namespace vetra::writer
