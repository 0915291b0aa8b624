#include "desktop/workflow/staging_library.h"

#include "platform/dynamic_library.h"

#include <cstring>

namespace vetra::desktop {

namespace {

constexpr std::size_t kVersionLimit = 15;

} // namespace

std::string stagingLibraryVersion(const std::string& libraryFile) {
    const platform::DynamicLibrary library(libraryFile);
    using VersionFunction = const char* (*)();
    const auto version = reinterpret_cast<VersionFunction>(library.resolve("Tollan_get_version"));
    if (version == nullptr) return {};
    const char* text = version();
    if (text == nullptr) return {};
    return std::string(text, strnlen(text, kVersionLimit));
}

} // namespace vetra::desktop
