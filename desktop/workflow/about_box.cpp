#include "desktop/workflow/about_box.h"

#include "desktop/data/file_information_binding.h"
#include "desktop/run/engine_binding.h"
#include "desktop/workflow/program_version.h"
#include "desktop/workflow/staging_library.h"
#include "platform/dynamic_library.h"

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
    const auto line = [](const std::string& library, const std::string& version) {
        return "\n   " + library + (version.empty() ? ": not loaded" : " version " + version);
    };
    std::string text =
        std::string(kProgramme) + "\n\n" + kAgency + "\n\n" + kWebAddress +
        "\n\nRavelo is using:\n" +
        line(platform::sharedLibraryFileName(RAVengine::kLibraryName), versions.engine) +
        line(platform::sharedLibraryFileName(kFileInformationLibraryName),
             versions.fileInformation);
    if (!versions.staging.empty())
        text += line(platform::sharedLibraryFileName(kStagingLibraryName), versions.staging);
    return text + line("SQLite", versions.sqlite);
}

} // namespace vetra::desktop
