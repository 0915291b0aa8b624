#include "tools/metafile_writer/manifest_layouts.h"

#include "tools/metafile_writer/csv_columns.h"
#include "tools/metafile_writer/file_contents.h"
#include "tools/metafile_writer/naaccr_dictionary.h"

#include <charconv>
#include <cstdint>
#include <map>

namespace vetra::writer {

namespace {

// Entries brought in by NAACCR imports, as imported, to check that later imports agree.
using ImportedEntries = std::map<long, DictionaryEntry>;

template <class Number> Number csvNumber(const std::string& column, const std::string& text) {
    Number value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw WriterError(column + " \"" + text + "\" is not a number that fits");
    return value;
}

char csvFlag(const std::string& text) {
    if (text.size() > 1) throw WriterError("flag \"" + text + "\" is more than one character");
    return text.empty() ? ' ' : text[0];
}

// Reads the records of a CSV source, handing each to `take`; errors name the file and line.
template <class Take>
void forEachCsvRow(const std::filesystem::path& file, const std::vector<CsvColumn>& columns,
                   Take take) {
    std::string text = readFileContents(file);
    try {
        for (const CsvRow& row : readCsvColumns(text, columns)) {
            try {
                take(row.values);
            } catch (const WriterError& error) {
                throw WriterError("line " + std::to_string(row.line) + ": " + error.what());
            }
        }
    } catch (const WriterError& error) {
        throw WriterError(file, error.what());
    }
}

void readDictionary(const Manifest& manifest, const toml::table& section) {
    requireKnownKeys(manifest, section, {"source"}, "a [[dictionary]] section");
    const std::vector<CsvColumn> columns = {
        {"local"}, {"short_name"}, {"long_name", false},   {"third_name", false},
        {"type"},  {"length"},     {"description", false}, {"flag", false}};
    forEachCsvRow(sourcePath(manifest, section, "source"), columns,
                  [&](const std::vector<std::string>& values) {
                      manifest.builder.addDictionaryEntry(
                          DictionaryEntry{csvNumber<long>("local", values[0]), values[1], values[2],
                                          values[3], values[4], csvNumber<int>("length", values[5]),
                                          values[6], csvFlag(values[7])});
                  });
}

std::vector<LayoutField> readLayoutFields(const std::filesystem::path& file) {
    const std::vector<CsvColumn> columns = {
        {"local"}, {"type"}, {"first_column"}, {"length"}, {"flag", false}};
    std::vector<LayoutField> fields;
    forEachCsvRow(file, columns, [&](const std::vector<std::string>& values) {
        LayoutField field{csvNumber<long>("local", values[0]), values[1],
                          csvNumber<int>("first_column", values[2]),
                          csvNumber<int>("length", values[3]), csvFlag(values[4])};
        validateLayoutField(field);
        fields.push_back(std::move(field));
    });
    return fields;
}

std::vector<long> readItemNumbers(const Manifest& manifest, const toml::table& entry) {
    const toml::node* node = entry.get("items");
    if (node == nullptr) return {};
    if (!node->is_array()) fail(manifest, *node, "items must be an array of item numbers");
    std::vector<long> items;
    for (const toml::node& item : *node->as_array()) {
        if (!item.is_integer()) fail(manifest, item, "an item number must be an integer");
        std::int64_t number = item.as_integer()->get();
        if (number < 1 || number > maxLocalNumber)
            fail(manifest, item, "item number " + std::to_string(number) + " is out of range");
        items.push_back(static_cast<long>(number));
    }
    return items;
}

NaaccrSelection readSelection(const Manifest& manifest, const toml::table& entry) {
    NaaccrSelection selection;
    if (auto recordType = optionalString(manifest, entry, "record_type")) {
        if (recordType->size() != 1)
            fail(manifest, *entry.get("record_type"),
                 "record_type \"" + *recordType + "\" must be one letter");
        selection.recordType = (*recordType)[0];
    }
    selection.items = readItemNumbers(manifest, entry);
    return selection;
}

// Every import of an item must agree with the first; an explicit [[dictionary]] entry, read
// before any layout, wins over them all.
void addImportedEntry(const Manifest& manifest, const std::filesystem::path& xmlFile,
                      const DictionaryEntry& entry, ImportedEntries& imported) {
    auto [earlier, isFirst] = imported.emplace(entry.localNumber, entry);
    if (!isFirst && earlier->second != entry)
        throw WriterError(xmlFile, "item " + std::to_string(entry.localNumber) +
                                       " differs from the same item imported before");
    if (manifest.builder.dictionaryEntry(entry.localNumber) != nullptr) return;
    try {
        manifest.builder.addDictionaryEntry(entry);
    } catch (const WriterError& error) {
        throw WriterError(xmlFile, error.what());
    }
}

std::vector<LayoutField> importNaaccrLayout(const Manifest& manifest, const toml::table& entry,
                                            ImportedEntries& imported) {
    std::filesystem::path xmlFile = sourcePath(manifest, entry, "naaccr_xml");
    NaaccrLayout naaccr = readNaaccrDictionary(xmlFile, readSelection(manifest, entry));
    for (const DictionaryEntry& item : naaccr.dictionary)
        addImportedEntry(manifest, xmlFile, item, imported);
    return std::move(naaccr.fields);
}

std::vector<LayoutField> readFields(const Manifest& manifest, const toml::table& entry,
                                    ImportedEntries& imported) {
    bool fromCsv = entry.contains("fields");
    if (fromCsv == entry.contains("naaccr_xml"))
        fail(manifest, entry, "a layout needs either fields or naaccr_xml");
    if (!fromCsv) return importNaaccrLayout(manifest, entry, imported);
    for (std::string_view key : {"record_type", "items"})
        if (const toml::node* node = entry.get(key))
            fail(manifest, *node, std::string(key) + " goes only with naaccr_xml");
    return readLayoutFields(sourcePath(manifest, entry, "fields"));
}

void readLayout(const Manifest& manifest, const toml::node& node, ImportedEntries& imported) {
    const toml::table& entry = requireTable(manifest, node, "a [[layout]] section");
    requireKnownKeys(
        manifest, entry,
        {"number", "name", "description", "fields", "naaccr_xml", "record_type", "items"},
        "a [[layout]] section");
    auto number = optionalCount(manifest, entry, "number");
    if (!number) fail(manifest, entry, "missing number");
    RecordLayout layout{*number,
                        requireString(manifest, entry, "name"),
                        optionalString(manifest, entry, "description").value_or(""),
                        {}};
    layout.fields = readFields(manifest, entry, imported);
    attributeErrors(manifest, entry, [&] { manifest.builder.addLayout(std::move(layout)); });
}

template <class ReadOne>
void forEachSection(const Manifest& manifest, const toml::node& node, std::string_view name,
                    ReadOne readOne) {
    if (!node.is_array_of_tables())
        fail(manifest, node,
             "the " + std::string(name) + " must be given as [[" + std::string(name) +
                 "]] sections");
    for (const toml::node& section : *node.as_array())
        readOne(section);
}

} // namespace

void readDictionarySections(const Manifest& manifest, const toml::node& node) {
    forEachSection(manifest, node, "dictionary", [&](const toml::node& section) {
        readDictionary(manifest, requireTable(manifest, section, "a [[dictionary]] section"));
    });
}

void readLayoutSections(const Manifest& manifest, const toml::node& node) {
    ImportedEntries imported;
    forEachSection(manifest, node, "layout",
                   [&](const toml::node& section) { readLayout(manifest, section, imported); });
}

} // namespace vetra::writer
