// How a run shows its progress and hears a Halt: the desktop program moves its progress bar
// and counters and lets the window process pending events; the batch command draws on the
// terminal; tests count.
#pragma once

#include <cstdint>

namespace vetra::desktop {

struct RunCounters {
    std::int64_t recordsRead = 0;
    std::int64_t exceptionRecords = 0;
    std::int64_t messagesReported = 0; // every message, shown on screen
    std::int64_t messageNumber = 0;    // messages stored in detail
    std::int64_t failedEditNumber = 0; // failed edits stored in detail
};

class RunProgress {
public:
    virtual ~RunProgress() = default;
    virtual void start(std::int64_t maximum) = 0;
    virtual void advance(std::int64_t by) = 0;
    // `shownRecord` is the number of the record just checked.
    virtual void showCounters(std::int64_t shownRecord, const RunCounters& counters) = 0;
    // Where a window handles its pending events; a Halt pressed now is seen after the record.
    virtual void processPendingEvents() = 0;
};

} // namespace vetra::desktop
