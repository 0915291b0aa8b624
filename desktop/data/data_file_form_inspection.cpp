// Inspection of the data file forms that are read as a stream: gzip-compressed fixed-width
// files and NAACCR XML files. Both are read through once, block by block, to count records; an
// XML file's items are checked against the layout's fields on the way, so that a file the run
// would refuse part-way is refused before any record is checked.
#include "desktop/data/compressed_file.h"
#include "desktop/data/data_file_inspection.h"
#include "desktop/data/naaccr_xml_records.h"

#include <vector>

namespace vetra::desktop {

namespace {

constexpr std::size_t kBlock = 256 * 1024;
constexpr std::size_t kLineLimit = 200000;
constexpr std::size_t kVersionStart = 16;
constexpr std::size_t kVersionLength = 3;

std::string unreadable(const std::string& path, const std::string& why) {
    return "Unable to read datafile " + path + ": " + why;
}

} // namespace

int inspectCompressedFixedWidth(const std::string& path, DataFileInfo& info) {
    CompressedFile file(path);
    std::vector<char> block(kBlock);
    std::string firstLine;
    bool lineEnded = false;
    std::uint64_t total = 0;
    for (std::int64_t got; (got = file.read(block.data(), block.size())) != 0;) {
        if (got < 0) {
            info.errorText = unreadable(path, file.errorText());
            return -1;
        }
        for (std::int64_t i = 0; i < got && !lineEnded && firstLine.size() + 1 < kLineLimit; ++i) {
            firstLine += block[static_cast<std::size_t>(i)];
            lineEnded = block[static_cast<std::size_t>(i)] == '\n';
        }
        total += static_cast<std::uint64_t>(got);
    }
    if (!firstLine.empty()) info.recordType = firstLine.front();
    info.recordLength = static_cast<std::int64_t>(firstLine.size());
    if (info.recordLength > 0)
        info.recordCount =
            static_cast<std::int64_t>((total + static_cast<std::uint64_t>(info.recordLength) - 1) /
                                      static_cast<std::uint64_t>(info.recordLength));
    if (firstLine.size() < kVersionStart + kVersionLength) {
        info.errorText = "Datafile too short to contain version number.";
        return -1;
    }
    info.naaccrVersion = firstLine.substr(kVersionStart, kVersionLength);
    return 0;
}

int inspectXmlDataFile(const std::string& path, DataFileInfo& info, int layoutRecordLength,
                       const std::vector<XmlLayoutField>& fields) {
    CompressedFile file(path);
    NaaccrXmlRecords tumours(
        [&file](char* buffer, std::size_t capacity) { return file.read(buffer, capacity); }, fields,
        layoutRecordLength, [&file] { return file.errorText(); });
    std::int64_t count = 0;
    while (tumours.skip(1))
        ++count;
    std::string ignored;
    if (tumours.next(ignored) == NaaccrXmlRecords::Result::Error) {
        info.errorText = unreadable(path, tumours.errorText());
        return -1;
    }
    if (!tumours.recordType().empty()) info.recordType = tumours.recordType().front();
    info.naaccrVersion = tumours.naaccrVersion();
    info.recordLength = layoutRecordLength;
    info.recordCount = count;
    return 0;
}

} // namespace vetra::desktop
