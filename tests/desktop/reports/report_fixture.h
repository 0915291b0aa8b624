// Reports built from the results of real runs: small metafiles written by the project's writer,
// run over data files with the real engine library, then read by RAVquery and csv_report. Each
// report style and page mode is compared whole with a file written by hand (report_files_test);
// the pieces here serve the tests of particular cases (sort orders, page breaks, halts).
#pragma once

#include "desktop/reports/csv_report.h"
#include "desktop/reports/report_progress.h"
#include "desktop/reports/text_reports.h"
#include "tests/desktop/run/run_fixture.h"
#include "tests/support/file_contents.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vetra::testing {

// Sets by name: "Main" holds "Sex Check" (fails on sex F), "Two Messages" (two messages and
// three fields on code AB) and "No Fields" (fails on site C999); "Second" holds "Sex Check"
// again; "Quoting" holds an edit whose name and message hold quotes, commas and a line end.
std::string writeReportMetafile(const ScratchDirectory& scratch);

// Follows a report's progress bar; asks the report to halt while it handles pending events for
// the n-th time.
class RecordingReportProgress : public desktop::ReportProgress {
public:
    void haltAt(desktop::RAVquery& query, int pendingEventsCall) {
        query_ = &query;
        haltAt_ = pendingEventsCall;
    }

    void start(std::int64_t maximum) override {
        maximum_ = maximum;
        position_ = 0;
    }
    void advance(std::int64_t by) override { position_ += by; }
    void finish() override { position_ = maximum_; }
    void processPendingEvents() override {
        if (++pendingEventCalls_ == haltAt_ && query_ != nullptr) query_->requestHalt();
    }

    std::int64_t maximum() const { return maximum_; }
    std::int64_t position() const { return position_; }
    int pendingEventCalls() const { return pendingEventCalls_; }

private:
    desktop::RAVquery* query_ = nullptr;
    int haltAt_ = 0;
    std::int64_t maximum_ = -1;
    std::int64_t position_ = 0;
    int pendingEventCalls_ = 0;
};

using RunRecordRows = std::vector<std::pair<std::string, std::string>>;

// printf into a string, for building expected report text from the report's own formats.
std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

using vetra::testing::fileContents;

// Pieces of a text report.
inline const std::string kUnderline = std::string(72, '_') + "\n";
inline const std::string kDashLine = std::string(72, '-') + "\n";
inline const std::string kEndOfReport = "\f*** END OF REPORT ***\f";

std::string coverPage(const std::string& title, const std::string& subtitle,
                      const std::string& date, const RunRecordRows& rows);
std::string firstTitleBlock(const std::string& title, const std::string& subtitle,
                            const std::string& date);
std::string laterTitleBlock(const std::string& title, const std::string& subtitle, int page,
                            const std::string& date);
// "#n", one line per identification pair, the dash line.
std::string recordHead(std::int64_t recordNumber, const RunRecordRows& identification = {});
// "  Edit:", its messages (type, text), its fields (title, value), the dash line.
std::string failedEdit(const std::string& name, const RunRecordRows& messages,
                       const RunRecordRows& fields);
// The summary report's page head, page 1 or later.
std::string summaryPageHead(const std::string& title, const std::string& subtitle, int page);
std::string summaryRow(const std::string& name, long errors, long warnings, long skips);

// What the reports print for the edits of the report metafile on one record.
std::string sexCheckFailure();                          // sex F
std::string twoMessagesFailure(const std::string& sex); // code AB, registry 1
inline constexpr const char* kQuotingEdit = "The \"Name, Please\" Edit";

// The bytes and the modification time of a file, to show that reading it changed neither.
struct FileStamp {
    std::string bytes;
    std::filesystem::file_time_type modified;
    bool operator==(const FileStamp&) const = default;
};
FileStamp stampOf(const std::filesystem::path& path);

class ReportFixture : public RunFixture {
protected:
    // Runs the named sets of the report metafile over the records, with the identification
    // fields given; the run must complete.
    void runReportEdits(const std::vector<std::string>& records,
                        const std::vector<std::string>& sets,
                        const std::vector<std::string>& identificationFields = {});

    // The report options for the last run: its identification fields selected, report.rpt in
    // the scratch folder.
    desktop::ReportInputs inputs(const std::string& title = "Test Report",
                                 const std::string& subtitle = "") const;
    std::string reportPath() const { return (scratch_.path() / "report.rpt").string(); }
    std::string reportText() const { return fileContents(reportPath()); }
    std::string csvText() const { return fileContents(scratch_.path() / "report.csv"); }
    RunRecordRows runRecord() const { return ResultsFile(resultsPath()).runRecord(); }
    const std::string& date() const { return query_.dateText(); }
    void writeSummaryFile(const std::string& contents) const;

    std::vector<std::string> identificationFields_;
    ScriptedMessageBoxes reportMessages_;
    RecordingReportProgress reportProgress_;
    desktop::RAVquery query_{reportMessages_, reportProgress_};
    desktop::csv_report csv_{reportMessages_, reportProgress_};
};

} // namespace vetra::testing
