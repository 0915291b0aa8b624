// libFuzzer target: any bytes, opened as a metafile. The input goes to a file because the
// engine opens metafiles by path. A clean open is followed by everything a host may do with
// the directory: every table opened, read to its end and closed, then the instance closed.
// Besides the sanitizers' findings these count as crashes: a failure without a catalogue
// code, a failed close, memory left behind by a table or by the instance, and a table that
// yields more records than the input has bytes.
#include "engine/api/engine_failure.h"
#include "engine/api/vetra40.h"
#include "engine/store/TMetaFile.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// Reading stops here whatever a table claims, so that one input cannot take a run's time.
constexpr std::size_t recordCap = 10000;

// One file per process, in memory when /dev/shm is there; every run overwrites it.
const std::string& inputPath() {
    static const std::string path = [] {
        std::filesystem::path folder = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
        return (folder / ("open_metafile_fuzz-" + std::to_string(::getpid()) + ".rmf")).string();
    }();
    return path;
}

void removeInput() {
    std::remove(inputPath().c_str());
}

void writeInput(const uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(inputPath().c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
}

void requireCatalogueCode(const vetra::EngineFailure& failure) {
    char* end = nullptr;
    long code = std::strtol(failure.what(), &end, 10);
    char message[256];
    char function[64];
    if (end == failure.what() || *end != '\0' || code <= 0 ||
        VTerr_GetEngineErrorMessage(static_cast<int32_t>(code), message, sizeof message, function,
                                    sizeof function) != 0)
        std::abort();
}

// Every record takes at least one byte of the file (a table's deletion byte, a text line's
// line feed), so a table that yields more records than the input has bytes is reading what
// is not there.
void readTable(TMetaFile& metafile, const char* name, std::size_t inputSize) {
    std::size_t bytesBefore = metafile.memory().bytesInUse();
    vetra::t_dbfFile* table = metafile.OpenMetaTable(name);
    if (table != nullptr) {
        std::array<char, 1024> buffer;
        std::size_t records = 0;
        while (records < recordCap &&
               metafile.tableReader().readNextRecord(table, buffer, false) == 1)
            ++records;
        if (records > inputSize) std::abort();
        metafile.tableReader().close(table);
    }
    if (metafile.memory().bytesInUse() != bytesBefore) std::abort(); // a table leaked a block
}

// A bound layout's first fields with their names, each name looked up again as a host would.
void listFields(int32_t id, const char* layout) {
    int32_t fieldCount = 0;
    if (VTx_GetRecordLayoutInit(id, layout, &fieldCount) != 0) return;
    int32_t column = 0, local = 0, length = 0, handle = 0;
    char shortName[32], longName[32], typeCode[8], thirdName[32];
    for (int32_t n = 0;
         n < 64 && VTx_GetRecordLayoutField(id, &column, &local, shortName, longName, typeCode,
                                            thirdName, &length, &handle) == 0;
         ++n) {
        VTx_FieldName(id, handle, "T", thirdName);
        VTx_FieldHandle(id, shortName, "S", layout);
    }
}

// Through the exported calls: bind every layout and list its fields, load every edit set, and
// read each edit's texts and rendering. Any result is fine; a crash or a read outside the
// image is not.
void bindAndLoadEverything() {
    int32_t id = -1;
    if (VTx_Init(&id, inputPath().c_str(), nullptr, 0, nullptr) != 0) return;
    int32_t layouts = 0, sets = 0;
    VTx_GetRecordLayoutCount(id, &layouts);
    for (int32_t n = 1; n <= std::min(layouts, 8); ++n) {
        char name[64] = "";
        int32_t length = 0, record = -1;
        if (VTx_GetRecordLayoutName(id, n, name, &length) != 0) continue;
        if (VTx_AllocRecord(id, std::clamp(length, 1, 100000), &record) != 0) continue;
        VTx_UpdateRecord(id, record, "1234567890");
        if (VTx_InitRecordLayout(id, record, name) == 0) listFields(id, name);
    }
    VTx_GetEditSetCount(id, &sets);
    for (int32_t s = 1; s <= std::min(sets, 8); ++s) {
        char name[64] = "";
        int32_t handle = 0, status = 0, edits = 0;
        if (VTx_GetEditSetName(id, s, name) != 0) continue;
        if (VTx_LoadEditSet(id, &handle, name, &status, s % 2) != 0) continue;
        VTx_GetEditSetSize(id, handle, &edits);
        for (int32_t e = 0; e < std::min(edits, 64); ++e) {
            static char text[20000];
            int32_t length = 0;
            VTx_GetEditLogic(id, handle, e, sizeof text, "\n", &length, text);
            VTx_GetEditDescript(id, handle, e, 20, sizeof text, &length, text, 1);
            VTx_GetEditInfo(id, handle, e, "%S1 %V1 %C2 %F3 %DC %E", text, 256);
        }
    }
    if (VTx_Exit(id) != 0) std::abort();
}

void openAndReadEverything(std::size_t inputSize) {
    char version[5] = {};
    try {
        TMetaFile metafile(inputPath().c_str(), version, nullptr, 0);
        for (const vetra::DirectoryEntry& entry : metafile.directory().entries())
            readTable(metafile, entry.name, inputSize);
        if (metafile.close() != 0 || metafile.memory().highWaterMark() != 0 ||
            metafile.memory().bytesInUse() != 0)
            std::abort();
    } catch (const vetra::EngineFailure& failure) {
        requireCatalogueCode(failure);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::atexit(removeInput);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    writeInput(data, size);
    openAndReadEverything(size);
    bindAndLoadEverything();
    return 0;
}
