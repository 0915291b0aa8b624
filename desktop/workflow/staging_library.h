// The optional staging library, libtollan0205.so: only its version text is shown, in the
// About box. It is loaded, asked and released at start-up; a missing library or function
// leaves the text empty.
#pragma once

#include <string>

namespace vetra::desktop {

inline constexpr const char* kStagingLibraryName = "tollan0205";

// At most 15 characters of what Tollan_get_version returns.
std::string stagingLibraryVersion(const std::string& libraryFile);

} // namespace vetra::desktop
