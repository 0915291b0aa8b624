// The desktop program's whole run over a data file, for benchmarks: the metafile listed as the
// main window lists it, then RunEdits with a results folder of its own and no window.
#pragma once

#include "desktop/run/Ravengine.h"
#include "desktop/run/run_progress.h"
#include "desktop/shell/data_file_inspection.h"
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

} // namespace vetra::bench
