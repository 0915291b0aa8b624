// The batch command's answers to what the workflow would show in a window: message boxes go
// to standard error (questions are answered No), progress is a bar on a terminal and a line
// every few seconds otherwise.
#pragma once

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
    void processPendingEvents() override {}
    // Ends the bar's line on a terminal.
    void finish();

private:
    bool terminal_;
    std::int64_t maximum_ = 0;
    std::int64_t position_ = 0;
    std::chrono::steady_clock::time_point lastShown_;
    bool drawn_ = false;
};

} // namespace vetra::desktop::batch
