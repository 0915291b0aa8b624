// The cost of the run machinery: VTx_RunBatch over an edit set of 50 edits on one record,
// against the interpretation alone of the same 50 compiled logics. Every tenth edit fails, so
// that message building is part of the batch's cost. Records and edit executions per second,
// single core.
#include "bench/bench_metafile.h"
#include "engine/api/engine_process.h"
#include "engine/api/vetra40.h"
#include "engine/store/TMetaFile.h"
#include "tools/edit_compiler/edit_compiler.h"
#include "tools/metafile_writer/metafile_builder.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

constexpr int kEdits = 50;

std::string logicOf(int n) {
    std::string source = "int code, limit;\ncode = " + std::to_string(n) +
                         ";\nlimit = 40;\nif (code mod 10 == 9) return fail;\n"
                         "if (code > limit && code < 100) return pass;\nreturn pass;\n";
    return vetra::compiler::compileEdit(source, {}, "bench.edit").logic;
}

const std::string& benchMetafile() {
    static const std::string path = [] {
        vetra::writer::MetafileBuilder builder;
        vetra::writer::DictionaryEntry sex;
        sex.localNumber = 220;
        sex.shortName = sex.longName = sex.thirdName = "Sex";
        sex.typeCode = "C";
        sex.length = 1;
        builder.addDictionaryEntry(sex);
        builder.addLayout(vetra::writer::RecordLayout{1, "Bench", "", {{220, "C", 1, 1, ' '}}});
        builder.addMessage(100, "Sex %V1 is not valid for %E");
        vetra::writer::EditSetDefinition set{"Bench Set", "", {}};
        for (int n = 0; n < kEdits; ++n) {
            std::string name = "Edit " + std::to_string(n);
            builder.addEdit({name, 100, {220}, logicOf(n), "", ""});
            set.members.push_back(name);
        }
        builder.addEditSet(set);
        return vetra::bench::writeMetafile(builder, "vetra-run-batch-bench.rmf");
    }();
    return path;
}

struct BoundSet {
    BoundSet() {
        VTx_Init(&id, benchMetafile().c_str(), nullptr, 0, nullptr);
        VTx_AllocRecord(id, 10, &record);
        VTx_InitRecordLayout(id, record, "Bench");
        VTx_UpdateRecord(id, record, "2");
        int32_t status = 0;
        VTx_LoadEditSet(id, &set, "Bench Set", &status, 1);
    }
    ~BoundSet() { VTx_Exit(id); }
    int32_t id = -1, record = -1, set = 0;
};

void BM_RunBatch(benchmark::State& state) {
    BoundSet bound;
    for (auto _ : state) {
        int32_t messages = 0;
        VTx_ClearAllFlags(bound.id);
        benchmark::DoNotOptimize(VTx_RunBatch(bound.id, bound.set, 0, &messages, 0, nullptr));
    }
    state.counters["records_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetItemsProcessed(state.iterations() * kEdits);
}
BENCHMARK(BM_RunBatch);

void BM_InterpretationAlone(benchmark::State& state) {
    BoundSet bound;
    std::vector<std::string> logics;
    for (int n = 0; n < kEdits; ++n)
        logics.push_back(logicOf(n));
    vetra::Interpreter& interpreter =
        vetra::engineProcess().metafiles().find(bound.id)->interpreter();
    for (auto _ : state)
        for (const std::string& logic : logics)
            benchmark::DoNotOptimize(interpreter.VTi_interpret(logic));
    state.counters["records_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetItemsProcessed(state.iterations() * kEdits);
}
BENCHMARK(BM_InterpretationAlone);

} // namespace

BENCHMARK_MAIN();
