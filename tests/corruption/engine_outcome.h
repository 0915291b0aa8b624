// Opens a metafile as a host would and then touches everything its directory names: every
// table opened, every record read, every table closed, the instance closed. What a damaged
// file may do is fail with a code of the catalogue; what it must not do is crash, leak the
// instance's memory or make a reader run on without end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

struct LayoutOutcome {
    int32_t openCode = 0;           // VTx_Init's result
    std::vector<int32_t> bindCodes; // VTx_InitRecordLayout's, for each layout the catalogue lists
    std::size_t fieldsListed = 0;   // over every layout that bound
    int32_t exitCode = 0;
};

// Through the exported calls, as a host binds: every layout the catalogue lists (the first
// eight) bound to a record of the length it reports, each bound layout's fields listed with
// their names, then the instance closed.
LayoutOutcome bindEveryLayout(const std::string& path);

// True for a code the engine's catalogue lists (VTerr_GetEngineErrorMessage gives 0 for it).
bool isCatalogueCode(int32_t code);

} // namespace vetra::corruption
