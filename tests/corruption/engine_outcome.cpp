#include "tests/corruption/engine_outcome.h"

#include "engine/api/engine_failure.h"
#include "engine/api/vetra40.h"
#include "engine/store/TMetaFile.h"

#include <array>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

namespace vetra::corruption {

namespace {

// The constructor's failure carries its code as decimal text.
int32_t codeOf(const EngineFailure& failure) {
    try {
        return std::stoi(failure.what());
    } catch (const std::exception&) {
        return -3;
    }
}

// Reads records until the reader says there are no more, or the cap.
void readAllRecords(TMetaFile& metafile, t_dbfFile* table, WalkOutcome& outcome) {
    std::array<char, 512> buffer{};
    for (std::size_t read = 0;; ++read) {
        if (read == recordCapPerTable) {
            outcome.recordCapReached = true;
            return;
        }
        // Lines are read whole: trimming a blank line passes memcpy a null source, which the
        // sanitizers stop on; the fuzz target reads them trimmed.
        if (metafile.tableReader().readNextRecord(table, buffer, false) != 1) return;
        ++outcome.recordsRead;
    }
}

void walkTable(TMetaFile& metafile, std::string_view name, WalkOutcome& outcome) {
    std::size_t bytesBefore = metafile.memory().bytesInUse();
    t_dbfFile* table = metafile.OpenMetaTable(name);
    if (table != nullptr) {
        ++outcome.tablesOpened;
        readAllRecords(metafile, table, outcome);
        metafile.tableReader().close(table);
    }
    if (metafile.memory().bytesInUse() != bytesBefore) outcome.tablesReleasedTheirMemory = false;
}

} // namespace

ExportsOutcome openThroughExports(const std::string& path) {
    ExportsOutcome outcome;
    outcome.id = 12345;
    char version[5] = {};
    outcome.code = VTx_Init(&outcome.id, path.c_str(), version, 0, nullptr);
    if (outcome.code == 0) VTx_Exit(outcome.id);
    return outcome;
}

WalkOutcome walkEveryTable(const std::string& path) {
    WalkOutcome outcome;
    char version[5] = {};
    std::unique_ptr<TMetaFile> metafile;
    try {
        metafile = std::make_unique<TMetaFile>(path.c_str(), version, nullptr, 0);
    } catch (const EngineFailure& failure) {
        outcome.openCode = codeOf(failure);
        return outcome;
    }
    for (const DirectoryEntry& entry : metafile->directory().entries())
        walkTable(*metafile, entry.name, outcome);
    outcome.closeCode = metafile->close();
    outcome.highWaterMarkAfterClose = metafile->memory().highWaterMark();
    outcome.bytesInUseAfterClose = metafile->memory().bytesInUse();
    return outcome;
}

bool isCatalogueCode(int32_t code) {
    char message[256];
    char function[64];
    return VTerr_GetEngineErrorMessage(code, message, sizeof message, function, sizeof function) ==
           0;
}

} // namespace vetra::corruption
