// match and inlist as registry edits use them: code lists of 5, 20 and 50 entries and short
// patterns. The list test alone (VTi_Inlist), and whole calls from compiled logic through the
// interpreter, single core.
#include "bench/bench_metafile.h"
#include "engine/api/engine_process.h"
#include "engine/api/vetra40.h"
#include "engine/library/string_functions.h"
#include "engine/store/TMetaFile.h"
#include "tools/edit_compiler/edit_compiler.h"
#include "tools/metafile_writer/metafile_builder.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

// Codes "01" to "nn" as a registry lists them, a range every fifth entry.
std::string codeList(int entries) {
    std::string list;
    for (int n = 1; n <= entries; ++n) {
        char code[16];
        std::snprintf(code, sizeof code, n % 5 == 0 ? "%02d-%02d" : "%02d", n * 2, n * 2 + 1);
        list += (list.empty() ? "" : ",") + std::string(code);
    }
    return list;
}

struct OpenInstance {
    OpenInstance() {
        static const std::string path = [] {
            return vetra::bench::writeMetafile(vetra::writer::MetafileBuilder(),
                                               "vetra-library-bench.rmf");
        }();
        VTx_Init(&id, path.c_str(), nullptr, 0, nullptr);
    }
    ~OpenInstance() { VTx_Exit(id); }
    TMetaFile& instance() { return *vetra::engineProcess().metafiles().find(id); }
    int32_t id = -1;
};

void BM_ListTest(benchmark::State& state) {
    OpenInstance open;
    std::string list = codeList(static_cast<int>(state.range(0)));
    std::string value = "31"; // in the list's last third
    for (auto _ : state)
        benchmark::DoNotOptimize(vetra::VTi_Inlist(open.instance(), value, list));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ListTest)->Arg(5)->Arg(20)->Arg(50);

void runCalls(benchmark::State& state, const std::string& call) {
    OpenInstance open;
    std::string logic = vetra::compiler::compileEdit("return " + call + ";", {}, "b.edit").logic;
    vetra::Interpreter& interpreter = open.instance().interpreter();
    for (auto _ : state)
        benchmark::DoNotOptimize(interpreter.VTi_interpret(logic));
    state.SetItemsProcessed(state.iterations());
}

void BM_InlistCall(benchmark::State& state) {
    runCalls(state, "inlist(\"31\", \"" + codeList(static_cast<int>(state.range(0))) + "\")");
}
BENCHMARK(BM_InlistCall)->Arg(5)->Arg(20);

void BM_MatchCall(benchmark::State& state) {
    runCalls(state, "match(\"C509\", \"addd\")");
}
BENCHMARK(BM_MatchCall);

} // namespace

BENCHMARK_MAIN();
