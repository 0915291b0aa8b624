#include "desktop/data/data_file_fit.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

namespace vetra::desktop {

namespace {

// A: abstract, C: confidential, I: incidence, M: modified.
constexpr std::string_view kRecordTypes = "ACIM";
constexpr int kRecordTypeItem = 10;
constexpr int kVersionItem = 50;

bool naaccrVersion(const std::string& version) {
    return version.size() == 3 && std::all_of(version.begin(), version.end(), [](char c) {
               return std::isdigit(static_cast<unsigned char>(c)) != 0;
           });
}

// A fixed-width line holds the record and its terminator: none (a last line), LF or CR LF.
bool lengthFits(std::int64_t lineLength, std::int64_t layoutLength) {
    return lineLength >= layoutLength && lineLength <= layoutLength + 2;
}

bool hasField(const LayoutFieldList& fields, int item, int start, int length) {
    return std::any_of(fields.begin(), fields.end(), [&](const fld_desc& field) {
        return field.itemNumber == item && field.startColumn == start && field.length == length;
    });
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace

std::optional<std::string> dataFileMisfit(const DataFileInfo& info, const std::string& layoutName,
                                          std::int64_t layoutRecordLength,
                                          const LayoutFieldList& layoutFields) {
    std::vector<std::string> reasons;
    if (info.recordCount <= 0) reasons.push_back("it holds no records");
    const bool xml = info.form.format == DataFormat::NaaccrXml;
    const bool hasRecords = info.recordCount > 0 && layoutRecordLength > 0;
    if (hasRecords && hasField(layoutFields, kRecordTypeItem, 1, 1) &&
        kRecordTypes.find(info.recordType) == std::string_view::npos)
        reasons.push_back("its record type " + quoted(std::string(1, info.recordType)) +
                          (xml ? " (the recordType attribute)" : " (column 1)") +
                          " is not a NAACCR record type: A, C, I or M");
    if (hasRecords && hasField(layoutFields, kVersionItem, 17, 3) &&
        !naaccrVersion(info.naaccrVersion))
        reasons.push_back("its NAACCR version " + quoted(info.naaccrVersion) +
                          (xml ? " (from the baseDictionary attribute)" : " (columns 17 to 19)") +
                          " is not a NAACCR version such as 180 or 240");
    if (!xml && hasRecords && !lengthFits(info.recordLength, layoutRecordLength))
        reasons.push_back("its records are " + std::to_string(info.recordLength) +
                          " characters long, line end included, where the layout's are " +
                          std::to_string(layoutRecordLength));
    if (reasons.empty()) return std::nullopt;

    std::string text = "The data file " + info.fileName + " does not fit ";
    text += layoutName.empty() ? std::string("a NAACCR record layout")
                               : "the record layout " + layoutName;
    text += ": ";
    for (std::size_t i = 0; i < reasons.size(); ++i)
        text += (i == 0 ? "" : "; ") + reasons[i];
    return text + ".  Choose a NAACCR data file written for this layout, or the layout the file "
                  "was written for.";
}

} // namespace vetra::desktop
