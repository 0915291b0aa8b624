// MainWorkflow, the "Select File and Run" tab: the data file and its fit to the layout, the
// range of records, and the run with its Halt.
#include "desktop/data/data_file_fit.h"
#include "desktop/data/open_data_file.h"
#include "desktop/run/edit_option_codes.h"
#include "desktop/workflow/main_workflow.h"
#include "desktop/workflow/program_version.h"
#include "platform/file_services.h"

namespace vetra::desktop {

bool MainWorkflow::setStartRecord(const std::string& text) {
    RangeFields fields = range_;
    fields.start = text;
    const auto corrected = startChanged(fields, dataFile_.recordCount);
    if (!corrected) {
        messages_.show(conversionErrorText(text), "");
        return false;
    }
    range_ = *corrected;
    return true;
}

bool MainWorkflow::setRecordsToEdit(const std::string& text) {
    RangeFields fields = range_;
    fields.count = text;
    const auto corrected = countChanged(fields, dataFile_.recordCount);
    if (!corrected) {
        messages_.show(conversionErrorText(text), "");
        return false;
    }
    range_ = *corrected;
    return true;
}

// Cancelling the dialog changes nothing: the file chosen before stays chosen.
void MainWorkflow::chooseDataFile(const std::string& path) {
    if (path.empty()) return;
    counters_ = {};
    haltText_.clear();
    master_.dataFolder = platform::folderOf(path);
    dataFileName_ = path;
    if (platform::fileExists(path)) { // a missing file leaves the range fields as they were
        range_.start = "1";
        rangeEnabled_ = false;
    }
    DataFileInfo inspected = dataFile_;
    dataFileFits_ = false;
    if (openDataFile(path, messages_, inspected, fileDateText_, layoutRecordLength_,
                     xmlLayoutFields(layoutFields_)) == 0) {
        dataFile_ = inspected;
        range_ = {"1", std::to_string(dataFile_.recordCount)};
        rangeEnabled_ = true;
        checkDataFileFit(true);
    }
    if (platform::folderExists(platform::folderOf(reportFileName_)) && platform::fileExists(path))
        reportFileName_ = proposedReportFileName(reportFileName_, path);
    dataFileChosen_ = true;
}

// The file the information describes is the one chosen only after a successful inspection.
void MainWorkflow::checkDataFileFit(bool tellWhenItDoesNot) {
    const bool wasFitting = dataFileFits_;
    dataFileFits_ = false;
    if (dataFileName_.empty() || dataFile_.fileName != dataFileName_) return;
    const auto ticked = layouts_.tickedNames();
    const auto misfit = dataFileMisfit(dataFile_, ticked.empty() ? std::string() : ticked.front(),
                                       layoutChosen_ ? layoutRecordLength_ : 0, layoutFields_);
    dataFileFits_ = !misfit;
    if (misfit && (tellWhenItDoesNot || wasFitting))
        messages_.show(*misfit, "Problem With Data File");
}

RunRequest MainWorkflow::runRequest() {
    RunRequest request;
    auto& settings = request.settings;
    settings.dataFilePath = dataFileName_;
    settings.dataForm = dataFile_.form;
    settings.recordLength = dataFile_.recordLength;
    settings.recordCount = dataFile_.recordCount;
    settings.firstRecord = std::stoll(range_.start);
    settings.recordsToEdit = std::stoll(range_.count);
    settings.globalOptions = globalOptions();
    settings.editOptions = editOptions_;
    settings.identificationFields = fields_.selected();
    settings.layoutFields = layoutFields_;
    settings.layoutRecordLength = layoutRecordLength_;
    settings.resultsFolder = master_.resultsFolder;
    settings.metafilePath = metafilePath_;
    settings.externalLibraryFolders = master_.externalLibraryFolders;
    settings.recordLayout = recordLayoutShown_;
    settings.programVersion = kProgramVersion;
    const auto ticked = layouts_.tickedNames();
    request.layoutName = ticked.empty() ? std::string() : ticked.front();
    request.editSets = editSets_.tickedNames();
    request.largestRecordLength = largestRecordLength_;
    request.countsOnly = countsOnly_;
    request.runLogPath = master_.reportsFolder + "run_log.txt";
    auto& log = request.logHeader;
    log.runNumber = ++runNumber_;
    log.metafile = metafileShown_;
    log.recordLayout = recordLayoutShown_;
    log.editSets = editSetsShown_;
    log.dataFile = dataFileName_;
    log.recordType = dataFile_.recordType == '\0' ? "" : std::string(1, dataFile_.recordType);
    log.recordVersion = dataFile_.naaccrVersion;
    log.fileSize = std::to_string(dataFile_.fileSize);
    log.recordCount = std::to_string(dataFile_.recordCount);
    log.recordLength = std::to_string(dataFile_.recordLength);
    log.globalOptions = settings.globalOptions;
    log.gridRows = &grid_.rows();
    return request;
}

RunOutcome MainWorkflow::runEdits(RunProgress& progress) {
    if (!runEnabled() || runInProgress_) return RunOutcome::NotStarted;
    RunRequest request = runRequest();
    RunDriver driver(engine_, messages_, progress);
    runInProgress_ = true;
    runningDriver_ = &driver;
    haltRequested_ = false;
    haltText_.clear();
    // The rotation of errors.db begins with the run: from here until the run completes there
    // are no results of this run to report, and the previous run's are no longer current.
    resultsOfLastRun_ = false;
    // Whatever happens, the run is over when this returns: the window shows a failure's text
    // and lets the user go on.
    struct RunEnd {
        MainWorkflow& workflow;
        const RunDriver& driver;
        ~RunEnd() {
            workflow.counters_ = driver.counters();
            workflow.runningDriver_ = nullptr;
            workflow.runInProgress_ = false;
        }
    };
    RunOutcome outcome = RunOutcome::NotStarted;
    {
        const RunEnd runEnd{*this, driver};
        outcome = RunEdits(engine_, messages_, driver, request);
    }
    resultsOfLastRun_ = outcome == RunOutcome::Completed;
    if (resultsOfLastRun_ && haltRequested_ &&
        counters_.recordsRead < request.settings.recordsToEdit)
        haltText_ = "Run halted at record " + std::to_string(counters_.recordsRead) + " of " +
                    std::to_string(request.settings.recordsToEdit) +
                    "; the records checked so far are in the results";
    return outcome;
}

void MainWorkflow::haltRequest() {
    if (runningDriver_ == nullptr) return;
    haltRequested_ = true;
    runningDriver_->HaltRequest();
}

} // namespace vetra::desktop
