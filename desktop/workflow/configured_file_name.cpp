#include "desktop/workflow/configured_file_name.h"

namespace vetra::desktop {

std::optional<std::string> refusedFileName(std::string_view fileKind,
                                           const std::string& configurationFile,
                                           const FileNameKey& key, const std::string& value) {
    if (value != "." && value != ".." && value.find('/') == std::string::npos) return std::nullopt;
    return "The " + std::string(fileKind) + " " + configurationFile + " names " +
           std::string(key.names) + " '" + value + "' under [" + std::string(key.section) + "] " +
           std::string(key.key) + "; a name there must be a plain file name in " +
           std::string(key.folder) + ", without '/' and not '.' or '..'.";
}

} // namespace vetra::desktop
