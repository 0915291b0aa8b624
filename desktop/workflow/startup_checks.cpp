#include "desktop/workflow/startup_checks.h"

namespace vetra::desktop {

std::optional<std::string> missingLibraryText(bool engineLoaded, bool fileInformationLoaded) {
    if (!engineLoaded) return "Can't load Vetra";
    if (!fileInformationLoaded) return "Can't load kznaaccr.dll";
    return std::nullopt;
}

} // namespace vetra::desktop
