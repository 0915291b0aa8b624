#include "desktop/workflow/main_workflow.h"

#include "desktop/data/data_file_fit.h"
#include "desktop/data/open_data_file.h"
#include "desktop/run/edit_option_codes.h"
#include "desktop/workflow/metafile_listing.h"
#include "desktop/workflow/metafile_session.h"
#include "desktop/workflow/program_version.h"
#include "platform/file_services.h"

#include <algorithm>

namespace vetra::desktop {

namespace {

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names)
        text += (text.empty() ? "" : " + ") + name;
    return text;
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

void tellRefusedNames(platform::MessageBoxes& messages, const std::vector<std::string>& refusals) {
    for (const auto& refusal : refusals)
        messages.show(refusal, "File Name Not Used");
}

} // namespace

std::vector<std::string> CheckList::tickedNames() const {
    std::vector<std::string> result;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (ticked[i]) result.push_back(names[i]);
    return result;
}

MainWorkflow::MainWorkflow(const RAVengine& engine, platform::MessageBoxes& messages,
                           platform::ProgramFolders folders)
    : engine_(engine), messages_(messages), folders_(std::move(folders)) {}

bool MainWorkflow::start() {
    if (readMasterConfiguration(masterConfigurationPath(folders_.configuration), folders_.data,
                                kProgramVersion, messages_, master_) != 0)
        return false;
    tellRefusedNames(messages_, master_.refusedNames);
    currentConfiguration_ = master_.currentConfigurationPath;
    reportFileName_ = master_.reportFileName;
    reportTitle_ = master_.reportTitle;
    reportSubtitle_ = master_.reportSubtitle;
    applyConfiguration(loadConfiguration(currentConfiguration_));
    list();
    layoutChosen_ = !layouts_.tickedNames().empty();
    editSetChosen_ = !editSets_.tickedNames().empty() && !grid_.rows().empty();
    dataFileChosen_ = false;
    configurationChanged_ = false;
    return true;
}

void MainWorkflow::applyConfiguration(const RunConfiguration& configuration) {
    tellRefusedNames(messages_, configuration.refusedNames);
    layoutVersion_ = configuration.layoutVersion;
    metafileShown_ = configuration.metafileName;
    if (!configuration.metafileName.empty())
        metafilePath_ = master_.metafileFolder + configuration.metafileName;
    skipEmpty_ = configuration.skipEmpty;
    skipFailed_ = configuration.skipFailed;
    suppressWarnings_ = configuration.suppressWarnings;
    configuredLayouts_ = configuration.layouts;
    configuredFields_ = configuration.fieldsSelected;
    configuredSort_ = configuration.fieldsSort;
    configuredEditSets_ = configuration.editSets;
    editOptions_ = configuration.editOptions;
}

void MainWorkflow::list() {
    MetafileSession metafile(engine_, messages_, master_.externalLibraryFolders);
    if (!metafile.open(metafilePath_)) {
        // A metafile that failed to open leaves nothing to show for it.
        if (!metafilePath_.empty()) recordLayoutShown_ = editSetsShown_ = "";
        return;
    }
    listLayouts(metafile.mfID());
    listEditSets(metafile.mfID());
}

void MainWorkflow::listLayouts(std::int32_t mfID) {
    layouts_ = {};
    layoutChosen_ = false;
    layoutRecordLength_ = 0;
    const LayoutListing listing = MetafileListing(engine_, messages_, mfID).layouts();
    largestRecordLength_ = listing.largestRecordLength;
    layouts_.names = listing.names;
    layouts_.ticked.assign(listing.names.size(), false);
    const auto configured =
        std::find_if(configuredLayouts_.begin(), configuredLayouts_.end(),
                     [&](const std::string& name) { return contains(listing.names, name); });
    configuredLayouts_ = configured == configuredLayouts_.end()
                             ? std::vector<std::string>{}
                             : std::vector<std::string>{*configured};
    if (!configuredLayouts_.empty()) {
        const auto position =
            std::find(layouts_.names.begin(), layouts_.names.end(), configuredLayouts_.front());
        layouts_.ticked[static_cast<std::size_t>(position - layouts_.names.begin())] = true;
    }
    recordLayoutShown_ = joined(layouts_.tickedNames());
    if (configuredLayouts_.empty()) return;
    buildLayoutFields(mfID);
    fields_.select(configuredFields_, configuredSort_);
    layoutChosen_ = true;
}

void MainWorkflow::buildLayoutFields(std::int32_t mfID) {
    const auto ticked = layouts_.tickedNames();
    const LayoutFields listed = MetafileListing(engine_, messages_, mfID)
                                    .layoutFields(ticked.front(), largestRecordLength_);
    layoutRecordLength_ = listed.recordLength;
    // An XML file's records are as long as the layout they are built for.
    if (dataFile_.form.format == DataFormat::NaaccrXml)
        dataFile_.recordLength = layoutRecordLength_;
    layoutFields_ = listed.fields;
    std::vector<std::string> names;
    for (const auto& field : layoutFields_)
        names.push_back(field.name);
    fields_.reset(names);
}

