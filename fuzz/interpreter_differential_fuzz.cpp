// libFuzzer target: any bytes, run as an edit's compiled logic on the same bound record by
// two instances of one metafile, one from the logic's translation and one from its tokens
// (the reference path, forced). Everything a host can observe must be the same: the result or the
// engine error and its text, the tokens read, the record and its written marker, the engine
// variables and the memory the instance holds. Each input runs twice: with the full token
// budget, then with half of what the reference path read, so that a run ends by the budget
// in the middle and the two counts must agree to the token.
#include "engine/api/engine_failure.h"
#include "engine/api/engine_process.h"
#include "engine/api/vetra40.h"
#include "engine/store/TMetaFile.h"
#include "fuzz/fuzz_metafile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace {

constexpr uint64_t kTokenBudget = 20000;
constexpr size_t kByteLimit = size_t{64} << 20;
constexpr const char* kRecord = "220051231C509";
constexpr const char* kLayout = vetra::fuzzing::kFuzzLayout;

struct Instance {
    TMetaFile* metafile = nullptr;
    int32_t id = -1;
    int32_t record = -1;
};

Instance open(const std::string& path, bool reference) {
    Instance instance;
    if (VTx_Init(&instance.id, path.c_str(), nullptr, 0, nullptr) != 0 ||
        VTx_AllocRecord(instance.id, 20, &instance.record) != 0 ||
        VTx_InitRecordLayout(instance.id, instance.record, kLayout) != 0)
        __builtin_trap();
    instance.metafile = vetra::engineProcess().metafiles().find(instance.id);
    instance.metafile->memory().setByteLimit(kByteLimit);
    instance.metafile->interpreter().forceReferencePath(reference);
    return instance;
}

// Both instances of the whole process, as a host keeps its instances open across records.
std::pair<Instance, Instance>& instances() {
    static std::pair<Instance, Instance> both = [] {
        std::string path = vetra::fuzzing::writeFuzzMetafile("interpreter_differential_fuzz");
        std::pair<Instance, Instance> opened{open(path, false), open(path, true)};
        std::filesystem::remove(path);
        return opened;
    }();
    return both;
}

// What a run left for a host to see.
struct Outcome {
    bool failed = false;
    int32_t result = 0;
    int32_t code = 0;
    std::string text;
    uint64_t tokens = 0;
    std::string record;
    int32_t written = 0;
    std::map<std::string, std::string> variables;
    size_t bytes = 0;

    bool operator==(const Outcome&) const = default;
};

Outcome run(Instance& instance, std::string_view logic, uint64_t budget) {
    TMetaFile& metafile = *instance.metafile;
    // Each run starts from the same record, no engine variables, no marker.
    metafile.variables().clear();
    VTx_UpdateRecord(instance.id, instance.record, kRecord);
    VTx_RecWriteClear(instance.id, kLayout);
    metafile.interpreter().setTokenBudget(budget);
    metafile.interpreter().tokens().start({}, 0); // an empty logic reads nothing
    Outcome outcome;
    try {
        outcome.result = metafile.interpreter().VTi_interpret(logic);
    } catch (const vetra::EngineFailure&) {
        outcome.failed = true;
    }
    outcome.code = metafile.lastEngineError();
    outcome.text = metafile.lastError().text();
    // A failed run stops wherever it failed; the count matters only for a finished one.
    if (!outcome.failed) outcome.tokens = metafile.interpreter().tokens().tokensRead();
    char record[21] = "";
    VTx_RetrieveRecord(instance.id, instance.record, record);
    outcome.record = record;
    VTx_RecWritten(instance.id, kLayout, &outcome.written);
    metafile.variables().forEach([&](std::string_view key, std::string_view value) {
        outcome.variables.emplace(std::string(key), std::string(value));
    });
    outcome.bytes = metafile.memory().bytesInUse();
    if (metafile.editLogicRunning()) __builtin_trap();
    return outcome;
}

void compare(const Outcome& translated, const Outcome& reference, uint64_t budget) {
    if (translated == reference) return;
    std::fprintf(stderr,
                 "budget %llu\ntranslated: failed %d result %d code %d tokens %llu bytes %zu "
                 "record %s text %s\nreference:  failed %d result %d code %d tokens %llu bytes "
                 "%zu record %s text %s\n",
                 static_cast<unsigned long long>(budget), translated.failed, translated.result,
                 translated.code, static_cast<unsigned long long>(translated.tokens),
                 translated.bytes, translated.record.c_str(), translated.text.c_str(),
                 reference.failed, reference.result, reference.code,
                 static_cast<unsigned long long>(reference.tokens), reference.bytes,
                 reference.record.c_str(), reference.text.c_str());
    __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto& [translated, reference] = instances();
    std::string_view logic(reinterpret_cast<const char*>(data), size);
    Outcome slow = run(reference, logic, kTokenBudget);
    compare(run(translated, logic, kTokenBudget), slow, kTokenBudget);
    uint64_t half = reference.metafile->interpreter().tokens().tokensRead() / 2;
    if (half > 0) compare(run(translated, logic, half), run(reference, logic, half), half);
    return 0;
}
