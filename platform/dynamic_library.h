// Loading a shared library by name and resolving its entry points by name: the one place
// where the programs touch the platform's dynamic loader.
#pragma once

#include <string>

namespace vetra::platform {

// The file name under which this platform keeps the library called `baseName`
// ("VETRA40" -> "libVETRA40.so").
std::string sharedLibraryFileName(const std::string& baseName);

class DynamicLibrary {
public:
    // Loads with the platform's standard search; loaded() is false when that fails.
    explicit DynamicLibrary(const std::string& fileName);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    // Null when the library is not loaded or does not export the name.
    void* resolve(const char* name) const;
    // The loader's explanation of the last failure.
    const std::string& error() const { return error_; }

private:
    void* handle_ = nullptr;
    std::string error_;
};

} // namespace vetra::platform
