// The engine's process-wide state: the table of open metafile instances and the external
// libraries that edit logic loaded. It is built when the library is loaded (20 free instance
// slots) and torn down when it is unloaded: open instances are destroyed first, then the
// external libraries are released.
#pragma once

#include "engine/api/slot_table.h"
#include "engine/library/external_library_table.h"
#include "engine/store/TMetaFile.h"

namespace vetra {

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
    ExternalLibraryTable& externalLibraries() { return externalLibraries_; }

private:
    SlotTable<TMetaFile> metafiles_;
    ExternalLibraryTable externalLibraries_;
};

EngineProcess& engineProcess();

} // namespace vetra
