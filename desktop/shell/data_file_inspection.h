// Inspection of a NAACCR data file before a run: its size, and from its first record the record
// type, the NAACCR version and the record length, from which the record count follows. This is
// where the data file's bytes enter the program; the run trusts the length found here.
#pragma once

#include <cstdint>
#include <string>

namespace vetra::desktop {

struct DataFileInfo {
    std::string fileName;          // the path as chosen
    char recordType = '\0';        // column 1 of the first record; '\0' when the file is empty
    std::string naaccrVersion;     // columns 17 to 19 of the first record; empty until found
    std::int64_t recordLength = 0; // the first line's length, its terminator included
    std::int64_t recordCount = 0;  // file size over record length, rounded up
    std::uint64_t fileSize = 0;
    std::string errorText; // why the last inspection failed
};

// Refills `info` from the file at `path`. Returns 0 when the file was understood, -1 otherwise
// with the reason in info.errorText.
int inspectDataFile(const std::string& path, DataFileInfo& info);

} // namespace vetra::desktop
