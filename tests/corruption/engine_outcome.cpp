#include "tests/corruption/engine_outcome.h"

#include "engine/api/engine_failure.h"
#include "engine/api/vetra40.h"
#include "engine/store/TMetaFile.h"

#include <algorithm>
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

// Fields are listed until the engine says there are no more, or the record cap.
std::size_t listFields(int32_t id, const char* layoutName) {
    int32_t fieldCount = 0;
    if (VTx_GetRecordLayoutInit(id, layoutName, &fieldCount) != 0) return 0;
    std::size_t listed = 0;
    int32_t column = 0, local = 0, length = 0, handle = 0;
    char shortName[32], longName[32], typeCode[8], thirdName[32];
    while (listed < recordCapPerTable &&
           VTx_GetRecordLayoutField(id, &column, &local, shortName, longName, typeCode, thirdName,
                                    &length, &handle) == 0)
        ++listed;
    return listed;
}

} // namespace

LayoutOutcome bindEveryLayout(const std::string& path) {
    LayoutOutcome outcome;
    int32_t id = -1;
    outcome.openCode = VTx_Init(&id, path.c_str(), nullptr, 0, nullptr);
    if (outcome.openCode != 0) return outcome;
    int32_t layouts = 0;
    VTx_GetRecordLayoutCount(id, &layouts);
    for (int32_t n = 1; n <= std::min(layouts, 8); ++n) {
        char name[32] = "";
        int32_t length = 0, record = -1;
        if (VTx_GetRecordLayoutName(id, n, name, &length) != 0) continue;
        if (VTx_AllocRecord(id, std::clamp(length, 1, 100000), &record) != 0) continue;
        outcome.bindCodes.push_back(VTx_InitRecordLayout(id, record, name));
        if (outcome.bindCodes.back() == 0) outcome.fieldsListed += listFields(id, name);
    }
    outcome.exitCode = VTx_Exit(id);
    return outcome;
}

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
