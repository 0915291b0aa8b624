// lookup and ilookup as compiled edits call them, on an indexed table of 100,000 keys: each
// edit run makes 16 lookups of different keys (three in four present), so the interpreter's
// cost per run is shared out. The floor is a std::unordered_map lookup of the same keys; the
// same edits calling strlen show what interpreting the calls costs without a lookup.
#include "bench/bench_metafile.h"
#include "engine/api/engine_process.h"
#include "engine/api/vetra40.h"
#include "engine/store/TMetaFile.h"
#include "tools/edit_compiler/edit_compiler.h"

#include <benchmark/benchmark.h>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr int kKeys = 100000;
constexpr int kLookupsPerRun = 16;
constexpr int kEdits = 256;

std::string keyOf(int n) {
    std::string digits = std::to_string(n);
    return std::string(7 - digits.size(), '0') + digits;
}

// The table holds the even numbers; a key drawn from 0 to 4 kKeys / 3 is present three
// times in four.
std::vector<std::string> drawnKeys(size_t count) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> draw(0, kKeys * 4 / 3);
    std::vector<std::string> keys;
    for (size_t i = 0; i < count; ++i) {
        int n = draw(random);
        keys.push_back(keyOf(n % 4 == 3 ? n : n / 2 * 2));
    }
    return keys;
}

const std::string& benchMetafile() {
    static const std::string path = [] {
        vetra::writer::MetafileBuilder builder;
        vetra::writer::DbfTable table{
            "KEYED.DBF", {{"CODE", 'C', 7, 0}, {"LABEL", 'C', 20, 0}}, {}, {}};
        for (int n = 0; n < kKeys; ++n)
            table.rows.push_back({{keyOf(2 * n), "row " + std::to_string(n)}, false});
        table.indexTags = {{"CODE", "CODE", false}};
        builder.addTable(table);
        return vetra::bench::writeMetafile(builder, "vetra-lookup-bench.rmf");
    }();
    return path;
}

void runLookups(benchmark::State& state, const char* function, const char* table) {
    int32_t id = -1;
    VTx_Init(&id, benchMetafile().c_str(), nullptr, 0, nullptr);
    vetra::Interpreter& interpreter = vetra::engineProcess().metafiles().find(id)->interpreter();
    std::vector<std::string> keys = drawnKeys(kEdits * kLookupsPerRun);
    std::vector<std::string> logic;
    for (int e = 0; e < kEdits; ++e) {
        std::string source = "int n; n = 0;";
        for (int k = 0; k < kLookupsPerRun; ++k) {
            std::string key = "\"" + keys[static_cast<size_t>(e * kLookupsPerRun + k)] + "\"";
            std::string arguments = table != nullptr ? key + ", \"" + table + "\"" : key;
            source += std::string(" n = n + ") + function + "(" + arguments + ");";
        }
        logic.push_back(vetra::compiler::compileEdit(source + " return n;", {}, "b.edit").logic);
    }
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(interpreter.VTi_interpret(logic[next]));
        next = (next + 1) % logic.size();
    }
    VTx_Exit(id);
    state.SetItemsProcessed(state.iterations() * kLookupsPerRun);
}

void BM_IlookupInEdits(benchmark::State& state) {
    runLookups(state, "ilookup", "KEYED.DBF.CODE");
}
BENCHMARK(BM_IlookupInEdits);

void BM_LookupInEdits(benchmark::State& state) {
    runLookups(state, "lookup", "KEYED.DBF.CODE");
}
BENCHMARK(BM_LookupInEdits);

// The same edits with strlen in place of the lookup: what the interpreter costs alone.
void BM_StrlenInEdits(benchmark::State& state) {
    runLookups(state, "strlen", nullptr);
}
BENCHMARK(BM_StrlenInEdits);

void BM_UnorderedMapFloor(benchmark::State& state) {
    std::unordered_map<std::string, int> table;
    for (int n = 0; n < kKeys; ++n)
        table.emplace(keyOf(2 * n), n);
    std::vector<std::string> keys = drawnKeys(kEdits * kLookupsPerRun);
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.find(keys[next]) != table.end());
        next = (next + 1) % keys.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_UnorderedMapFloor);

} // namespace

BENCHMARK_MAIN();
