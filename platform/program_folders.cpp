#include "program_folders.h"

#include "platform/file_services.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace vetra::platform {

namespace {

std::string setting(const EnvironmentLookup& environment, const char* name) {
    const char* value = environment(name);
    return value != nullptr ? value : "";
}

// HOME can be missing for a program started by a service; the password database still knows.
std::string homeFolder(const EnvironmentLookup& environment) {
    std::string home = setting(environment, "HOME");
    if (home.empty()) {
        const passwd* user = getpwuid(getuid());
        if (user != nullptr && user->pw_dir != nullptr) home = user->pw_dir;
    }
    return withTrailingSeparator(home);
}

// The XDG base folder `name`, or its default under the home folder; the XDG rules ignore a
// relative setting.
std::string xdgFolder(const EnvironmentLookup& environment, const char* name,
                      const std::string& defaultUnderHome) {
    const std::string folder = setting(environment, name);
    if (folder.starts_with('/')) return withTrailingSeparator(folder);
    return homeFolder(environment) + defaultUnderHome;
}

} // namespace

std::optional<std::string> installedShareFolder(const std::string& executableFolder) {
    const auto share = std::filesystem::path(executableFolder) / "../share/ravelo/";
    if (!folderExists(share.string())) return std::nullopt;
    return share.lexically_normal().string(); // as the help's messages show it
}

ProgramFolders programFoldersOf(const std::string& executableFolder,
                                const EnvironmentLookup& environment) {
    const std::string executable = withTrailingSeparator(executableFolder);
    const std::optional<std::string> share = installedShareFolder(executable);
    const std::string shared = share.value_or(executable);
    const std::string home = setting(environment, "RAVELO_HOME");
    if (!home.empty()) return {withTrailingSeparator(home), withTrailingSeparator(home), shared};
    if (share)
        return {xdgFolder(environment, "XDG_CONFIG_HOME", ".config/") + "ravelo/",
                xdgFolder(environment, "XDG_DATA_HOME", ".local/share/") + "ravelo/", shared};
    return {executable, executable, executable};
}

ProgramFolders programFolders() {
    return programFoldersOf(executableFolder(), [](const char* name) { return std::getenv(name); });
}

} // namespace vetra::platform