void MainWorkflow::listEditSets(std::int32_t mfID) {
    editSets_ = {};
    editSetChosen_ = false;
    editSets_.names = MetafileListing(engine_, messages_, mfID).editSets();
    editSets_.ticked.assign(editSets_.names.size(), false);
    for (std::size_t i = 0; i < editSets_.names.size(); ++i)
        editSets_.ticked[i] = contains(configuredEditSets_, editSets_.names[i]);
    editSetsShown_ = joined(editSets_.tickedNames());
    grid_.clear();
    rebuildGrid(mfID);
    grid_.apply(editOptions_);
    editSetChosen_ = !editSets_.tickedNames().empty() && !grid_.rows().empty();
}

void MainWorkflow::rebuildGrid(std::int32_t mfID) {
    grid_.rebuild(MetafileListing(engine_, messages_, mfID).editNames(editSets_.tickedNames()));
}

RunConfiguration MainWorkflow::capturedChoices() const {
    RunConfiguration choices;
    choices.layoutVersion = layoutVersion_;
    choices.metafileName = platform::fileNameOf(metafilePath_);
    choices.skipEmpty = skipEmpty_;
    choices.skipFailed = skipFailed_;
    choices.suppressWarnings = suppressWarnings_;
    choices.layouts = layouts_.tickedNames();
    choices.editSets = editSets_.tickedNames();
    choices.fieldsSelected = fields_.selected();
    choices.fieldsSort = fields_.sort();
    choices.editOptions = grid_.optionList();
    return choices;
}

void MainWorkflow::selectMetafile(const std::string& path) {
    master_.metafileFolder = platform::folderOf(path);
    metafilePath_ = metafileShown_ = path;
    const RunConfiguration choices = capturedChoices();
    configuredLayouts_ = choices.layouts;
    configuredFields_ = choices.fieldsSelected;
    configuredSort_ = choices.fieldsSort;
    configuredEditSets_ = choices.editSets;
    editOptions_ = choices.editOptions;
    list();
    checkDataFileFit(false);
    configurationChanged_ = true;
}

void MainWorkflow::selectConfiguration(const std::string& path) {
    currentConfiguration_ = path;
    metafilePath_ = metafileShown_ = recordLayoutShown_ = editSetsShown_ = "";
    fields_ = {};
    grid_.clear();
    layouts_ = {};
    editSets_ = {};
    layoutChosen_ = editSetChosen_ = false;
    applyConfiguration(loadConfiguration(path));
    list();
    checkDataFileFit(false);
    configurationChanged_ = true;
}

void MainWorkflow::setLayoutTicked(std::size_t index, bool ticked) {
    if (index >= layouts_.names.size()) return;
    if (ticked) {
        layouts_.ticked.assign(layouts_.names.size(), false);
        layouts_.ticked[index] = true;
        configuredLayouts_ = {layouts_.names[index]};
    } else {
        layouts_.ticked[index] = false;
        if (layouts_.tickedNames().empty()) configuredLayouts_.clear();
    }
    recordLayoutShown_ = joined(configuredLayouts_);
    layoutChosen_ = !configuredLayouts_.empty();
    configurationChanged_ = true;
    const std::vector<std::string> kept = fields_.selected();
    const std::vector<std::string> sorted = fields_.sort();
    fields_ = {};
    layoutFields_.clear();
    layoutRecordLength_ = 0;
    if (layoutChosen_) {
        MetafileSession metafile(engine_, messages_, master_.externalLibraryFolders);
        if (metafile.open(metafilePath_)) {
            buildLayoutFields(metafile.mfID());
            fields_.select(kept, sorted);
        }
    }
    checkDataFileFit(false);
}

void MainWorkflow::setEditSetTicked(std::size_t index, bool ticked) {
    if (metafilePath_.empty()) {
        messages_.show("A Metafile must be selected before the edit set selection can be changed.",
                       "");
        return;
    }
    if (!platform::fileExists(metafilePath_)) {
        messages_.show(metafileMissingText(metafilePath_), "The Metafile Requested Was Not Found");
        return;
    }
    if (index >= editSets_.names.size()) return;
    editSets_.ticked[index] = ticked;
    editSetsShown_ = joined(editSets_.tickedNames());
    MetafileSession metafile(engine_, messages_, master_.externalLibraryFolders);
    if (metafile.open(metafilePath_)) rebuildGrid(metafile.mfID());
    // The run applies what the grid shows: an edit that left the grid and came back keeps
    // its edit set's options.
    editOptions_ = grid_.optionList();
    editSetChosen_ = !editSets_.tickedNames().empty();
    configurationChanged_ = true;
}

