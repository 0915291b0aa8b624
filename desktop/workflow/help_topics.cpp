#include "desktop/workflow/help_topics.h"

#include "platform/file_services.h"

namespace vetra::desktop {

std::string helpFilePath(const std::string& sharedFolder) {
    return sharedFolder + "help/index.html";
}

int helpContextOfTab(int tabIndex) {
    return 10 * tabIndex + 10;
}

std::string helpTopicPath(const std::string& sharedFolder, int context) {
    const std::string topic = sharedFolder + "help/context-" + std::to_string(context) + ".html";
    return platform::fileExists(topic) ? topic : helpFilePath(sharedFolder);
}

std::string helpMissingText(const std::string& path) {
    return "Help file not found\n" + path;
}

} // namespace vetra::desktop
