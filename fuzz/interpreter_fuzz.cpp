// libFuzzer target: any bytes, run as an edit's compiled logic on a bound record. Every run
// must pass, fail or end with an engine error from the catalogue, within its token budget,
// and leave nothing behind but engine variables: no storage of the run and no running flag.
#include "engine/api/engine_failure.h"
#include "engine/api/engine_process.h"
#include "engine/api/vetra40.h"
#include "engine/store/TMetaFile.h"
#include "tools/metafile_writer/metafile_builder.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

// Enough for every statement form many times over, small enough for many runs a second.
constexpr uint64_t kTokenBudget = 20000;
constexpr size_t kByteLimit = size_t{64} << 20;

vetra::writer::DictionaryEntry item(long local, const char* name, int length) {
    vetra::writer::DictionaryEntry entry;
    entry.localNumber = local;
    entry.shortName = entry.longName = entry.thirdName = name;
    entry.typeCode = "C";
    entry.length = length;
    return entry;
}

std::string writeMetafile() {
    vetra::writer::MetafileBuilder builder;
    builder.addDictionaryEntry(item(220, "Sex", 1));
    builder.addDictionaryEntry(item(390, "Date of Diagnosis", 8));
    builder.addDictionaryEntry(item(400, "Primary Site", 4));
    builder.addLayout(vetra::writer::RecordLayout{
        1, "Fuzz", "", {{220, "C", 1, 1, ' '}, {390, "C", 2, 8, ' '}, {400, "C", 10, 4, ' '}}});
    auto bytes = builder.build();
    std::string path = (std::filesystem::temp_directory_path() /
                        ("interpreter_fuzz-" + std::to_string(::getpid()) + ".rmf"))
                           .string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Engine variables outlive a run (setvar stores them for the host): each run starts with none.
void resetEngineVariables(TMetaFile& instance) {
    instance.variables().clear();
}

// One instance for the whole process, as a host keeps one open across many records.
TMetaFile& boundInstance() {
    static TMetaFile* instance = [] {
        std::string path = writeMetafile();
        int32_t id = -1, record = -1;
        if (VTx_Init(&id, path.c_str(), nullptr, 0, nullptr) != 0) __builtin_trap();
        std::filesystem::remove(path);
        if (VTx_AllocRecord(id, 20, &record) != 0 ||
            VTx_InitRecordLayout(id, record, "Fuzz") != 0 ||
            VTx_UpdateRecord(id, record, "220051231C509") != 0)
            __builtin_trap();
        TMetaFile* found = vetra::engineProcess().metafiles().find(id);
        found->interpreter().setTokenBudget(kTokenBudget);
        found->memory().setByteLimit(kByteLimit);
        resetEngineVariables(*found);
        return found;
    }();
    return *instance;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TMetaFile& instance = boundInstance();
    size_t bytesBefore = instance.memory().bytesInUse();
    try {
        instance.interpreter().VTi_interpret(
            std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const vetra::EngineFailure&) {
        char message[256], function[64];
        if (instance.lastEngineError() <= 0 ||
            VTerr_GetEngineErrorMessage(instance.lastEngineError(), message, sizeof message,
                                        function, sizeof function) != 0)
            __builtin_trap();
    }
    resetEngineVariables(instance);
    if (instance.editLogicRunning() || instance.memory().bytesInUse() != bytesBefore)
        __builtin_trap();
    return 0;
}