void MainWorkflow::setSkipEmpty(bool on) {
    skipEmpty_ = on;
    configurationChanged_ = true;
}

void MainWorkflow::setSkipFailed(bool on) {
    skipFailed_ = on;
    configurationChanged_ = true;
}

void MainWorkflow::setSuppressWarnings(bool on) {
    suppressWarnings_ = on;
    configurationChanged_ = true;
}

int MainWorkflow::globalOptions() const {
    return (skipEmpty_ ? 1 : 0) | (skipFailed_ ? 2 : 0) | (suppressWarnings_ ? 128 : 0);
}

void MainWorkflow::clickGridCell(std::size_t row, int column) {
    grid_.click(row, column);
    editOptions_ = grid_.optionList();
    configurationChanged_ = true;
}

bool MainWorkflow::doubleClickTopCell(int column) {
    if (column < kUseEditSetOptions || column > kNoSkips) return false;
    if (messages_.show("By double-clicking the top cell of this column you can\ncause all 'yes' "
                       "indicators to be moved here.  Is that\nwhat you want?",
                       "Resetting Options",
                       platform::MessageButtons::YesNo) != platform::MessageAnswer::Yes)
        return false;
    grid_.markAll(column);
    editOptions_ = grid_.optionList();
    configurationChanged_ = true;
    return true;
}

bool MainWorkflow::addIdentificationField(int& availableRow) {
    const bool added = fields_.addToSelected(availableRow);
    configurationChanged_ = configurationChanged_ || added;
    return added;
}

bool MainWorkflow::removeIdentificationField(int& selectedRow) {
    const bool removed = fields_.removeFromSelected(selectedRow);
    configurationChanged_ = configurationChanged_ || removed;
    return removed;
}

bool MainWorkflow::addSortField(int selectedRow) {
    const bool added = fields_.addToSort(selectedRow);
    configurationChanged_ = configurationChanged_ || added;
    return added;
}

bool MainWorkflow::removeSortField(int& sortRow) {
    const bool removed = fields_.removeFromSort(sortRow);
    configurationChanged_ = configurationChanged_ || removed;
    return removed;
}

void MainWorkflow::moveIdentificationField(int& row, bool up) {
    auto& list = fields_.selectedForMoving();
    up ? FieldLists::moveUp(list, row) : FieldLists::moveDown(list, row);
}

void MainWorkflow::moveSortField(int& row, bool up) {
    auto& list = fields_.sortForMoving();
    up ? FieldLists::moveUp(list, row) : FieldLists::moveDown(list, row);
}

void MainWorkflow::setReportFileName(const std::string& name) {
    reportFileName_ = name;
    configurationChanged_ = true;
}

ReportInputs MainWorkflow::reportInputs() const {
    ReportInputs inputs;
    inputs.reportFileName = reportFileName_;
    inputs.title = reportTitle_;
    inputs.subtitle = reportSubtitle_;
    inputs.resultsFolder = master_.resultsFolder;
    inputs.selectedFields = fields_.selected();
    inputs.sortFields = fields_.sort();
    return inputs;
}

void MainWorkflow::setReportTitle(const std::string& title) {
    reportTitle_ = title;
    configurationChanged_ = true;
}

void MainWorkflow::setReportSubtitle(const std::string& subtitle) {
    reportSubtitle_ = subtitle;
    configurationChanged_ = true;
}

void MainWorkflow::setExternalLibraryFolders(const std::string& folders) {
    master_.externalLibraryFolders = folders;
}

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

SessionSettings MainWorkflow::sessionSettings() const {
    SessionSettings settings;
    settings.dataFileName = dataFileName_;
    settings.currentConfigurationPath = currentConfiguration_;
    settings.reportFileName = reportFileName_;
    settings.reportsFolder = master_.reportsFolder;
    settings.reportTitle = reportTitle_;
    settings.reportSubtitle = reportSubtitle_;
    settings.metafilePath = metafilePath_;
    settings.configuration = capturedChoices();
    settings.configurationChanged = configurationChanged_;
    settings.externalLibraryFolders = master_.externalLibraryFolders;
    return settings;
}

void MainWorkflow::close() {
    saveOnClosing(masterConfigurationPath(folders_.configuration), sessionSettings(), messages_);
}

void MainWorkflow::saveConfigurationAs(const std::string& path) {
    SessionSettings settings = sessionSettings();
    if (desktop::saveConfigurationAs(masterConfigurationPath(folders_.configuration), path,
                                     settings, messages_)) {
        configurationChanged_ = settings.configurationChanged;
        currentConfiguration_ = settings.currentConfigurationPath;
    }
}

} // namespace vetra::desktop
