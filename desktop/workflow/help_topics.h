// Where the program's HTML help lives and which page answers the help key on each tab.
#pragma once

#include <string>

namespace vetra::desktop {

// The help's contents page: help/index.html in the program's shared folder
// (platform/program_folders.h).
std::string helpFilePath(const std::string& sharedFolder);
// The help context of a tab: 10 for "Select File and Run", then 20, 30, 40 and 50.
int helpContextOfTab(int tabIndex);
// The page of a help context: help/context-N.html; the contents page for an unknown context.
std::string helpTopicPath(const std::string& sharedFolder, int context);
// "Help file not found\n" and the path, as shown when the help is missing.
std::string helpMissingText(const std::string& path);

} // namespace vetra::desktop
