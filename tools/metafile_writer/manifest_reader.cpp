#include "tools/metafile_writer/manifest_reader.h"

#include "tools/metafile_writer/csv_table_rows.h"
#include "tools/metafile_writer/file_contents.h"
#include "tools/metafile_writer/manifest_edits.h"
#include "tools/metafile_writer/manifest_layouts.h"
#include "tools/metafile_writer/manifest_values.h"
#include "tools/metafile_writer/raw_table.h"
#include "tools/metafile_writer/table_name.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace vetra::writer {

namespace {

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

IndexTag readIndexTag(const Manifest& manifest, const toml::node& node) {
    const toml::table& entry = requireTable(manifest, node, "an index tag");
    requireKnownKeys(manifest, entry, {"tag", "column", "upper_case"}, "an index tag");
    IndexTag tag{requireString(manifest, entry, "tag"), requireString(manifest, entry, "column")};
    if (const toml::node* upperCase = entry.get("upper_case")) {
        if (!upperCase->is_boolean())
            fail(manifest, *upperCase, "upper_case must be true or false");
        tag.upperCaseKeys = upperCase->as_boolean()->get();
    }
    return tag;
}

std::vector<IndexTag> readIndexTags(const Manifest& manifest, const toml::table& table) {
    const toml::node* node = table.get("index");
    if (node == nullptr) return {};
    if (!node->is_array()) fail(manifest, *node, "index must be an array of tables");
    std::vector<IndexTag> tags;
    for (const toml::node& tag : *node->as_array())
        tags.push_back(readIndexTag(manifest, tag));
    return tags;
}

void readDbfTable(const Manifest& manifest, const toml::table& entry) {
    requireKnownKeys(manifest, entry, {"name", "kind", "columns", "rows", "index"}, "a DBF table");
    DbfTable table{requireString(manifest, entry, "name"), readColumns(manifest, entry), {}, {}};
    table.indexTags = readIndexTags(manifest, entry);
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
    requireKnownKeys(manifest, entry, {"name", "kind", "source", "element_type", "row_width"},
                     "a binary table");
    auto rowWidth = optionalCount(manifest, entry, "row_width");
    if (!rowWidth) fail(manifest, entry, "missing row_width");
    const toml::node* type = entry.get("element_type");
    if (type == nullptr || !type->is_integer())
        fail(manifest, entry, "element_type must be one of 1, 8, -8, 16, -16, 32, -32");
    std::string data = readFileContents(sourcePath(manifest, entry, "source"));
    attributeErrors(manifest, entry, [&] {
        manifest.builder.addTable(makeBinaryTable(
            requireString(manifest, entry, "name"), static_cast<long>(type->as_integer()->get()),
            static_cast<std::size_t>(*rowWidth), Bytes(data.begin(), data.end())));
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
// earlier one: layouts on the dictionary.
constexpr std::pair<std::string_view, SectionReader> sectionReaders[] = {
    {"metafile", readMetafileSection},      {"table", readTableSections},
    {"dictionary", readDictionarySections}, {"layout", readLayoutSections},
    {"messages", readMessagesSection},      {"edit", readEditSections},
    {"edit_set", readEditSetSections},
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
        std::string_view section = key.str(); // a structured binding cannot be captured in C++20
        bool known = std::any_of(std::begin(sectionReaders), std::end(sectionReaders),
                                 [section](const auto& reader) { return reader.first == section; });
        if (!known) fail(manifest, value, "unknown section [" + std::string(section) + "]");
    }
    for (const auto& [name, read] : sectionReaders)
        if (const toml::node* section = root.get(name)) read(manifest, *section);
    return builder;
}

} // namespace vetra::writer
