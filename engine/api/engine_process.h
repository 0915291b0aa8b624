// The engine's process-wide state: the table of open metafile instances, the names of the
// metafiles it listed and the external libraries that edit logic loaded. It is built when the
// library is loaded (20 free instance slots) and torn down when it is unloaded: open instances
// are destroyed first, then the external libraries are released.
#pragma once

#include "engine/api/slot_table.h"
#include "engine/library/external_library_table.h"
#include "engine/store/TMetaFile.h"

#include <mutex>
#include <set>
#include <string>

namespace vetra {

// One lasting copy of each metafile path that VTx_GetOpenFileList hands out: a host may still
// read a listed name while another thread closes the instance it came from.
class ListedFileNames {
public:
    const char* lasting(const char* name) {
        std::lock_guard lock(mutex_);
        return names_.emplace(name).first->c_str();
    }

private:
    std::mutex mutex_;
    std::set<std::string> names_;
};

class EngineProcess {
public:
    static constexpr size_t kInitialSlots = 20;

    EngineProcess() : metafiles_(kInitialSlots) {}
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;
    ~EngineProcess() {
        metafiles_.clear();
        externalLibraries_.releaseAll();
    }

    SlotTable<TMetaFile>& metafiles() { return metafiles_; }
    ListedFileNames& listedFileNames() { return listedFileNames_; }
    ExternalLibraryTable& externalLibraries() { return externalLibraries_; }

private:
    SlotTable<TMetaFile> metafiles_;
    ListedFileNames listedFileNames_;
    ExternalLibraryTable externalLibraries_;
};

EngineProcess& engineProcess();

} // namespace vetra
