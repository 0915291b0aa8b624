// Runs of the desktop workflow against the real engine library: a small metafile written by
// the project's writer, data files of fixed-length lines in a scratch folder, the results
// folder beside them, and the results read back from errors.db with SQLite's own interface.
#pragma once

#include "desktop/run/engine_binding.h"
#include "desktop/run/run_driver.h"
#include "desktop/run/run_progress.h"
#include "desktop/workflow/run_sequence.h"
#include "tests/desktop/scripted_message_boxes.h"
#include "tests/support/scratch_directory.h"
#include "tools/metafile_writer/metafile_builder.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;

namespace vetra::testing {

struct RunTestEdit {
    std::string name;
    int messageNumber = 0;
    std::vector<long> fields;
    std::string source;
};

// The layout "Test": Code (10, columns 1-2), Registry (485, 3), Sex (220, 4), Date (390,
// 5-12), Site (400, 13-16), Name (2230, 17-96), Over-ride Site (1990, 97) and Extra (1991,
// 98). Messages: 100 "Sex %V1 at %C1 is wrong in %E", 101 "Code %V1 with registry %V2",
// 102 "Check %S1", 105 with both kinds of quote, 106 "Too many", 107 "Site needs no field".
writer::MetafileBuilder runTestMetafile(const std::vector<RunTestEdit>& edits,
                                        const std::vector<writer::EditSetDefinition>& sets);

inline constexpr int kTestRecordLength = 98; // without the line terminator

// One record of the layout, blank-padded to its length.
std::string testRecord(const std::string& code, const std::string& registry, const std::string& sex,
                       const std::string& site = "C509", const std::string& name = "",
                       const std::string& overrideSite = " ", const std::string& extra = " ");

// Counts what the run shows; when told to, asks the driver to halt at the first chance after
// the given record.
class RecordingProgress : public desktop::RunProgress {
public:
    void haltAfter(desktop::RunDriver& driver, std::int64_t record) {
        driver_ = &driver;
        haltAfter_ = record;
    }

    void start(std::int64_t maximum) override { maximum_ = maximum; }
    void advance(std::int64_t by) override { position_ += by; }
    void showCounters(std::int64_t shownRecord, const desktop::RunCounters& counters) override {
        shownRecords_.push_back(shownRecord);
        lastCounters_ = counters;
    }
    void processPendingEvents() override {
        ++pendingEventCalls_;
        if (driver_ != nullptr && !shownRecords_.empty() && shownRecords_.back() >= haltAfter_)
            driver_->HaltRequest();
    }

    std::int64_t maximum() const { return maximum_; }
    std::int64_t position() const { return position_; }
    const std::vector<std::int64_t>& shownRecords() const { return shownRecords_; }
    const desktop::RunCounters& lastCounters() const { return lastCounters_; }
    int pendingEventCalls() const { return pendingEventCalls_; }

private:
    desktop::RunDriver* driver_ = nullptr;
    std::int64_t haltAfter_ = 0;
    std::int64_t maximum_ = -1;
    std::int64_t position_ = 0;
    std::vector<std::int64_t> shownRecords_;
    desktop::RunCounters lastCounters_;
    int pendingEventCalls_ = 0;
};

using Row = std::vector<std::string>;
using Rows = std::vector<Row>;

// A results database opened read-only, as the reports open it.
class ResultsFile {
public:
    explicit ResultsFile(const std::string& path);
    ~ResultsFile();
    ResultsFile(const ResultsFile&) = delete;
    ResultsFile& operator=(const ResultsFile&) = delete;

    bool isOpen() const { return database_ != nullptr; }
    // Every row of the query, NULL shown as "<null>"; a failed query adds a failure.
    Rows rows(const std::string& query) const;
    long count(const std::string& table) const;
    // The run record as key and value, in the order written.
    std::vector<std::pair<std::string, std::string>> runRecord() const;
    std::string runRecordValue(const std::string& key) const;

private:
    sqlite3* database_ = nullptr;
};

class RunFixture : public ::testing::Test {
protected:
    RunFixture();

    std::string writeMetafile(const std::vector<RunTestEdit>& edits,
                              const std::vector<writer::EditSetDefinition>& sets,
                              const std::string& name = "run.rmf");
    // Records end in a line feed, the last one too unless `terminateLast` is false.
    std::string writeDataFile(const std::vector<std::string>& records,
                              const std::string& name = "data.txt", bool terminateLast = true);
    // A request to run the named sets over every record of the data file, with the layout's
    // fields listed from the metafile as the main window lists them.
    desktop::RunRequest request(const std::string& metafilePath, const std::string& dataPath,
                                std::int64_t recordCount, const std::vector<std::string>& sets);
    desktop::RunOutcome run(const desktop::RunRequest& request);

    std::string resultsPath(const std::string& name = "errors.db") const;
    std::vector<std::string> summaryLines() const;
    std::vector<std::string> captionsShown() const;

    ScratchDirectory scratch_;
    std::string resultsFolder_;
    desktop::RAVengine engine_;
    ScriptedMessageBoxes messages_;
    RecordingProgress progress_;
    desktop::RunDriver driver_;
};

} // namespace vetra::testing
