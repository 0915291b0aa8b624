// The batch command's arguments: each one overrides what the configuration file gives.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vetra::desktop::batch {

struct BatchOptions {
    std::optional<std::string> configFile;
    std::optional<std::string> metafile;
    std::optional<std::string> layout;
    std::vector<std::string> editSets;
    std::string dataFile;
    std::optional<std::int64_t> firstRecord;
    std::optional<std::int64_t> recordCount;
    std::optional<bool> skipEmpty;
    std::optional<bool> skipFailed;
    std::optional<bool> suppressWarnings;
    std::vector<std::string> identificationFields;
    bool countsOnly = false;
    std::optional<std::string> resultsFolder;
    // Reports: each style at most once, in the order given.
    std::vector<std::string> reports; // "detailed", "summary", "combined", "csv", "overview"
    std::optional<std::string> reportFile;
    std::optional<std::string> title;
    std::optional<std::string> subtitle;
    int linesPerPage = 52;
    int pageMode = 3; // 1 every record, 2 every edit, 3 page filled
    std::vector<std::string> sortFields;
    bool keepZeroCounts = false;
    // Parts of the range checked at once; none given means one per processor.
    std::optional<int> jobs;
    // The folders edit logic may load external libraries from, each absolute; none given means
    // the master configuration's.
    std::vector<std::string> externalLibraryFolders;
    bool help = false;
    bool version = false;
};

// Parses the arguments after the program name; on a usage error returns nothing and sets
// `error` to a message naming the problem.
std::optional<BatchOptions> parseBatchOptions(int argc, const char* const* argv,
                                              std::string& error);

extern const char* const kBatchUsage;

} // namespace vetra::desktop::batch
