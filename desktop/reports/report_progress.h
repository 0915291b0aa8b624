// How a report being written shows its progress and hears a halt: the report options dialog
// moves its progress bar and lets the window handle pending events; the batch command and
// tests supply their own.
#pragma once

#include <cstdint>

namespace vetra::desktop {

class ReportProgress {
public:
    virtual ~ReportProgress() = default;
    virtual void start(std::int64_t maximum) = 0;
    virtual void advance(std::int64_t by) = 0;
    virtual void finish() = 0; // the bar at its maximum
    // Where a window handles its pending events; a halt asked for now is seen at once.
    virtual void processPendingEvents() = 0;
};

} // namespace vetra::desktop
