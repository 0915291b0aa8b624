#include "desktop/shell/help_topics.h"

#include "platform/file_services.h"

namespace vetra::desktop {

std::string helpFilePath(const std::string& programFolder) {
    return programFolder + "help/index.html";
}

int helpContextOfTab(int tabIndex) {
    return 10 * tabIndex + 10;
}

std::string helpTopicPath(const std::string& programFolder, int context) {
    const std::string topic = programFolder + "help/context-" + std::to_string(context) + ".html";
    return platform::fileExists(topic) ? topic : helpFilePath(programFolder);
}

std::string helpMissingText(const std::string& path) {
    return "Help file not found\n" + path;
}

} // namespace vetra::desktop
