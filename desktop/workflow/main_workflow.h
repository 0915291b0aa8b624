// Everything the main window does that is not about a widget: the configuration it starts
// from, the metafile's layouts and edit sets with the user's ticks, the report field lists,
// the per-edit option grid, the data file, the range, the run, and saving on closing. The
// window shows this state and forwards its events here; the tests drive it the same way.
// MainWorkflow's source is in four parts: main_workflow.cpp (start-up, configurations, closing),
// main_workflow_listing.cpp (the metafile's lists), main_workflow_choices.cpp (options, grid,
// fields, report texts) and main_workflow_run.cpp (data file, range, run).
#pragma once

#include "desktop/data/data_file_inspection.h"
#include "desktop/data/field_description.h"
#include "desktop/reports/report_inputs.h"
#include "desktop/run/engine_binding.h"
#include "desktop/run/run_driver.h"
#include "desktop/run/run_progress.h"
#include "desktop/workflow/configuration_files.h"
#include "desktop/workflow/edit_option_grid.h"
#include "desktop/workflow/field_lists.h"
#include "desktop/workflow/range_fields.h"
#include "desktop/workflow/run_sequence.h"
#include "platform/program_folders.h"

#include <memory>
#include <string>
#include <vector>

namespace vetra::desktop {

// A check list: names and their ticks.
struct CheckList {
    std::vector<std::string> names;
    std::vector<bool> ticked;
    std::vector<std::string> tickedNames() const;
};

class MainWorkflow {
public:
    MainWorkflow(const RAVengine& engine, platform::MessageBoxes& messages,
                 platform::ProgramFolders folders);

    // Reads the master configuration (false after a folder problem: the program ends), loads
    // the current configuration and lists the metafile.
    bool start();

    // Selecting a metafile or a configuration file from their dialogs.
    void selectMetafile(const std::string& path);
    void selectConfiguration(const std::string& path);
    // Ticking in the two check lists; the layout list allows one tick.
    void setLayoutTicked(std::size_t index, bool ticked);
    void setEditSetTicked(std::size_t index, bool ticked);

    void setSkipEmpty(bool on);
    void setSkipFailed(bool on);
    void setSuppressWarnings(bool on);
    void setCountsOnly(bool on) { countsOnly_ = on; }
    int globalOptions() const;

    // The grid's cells, rows counted from 0 below the top row.
    void clickGridCell(std::size_t row, int column);
    // Asks whether every mark should move to the column; true when they did.
    bool doubleClickTopCell(int column);

    // The report field lists' buttons, with the highlighted row of the list they act on.
    bool addIdentificationField(int& availableRow);
    bool removeIdentificationField(int& selectedRow);
    bool addSortField(int selectedRow);
    bool removeSortField(int& sortRow);
    void moveIdentificationField(int& row, bool up);
    void moveSortField(int& row, bool up);

    // The report texts of the "&Report Configuration" tab.
    void setReportFileName(const std::string& name);
    void setReportTitle(const std::string& title);
    void setReportSubtitle(const std::string& subtitle);
    // What the reports of the last run take from the window: the results folder, the
    // identification and sort fields in their order, and the report texts.
    ReportInputs reportInputs() const;
    // The report options dialog closed with this file name, which the user may have changed
    // there; that alone does not make the configuration one to save.
    void reportDialogClosed(const std::string& reportFileName) { reportFileName_ = reportFileName; }

    // "External library folder" on the "&Advanced Configuration" tab: the folders, separated by
    // ':', that edit logic may load external libraries from; saved in the master file.
    void setExternalLibraryFolders(const std::string& folders);

    // The range fields; false when a field holds no number (the user has been told).
    bool setStartRecord(const std::string& text);
    bool setRecordsToEdit(const std::string& text);

    // "&Open Data File" / "&Browse": a chosen file (empty when the dialog was cancelled).
    void chooseDataFile(const std::string& path);

    // A data file counts only when it was understood and fits the chosen layout.
    bool runEnabled() const {
        return layoutChosen_ && editSetChosen_ && dataFileChosen_ && dataFileFits_;
    }
    bool runInProgress() const { return runInProgress_; }
    // "Run VETRA": the whole run; the report options dialog is the window's to show.
    RunOutcome runEdits(RunProgress& progress);
    // Whether errors.db holds what the last run wrote, so that reports of it may be offered:
    // false before the first run and after a run that stopped or never started.
    bool resultsOfLastRun() const { return resultsOfLastRun_; }
    // After a halted run: "Run halted at record N of M; ..."; empty otherwise.
    const std::string& haltText() const { return haltText_; }
    void haltRequest();
    const RunCounters& counters() const { return counters_; }

