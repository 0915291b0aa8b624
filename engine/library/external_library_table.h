// The process-wide table of external libraries that edit logic has loaded by name. Every
// library stays loaded until the engine itself is unloaded.
#pragma once

#include <vector>

namespace vetra {

class ExternalLibraryTable {
public:
    ExternalLibraryTable() = default;
    ExternalLibraryTable(const ExternalLibraryTable&) = delete;
    ExternalLibraryTable& operator=(const ExternalLibraryTable&) = delete;
    ~ExternalLibraryTable() { releaseAll(); }

    void releaseAll();

private:
    std::vector<void*> handles_;
};

} // namespace vetra
