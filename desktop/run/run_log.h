// The run log run_log.txt in the reports folder: started afresh when the program starts, and
// given a header by every run.
#pragma once

#include "desktop/run/edit_options.h"

#include <string>
#include <vector>

namespace vetra::desktop {

struct RunLogStart {
    std::string programVersion;
    std::string compiledDate; // the program's build date and time
    std::string compiledTime;
    std::string engineVersion;
    unsigned processors = 0;
    std::string processorArchitecture; // "x86_64", "aarch64", ...: the machine's own name
};

// What a run's header shows, as the "Select File and Run" tab shows it.
struct RunLogHeader {
    int runNumber = 0; // counted from 1 since the program started
    std::string metafile;
    std::string recordLayout;
    std::string editSets;
    std::string dataFile;
    std::string recordType;
    std::string recordVersion;
    std::string fileSize;
    std::string recordCount;
    std::string recordLength;
    int globalOptions = 0;
    const std::vector<EditOptionRow>* gridRows = nullptr;
};

// Creates the log empty with the program's lines; false when it cannot be created.
bool createRunLog(const std::string& path, const RunLogStart& start);
// The message that the log at `path` could not be written, with the system's reason (an errno
// value) and what happens next.
std::string runLogProblemText(const std::string& path, int errorNumber);

// Appends a run's header; false when the log cannot be opened, with errno telling why.
bool appendRunHeader(const std::string& path, const RunLogHeader& header);

} // namespace vetra::desktop
