// The batch command's answers to what the workflow would show in a window: message boxes go
// to standard error (questions are answered No), progress is a bar on a terminal and a line
// every few seconds otherwise.
#pragma once

#include "desktop/reports/report_progress.h"
#include "desktop/reports/text_reports.h"
#include "desktop/run/run_driver.h"
#include "desktop/run/run_progress.h"
#include "platform/message_boxes.h"

#include <chrono>
#include <cstdint>

namespace vetra::desktop::batch {

class ConsoleMessageBoxes : public platform::MessageBoxes {
public:
    platform::MessageAnswer show(const std::string& text, const std::string& caption,
                                 platform::MessageButtons buttons) override;
    int shownCount() const { return shown_; }

private:
    int shown_ = 0;
};

class ConsoleProgress : public RunProgress {
public:
    ConsoleProgress();
    void start(std::int64_t maximum) override;
    void advance(std::int64_t by) override;
    void showCounters(std::int64_t shownRecord, const RunCounters& counters) override;
    // Where an interrupt (Ctrl-C) becomes the run's Halt.
    void processPendingEvents() override;
    // Ends the bar's line on a terminal.
    void finish();
    void haltOnInterrupt(RunDriver& driver) { driver_ = &driver; }

private:
    bool terminal_;
    std::int64_t maximum_ = 0;
    std::int64_t position_ = 0;
    std::chrono::steady_clock::time_point lastShown_;
    bool drawn_ = false;
    RunDriver* driver_ = nullptr;
};

// A report's progress shows nothing; an interrupt asks the report to stop.
class ConsoleReportProgress : public ReportProgress {
public:
    void start(std::int64_t) override {}
    void advance(std::int64_t) override {}
    void finish() override {}
    void processPendingEvents() override;
    void haltOnInterrupt(RAVquery& query) { query_ = &query; }

private:
    RAVquery* query_ = nullptr;
};

// The first interrupt asks the run to halt after the record in hand, so its results and run
// record are kept; a second one ends the program at once. Installing it again forgets an
// interrupt already handled.
void installInterruptHandler();

} // namespace vetra::desktop::batch
