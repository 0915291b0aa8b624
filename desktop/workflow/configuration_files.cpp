#include "desktop/workflow/configuration_files.h"

#include "desktop/run/edit_option_codes.h"
#include "desktop/workflow/configured_file_name.h"
#include "platform/file_services.h"
#include "platform/profile_file.h"

#include <algorithm>
#include <string_view>

namespace vetra::desktop {

using platform::ProfileFile;

namespace {

// An empty value counts as missing, in both configuration files.
std::string valueOr(const ProfileFile& file, std::string_view section, std::string_view key,
                    const std::string& fallback) {
    std::string value = file.readString(section, key);
    return value.empty() ? fallback : value;
}

constexpr FileNameKey kMetafileKey{"Metafiles", "Metafile", "the metafile", "the metafile folder"};
constexpr FileNameKey kCurrentKey{"Config", "current", "the current configuration",
                                  "the configuration folder"};
constexpr FileNameKey kReportKey{"Report", "Filename", "the report file", "the reports folder"};

// The file name under `key`, or `fallback` when it is missing, empty or refused; a refusal is
// added to `refused`.
std::string fileNameOr(const ProfileFile& file, std::string_view fileKind, const std::string& path,
                       const FileNameKey& key, const std::string& fallback,
                       std::vector<std::string>& refused) {
    const std::string value = file.readString(key.section, key.key);
    if (auto refusal = refusedFileName(fileKind, path, key, value)) {
        refused.push_back(*refusal);
        return fallback;
    }
    return value.empty() ? fallback : value;
}

// Written only when it changed, so that a master file without the key keeps its shape.
void writeExternalLibraryFolders(ProfileFile& master, const std::string& folders) {
    if (master.readString("Path", "ExternalLibraries") != folders)
        master.writeString("Path", "ExternalLibraries", folders);
}

// A tab is shown only for the value 11, which is also the default.
bool tabHidden(const ProfileFile& master, std::string_view key) {
    const std::string value = master.readString("Disallow", key);
    return !value.empty() && wholeNumber(value) != 11;
}

bool folderReady(const std::string& folder) {
    return platform::folderExists(folder) || platform::createFolders(folder);
}

// One [Path] folder of the master file: the folders the program writes into must take new
// files, the others need only be readable.
struct ConfiguredFolder {
    std::string_view key;
    std::string MasterConfiguration::*folder;
    const char* defaultName;
    bool forWriting;
};

constexpr ConfiguredFolder kConfiguredFolders[] = {
    {"Report", &MasterConfiguration::reportsFolder, "reports/", true},
    {"Metafile", &MasterConfiguration::metafileFolder, "metafiles/", false},
    {"Datafile", &MasterConfiguration::dataFolder, "data/", false},
    {"Config", &MasterConfiguration::configFolder, "config/", true},
};

std::string fallbackText(const std::vector<std::string>& reasons, const std::string& masterPath) {
    std::string text = reasons.size() == 1 ? "The folder named above could not be used: "
                                           : "The folders named above could not be used: ";
    for (std::size_t i = 0; i < reasons.size(); ++i)
        text += (i == 0 ? "" : "; ") + reasons[i];
    return text + ".  The master configuration file, " + masterPath + ", names " +
           (reasons.size() == 1 ? "it" : "them") +
           ".  The program goes on with its own folder in its place and creates "
           "no folder it was not given.  A folder you choose in the program (a report file, "
           "a data file, a configuration) is saved there once the program has used it.";
}

std::string folderProblemText(const std::string& masterPath) {
    return "The folder named above could not be found or created.  It is either named in the "
           "master configuration file or it was supplied by this program as a default.  The "
           "program will exit now.  Please modify the master configuration file, " +
           masterPath + ", to refer only to folders that are accessible by this program.";
}

// The options are "1" or "0"; anything that is not a number keeps the default.
bool option(const ProfileFile& file, std::string_view key, bool fallback) {
    const auto value = wholeNumber(file.readString("Metafiles", key));
    return value ? *value != 0 : fallback;
}

// [EditOptions] is scanned as plain text rather than through the profile functions, because
// edit names may contain '=': each line is split at its last '='.
std::vector<EditOptionEntry> scanEditOptions(const std::vector<std::string>& lines) {
    std::vector<EditOptionEntry> entries;
    auto line = std::find(lines.begin(), lines.end(), "[EditOptions]");
    if (line == lines.end()) return entries;
    for (++line; line != lines.end() && !line->starts_with('['); ++line) {
        const auto equals = line->rfind('=');
        if (equals != std::string::npos)
            entries.emplace_back(line->substr(0, equals), line->substr(equals + 1));
    }
    return entries;
}

// Writes the folder of `path` under [Path] `key`, when the path has one.
void writeFolder(ProfileFile& master, std::string_view key, const std::string& path) {
    const std::string folder = platform::folderOf(path);
    if (!folder.empty()) master.writeString("Path", key, folder);
}

// The report file's name is typed, not chosen from folders that exist: its folder is saved
// only when a file can be written there, so a mistyped folder never becomes the reports
// folder of the next start; the folder in use, which can, is saved in its place.
void writeReportFolder(ProfileFile& master, const SessionSettings& settings) {
    const std::string folder = platform::folderOf(settings.reportFileName);
    if (!folder.empty() && !platform::folderUnusable(folder, true))
        master.writeString("Path", "Report", folder);
    else if (!settings.reportsFolder.empty())
        master.writeString("Path", "Report", settings.reportsFolder);
}

// Keys of numbered sections: only the values are read back, in file order.
std::vector<std::pair<std::string, std::string>> numbered(const std::string& keyPrefix,
                                                          const std::vector<std::string>& values) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (std::size_t i = 0; i < values.size(); ++i)
        entries.emplace_back(keyPrefix + std::to_string(i + 1), values[i]);
    return entries;
}

void writeMetafileKeys(ProfileFile& file, const SessionSettings& settings) {
    const RunConfiguration& choices = settings.configuration;
    file.writeString("Metafiles", "Metafile", platform::fileNameOf(settings.metafilePath));
    file.writeString("Metafiles", "SkipEmpty", choices.skipEmpty ? "1" : "0");
    file.writeString("Metafiles", "SkipFailed", choices.skipFailed ? "1" : "0");
    file.writeString("Metafiles", "SuppressWarnings", choices.suppressWarnings ? "1" : "0");
}

void rewriteLists(ProfileFile& file, const RunConfiguration& choices) {
    file.rewriteSection("RecordLayouts", numbered("RecordLayout", choices.layouts));
    file.rewriteSection("EditSets", numbered("EditSet", choices.editSets));
    file.rewriteSection("EditOptions", choices.editOptions); // entries without a name are skipped
    file.rewriteSection("FieldsSelected", numbered("Field", choices.fieldsSelected));
    file.rewriteSection("FieldsSort", numbered("Field", choices.fieldsSort));
}

std::string saveQuestion(const std::string& configurationPath) {
    return "The current configuration, stored in\n" + configurationPath +
           "\nhas changed.  Do you want to save your changes?";
}

} // namespace

