// What ends the program at start-up before its window opens: a library it requires that did
// not load. The engine is named first when neither loaded.
#pragma once

#include <optional>
#include <string>

namespace vetra::desktop {

std::optional<std::string> missingLibraryText(bool engineLoaded, bool fileInformationLoaded);

} // namespace vetra::desktop
