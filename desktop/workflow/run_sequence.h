// The "Run VETRA" sequence around the run driver: the run log header, the metafile opened for
// the run, the record prepared for the chosen layout, the edit sets loaded, the run, and the
// metafile closed again. The windows and the batch command call it alike.
#pragma once

#include "desktop/run/engine_binding.h"
#include "desktop/run/run_driver.h"
#include "desktop/run/run_log.h"

#include <string>
#include <vector>

namespace vetra::desktop {

struct RunRequest {
    RunSettings settings;
    std::string layoutName;
    std::vector<std::string> editSets; // ticked, in list order; at most 30 take part
    int largestRecordLength = 0;
    bool countsOnly = false;
    std::string runLogPath;
    RunLogHeader logHeader;
};

enum class RunOutcome {
    Completed,  // the run ended and wrote its summary and run record
    NotStarted, // no layout could be prepared or no edit set loaded
    Failed,     // the run stopped; the user has been told where
};

// Edit sets beyond this number are left out of a run.
inline constexpr std::size_t kMaximumEditSets = 30;
// A run is checked in at most this many parts at once (RunSettings::jobs), each on a metafile
// instance of its own.
inline constexpr int kMaximumJobs = 256;

RunOutcome RunEdits(const RAVengine& engine, platform::MessageBoxes& messages, RunDriver& driver,
                    const RunRequest& request);

} // namespace vetra::desktop
