// RunDriver, the edit run: every chosen edit set over a range of records of the data file, each
// failure stored in the results database, then the summary file and the run record.
#pragma once

#include "desktop/data/data_source.h"
#include "desktop/data/field_description.h"
#include "desktop/run/edit_options.h"
#include "desktop/run/engine_binding.h"
#include "desktop/run/record_checker.h"
#include "desktop/run/results_database.h"
#include "desktop/run/run_in_parts.h"
#include "desktop/run/run_progress.h"
#include "desktop/run/run_records.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vetra::desktop {

// After more messages than this the run keeps counts only.
inline constexpr std::int64_t kDetailMessageLimit = 250000;

// What a run takes from the main window.
struct RunSettings {
    std::string dataFilePath;
    DataFileForm dataForm;         // fixed-width or NAACCR XML, plain or gzipped
    std::int64_t recordLength = 0; // of the data file, line terminator included
    std::int64_t recordCount = 0;  // of the data file, as the inspection counted it
    std::int64_t firstRecord = 1;  // counted from 1
    std::int64_t recordsToEdit = 0;
    int globalOptions = 0; // 1 Skip Empty, 2 Skip Failed, 128 Suppress Warnings
    EditOptionList editOptions;
    std::vector<std::string> identificationFields; // at most 10
    LayoutFieldList layoutFields;
    int layoutRecordLength = 0;
    std::string resultsFolder; // ends with a separator
    std::string metafilePath;
    // The folders edit logic may load external libraries from, absolute and separated by
    // ':'; empty allows none. Every instance of the run is opened with them.
    std::string externalLibraryFolders;
    std::string recordLayout;
    std::string programVersion;
    // How many parts of the range are checked at once, each on a metafile instance of its
    // own; the results are the same for any number.
    int jobs = 1;
    // The programs always keep the quarter million; tests of the switch lower it.
    std::int64_t detailMessageLimit = kDetailMessageLimit;
};

class RunDriver {
public:
    static constexpr std::int64_t kDetailMessageLimit = desktop::kDetailMessageLimit;

    RunDriver(const RAVengine& engine, platform::MessageBoxes& messages, RunProgress& progress)
        : engine_(engine), messages_(messages), progress_(progress) {}

    // Runs the loaded edit sets over the range; 0 on success, otherwise the source line of
    // the step where the run stopped. The metafile is open, the record bound.
    int Run(const RunSettings& settings, std::int32_t mfID, std::int32_t recordHandle,
            const std::vector<EditSetEntry>& editSets, bool countsOnly);
    // As Run, with the range checked in as many parts as there are instances, one on each.
    int Run(const RunSettings& settings, const std::vector<EngineInstance>& instances,
            bool countsOnly);
    // Asks the running loop to stop after the record in hand.
    void HaltRequest() { halt_ = true; }
    void clearHalt() { halt_ = false; }
    bool haltRequested() const { return halt_; }

    const RunCounters& counters() const { return counters_; }
    bool messageLimitPassed() const { return limitPassed_; }
    // Whether the last run stopped because the data file could not be read on (a damaged
    // compressed file, an XML file that breaks its rules past the inspection).
    bool dataFileUnreadable() const { return dataFileUnreadable_; }
    // How long joining the parts' results took in the last run (0 for a run in one part).
    double joinSeconds() const { return joinSeconds_; }
    // Where each part's time went in the last run (empty for a run in one part).
    const std::vector<PartTimes>& partTimes() const { return partTimes_; }

private:
    int runSteps(const RunSettings& settings, const std::vector<EngineInstance>& instances,
                 bool countsOnly);
    int applyEditOptions(const EngineInstance& instance, const EditOptionList& options);
    int checkRecords(const RunSettings& settings, const EngineInstance& instance, bool countsOnly,
                     std::vector<std::string>& notices);
    int checkInParts(const RunSettings& settings, const std::vector<EngineInstance>& instances,
                     bool countsOnly, std::vector<std::string>& notices, std::size_t& partsJoined);
    int writeSummary(const std::string& resultsFolder, RunRecord& record,
                     const std::vector<EngineInstance>& instances);
    int writeRunRecord(RunRecord& record);
    int reportDatabaseFailure(int line);
    int fail(std::int32_t status, const char* label, int line);

    const RAVengine& engine_;
    platform::MessageBoxes& messages_;
    RunProgress& progress_;
    bool halt_ = false;
    bool limitPassed_ = false;
    bool dataFileUnreadable_ = false;
    RunCounters counters_;
    double joinSeconds_ = 0;
    std::vector<PartTimes> partTimes_;
    IdentificationSource identification_;
    ResultsDatabase database_;
};

} // namespace vetra::desktop
