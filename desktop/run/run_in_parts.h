// A run's range checked in parts at once: each part a contiguous run of records on a thread of
// its own, with its own metafile instance, and the parts' results joined so that they are what
// one instance checking the whole range in order writes. The first part writes straight into
// the run's database; the others write scratch databases whose rows are appended after it,
// renumbered. Halt, the switch to counts only, a failed engine call and an unreadable data
// file end the joined result where a one-instance run would have ended. One thing differs: a
// part's instance starts without the engine's record of which fields failed a single-field edit
// on the records before the part, which skip-if-failed consults until those fields' edits run
// again.
#pragma once

#include "desktop/run/deferred_messages.h"
#include "desktop/run/record_checker.h"
#include "desktop/run/results_database.h"
#include "desktop/run/run_progress.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vetra::desktop {

struct RunSettings;

// The first and last record of each of `parts` parts of the range, as even as can be.
std::vector<std::pair<std::int64_t, std::int64_t>>
splitRange(std::int64_t firstRecord, std::int64_t count, std::size_t parts);

// Where the time of one part went, in seconds from the start of the parts' threads.
struct PartTimes {
    double reached = 0;   // the data file open and its first record reached
    double finished = 0;  // its last record checked
    double processor = 0; // the processor seconds its thread took
};

struct PartsOutcome {
    int stopCode = 0; // 0, or the source line where the run stopped
    bool halted = false;
    bool dataFileUnreadable = false; // the run stopped where the data file could not be read
    RunCounters counters;            // of the records the joined results hold
    std::int64_t lastRecordChecked = 0;
    // The parts the results hold, from the first: the run ended in the last of them.
    std::size_t partsJoined = 0;
    std::vector<std::string> notices;
    DeferredMessageBoxes messages; // what the parts joined had to say, in order
    double joinSeconds = 0;
    std::vector<PartTimes> partTimes; // one per part, in order
};

class RunInParts {
public:
    // `instances` are the prepared metafile instances, one per part; `runDatabase` is the
    // open errors.db inside its transaction. `haltRequested` is asked after each look at the
    // pending events.
    RunInParts(const RAVengine& engine, const RunSettings& settings,
               const std::vector<EngineInstance>& instances,
               const IdentificationSource& identification, ResultsDatabase& runDatabase,
               RunProgress& progress, std::function<bool()> haltRequested);
    ~RunInParts();
    RunInParts(const RunInParts&) = delete;
    RunInParts& operator=(const RunInParts&) = delete;

    PartsOutcome run(bool countsOnly);

private:
    struct Part;

    void checkPart(Part& part, bool countsOnly);
    void watchParts();
    void joinResults(bool countsOnly, PartsOutcome& outcome);
    RunCounters progressCounters() const;
    double secondsSinceStart() const;

    const RAVengine& engine_;
    const RunSettings& settings_;
    const std::vector<EngineInstance>& instances_;
    const IdentificationSource& identification_;
    ResultsDatabase& runDatabase_;
    RunProgress& progress_;
    std::function<bool()> haltRequested_;
    std::vector<std::unique_ptr<Part>> parts_;
    std::atomic<bool> halt_{false};
    std::chrono::steady_clock::time_point threadsStart_;
};

} // namespace vetra::desktop
