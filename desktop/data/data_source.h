// The records of a data file as a run and the record browser read them, whatever the file's
// form: fixed-width lines, or NAACCR XML whose Tumors become fixed-width records of the
// layout's length; either may be gzip-compressed. The form is recognised from the file's bytes,
// never from its name.
#pragma once

#include "desktop/data/field_description.h"
#include "desktop/data/naaccr_xml_records.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vetra::desktop {

enum class DataFormat { FixedWidth, NaaccrXml };

struct DataFileForm {
    DataFormat format = DataFormat::FixedWidth;
    bool gzipped = false;
    bool operator==(const DataFileForm&) const = default;
};

// Nothing when the file cannot be read. XML is recognised by a '<' as the first character
// after an optional byte-order mark and white space.
std::optional<DataFileForm> recogniseDataFile(const std::string& path);

class DataSource {
public:
    virtual ~DataSource() = default;
    // Passes over `count` records; false when the file ended or failed first.
    virtual bool skip(std::int64_t count) = 0;
    // The next record into `record`, at most `capacity` bytes: how many were read, 0 at the end
    // of the file, -1 when it cannot be read on (errorText() says why).
    virtual std::int64_t next(char* record, std::size_t capacity) = 0;
    virtual const std::string& errorText() const = 0;
    // What to tell the user once, after reading: an XML file's items that no layout field
    // takes, one line each.
    virtual std::vector<std::string> notices() const { return {}; }
};

struct DataSourceLayout {
    std::int64_t recordLength = 0; // of a fixed-width file, its line terminator included
    int layoutRecordLength = 0;    // of the chosen layout: the length of an XML Tumor's record
    std::vector<XmlLayoutField> fields;
};

// Where XML items go: the layout's fields by item number and third name.
std::vector<XmlLayoutField> xmlLayoutFields(const LayoutFieldList& fields);

// Nothing, with the reason in `errorText`, when the file cannot be opened.
std::unique_ptr<DataSource> openDataSource(const std::string& path, const DataFileForm& form,
                                           const DataSourceLayout& layout, std::string& errorText);

} // namespace vetra::desktop
