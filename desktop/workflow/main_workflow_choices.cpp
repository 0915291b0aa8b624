// MainWorkflow, the choices that shape a run and its report: the global "Edit Set Options" of the
// "&Metafile Selections" tab, the per-edit option grid of "&Advanced Configuration", and the
// identification and sort fields and the report file's name and titles of "&Report
// Configuration".
#include "desktop/workflow/main_workflow.h"

namespace vetra::desktop {

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

} // namespace vetra::desktop