    // Closing: the master file is written, and the configuration after the user agrees.
    void close();
    // "Save Config &As" with the chosen path, empty when the dialog was cancelled.
    void saveConfigurationAs(const std::string& path);

    const MasterConfiguration& master() const { return master_; }
    // Where the main window keeps its size and place between sessions.
    std::string windowStatePath() const { return folders_.configuration + "ravelo-window.ini"; }
    const CheckList& layouts() const { return layouts_; }
    const CheckList& editSets() const { return editSets_; }
    const EditOptionGrid& grid() const { return grid_; }
    // The per-edit options the next run applies.
    const EditOptionList& editOptions() const { return editOptions_; }
    const FieldLists& fields() const { return fields_; }
    const LayoutFieldList& layoutFields() const { return layoutFields_; }
    const DataFileInfo& dataFile() const { return dataFile_; }
    const std::string& dataFileName() const { return dataFileName_; }
    const std::string& fileDateText() const { return fileDateText_; }
    const RangeFields& range() const { return range_; }
    bool rangeEnabled() const { return rangeEnabled_; }
    const std::string& metafilePath() const { return metafilePath_; }
    const std::string& metafileShown() const { return metafileShown_; }
    const std::string& recordLayoutShown() const { return recordLayoutShown_; }
    const std::string& editSetsShown() const { return editSetsShown_; }
    const std::string& currentConfigurationPath() const { return currentConfiguration_; }
    const std::string& reportFileName() const { return reportFileName_; }
    const std::string& reportTitle() const { return reportTitle_; }
    const std::string& reportSubtitle() const { return reportSubtitle_; }
    const std::string& externalLibraryFolders() const { return master_.externalLibraryFolders; }
    bool skipEmpty() const { return skipEmpty_; }
    bool skipFailed() const { return skipFailed_; }
    bool suppressWarnings() const { return suppressWarnings_; }
    bool countsOnly() const { return countsOnly_; }
    bool configurationChanged() const { return configurationChanged_; }
    int largestRecordLength() const { return largestRecordLength_; }

private:
    void applyConfiguration(const RunConfiguration& configuration);
    RunConfiguration capturedChoices() const;
    void list();
    void listLayouts(std::int32_t mfID);
    void buildLayoutFields(std::int32_t mfID);
    void listEditSets(std::int32_t mfID);
    void rebuildGrid(std::int32_t mfID);
    RunRequest runRequest();
    SessionSettings sessionSettings() const;
    void checkDataFileFit(bool tellWhenItDoesNot);

    const RAVengine& engine_;
    platform::MessageBoxes& messages_;
    platform::ProgramFolders folders_;
    MasterConfiguration master_;

    std::string metafilePath_;  // "Metafile" on the "&Metafile Selections" tab
    std::string metafileShown_; // "Metafile Name" on the first tab
    std::string recordLayoutShown_;
    std::string editSetsShown_;
    std::string currentConfiguration_;
    std::string layoutVersion_;
    std::string reportFileName_;
    std::string reportTitle_;
    std::string reportSubtitle_;
    bool skipEmpty_ = false;
    bool skipFailed_ = true;
    bool suppressWarnings_ = true;
    bool countsOnly_ = false;

    // What the listing ticks and selects.
    std::vector<std::string> configuredLayouts_;
    std::vector<std::string> configuredFields_;
    std::vector<std::string> configuredSort_;
    std::vector<std::string> configuredEditSets_;
    EditOptionList editOptions_;

    CheckList layouts_;
    CheckList editSets_;
    int largestRecordLength_ = 0;
    int layoutRecordLength_ = 0;
    LayoutFieldList layoutFields_;
    FieldLists fields_;
    EditOptionGrid grid_;

    std::string dataFileName_;
    DataFileInfo dataFile_;
    std::string fileDateText_;
    RangeFields range_;
    bool rangeEnabled_ = false;

    bool layoutChosen_ = false;
    bool editSetChosen_ = false;
    bool dataFileChosen_ = false;
    bool dataFileFits_ = false; // understood by the inspection and fits the ticked layout
    bool resultsOfLastRun_ = false;
    bool haltRequested_ = false;
    std::string haltText_;
    bool configurationChanged_ = false;
    bool runInProgress_ = false;
    int runNumber_ = 0;
    RunDriver* runningDriver_ = nullptr;
    RunCounters counters_;
};

} // namespace vetra::desktop
