// What a run leaves besides its detail rows: the summary file of per-edit counts, the run
// record (key/value rows of errors.db), and the texts both are built from.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace vetra::desktop {

class ResultsDatabase;

// One line of summary.txt.
struct summstruct {
    std::string editName;
    std::int64_t errors = 0;
    std::int64_t warnings = 0;
    std::int64_t skips = 0;
};

// Sorts by edit name compared in lower case and writes "errors,warnings,skips,name" lines.
// False when the file cannot be created.
bool writeSummaryFile(const std::string& path, std::vector<summstruct> entries);

// "%m/%d/%Y %T" in local time.
std::string runTimeText(std::time_t when);
// "00h:03m:07s", or "1d, 01h:00m:00s" for a day or more.
std::string elapsedTimeText(std::int64_t seconds);
// The underscores that show a bracketed field value's width.
std::string fieldWidthText(const std::string& bracketedValue);

// The facts a run record holds, in the order of its rows.
struct RunRecord {
    std::time_t start = 0;
    std::time_t end = 0;
    std::string programVersion;
    std::string dataFile;
    std::string recordsInFile;
    std::int64_t firstRecord = 0;
    std::int64_t lastRecord = 0;
    std::string metafile;
    std::string recordLayout;
    std::vector<std::string> editSets;
    std::int64_t processedRecords = 0;
    std::int64_t exceptionRecords = 0;
    std::int64_t storedMessages = 0;
    std::int64_t errorMessages = 0;
    std::int64_t warningMessages = 0;
    int globalOptions = 0;
    bool halted = false;
    bool countsOnlyAfterLimit = false;
};

// Writes the rows up to "Ravelo version"; the engine version comes next and may fail.
int writeRunRecordHead(ResultsDatabase& database, const RunRecord& record);
// Writes the engine version row and every row after it.
int writeRunRecordTail(ResultsDatabase& database, const RunRecord& record,
                       const std::string& engineVersion);

} // namespace vetra::desktop
