// One engine instance checking records: each record handed to the engine, every chosen edit
// set run on it, and each message the engine produces stored as rows of a results database
// (unless only counts are kept). A run uses one checker; a run in parts uses one per part, each
// with its own metafile instance and database, so checkers never share state.
#pragma once

#include "desktop/data/field_description.h"
#include "desktop/run/engine_binding.h"
#include "desktop/run/results_database.h"
#include "desktop/run/run_progress.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vetra::desktop {

struct EditSetEntry {
    std::string name;
    std::int32_t handle = 0;
    std::int32_t editCount = 0;
};

// An open metafile instance prepared for a run: the record bound to the layout and the edit
// sets loaded, in list order.
struct EngineInstance {
    std::int32_t mfID = -1;
    std::int32_t recordHandle = 0;
    std::vector<EditSetEntry> editSets;
};

// Where the identification values of a failing record come from.
struct IdentificationSource {
    std::vector<std::string> names; // the field names, at most 55 characters
    std::vector<std::size_t> offsets;
    std::vector<std::size_t> lengths;
};

// At most 10 of the selected names, each looked up in the layout; a name the layout lacks
// leaves its entry unfilled (no name and no value).
IdentificationSource identificationSource(const std::vector<std::string>& selected,
                                          const LayoutFieldList& layoutFields);

class RecordChecker {
public:
    RecordChecker(const RAVengine& engine, platform::MessageBoxes& messages,
                  const EngineInstance& instance, int globalOptions,
                  const IdentificationSource& identification, std::size_t recordCapacity,
                  ResultsDatabase& database);

    // The buffer a record is read into, NUL-terminated by check().
    char* record() { return record_.data(); }
    std::size_t capacity() const { return record_.size() - 1; }

    // Checks the `length` characters in record() as record `recordNumber`; 0 when done,
    // otherwise the source line where it stopped (the user has been told why).
    int check(std::int64_t recordNumber, std::size_t length, bool countsOnly);

    const RunCounters& counters() const { return counters_; }

private:
    void copyIdentificationValues(std::size_t recordLength);
    int storeFailures(std::int64_t recordNumber, std::int32_t count);
    int storeFailedEdit(std::int64_t recordNumber, std::int32_t editSet, std::int32_t editIndex);
    int storeField(std::int32_t editSet, std::int32_t editIndex, std::int32_t field);
    int reportInsertFailure(int line);
    int fail(std::int32_t status, const char* label, int line);

    const RAVengine& engine_;
    platform::MessageBoxes& messages_;
    const EngineInstance& instance_;
    int globalOptions_;
    const IdentificationSource& identification_;
    ResultsDatabase& database_;
    RunCounters counters_;
    // Reused from record to record, so checking allocates nothing.
    std::vector<char> record_;
    IdentificationPairs identificationPairs_;
    std::string editName_, fieldTitle_, fieldValue_, fieldWidth_, messageText_;
};

} // namespace vetra::desktop
