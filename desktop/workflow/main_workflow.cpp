// MainWorkflow: start-up from the configuration files, switching configurations, and what is
// kept when the program closes.
#include "desktop/workflow/main_workflow.h"

#include "desktop/workflow/program_version.h"
#include "platform/file_services.h"

namespace vetra::desktop {

namespace {

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
