// RAVquery, the text reports of a run, built from errors.db and summary.txt: the detailed report
// (every failing record with its identification fields, failed edits, messages and fields), the
// summary report (one line of counts per edit) and the combined report (the summary, then the
// detailed report, in one file). Pages are separated by form feeds and begin with a title
// block, for printing on fixed-pitch paper.
#pragma once

#include "desktop/reports/report_inputs.h"
#include "desktop/reports/report_progress.h"
#include "platform/message_boxes.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vetra::desktop {

class ResultsReader;

class RAVquery {
public:
    // What the detailed and combined reports return.
    static constexpr int kWritten = 0;
    static constexpr int kFileNotCreated = 1;
    static constexpr int kStopped = 2;
    static constexpr int kResultsUnreadable = 3;
    // What the summary report returns when it could not be written.
    static constexpr int kSummaryFailed = -1;

    RAVquery(platform::MessageBoxes& messages, ReportProgress& progress);
    ~RAVquery();
    RAVquery(const RAVquery&) = delete;
    RAVquery& operator=(const RAVquery&) = delete;

    // `continuing` when the report is the second half of a combined report: the file is open
    // and has its cover page.
    int detailedReport(const ReportInputs& inputs, bool continuing = false);
    // Returns the page number reached; with `combined` the file stays open for the detailed
    // part.
    int summaryReport(const ReportInputs& inputs, bool combined = false);
    int combinedReport(const ReportInputs& inputs);

    // Asks the report being written to stop; it asks the user to confirm when it next
    // handles pending events.
    void requestHalt() { haltRequested_ = true; }
    bool haltRequested() const { return haltRequested_; }

    // Today's date as the user's locale writes it short, taken when the object was made.
    const std::string& dateText() const { return dateText_; }

private:
    class DetailedWriter;

    bool createReportFile(const std::string& path);
    void closeReportFile();
    void buildTitleBlock(const std::string& title, const std::string& subtitle);
    void writeCoverPage(ResultsReader* results);
    void writeSummaryPageHead(int page);
    bool readSummaryEntries(const std::string& path);

    platform::MessageBoxes& messages_;
    ReportProgress& progress_;
    std::string dateText_;
    std::FILE* output_ = nullptr;
    std::vector<std::string> titleBlock_;
    bool haltRequested_ = false;

    struct SummaryEntry {
        long errors = 0;
        long warnings = 0;
        long skips = 0;
        std::string editName;
    };
    std::vector<SummaryEntry> summary_;
};

} // namespace vetra::desktop
