#include "tools/metafile_writer/metafile_builder.h"

#include "tools/metafile_writer/dbf_image_writer.h"
#include "tools/metafile_writer/directory_table.h"
#include "tools/metafile_writer/foxpro_index_writer.h"
#include "tools/metafile_writer/internal_tables.h"
#include "tools/metafile_writer/layout_table_rows.h"
#include "tools/metafile_writer/table_name.h"
#include "tools/metafile_writer/writer_error.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace vetra::writer {

namespace {

constexpr std::string_view banner = "VETRA metafile";

const std::string& nameOf(const DbfTable& table) {
    return table.name;
}
const std::string& nameOf(const RawTable& table) {
    return table.name;
}

void validateVersion(std::string_view version) {
    bool printable =
        std::all_of(version.begin(), version.end(), [](char c) { return c >= ' ' && c < 0x7F; });
    if (version.size() != metafileVersionLength || !printable)
        throw WriterError("version \"" + std::string(version) +
                          "\" must be four printable ASCII characters, like \"4.00\"");
}

// Readers look only at the version text; the banner is for people opening the file.
Bytes metafilePrefix(std::string_view version) {
    Bytes prefix;
    appendText(prefix, banner);
    prefix.insert(prefix.end(), metafileVersionOffset - banner.size(), ' ');
    appendText(prefix, version);
    appendZeros(prefix, metafilePrefixSize - prefix.size());
    return prefix;
}

DirectoryEntry directoryEntry(const DbfTable& table, const MetafileOptions& options) {
    DbfImage image =
        writeDbfImage(table, MemoSettings{options.tableMemoBlockSize, MemoBlockType::text});
    Bytes index = table.indexTags.empty() ? table.index : writeTableIndex(table);
    return DirectoryEntry{table.name,
                          static_cast<long>(table.rows.size()),
                          recordLength(table.columns),
                          image.table,
                          image.memoFile,
                          std::move(index)};
}

DirectoryEntry directoryEntry(const RawTable& table, const MetafileOptions&) {
    return DirectoryEntry{table.name, table.recordCount, table.recordLength, table.data, {}, {}};
}

DbfTable* tableNamed(std::vector<DbfTable>& tables, std::string_view name) {
    auto table = std::find_if(tables.begin(), tables.end(), [&](const DbfTable& candidate) {
        return sameTableName(candidate.name, name);
    });
    return table == tables.end() ? nullptr : &*table;
}

void prependRows(std::vector<DbfTable>& tables, std::string_view name, std::vector<DbfRow> rows) {
    std::vector<DbfRow>& existing = tableNamed(tables, name)->rows;
    existing.insert(existing.begin(), std::make_move_iterator(rows.begin()),
                    std::make_move_iterator(rows.end()));
}

// The internal tables with the rows of the dictionary and the layouts before those added one
// by one, so that the layouts' records keep their numbers whatever else is added.
std::vector<DbfTable> internalTablesWithLayouts(std::vector<DbfTable> tables,
                                                const RecordLayoutSet& layouts) {
    LayoutTableRows rows = layoutTableRows(layouts);
    std::vector<DbfRow> catalogue;
    for (const CatalogueRecord& record : rows.catalogue)
        catalogue.push_back(catalogueRow(record));
    prependRows(tables, dataDictionaryTableName, std::move(rows.dictionary));
    prependRows(tables, layoutFieldTableName, std::move(rows.layoutFields));
    prependRows(tables, componentTableName, std::move(catalogue));
    return tables;
}

void appendRows(std::vector<DbfTable>& tables, std::string_view name, std::vector<DbfRow> rows) {
    std::vector<DbfRow>& existing = tableNamed(tables, name)->rows;
    existing.insert(existing.end(), std::make_move_iterator(rows.begin()),
                    std::make_move_iterator(rows.end()));
}

template <class AnyTable>
void addEntryUnlessOmitted(std::vector<DirectoryEntry>& entries, const AnyTable& table,
                           const MetafileOptions& options) {
    const auto& omitted = options.omittedTables;
    bool omit = std::any_of(omitted.begin(), omitted.end(), [&](const std::string& name) {
        return sameTableName(name, nameOf(table));
    });
    if (!omit) entries.push_back(directoryEntry(table, options));
}

} // namespace

