// Opens a metafile as a host would and then touches everything its directory names: every
// table opened, every record read, every table closed, the instance closed. What a damaged
// file may do is fail with a code of the catalogue; what it must not do is crash, leak the
// instance's memory or make a reader run on without end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vetra::corruption {

// A reader stops here even when a table claims more; a table whose claim is larger than the
// file can hold must end well before it.
inline constexpr std::size_t recordCapPerTable = 10000;

struct ExportsOutcome {
    int32_t code = 0;
    int32_t id = 0; // what VTx_Init left in the id
};

// VTx_Init, then VTx_Exit when it succeeded.
ExportsOutcome openThroughExports(const std::string& path);

struct WalkOutcome {
    int32_t openCode = 0; // 0, or the code the TMetaFile constructor failed with
    std::size_t tablesOpened = 0;
    std::size_t recordsRead = 0;
    bool recordCapReached = false;
    bool tablesReleasedTheirMemory = true; // bytes in use came back after each table closed
    int32_t closeCode = 0;
    int32_t highWaterMarkAfterClose = 0;
    std::size_t bytesInUseAfterClose = 0;
};

// Through the C++ interface: TMetaFile, OpenMetaTable for every entry, readNextRecord.
WalkOutcome walkEveryTable(const std::string& path);

// True for a code the engine's catalogue lists (VTerr_GetEngineErrorMessage gives 0 for it).
bool isCatalogueCode(int32_t code);

} // namespace vetra::corruption