std::string masterConfigurationPath(const std::string& configurationFolder) {
    return configurationFolder + "ravelo.ini";
}

int readMasterConfiguration(const std::string& masterPath, const std::string& dataFolder,
                            const std::string& programVersion, platform::MessageBoxes& boxes,
                            MasterConfiguration& master) {
    const ProfileFile file(masterPath);
    master.caption = "Ravelo  (" + programVersion + ") " + file.readString("Identity", "caption");
    master.reportTabHidden = tabHidden(file, "report");
    master.metafileTabHidden = tabHidden(file, "metafile");
    master.advancedTabHidden = tabHidden(file, "advanced");

    master.resultsFolder = dataFolder + "query/";
    // A folder the master file names is the user's: it is used when it can be, and otherwise
    // gives way to the program's own, because a folder that went away (or a path once typed
    // wrongly) must never keep the program from starting. It is never created: only the
    // user knows whether a missing folder is a mistake.
    std::string unusable;
    std::vector<std::string> reasons;
    for (const ConfiguredFolder& configured : kConfiguredFolders) {
        const std::string value =
            platform::withTrailingSeparator(file.readString("Path", configured.key));
        std::string& folder = master.*configured.folder;
        folder = dataFolder + configured.defaultName;
        if (value.empty() || value == folder) continue;
        if (const auto why = platform::folderUnusable(value, configured.forWriting)) {
            unusable += " " + value;
            reasons.push_back(value + " (" + *why + ")");
        } else {
            folder = value;
        }
    }

    // The folders the program supplies itself, created when missing; the master file's own
    // folder too, since a first run of an installed copy saves it there.
    std::string masterFolder = platform::folderOf(masterPath);
    std::string failed;
    for (const std::string* folder :
         {&masterFolder, &master.resultsFolder, &master.reportsFolder, &master.metafileFolder,
          &master.dataFolder, &master.configFolder})
        if (!folder->empty() && !folderReady(*folder)) failed += " " + *folder;
    if (!failed.empty()) {
        boxes.show(folderProblemText(masterPath), "Problem with folder" + failed);
        return -1;
    }
    if (!reasons.empty())
        boxes.show(fallbackText(reasons, masterPath), "Problem with folder" + unusable);

    constexpr std::string_view kMaster = "master configuration file";
    master.currentConfigurationPath =
        master.configFolder +
        fileNameOr(file, kMaster, masterPath, kCurrentKey, "runtime.ini", master.refusedNames);
    master.reportFileName = master.reportsFolder + fileNameOr(file, kMaster, masterPath, kReportKey,
                                                              "Ravelo.rpt", master.refusedNames);
    master.reportTitle = valueOr(file, "Report", "Title1", "Ravelo Report");
    master.reportSubtitle = file.readString("Report", "Title2");
    master.externalLibraryFolders = file.readString("Path", "ExternalLibraries");
    return 0;
}

