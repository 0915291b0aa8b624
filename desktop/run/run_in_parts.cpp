#include "desktop/run/run_in_parts.h"

#include "desktop/data/data_source.h"
#include "desktop/run/run_driver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

namespace vetra::desktop {

namespace {

constexpr int kHaltStep = 11;
constexpr auto kWatchInterval = std::chrono::milliseconds(25);

} // namespace

struct RunInParts::Part {
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::string scratchPath; // empty for the first part, which writes into errors.db
    ResultsDatabase scratch;
    DeferredMessageBoxes messages;
    std::unique_ptr<RecordChecker> checker;
    int stopCode = 0;
    bool halted = false;
    bool dataFileUnreadable = false;
    std::int64_t lastRecord = 0;
    std::vector<std::string> notices;
    // Published after every record for the progress display.
    std::atomic<std::int64_t> recordsRead{0};
    std::atomic<std::int64_t> exceptionRecords{0};
    std::atomic<std::int64_t> messagesReported{0};
    std::atomic<bool> finished{false};
    PartTimes times;
};

std::vector<std::pair<std::int64_t, std::int64_t>>
splitRange(std::int64_t firstRecord, std::int64_t count, std::size_t parts) {
    std::vector<std::pair<std::int64_t, std::int64_t>> ranges;
    const auto n = static_cast<std::int64_t>(std::max<std::size_t>(parts, 1));
    std::int64_t next = firstRecord;
    for (std::int64_t k = 0; k < n; ++k) {
        const std::int64_t size = count / n + (k < count % n ? 1 : 0);
        ranges.emplace_back(next, next + size - 1);
        next += size;
    }
    return ranges;
}

RunInParts::RunInParts(const RAVengine& engine, const RunSettings& settings,
                       const std::vector<EngineInstance>& instances,
                       const IdentificationSource& identification, ResultsDatabase& runDatabase,
                       RunProgress& progress, std::function<bool()> haltRequested)
    : engine_(engine), settings_(settings), instances_(instances), identification_(identification),
      runDatabase_(runDatabase), progress_(progress), haltRequested_(std::move(haltRequested)) {}

RunInParts::~RunInParts() {
    for (auto& part : parts_) {
        part->scratch.close();
        if (!part->scratchPath.empty()) std::remove(part->scratchPath.c_str());
    }
}

PartsOutcome RunInParts::run(bool countsOnly) {
    PartsOutcome outcome;
    const auto capacity = static_cast<std::size_t>(
        std::max<std::int64_t>(settings_.layoutRecordLength + 10, settings_.recordLength));
    const auto ranges =
        splitRange(settings_.firstRecord, settings_.recordsToEdit, instances_.size());
    for (std::size_t k = 0; k < ranges.size(); ++k) {
        auto part = std::make_unique<Part>();
        part->first = ranges[k].first;
        part->last = ranges[k].second;
        ResultsDatabase* database = &runDatabase_;
        if (k > 0) {
            part->scratchPath = ResultsDatabase::databasePath(settings_.resultsFolder) + ".part" +
                                std::to_string(k + 1);
            if (part->scratch.createScratch(part->scratchPath) != 0) {
                outcome.messages.show(part->scratch.errorText(),
                                      "Unable to create the results database",
                                      platform::MessageButtons::Ok);
                outcome.stopCode = __LINE__;
                return outcome;
            }
            database = &part->scratch;
        }
        part->checker = std::make_unique<RecordChecker>(engine_, part->messages, instances_[k],
                                                        settings_.globalOptions, identification_,
                                                        capacity, *database);
        parts_.push_back(std::move(part));
    }
    threadsStart_ = std::chrono::steady_clock::now();
    {
        std::vector<std::jthread> threads;
        for (auto& part : parts_)
            threads.emplace_back([this, &part, countsOnly] { checkPart(*part, countsOnly); });
        watchParts();
    }
    const double joinStart = secondsSinceStart();
    joinResults(countsOnly, outcome);
    outcome.joinSeconds = secondsSinceStart() - joinStart;
    for (const auto& part : parts_)
        outcome.partTimes.push_back(part->times);
    return outcome;
}

// The same loop as a one-instance run's over the part's records: the data file read from its
// start (a compressed or XML file has no other way to reach a record), the switch to counts
// only once this part alone has passed the limit (the whole run has passed it by then too),
// and a Halt seen at the records where a one-instance run looks for it.
void RunInParts::checkPart(Part& part, bool countsOnly) {
    std::string openError;
    const auto data = openDataSource(settings_.dataFilePath, settings_.dataForm,
                                     {settings_.recordLength, settings_.layoutRecordLength,
                                      xmlLayoutFields(settings_.layoutFields)},
                                     openError);
    if (!data) {
        part.messages.show("Unable to open datafile " + settings_.dataFilePath, "",
                           platform::MessageButtons::Ok);
        part.stopCode = __LINE__;
        part.finished = true;
        return;
    }
    if (part.first > 1) data->skip(part.first - 1);
    part.times.reached = secondsSinceStart();
    RecordChecker& checker = *part.checker;
    for (std::int64_t r = part.first; r <= part.last; ++r) {
        const std::int64_t got = data->next(checker.record(), checker.capacity());
        if (got < 0) {
            part.messages.show("The data file " + settings_.dataFilePath +
                                   " cannot be read at record " + std::to_string(r) + ": " +
                                   data->errorText(),
                               "Data File Error", platform::MessageButtons::Ok);
            part.stopCode = __LINE__;
            part.dataFileUnreadable = true;
            break;
        }
        if (got == 0) break;
        part.lastRecord = r;
        part.stopCode = checker.check(r, static_cast<std::size_t>(got), countsOnly);
        const RunCounters& counters = checker.counters();
        part.recordsRead = counters.recordsRead;
        part.exceptionRecords = counters.exceptionRecords;
        part.messagesReported = counters.messagesReported;
        if (part.stopCode != 0) break;
        if (counters.messagesReported > settings_.detailMessageLimit) countsOnly = true;
        if (r % kHaltStep == 0 && halt_) {
            part.halted = true;
            break;
        }
    }
    if (part.stopCode == 0) part.notices = data->notices();
    part.times.finished = secondsSinceStart();
    timespec used{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used) == 0)
        part.times.processor =
            static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
    part.finished = true;
}

