// The overview report: one self-contained HTML page of a run's results, to look at rather than
// read. It holds the run record, the headline figures, the edits ranked by failures, the fields
// most often named in failed edits, the failed edits along the data file and, when the results
// folder still holds the previous run's database, each edit then and now. Charts are inline
// SVG and the one style sheet is inline too: no script, no network, no file beside it. The page
// is HTML5 that is also well-formed XML, so an XML parser can check it.
//
// The page stays small whatever the run: each table shows at most kTableRows rows and the run
// record at most kRunRecordRows, the rest counted below the table; each text from the results
// is cut after kTextCharacters characters, marked with "…".
#pragma once

#include "desktop/reports/report_inputs.h"
#include "platform/message_boxes.h"

#include <string>

namespace vetra::desktop {

struct OverviewFigures;

class overview_report {
public:
    static constexpr int kWritten = 0;
    static constexpr int kFileNotCreated = 1;
    static constexpr int kResultsUnreadable = 3;

    static constexpr std::size_t kTableRows = 500;
    static constexpr std::size_t kRunRecordRows = 100;
    static constexpr std::size_t kTextCharacters = 100;
    static constexpr std::size_t kChartBars = 25;

    explicit overview_report(platform::MessageBoxes& messages) : messages_(messages) {}

    // Writes the page into the report file name with its extension replaced by ".html".
    int write(const ReportInputs& inputs);

    // "out.rpt" -> "out.html"; a name without an extension gets one.
    static std::string overviewFileName(const std::string& reportFileName);

private:
    platform::MessageBoxes& messages_;
};

// The page of the figures; `dateText` says when it was written.
std::string overviewPage(const OverviewFigures& figures, const ReportInputs& inputs,
                         const std::string& dateText);

} // namespace vetra::desktop
