#include "desktop/shell/about_box.h"

#include "desktop/shell/program_version.h"

namespace vetra::desktop {

namespace {

// Who stands behind the program, as the About box names them.
constexpr const char* kProgramme = "Ravelo: checking cancer registry records against their edits";
constexpr const char* kAgency = "The Ravelo project";
constexpr const char* kWebAddress = "https://ravelo.example.org/";

} // namespace

std::string aboutCaption() {
    return std::string("Ravelo version ") + kProgramVersion + " (" + kBuildDate + " " + kBuildTime +
           ")";
}

std::string aboutText(const UsedVersions& versions) {
    return std::string(kProgramme) + "\n\n" + kAgency + "\n\n" + kWebAddress +
           "\n\nRavelo is using:\n\n   " + versions.engine + "\n   kznaaccr.dll version " +
           versions.fileInformation + "\n   Tollan.dll version " + versions.staging +
           "\n   sqlite3 version " + versions.sqlite;
}

} // namespace vetra::desktop
