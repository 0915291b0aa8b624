#include "bench/whole_run.h"

#include "desktop/workflow/metafile_listing.h"
#include "desktop/workflow/metafile_session.h"
#include "desktop/workflow/run_sequence.h"

#include <chrono>
#include <cstdio>

namespace vetra::bench {

namespace {

using namespace vetra::desktop;

class NoProgress : public RunProgress {
public:
    void start(std::int64_t) override {}
    void advance(std::int64_t) override {}
    void showCounters(std::int64_t, const RunCounters&) override {}
    void processPendingEvents() override {}
};

LayoutFields listedFields(const RAVengine& engine, const WholeRunSetup& setup,
                          int& largestRecordLength) {
    StderrMessageBoxes boxes;
    MetafileSession session(engine, boxes, ""); // the sample calls no external library
    session.open(setup.metafile);
    MetafileListing listing(engine, boxes, session.mfID());
    largestRecordLength = listing.layouts().largestRecordLength;
    return listing.layoutFields(setup.layout, largestRecordLength);
}

} // namespace

platform::MessageAnswer StderrMessageBoxes::show(const std::string& text,
                                                 const std::string& caption,
                                                 platform::MessageButtons) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return platform::MessageAnswer::Ok;
}

int layoutRecordLength(const RAVengine& engine, const WholeRunSetup& setup) {
    int largest = 0;
    return listedFields(engine, setup, largest).recordLength;
}

double wholeRun(const RAVengine& engine, const WholeRunSetup& setup, std::int64_t count,
                const std::string& results, RunCounters& counters) {
    const WholeRunResult run = wholeRun(engine, setup, {1, count, 1}, results);
    counters = run.counters;
    return run.seconds;
}

WholeRunResult wholeRun(const RAVengine& engine, const WholeRunSetup& setup,
                        const WholeRunRange& range, const std::string& results) {
    StderrMessageBoxes boxes;
    NoProgress progress;
    RunRequest request;
    const auto fields = listedFields(engine, setup, request.largestRecordLength);
    request.settings.layoutFields = fields.fields;
    request.settings.layoutRecordLength = fields.recordLength;
    request.layoutName = setup.layout;
    request.editSets = setup.sets;
    auto& settings = request.settings;
    settings.metafilePath = setup.metafile;
    settings.dataFilePath = setup.data;
    settings.dataForm = setup.info.form;
    settings.recordLength = setup.info.recordLength;
    settings.recordCount = setup.info.recordCount;
    settings.firstRecord = range.first;
    settings.recordsToEdit = range.count;
    settings.jobs = range.jobs;
    settings.globalOptions = 130;
    settings.identificationFields = {"Patient ID Number", "Primary Site"};
    settings.resultsFolder = results;
    settings.programVersion = "bench";
    request.runLogPath = results + "run_log.txt";
    RunDriver driver(engine, boxes, progress);
    const auto start = std::chrono::steady_clock::now();
    RunEdits(engine, boxes, driver, request);
    WholeRunResult result;
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.counters = driver.counters();
    result.joinSeconds = driver.joinSeconds();
    result.partTimes = driver.partTimes();
    return result;
}

} // namespace vetra::bench
