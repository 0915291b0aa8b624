// Edit executions per second on one core: typical edit logic (declarations, arithmetic,
// comparisons, if/else, a short loop and a user function call) interpreted on a bound record,
// and the smallest edit for the fixed cost of a run.
#include "bench/bench_metafile.h"
#include "engine/api/engine_process.h"
#include "engine/api/vetra40.h"
#include "engine/store/TMetaFile.h"
#include "tools/edit_compiler/edit_compiler.h"
#include "tools/metafile_writer/metafile_builder.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

constexpr const char* kTypicalEdit = R"(int i, total, limit;
char code[4];
total = 0;
limit = 4;
for (i = 0; i < limit; i = i + 1) {
    if (i mod 2 == 0) total = total + i * 3;
    else total = total - 1;
}
code[0] = 'C';
if (total > 2 && code[0] == 'C') total = half(total);
else total = 0;
if (total < 0) return fail;
return pass;

function half(int n) { return n / 2; }
)";

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
        return vetra::bench::writeMetafile(builder, "vetra-interpreter-bench.rmf");
    }();
    return path;
}

void runEdit(benchmark::State& state, const char* source) {
    int32_t id = -1, record = -1;
    VTx_Init(&id, benchMetafile().c_str(), nullptr, 0, nullptr);
    VTx_AllocRecord(id, 10, &record);
    VTx_InitRecordLayout(id, record, "Bench");
    VTx_UpdateRecord(id, record, "2");
    std::string logic = vetra::compiler::compileEdit(source, {}, "bench.edit").logic;
    vetra::Interpreter& interpreter = vetra::engineProcess().metafiles().find(id)->interpreter();
    for (auto _ : state)
        benchmark::DoNotOptimize(interpreter.VTi_interpret(logic));
    state.SetItemsProcessed(state.iterations());
    state.counters["tokens_per_run"] = static_cast<double>(interpreter.tokens().tokensRead());
    VTx_Exit(id);
}

void BM_TypicalEdit(benchmark::State& state) {
    runEdit(state, kTypicalEdit);
}
BENCHMARK(BM_TypicalEdit);

void BM_SmallestEdit(benchmark::State& state) {
    runEdit(state, "return pass;");
}
BENCHMARK(BM_SmallestEdit);

} // namespace

BENCHMARK_MAIN();
