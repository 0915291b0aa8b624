// The desktop program's whole run over a data file, for benchmarks: the metafile listed as the
// main window lists it, then RunEdits with a results folder of its own and no window.
#pragma once

#include "desktop/data/data_file_inspection.h"
#include "desktop/run/engine_binding.h"
#include "desktop/run/run_in_parts.h"
#include "desktop/run/run_progress.h"
#include "platform/message_boxes.h"

#include <string>
#include <vector>

namespace vetra::bench {

// Messages a benchmark has no one to show to go to standard error.
class StderrMessageBoxes : public platform::MessageBoxes {
public:
    platform::MessageAnswer show(const std::string& text, const std::string& caption,
                                 platform::MessageButtons buttons) override;
};

struct WholeRunSetup {
    std::string metafile, layout, data;
    std::vector<std::string> sets;
    desktop::DataFileInfo info;
};

// The length of the layout's records, which an XML file's records take.
int layoutRecordLength(const desktop::RAVengine& engine, const WholeRunSetup& setup);

// Seconds for a run over the first `count` records.
double wholeRun(const desktop::RAVengine& engine, const WholeRunSetup& setup, std::int64_t count,
                const std::string& results, desktop::RunCounters& counters);

// Which records a run checks, and in how many parts.
struct WholeRunRange {
    std::int64_t first = 1;
    std::int64_t count = 0;
    int jobs = 1;
};

struct WholeRunResult {
    double seconds = 0;
    desktop::RunCounters counters;
    double joinSeconds = 0;
    std::vector<desktop::PartTimes> partTimes;
};

WholeRunResult wholeRun(const desktop::RAVengine& engine, const WholeRunSetup& setup,
                        const WholeRunRange& range, const std::string& results);

} // namespace vetra::bench
