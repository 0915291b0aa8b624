// libFuzzer target: any bytes, run as an edit's compiled logic on a bound record. Every run
// must pass, fail or end with an engine error from the catalogue, within its token budget,
// and leave nothing behind but engine variables: no storage of the run and no running flag.
#include "engine/api/engine_failure.h"
#include "engine/api/engine_process.h"
#include "engine/api/vetra40.h"
#include "engine/store/TMetaFile.h"
#include "fuzz/fuzz_metafile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

// Enough for every statement form many times over, small enough for many runs a second.
constexpr uint64_t kTokenBudget = 20000;
constexpr size_t kByteLimit = size_t{64} << 20;

// Engine variables outlive a run (setvar stores them for the host): each run starts with none.
void resetEngineVariables(TMetaFile& instance) {
    instance.variables().clear();
}

// One instance for the whole process, as a host keeps one open across many records.
TMetaFile& boundInstance() {
    static TMetaFile* instance = [] {
        std::string path = vetra::fuzzing::writeFuzzMetafile("interpreter_fuzz");
        int32_t id = -1, record = -1;
        if (VTx_Init(&id, path.c_str(), nullptr, 0, nullptr) != 0) __builtin_trap();
        std::filesystem::remove(path);
        if (VTx_AllocRecord(id, 20, &record) != 0 ||
            VTx_InitRecordLayout(id, record, vetra::fuzzing::kFuzzLayout) != 0 ||
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
