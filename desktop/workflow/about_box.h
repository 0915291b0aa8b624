// The About box: its caption and its text, naming the versions of everything the program
// uses.
#pragma once

#include <string>

namespace vetra::desktop {

// The libraries are named by their file names on this system; one that did not load shows no
// version, and the staging library, which is optional, no line at all.
struct UsedVersions {
    std::string engine;          // the engine's version number
    std::string fileInformation; // the file-information library's two texts joined by ", "
    std::string staging;         // empty when the staging library is absent
    std::string sqlite;
};

// "Ravelo version 1.2.8 (build date build time)".
std::string aboutCaption();
std::string aboutText(const UsedVersions& versions);

} // namespace vetra::desktop
