// The process-wide table of external libraries that edit logic has loaded by name, with the
// entry point found in each. Every library stays loaded until the engine itself is unloaded.
// A mutex keeps the table whole when instances on several threads call external libraries.
//
// A library is loaded through the descriptor of the file that was checked, by the name
// "/proc/self/fd/N". The loader remembers that name with the library, so the descriptor stays
// open as long as the library stays loaded: N cannot then name another file while the loader
// would still take it for this library.
#pragma once

#include "engine/library/file_descriptor.h"

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
    // Loads the library open on `file` and caches its entry point under `key`; a library
    // without one is released again and not cached. When the loader refuses the file,
    // `*loaderError` says why.
    Outcome load(const std::string& key, FileDescriptor file, ExternalEntryPoint* entry,
                 std::string* loaderError);
    void releaseAll();

private:
    struct Library {
        void* handle;
        ExternalEntryPoint entry;
        FileDescriptor file;
    };

    std::mutex mutex_;
    std::map<std::string, Library> libraries_;
};

} // namespace vetra
