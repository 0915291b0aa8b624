// Where the programs keep their files. A copy run from the build tree keeps everything in the
// folder of its executable, as it always has. An installed copy cannot write beside itself: it
// keeps the user's files in the user's XDG folders and reads its own files (the help, the
// samples) from the installation's share/ravelo/. RAVELO_HOME overrides where the user's files
// go in both cases.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vetra::platform {

// Every folder ends with a separator.
struct ProgramFolders {
    std::string configuration; // holds the master configuration, ravelo.ini
    std::string data;          // holds the folders the master configuration names by default
    std::string shared;        // holds the program's own files: help/, and samples/ when installed
};

// Looks up an environment variable; null when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// The installation's share/ravelo/ when `executableFolder` is the bin/ folder of one, which
// the presence of ../share/ravelo/ shows; nothing for a copy in the build tree.
std::optional<std::string> installedShareFolder(const std::string& executableFolder);

// The folders of a program whose executable is in `executableFolder`:
// - RAVELO_HOME set: the configuration and the user's files there;
// - installed: the configuration in $XDG_CONFIG_HOME/ravelo/ (default ~/.config/ravelo/), the
//   user's files in $XDG_DATA_HOME/ravelo/ (default ~/.local/share/ravelo/);
// - otherwise: both in the executable's folder.
ProgramFolders programFoldersOf(const std::string& executableFolder,
                                const EnvironmentLookup& environment);

// The folders of the running program, from its executable's folder and the environment.
ProgramFolders programFolders();

} // namespace vetra::platform
