#include "desktop/run/run_log.h"

#include <cstdio>
#include <cstring>

namespace vetra::desktop {

bool createRunLog(const std::string& path, const RunLogStart& start) {
    std::FILE* log = std::fopen(path.c_str(), "w");
    if (log == nullptr) return false;
    std::fprintf(log, "Ravelo %s\n", start.programVersion.c_str());
    std::fprintf(log, "Compiled %s %s\n", start.compiledDate.c_str(), start.compiledTime.c_str());
    std::fprintf(log, "Vetra %s\n", start.engineVersion.c_str());
    std::fprintf(log, "Number of processors: %u\n", start.processors);
    std::fprintf(log, "Processor type: %s\n", start.processorArchitecture.c_str());
    return std::fclose(log) == 0;
}

std::string runLogProblemText(const std::string& path, int errorNumber) {
    return path + "\n\nThe run log could not be written there: " + std::strerror(errorNumber) +
           ".  Runs go on without it; the reports folder of the master configuration file "
           "decides where it is kept.";
}

bool appendRunHeader(const std::string& path, const RunLogHeader& header) {
    std::FILE* log = std::fopen(path.c_str(), "a");
    if (log == nullptr) return false;
    std::fprintf(log, "----- Run %d -----\n", header.runNumber);
    for (const std::string* line :
         {&header.metafile, &header.recordLayout, &header.editSets, &header.dataFile})
        std::fprintf(log, "%s\n", line->c_str());
    std::fprintf(log, "Record Type:%s Record Version:%s\n", header.recordType.c_str(),
                 header.recordVersion.c_str());
    std::fprintf(log, "File Size:%s Record Count:%s \n", header.fileSize.c_str(),
                 header.recordCount.c_str());
    std::fprintf(log, "Record Length:%s %s\n", header.recordLength.c_str(), "");
    std::fprintf(log, "Global Option: ");
    if (header.globalOptions & 1) std::fprintf(log, "Skip Empty ");
    if (header.globalOptions & 2) std::fprintf(log, "Skip Failed ");
    std::fprintf(log, (header.globalOptions & 128) ? "Suppress Warnings\n" : "\n");
    const std::size_t rows = header.gridRows != nullptr ? header.gridRows->size() : 0;
    std::fprintf(log, "%d Edits\n", static_cast<int>(rows));
    for (std::size_t i = 0; i < rows; ++i) {
        const auto& row = (*header.gridRows)[i];
        if (row.marked[kUseEditSetOptions]) continue;
        std::fprintf(log, "%s: %s\n", runLogLabelOfRow(row), row.editName.c_str());
    }
    return std::fclose(log) == 0;
}

} // namespace vetra::desktop