MetafileBuilder::MetafileBuilder(MetafileOptions options)
    : options_(std::move(options)), internalTables_(emptyInternalTables()) {}

bool MetafileBuilder::hasTable(std::string_view name) const {
    auto named = [&](const auto& table) { return sameTableName(nameOf(table), name); };
    return std::any_of(internalTables_.begin(), internalTables_.end(), named) ||
           std::any_of(tables_.begin(), tables_.end(),
                       [&](const Table& table) { return std::visit(named, table); });
}

void MetafileBuilder::requireUnusedName(const std::string& name) const {
    if (hasTable(name))
        throw WriterError("a table named " + upperCaseAscii(name) + " is already in the metafile");
}

void MetafileBuilder::addTable(DbfTable table) {
    validateTable(table);
    requireUnusedName(table.name);
    tables_.push_back(std::move(table));
}

void MetafileBuilder::addTable(RawTable table) {
    validateRawTable(table);
    requireUnusedName(table.name);
    tables_.push_back(std::move(table));
}

void MetafileBuilder::addInternalRow(std::string_view tableName, DbfRow row) {
    DbfTable* table = tableNamed(internalTables_, tableName);
    if (table == nullptr)
        throw WriterError(std::string(tableName) + " is not one of the internal tables");
    try {
        validateRow(table->columns, row);
    } catch (const WriterError& error) {
        throw WriterError(table->name + ": " + error.what());
    }
    table->rows.push_back(std::move(row));
}

void MetafileBuilder::addEdit(EditDefinition edit) {
    bool taken = std::any_of(edits_.begin(), edits_.end(),
                             [&](const EditDefinition& other) { return other.name == edit.name; });
    if (taken) throw WriterError("an edit named \"" + edit.name + "\" is already in the metafile");
    edits_.push_back(std::move(edit));
}

void MetafileBuilder::addEditSet(EditSetDefinition editSet) {
    editSets_.push_back(std::move(editSet));
}

void MetafileBuilder::addMessage(int number, std::string text) {
    addInternalRow(messageTableName, messageRow(number, text));
}

std::optional<long> MetafileBuilder::localNumberOf(std::string_view shortName) const {
    for (const auto& [number, entry] : layouts_.dictionary())
        if (upperCaseAscii(entry.shortName) == upperCaseAscii(shortName)) return number;
    return std::nullopt;
}

void MetafileBuilder::addDictionaryEntry(DictionaryEntry entry) {
    layouts_.addDictionaryEntry(std::move(entry));
}

void MetafileBuilder::addLayout(RecordLayout layout) {
    layouts_.addLayout(std::move(layout));
}

const DictionaryEntry* MetafileBuilder::dictionaryEntry(long localNumber) const {
    return layouts_.dictionaryEntry(localNumber);
}

void MetafileBuilder::addCatalogueRecord(const CatalogueRecord& record) {
    addInternalRow(componentTableName, catalogueRow(record));
}

Bytes MetafileBuilder::build() const {
    validateVersion(options_.version);
    for (const std::string& name : options_.omittedTables)
        if (!hasTable(name))
            throw WriterError("cannot omit " + name + ": the metafile has no such table");

    std::vector<DirectoryEntry> entries;
    std::vector<DbfTable> internal = internalTablesWithLayouts(internalTables_, layouts_);
    EditTableRows editRows = editTableRows(edits_, editSets_);
    appendRows(internal, compiledEditTableName, std::move(editRows.compiledEdits));
    appendRows(internal, editSetTableName, std::move(editRows.editSets));
    appendRows(internal, componentTableName, std::move(editRows.catalogue));
    for (const DbfTable& table : internal)
        addEntryUnlessOmitted(entries, table, options_);
    for (const Table& table : tables_)
        std::visit([&](const auto& any) { addEntryUnlessOmitted(entries, any, options_); }, table);

    DbfImage directory = writeDirectory(entries, options_.directoryBlockSize);
    Bytes metafile = metafilePrefix(options_.version);
    metafile.insert(metafile.end(), directory.table.begin(), directory.table.end());
    metafile.insert(metafile.end(), directory.memoFile.begin(), directory.memoFile.end());
    return metafile;
}

} // namespace vetra::writer
