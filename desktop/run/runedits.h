// The edit run: every chosen edit set over a range of records of the data file, each failure
// stored in the results database, then the summary file and the run record.
#pragma once

#include "desktop/run/Ravengine.h"
#include "desktop/run/data_source.h"
#include "desktop/run/results_database.h"
#include "desktop/run/run_progress.h"
#include "desktop/run/run_records.h"
#include "desktop/shell/edit_option_grid.h"
#include "desktop/shell/fld_desc.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vetra::desktop {

struct EditSetEntry {
    std::string name;
    std::int32_t handle = 0;
    std::int32_t editCount = 0;
};

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
    std::string recordLayout;
    std::string programVersion;
};

class RunDriver {
public:
    static constexpr std::int64_t kDetailMessageLimit = 250000;

    RunDriver(const RAVengine& engine, platform::MessageBoxes& messages, RunProgress& progress)
        : engine_(engine), messages_(messages), progress_(progress) {}

    // Runs the loaded edit sets over the range; 0 on success, otherwise the source line of
    // the step where the run stopped. The metafile is open, the record bound.
    int Run(const RunSettings& settings, std::int32_t mfID, std::int32_t recordHandle,
            const std::vector<EditSetEntry>& editSets, bool countsOnly);
    // Asks the running loop to stop after the record in hand.
    void HaltRequest() { halt_ = true; }
    void clearHalt() { halt_ = false; }
    bool haltRequested() const { return halt_; }

    const RunCounters& counters() const { return counters_; }
    bool messageLimitPassed() const { return limitPassed_; }

private:
    struct IdentificationField {
        std::size_t offset = 0;
        std::size_t length = 0;
    };

    int runSteps(const RunSettings& settings, std::int32_t mfID, std::int32_t recordHandle,
                 const std::vector<EditSetEntry>& editSets, bool countsOnly);
    int applyEditOptions(const std::vector<EditSetEntry>& editSets, const EditOptionList& options);
    void fillIdentificationTable(const RunSettings& settings);
    int checkRecords(const RunSettings& settings, DataSource& data, bool countsOnly);
    int checkRecord(std::int64_t recordNumber, std::size_t length, bool& countsOnly);
    void copyIdentificationValues(std::size_t recordLength);
    int storeFailures(std::int64_t recordNumber, std::int32_t count);
    int storeFailedEdit(std::int64_t recordNumber, std::int32_t editSet, std::int32_t editIndex);
    int reportInsertFailure(int line);
    int writeSummary(RunRecord& record);
    int writeRunRecord(RunRecord& record);
    int fail(std::int32_t status, const char* label, int line);

    const RAVengine& engine_;
    platform::MessageBoxes& messages_;
    RunProgress& progress_;
    bool halt_ = false;
    bool limitPassed_ = false;
    RunCounters counters_;

    // The state of one run, reused from record to record so the loop allocates nothing.
    std::int32_t mfID_ = -1;
    std::int32_t recordHandle_ = 0;
    int globalOptions_ = 0;
    const std::vector<EditSetEntry>* editSets_ = nullptr;
    std::string resultsFolder_;
    std::vector<char> record_;
    std::vector<IdentificationField> identificationTable_;
    std::vector<std::string> identificationNames_;
    IdentificationPairs identificationPairs_;
    ResultsDatabase database_;
    std::string editName_, fieldTitle_, fieldValue_, fieldWidth_, messageText_;
};

} // namespace vetra::desktop
