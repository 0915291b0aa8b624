#include "tools/metafile_writer/naaccr_dictionary.h"

#include "tools/metafile_writer/file_contents.h"
#include "tools/metafile_writer/writer_error.h"

#include <algorithm>
#include <charconv>
#include <pugixml.hpp>
#include <set>
#include <string>

namespace vetra::writer {

namespace {

constexpr int dateLength = 8; // YYYYMMDD; longer dates carry a time as well

std::string cutToName(std::string_view text) {
    return std::string(text.substr(0, maxFieldNameLength));
}

std::string itemName(const pugi::xml_node& item) {
    return std::string("item ") + item.attribute("naaccrId").as_string("(no naaccrId)");
}

template <class Number> Number numberAttribute(const pugi::xml_node& item, const char* name) {
    std::string_view text = item.attribute(name).as_string();
    Number value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw WriterError(itemName(item) + ": " + name + " \"" + std::string(text) +
                          "\" is not a number");
    return value;
}

std::string_view withoutBlanks(std::string_view text) {
    while (text.starts_with(' '))
        text.remove_prefix(1);
    while (text.ends_with(' '))
        text.remove_suffix(1);
    return text;
}

// recordTypes is a comma-separated list of letters, such as "A,M,C,I".
bool hasRecordType(const pugi::xml_node& item, char recordType) {
    std::string_view types = item.attribute("recordTypes").as_string();
    for (;;) {
        std::size_t comma = types.find(',');
        if (withoutBlanks(types.substr(0, comma)) == std::string_view(&recordType, 1)) return true;
        if (comma == std::string_view::npos) return false;
        types.remove_prefix(comma + 1);
    }
}

bool isSelected(long number, const NaaccrSelection& selection) {
    return selection.items.empty() || std::find(selection.items.begin(), selection.items.end(),
                                                number) != selection.items.end();
}

void addItem(NaaccrLayout& layout, const pugi::xml_node& item, long number) {
    auto length = numberAttribute<int>(item, "length");
    bool isDate =
        std::string_view(item.attribute("dataType").as_string()) == "date" && length == dateLength;
    std::string typeCode = isDate ? "D1" : "C";
    std::string name = cutToName(item.attribute("naaccrName").as_string());
    layout.dictionary.push_back(DictionaryEntry{number, name, name,
                                                cutToName(item.attribute("naaccrId").as_string()),
                                                typeCode, length, "", ' '});
    layout.fields.push_back(
        LayoutField{number, typeCode, numberAttribute<int>(item, "startColumn"), length, ' '});
}

void requireEverySelectedItem(const NaaccrLayout& layout, const NaaccrSelection& selection) {
    std::set<long> found;
    for (const LayoutField& field : layout.fields)
        found.insert(field.localNumber);
    for (long number : selection.items)
        if (!found.contains(number))
            throw WriterError("item " + std::to_string(number) +
                              " is not in the file with a start column for record type " +
                              std::string(1, selection.recordType));
}

std::size_t lineOfOffset(std::string_view text, std::ptrdiff_t offset) {
    auto end = text.begin() + std::clamp<std::ptrdiff_t>(offset, 0, std::ssize(text));
    return static_cast<std::size_t>(std::count(text.begin(), end, '\n')) + 1;
}

void parseXml(pugi::xml_document& document, std::string_view xml) {
    pugi::xml_parse_result result = document.load_buffer(xml.data(), xml.size());
    if (!result)
        throw WriterError("line " + std::to_string(lineOfOffset(xml, result.offset)) + ": " +
                          result.description());
}

} // namespace

NaaccrLayout parseNaaccrDictionary(std::string_view xml, const NaaccrSelection& selection) {
    pugi::xml_document document;
    parseXml(document, xml);
    pugi::xml_node root = document.document_element();
    if (std::string_view(root.name()) != "NaaccrDictionary")
        throw WriterError("the root element is <" + std::string(root.name()) +
                          ">, not <NaaccrDictionary>");
    NaaccrLayout layout;
    for (const pugi::xml_node& item : root.child("ItemDefs").children("ItemDef")) {
        if (!item.attribute("startColumn") || !hasRecordType(item, selection.recordType)) continue;
        auto number = numberAttribute<long>(item, "naaccrNum");
        if (isSelected(number, selection)) addItem(layout, item, number);
    }
    requireEverySelectedItem(layout, selection);
    return layout;
}

NaaccrLayout readNaaccrDictionary(const std::filesystem::path& xmlFile,
                                  const NaaccrSelection& selection) {
    std::string xml = readFileContents(xmlFile);
    try {
        return parseNaaccrDictionary(xml, selection);
    } catch (const WriterError& error) {
        throw WriterError(xmlFile, error.what());
    }
}

} // namespace vetra::writer
