// The process-wide table of external libraries that edit logic has loaded by name, with the
// entry point found in each. Every library stays loaded until the engine itself is unloaded.
// A mutex keeps the table whole when instances on several threads call external libraries.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace vetra {

// The entry point every external library exports: the command text and ten further arguments,
// each as wide as a pointer so that a text's address passes whole.
using ExternalEntryPoint = int32_t (*)(intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                                       intptr_t, intptr_t, intptr_t, intptr_t, intptr_t);

class ExternalLibraryTable {
public:
    enum class Outcome { Loaded, CannotLoad, NoEntryPoint };

    ExternalLibraryTable() = default;
    ExternalLibraryTable(const ExternalLibraryTable&) = delete;
    ExternalLibraryTable& operator=(const ExternalLibraryTable&) = delete;
    ~ExternalLibraryTable() { releaseAll(); }

    // The entry point cached under `key`, or null.
    ExternalEntryPoint find(const std::string& key);
    // Loads the library at `path` (a path, never a bare name) and caches its entry point
    // under `key`; a library without one is released again and not cached.
    Outcome load(const std::string& key, const std::string& path, ExternalEntryPoint* entry);
    void releaseAll();

private:
    struct Library {
        void* handle;
        ExternalEntryPoint entry;
    };

    std::mutex mutex_;
    std::map<std::string, Library> libraries_;
};

} // namespace vetra
