// The desktop program's configuration files. The master configuration file, in the program's
// configuration folder (platform/program_folders.h), holds the installation's folders, the name of
// the current configuration, the report defaults, the window caption and the hidden tabs. A
// configuration file holds one user's choice of metafile, record layout, edit sets, options,
// per-edit options and report fields. Both are INI files read and written through
// platform::ProfileFile.
#pragma once

#include "desktop/run/edit_option_codes.h"
#include "platform/message_boxes.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vetra::desktop {

// The master configuration file: "ravelo.ini" in the program's configuration folder.
std::string masterConfigurationPath(const std::string& configurationFolder);

// What the master configuration gives the main window at start. Folders end with '/'.
struct MasterConfiguration {
    std::string caption; // the window caption
    bool reportTabHidden = false;
    bool metafileTabHidden = false;
    bool advancedTabHidden = false;
    std::string resultsFolder;
    std::string reportsFolder;
    std::string metafileFolder;
    std::string dataFolder;
    std::string configFolder;
    std::string currentConfigurationPath;
    std::string reportFileName; // with its folder
    std::string reportTitle;
    std::string reportSubtitle;
    // [Path] ExternalLibraries: the folders edit logic may load external libraries from,
    // absolute and separated by ':'. Empty allows none. Never created: a folder the program
    // made would be one nobody chose to trust.
    std::string externalLibraryFolders;
    // Why a file name in the file was not used (it would have left its folder); the default
    // stands in its place.
    std::vector<std::string> refusedNames;
};

// Reads the master file and creates its own folder and the folders it names (or the defaults
// under `dataFolder`). Returns 0, or -1 after telling the user which folders could not be
// created; the program then ends.
int readMasterConfiguration(const std::string& masterPath, const std::string& dataFolder,
                            const std::string& programVersion, platform::MessageBoxes& boxes,
                            MasterConfiguration& master);

// One per-edit option: the edit's name and its option code as text (8 Suppress Edit, 1 Skip
// Empty, 2 Skip Fail, 3 both, 0 No Skips). The text is converted only when a run applies it.
using EditOptionEntry = std::pair<std::string, std::string>;

// The contents of a configuration file.
struct RunConfiguration {
    std::string layoutVersion; // carried through, no other effect
    std::string metafileName;  // without folder: the metafile lives in the metafile folder
    bool skipEmpty = false;
    bool skipFailed = true;
    bool suppressWarnings = true;
    std::vector<std::string> layouts;
    std::vector<std::string> editSets;
    std::vector<std::string> fieldsSelected;
    std::vector<std::string> fieldsSort;
    std::vector<EditOptionEntry> editOptions;
    // Why a file name in the file was not used (it would have left its folder); the name then
    // reads as empty.
    std::vector<std::string> refusedNames;
};

// Reads a configuration file; a missing or unreadable file gives the defaults and empty lists.
RunConfiguration loadConfiguration(const std::string& path);

// The settings the main window holds that saving writes to the configuration files.
struct SessionSettings {
    std::string dataFileName;             // with its folder
    std::string currentConfigurationPath; // the "Current Configuration File"
    std::string reportFileName;           // with its folder
    // The reports folder in use (the master file's, or the program's own in its place); saved
    // when the report file's folder cannot take files.
    std::string reportsFolder;
    std::string reportTitle;
    std::string reportSubtitle;
    // The "Metafile" field's full path: its folder goes to the master file, its name to the
    // configuration file (the configuration's own metafileName is not consulted).
    std::string metafilePath;
    // The choices to save; the codes of editOptions are written as they stand.
    RunConfiguration configuration;
    bool configurationChanged = false;
    std::string externalLibraryFolders; // as MasterConfiguration holds them
};

// Saving when the main window closes: writes the folders, the external library folders, the
// current configuration's name and the report settings to the master file, then, when the
// configuration has changed and the user agrees, the choices to the current configuration file.
// False when a file that was to be written could not be.
bool saveOnClosing(const std::string& masterPath, const SessionSettings& settings,
                   platform::MessageBoxes& boxes);

// "Save Config &As" with the path chosen in the dialog, empty when it was cancelled. On success
// the chosen file becomes the current configuration and the configuration counts as unchanged.
// False when cancelled or when a file could not be written.
bool saveConfigurationAs(const std::string& masterPath, const std::string& chosenPath,
                         SessionSettings& settings, platform::MessageBoxes& boxes);

} // namespace vetra::desktop
