// The About box: its caption and its text, naming the versions of everything the program
// uses.
#pragma once

#include <string>

namespace vetra::desktop {

struct UsedVersions {
    std::string engine;          // "VETRA40.dll version ..."
    std::string fileInformation; // the file-information library's two texts joined by ", "
    std::string staging;         // empty when the staging library is absent
    std::string sqlite;
};

// "Ravelo version 1.2.8 (build date build time)".
std::string aboutCaption();
std::string aboutText(const UsedVersions& versions);

} // namespace vetra::desktop
