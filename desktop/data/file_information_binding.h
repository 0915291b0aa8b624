// RAVfilecheck, the binding of the NAACCR file-information library libkznaaccr.so. The program
// requires the library at start-up and shows its version in the About box; it does not use the
// library to inspect data files.
#pragma once

#include "desktop/file_information/naaccr_file_information.h"
#include "platform/dynamic_library.h"

#include <string>

namespace vetra::desktop {

inline constexpr const char* kFileInformationLibraryName = "kznaaccr";

class RAVfilecheck {
public:
    // Loads the library with the platform's standard search (the programs' run path finds
    // the built one) and resolves its two entry points.
    explicit RAVfilecheck(
        const std::string& fileName = platform::sharedLibraryFileName(kFileInformationLibraryName));

    // True when the library loaded and exports both entry points.
    bool loaded() const { return loaded_; }
    // The library's version and description joined by ", ", as the About box shows them;
    // empty when the library is not loaded.
    std::string dllInfoText() const;

private:
    using DllInfoFunction = decltype(kzGet_kznaaccr_dll_info);
    using FileInfoFunction = decltype(kzGet_naaccr_file_info);

    platform::DynamicLibrary library_;
    DllInfoFunction* kzGet_kznaaccr_dll_info_ = nullptr;
    FileInfoFunction* kzGet_naaccr_file_info_ = nullptr;
    bool loaded_ = false;
};

} // namespace vetra::desktop