double RunInParts::secondsSinceStart() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - threadsStart_).count();
}

RunCounters RunInParts::progressCounters() const {
    RunCounters sum;
    for (const auto& part : parts_) {
        sum.recordsRead += part->recordsRead;
        sum.exceptionRecords += part->exceptionRecords;
        sum.messagesReported += part->messagesReported;
    }
    return sum;
}

// The progress display counts the records of every part; a Halt is passed on to them all.
void RunInParts::watchParts() {
    std::int64_t shown = 0;
    for (;;) {
        const bool allFinished = std::all_of(
            parts_.begin(), parts_.end(), [](const auto& part) { return part->finished.load(); });
        const RunCounters counters = progressCounters();
        progress_.advance(counters.recordsRead - shown);
        shown = counters.recordsRead;
        progress_.showCounters(settings_.firstRecord - 1 + shown, counters);
        if (allFinished) return;
        progress_.processPendingEvents();
        if (haltRequested_()) halt_ = true;
        std::this_thread::sleep_for(kWatchInterval);
    }
}

// The results end in the first part that did not finish its range (halted, failed or stopped
// by the data file); later parts' work is dropped, as a one-instance run never reached it.
void RunInParts::joinResults(bool countsOnly, PartsOutcome& outcome) {
    for (const auto& part : parts_) {
        ++outcome.partsJoined;
        const RunCounters& counters = part->checker->counters();
        outcome.counters.recordsRead += counters.recordsRead;
        outcome.counters.exceptionRecords += counters.exceptionRecords;
        if (part->lastRecord != 0) outcome.lastRecordChecked = part->lastRecord;
        if (part->stopCode != 0 || part->halted) break;
    }
    const Part& last = *parts_[outcome.partsJoined - 1];
    outcome.stopCode = last.stopCode;
    outcome.halted = last.halted;
    outcome.dataFileUnreadable = last.dataFileUnreadable;
    outcome.notices = last.notices;
    if (outcome.lastRecordChecked == 0) outcome.lastRecordChecked = settings_.firstRecord - 1;
    for (std::size_t k = 0; k < outcome.partsJoined; ++k)
        parts_[k]->messages.showNow(outcome.messages);

    const RunCounters& first = parts_[0]->checker->counters();
    std::int64_t failedEdits = first.failedEditNumber;
    std::int64_t messages = first.messageNumber;
    std::int64_t reported = first.messagesReported;
    for (std::size_t k = 1; k < outcome.partsJoined; ++k) {
        Part& part = *parts_[k];
        if (!countsOnly && reported <= settings_.detailMessageLimit) {
            const std::int64_t lastStored =
                part.scratch.lastRecordWithinLimit(reported, settings_.detailMessageLimit);
            part.scratch.close();
            ResultsDatabase::AppendedRows appended;
            if (runDatabase_.appendPart(part.scratchPath, lastStored, failedEdits, messages,
                                        appended) != 0) {
                outcome.messages.show(runDatabase_.errorText(), "errmsg not NULL",
                                      platform::MessageButtons::Ok);
                outcome.stopCode = __LINE__;
                break;
            }
            failedEdits += appended.failedEdits;
            messages += appended.messages;
        }
        reported += part.checker->counters().messagesReported;
    }
    outcome.counters.messagesReported = reported;
    outcome.counters.failedEditNumber = failedEdits;
    outcome.counters.messageNumber = messages;
}

} // namespace vetra::desktop
