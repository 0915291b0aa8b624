// Where each item goes in a NAACCR XML file: its naaccrId and the element that holds it
// (NaaccrData, Patient or Tumor), as the NAACCR version 18 data dictionary gives them, read
// from a CSV file with the columns local (the item number), naaccr_id and parent.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vetra::generator {

enum class XmlParent { NaaccrData, Patient, Tumor };

struct XmlItem {
    long item = 0;
    std::string naaccrId;
    XmlParent parent = XmlParent::Tumor;
};

class XmlItems {
public:
    // Throws GeneratorError for an item given twice.
    explicit XmlItems(std::vector<XmlItem> items);

    // Null when the file does not name the item.
    const XmlItem* find(long item) const;

private:
    std::vector<XmlItem> items_; // sorted by item number
};

// Parses the CSV text; errors name `fileName` and the line.
XmlItems parseXmlItems(std::string_view csv, const std::string& fileName);

// Throws GeneratorError naming the file when it cannot be read or does not parse.
XmlItems readXmlItems(const std::filesystem::path& csvFile);

} // namespace vetra::generator
