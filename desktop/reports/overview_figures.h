// The figures of the overview report, read from a results folder: the run record, the headline
// counts, the counts per edit (summary.txt), the fields most often named in failed edits (one
// pass over editfields), the failed edits along the data file, and each edit's failed records
// against the previous run's database errors_1st_prev.db when the folder still holds it.
// Reading never changes a file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vetra::desktop {

using RunRecordRows = std::vector<std::pair<std::string, std::string>>;

struct HeadlineFigures {
    std::optional<long long> recordsChecked; // known only from the run record
    long long recordsWithFailures = 0;
    long long messages = 0;
    long long errors = 0;
    long long warnings = 0;
};

struct EditFigures {
    std::string name;
    long long errors = 0;
    long long warnings = 0;
    long long skips = 0;
    long long failures() const { return errors + warnings; }
};

struct CountedName {
    std::string name;
    long long count = 0;
};

// Failed edits of records grouped into equal bands of the range checked, first to last.
struct FileBands {
    long long firstRecord = 0;
    long long lastRecord = 0;
    std::vector<long long> failedEdits; // empty when the range is unknown or not plausible
    // The first record of band i.
    long long bandStart(std::size_t band) const;
};

struct EditChange {
    std::string name;
    long long now = 0;
    long long then = 0;
};

struct PreviousRun {
    RunRecordRows runRecord;
    long long failedEdits = 0;
    std::vector<EditChange> changes; // largest change first
};

struct OverviewFigures {
    static constexpr std::size_t kBands = 50;

    RunRecordRows runRecord; // empty for a run that wrote none
    HeadlineFigures headline;
    // From summary.txt; without it, each edit's failed records counted in the database, in
    // `errors`.
    bool editsFromSummary = false;
    std::vector<EditFigures> edits;  // most failures first, then by name
    std::vector<CountedName> fields; // most often named first, then by title
    long long failedEdits = 0;       // editfailures rows
    FileBands bands;
    std::optional<PreviousRun> previous;
    std::string previousError; // why errors_1st_prev.db could not be read, when it could not
};

// The value of the run record's first row with the key, if any.
const std::string* runRecordValue(const RunRecordRows& rows, const std::string& key);

// Reads the figures of the folder's errors.db, summary.txt and errors_1st_prev.db; false with
// `error` (the database's own words) when errors.db cannot be read.
bool readOverviewFigures(const std::string& resultsFolder, OverviewFigures& figures,
                         std::string& error);

} // namespace vetra::desktop
