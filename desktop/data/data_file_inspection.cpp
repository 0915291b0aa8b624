#include "desktop/data/data_file_inspection.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

namespace vetra::desktop {

namespace {

constexpr char kUnableToOpen[] = "Unable to open datafile.";
constexpr char kTooShort[] = "Datafile too short to contain version number.";

// A first record longer than this is cut here; its length is then one less.
constexpr std::uint64_t kReadLimit = 200000;
constexpr std::size_t kVersionStart = 16; // columns 17 to 19, counted from 0
constexpr std::size_t kVersionLength = 3;

// Devices and pipes are refused like unreadable files: they have no size to count records by
// and reading them might never end.
std::optional<std::uint64_t> readableFileSize(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    if (!std::ifstream(path, std::ios::binary)) return std::nullopt;
    const auto size = std::filesystem::file_size(path, error);
    if (error) return std::nullopt;
    return size;
}

// The characters up to and including the first line feed, at most `limit` - 1 of them, as the
// C library's line reader takes a line into a buffer of `limit` characters.
std::optional<std::string> readFirstLine(const std::string& path, std::uint64_t limit) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string line;
    char c;
    while (line.size() + 1 < limit && file.get(c)) {
        line += c;
        if (c == '\n') break;
    }
    return line;
}

} // namespace

int inspectDataFile(const std::string& path, DataFileInfo& info, int layoutRecordLength,
                    const std::vector<XmlLayoutField>& xmlFields) {
    info = DataFileInfo{};
    info.fileName = path;

    const auto size = readableFileSize(path);
    const auto form = size ? recogniseDataFile(path) : std::nullopt;
    if (!form) {
        info.errorText = kUnableToOpen;
        return -1;
    }
    info.fileSize = *size;
    info.form = *form;
    if (form->format == DataFormat::NaaccrXml)
        return inspectXmlDataFile(path, info, layoutRecordLength, xmlFields);
    if (form->gzipped) return inspectCompressedFixedWidth(path, info);

    const auto line = readFirstLine(path, std::min(kReadLimit, *size));
    if (!line) {
        info.errorText = kUnableToOpen;
        return -1;
    }
    if (!line->empty()) info.recordType = line->front();

    int result = 0;
    if (line->size() < kVersionStart + kVersionLength) {
        info.errorText = kTooShort;
        result = -1;
    } else {
        info.naaccrVersion = line->substr(kVersionStart, kVersionLength);
    }

    // A short line still gives its length and count; the caller shows neither after a failure.
    info.recordLength = static_cast<std::int64_t>(line->size());
    if (info.recordLength > 0)
        info.recordCount = static_cast<std::int64_t>(
            std::ceil(static_cast<double>(info.fileSize) / static_cast<double>(info.recordLength)));
    return result;
}

} // namespace vetra::desktop
