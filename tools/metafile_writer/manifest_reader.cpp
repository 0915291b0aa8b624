#include "tools/metafile_writer/manifest_reader.h"

#include "tools/metafile_writer/csv_table_rows.h"
#include "tools/metafile_writer/file_contents.h"
#include "tools/metafile_writer/raw_table.h"
#include "tools/metafile_writer/table_name.h"
#include "tools/metafile_writer/writer_error.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <toml++/toml.h>
#include <utility>

namespace vetra::writer {

namespace {

struct Manifest {
    std::filesystem::path file;
    std::filesystem::path directory; // sources are named relative to it
    MetafileBuilder& builder;
};

[[noreturn]] void fail(const Manifest& manifest, const toml::node& node,
                       const std::string& message) {
    throw WriterError(manifest.file,
                      "line " + std::to_string(node.source().begin.line) + ": " + message);
}

// Errors from the library name no file; here they belong to the manifest line that caused them.
template <class Action>
void attributeErrors(const Manifest& manifest, const toml::node& node, Action action) {
    try {
        action();
    } catch (const WriterError& error) {
        if (!error.file().empty()) throw;
        fail(manifest, node, error.what());
    }
}

void requireKnownKeys(const Manifest& manifest, const toml::table& table,
                      std::initializer_list<std::string_view> known, std::string_view where) {
    for (auto&& [key, value] : table)
        if (std::find(known.begin(), known.end(), key.str()) == known.end())
            fail(manifest, value,
                 "unknown key \"" + std::string(key.str()) + "\" in " + std::string(where));
}

const toml::table& requireTable(const Manifest& manifest, const toml::node& node,
                                std::string_view what) {
    if (!node.is_table()) fail(manifest, node, std::string(what) + " must be a table");
    return *node.as_table();
}

std::optional<std::string> optionalString(const Manifest& manifest, const toml::table& table,
                                          std::string_view key) {
    const toml::node* node = table.get(key);
    if (node == nullptr) return std::nullopt;
    if (!node->is_string()) fail(manifest, *node, std::string(key) + " must be a string");
    return node->as_string()->get();
}

std::string requireString(const Manifest& manifest, const toml::table& table,
                          std::string_view key) {
    auto value = optionalString(manifest, table, key);
    if (!value) fail(manifest, table, "missing " + std::string(key));
    return *value;
}

// Up to 65535, which covers every length the formats allow; anything larger is refused here
// rather than narrowed.
std::optional<int> optionalCount(const Manifest& manifest, const toml::table& table,
                                 std::string_view key) {
    const toml::node* node = table.get(key);
    if (node == nullptr) return std::nullopt;
    if (!node->is_integer()) fail(manifest, *node, std::string(key) + " must be an integer");
    std::int64_t value = node->as_integer()->get();
    if (value < 0 || value > 0xFFFF) fail(manifest, *node, std::string(key) + " is out of range");
    return static_cast<int>(value);
}

std::filesystem::path sourcePath(const Manifest& manifest, const toml::table& table,
                                 std::string_view key) {
    return manifest.directory / requireString(manifest, table, key);
}

// Memo, date and logical fields have one possible length, which the author may leave out.
int defaultLength(char type) {
    switch (type) {
    case 'M':
        return memoFieldLength;
    case 'D':
        return 8;
    case 'L':
        return 1;
    default:
        return 0;
    }
}

DbfColumn readColumn(const Manifest& manifest, const toml::node& node) {
    const toml::table& entry = requireTable(manifest, node, "a column");
    requireKnownKeys(manifest, entry, {"name", "type", "length", "decimals"}, "a column");
    std::string type = requireString(manifest, entry, "type");
    if (type.size() != 1) fail(manifest, entry, "column type \"" + type + "\" must be one letter");
    DbfColumn column{requireString(manifest, entry, "name"), upperCaseAscii(type)[0], 0,
                     optionalCount(manifest, entry, "decimals").value_or(0)};
    column.length = optionalCount(manifest, entry, "length").value_or(defaultLength(column.type));
    if (column.length == 0) fail(manifest, entry, "column " + column.name + " needs a length");
    return column;
}

std::vector<DbfColumn> readColumns(const Manifest& manifest, const toml::table& table) {
    const toml::node* node = table.get("columns");
    if (node == nullptr) fail(manifest, table, "missing columns");
    if (!node->is_array()) fail(manifest, *node, "columns must be an array of tables");
    std::vector<DbfColumn> columns;
    for (const toml::node& column : *node->as_array())
        columns.push_back(readColumn(manifest, column));
    attributeErrors(manifest, *node, [&] { validateColumns(columns); });
    return columns;
}

void readDbfTable(const Manifest& manifest, const toml::table& entry) {
    requireKnownKeys(manifest, entry, {"name", "kind", "columns", "rows"}, "a DBF table");
    DbfTable table{requireString(manifest, entry, "name"), readColumns(manifest, entry), {}, {}};
    if (entry.contains("rows"))
        table.rows = readCsvRows(sourcePath(manifest, entry, "rows"), table.columns);
    attributeErrors(manifest, entry, [&] { manifest.builder.addTable(std::move(table)); });
}

void readTextTable(const Manifest& manifest, const toml::table& entry) {
    requireKnownKeys(manifest, entry, {"name", "kind", "source"}, "a text table");
    std::string text = readFileContents(sourcePath(manifest, entry, "source"));
    attributeErrors(manifest, entry, [&] {
        manifest.builder.addTable(makeTextTable(requireString(manifest, entry, "name"), text));
    });
}

void readBinaryTable(const Manifest& manifest, const toml::table& entry) {
    requireKnownKeys(manifest, entry, {"name", "kind", "source", "record_length"},
                     "a binary table");
    auto recordLength = optionalCount(manifest, entry, "record_length");
    if (!recordLength) fail(manifest, entry, "missing record_length");
    std::string data = readFileContents(sourcePath(manifest, entry, "source"));
    attributeErrors(manifest, entry, [&] {
        manifest.builder.addTable(makeBinaryTable(requireString(manifest, entry, "name"),
                                                  Bytes(data.begin(), data.end()),
                                                  static_cast<std::size_t>(*recordLength)));
    });
}

void readTable(const Manifest& manifest, const toml::node& node) {
    const toml::table& entry = requireTable(manifest, node, "a [[table]] entry");
    std::string kind = optionalString(manifest, entry, "kind").value_or("dbf");
    if (kind == "dbf")
        readDbfTable(manifest, entry);
    else if (kind == "text")
        readTextTable(manifest, entry);
    else if (kind == "binary")
        readBinaryTable(manifest, entry);
    else
        fail(manifest, entry, "unknown table kind \"" + kind + "\" (expected dbf, text or binary)");
}

void readMetafileSection(const Manifest& manifest, const toml::node& node) {
    const toml::table& section = requireTable(manifest, node, "[metafile]");
    requireKnownKeys(manifest, section, {"version"}, "[metafile]");
    if (auto version = optionalString(manifest, section, "version"))
        manifest.builder.options().version = *version;
}

void readTableSections(const Manifest& manifest, const toml::node& node) {
    if (!node.is_array_of_tables())
        fail(manifest, node, "tables must be given as [[table]] sections");
    for (const toml::node& entry : *node.as_array())
        readTable(manifest, entry);
}

using SectionReader = void (*)(const Manifest&, const toml::node&);

// Read in this order whatever their order in the file, so a later section may rely on an
// earlier one.
constexpr std::pair<std::string_view, SectionReader> sectionReaders[] = {
    {"metafile", readMetafileSection},
    {"table", readTableSections},
};

toml::table parseManifest(const std::filesystem::path& file) {
    std::string text = readFileContents(file);
    try {
        return toml::parse(text, file.string());
    } catch (const toml::parse_error& error) {
        throw WriterError(file, "line " + std::to_string(error.source().begin.line) + ": " +
                                    std::string(error.description()));
    }
}

} // namespace

MetafileBuilder readManifest(const std::filesystem::path& manifestFile) {
    MetafileBuilder builder;
    Manifest manifest{manifestFile, manifestFile.parent_path(), builder};
    toml::table root = parseManifest(manifestFile);
    for (auto&& [key, value] : root) {
        bool known = std::any_of(std::begin(sectionReaders), std::end(sectionReaders),
                                 [&](const auto& reader) { return reader.first == key.str(); });
        if (!known) fail(manifest, value, "unknown section [" + std::string(key.str()) + "]");
    }
    for (const auto& [name, read] : sectionReaders)
        if (const toml::node* section = root.get(name)) read(manifest, *section);
    return builder;
}

} // namespace vetra::writer
