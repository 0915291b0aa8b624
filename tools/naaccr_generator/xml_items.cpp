#include "tools/naaccr_generator/xml_items.h"

#include "tools/metafile_writer/csv_columns.h"
#include "tools/metafile_writer/file_contents.h"
#include "tools/metafile_writer/writer_error.h"
#include "tools/naaccr_generator/generator_error.h"

#include <algorithm>
#include <charconv>

namespace vetra::generator {

namespace {

XmlItem xmlItemOf(const std::vector<std::string>& values) {
    XmlItem item;
    const std::string& local = values[0];
    auto [end, error] = std::from_chars(local.data(), local.data() + local.size(), item.item);
    if (local.empty() || error != std::errc() || end != local.data() + local.size())
        throw GeneratorError("local \"" + local + "\" is not a number");
    item.naaccrId = values[1];
    if (item.naaccrId.empty()) throw GeneratorError("item " + local + " has no naaccr_id");
    const std::string& parent = values[2];
    if (parent == "NaaccrData")
        item.parent = XmlParent::NaaccrData;
    else if (parent == "Patient")
        item.parent = XmlParent::Patient;
    else if (parent == "Tumor")
        item.parent = XmlParent::Tumor;
    else
        throw GeneratorError("parent \"" + parent + "\" is not NaaccrData, Patient or Tumor");
    return item;
}

} // namespace

XmlItems::XmlItems(std::vector<XmlItem> items) : items_(std::move(items)) {
    std::sort(items_.begin(), items_.end(),
              [](const XmlItem& a, const XmlItem& b) { return a.item < b.item; });
    auto twice =
        std::adjacent_find(items_.begin(), items_.end(),
                           [](const XmlItem& a, const XmlItem& b) { return a.item == b.item; });
    if (twice != items_.end())
        throw GeneratorError("item " + std::to_string(twice->item) + " is given twice");
}

const XmlItem* XmlItems::find(long item) const {
    auto found =
        std::lower_bound(items_.begin(), items_.end(), item,
                         [](const XmlItem& entry, long number) { return entry.item < number; });
    return found != items_.end() && found->item == item ? &*found : nullptr;
}

XmlItems parseXmlItems(std::string_view csv, const std::string& fileName) {
    const std::vector<writer::CsvColumn> columns = {{"local"}, {"naaccr_id"}, {"parent"}};
    std::vector<XmlItem> items;
    try {
        for (const writer::CsvRow& row : writer::readCsvColumns(csv, columns)) {
            try {
                items.push_back(xmlItemOf(row.values));
            } catch (const GeneratorError& error) {
                throw GeneratorError("line " + std::to_string(row.line) + ": " + error.what());
            }
        }
        return XmlItems(std::move(items));
    } catch (const std::runtime_error& error) { // the CSV reader's errors name their line too
        throw GeneratorError(fileName + ": " + error.what());
    }
}

XmlItems readXmlItems(const std::filesystem::path& csvFile) {
    std::string text;
    try {
        text = writer::readFileContents(csvFile);
    } catch (const writer::WriterError& error) {
        throw GeneratorError(csvFile.string() + ": " + error.what());
    }
    return parseXmlItems(text, csvFile.string());
}

} // namespace vetra::generator