RunConfiguration loadConfiguration(const std::string& path) {
    const ProfileFile file(path);
    RunConfiguration configuration;
    configuration.layoutVersion = file.readString("Layout", "Version");
    configuration.metafileName =
        fileNameOr(file, "configuration file", path, kMetafileKey, "", configuration.refusedNames);
    configuration.skipEmpty = option(file, "SkipEmpty", false);
    configuration.skipFailed = option(file, "SkipFailed", true);
    configuration.suppressWarnings = option(file, "SuppressWarnings", true);
    configuration.layouts = file.sectionValues("RecordLayouts");
    configuration.fieldsSelected = file.sectionValues("FieldsSelected");
    configuration.fieldsSort = file.sectionValues("FieldsSort");
    configuration.editSets = file.sectionValues("EditSets");
    configuration.editOptions = scanEditOptions(file.lines());
    return configuration;
}

bool saveOnClosing(const std::string& masterPath, const SessionSettings& settings,
                   platform::MessageBoxes& boxes) {
    ProfileFile master(masterPath);
    writeFolder(master, "Datafile", settings.dataFileName);
    writeFolder(master, "Config", settings.currentConfigurationPath);
    writeReportFolder(master, settings);
    writeExternalLibraryFolders(master, settings.externalLibraryFolders);
    master.writeString("Config", "Current",
                       platform::fileNameOf(settings.currentConfigurationPath));
    // The title and the report file's name go under the keys start-up reads, so they survive.
    master.writeString("Report", "Title1", settings.reportTitle);
    master.writeString("Report", "Filename", platform::fileNameOf(settings.reportFileName));
    master.writeString("Report", "Title2", settings.reportSubtitle);

    bool configurationWritten = true;
    if (settings.configurationChanged &&
        boxes.show(saveQuestion(settings.currentConfigurationPath), "Save Changes?",
                   platform::MessageButtons::YesNo) == platform::MessageAnswer::Yes) {
        writeFolder(master, "Metafile", settings.metafilePath);
        ProfileFile configuration(settings.currentConfigurationPath);
        configuration.eraseSection("Metafiles");
        writeMetafileKeys(configuration, settings);
        rewriteLists(configuration, settings.configuration);
        configurationWritten = configuration.save();
    }
    const bool masterWritten = master.save();
    return masterWritten && configurationWritten;
}

bool saveConfigurationAs(const std::string& masterPath, const std::string& chosenPath,
                         SessionSettings& settings, platform::MessageBoxes& boxes) {
    if (chosenPath.empty()) {
        boxes.show("Did not save configuration", "INFO");
        return false;
    }
    ProfileFile master(masterPath);
    writeFolder(master, "Metafile", settings.metafilePath);
    const bool masterWritten = master.save();

    ProfileFile configuration(chosenPath);
    configuration.writeString("Layout", "Version", settings.configuration.layoutVersion);
    writeMetafileKeys(configuration, settings);
    rewriteLists(configuration, settings.configuration);
    // A file that could not be written does not become current, so closing still offers to
    // save the changes.
    if (!configuration.save()) return false;
    settings.configurationChanged = false;
    settings.currentConfigurationPath = chosenPath;
    return masterWritten;
}

} // namespace vetra::desktop
