// Index seeks against unindexed scans on a lookup table of 100,000 keys: exact and range
// seeks through the compound index, and record reads that scan the same table without one.
#include "bench/bench_metafile.h"
#include "engine/store/TMetaFile.h"
#include "tools/metafile_writer/metafile_builder.h"

#include <benchmark/benchmark.h>
#include <random>
#include <string>

namespace {

constexpr int kKeys = 100000;

std::string keyOf(int n) {
    std::string digits = std::to_string(n);
    return std::string(7 - digits.size(), '0') + digits;
}

// KEYED.DBF and PLAIN.DBF hold the same rows; only KEYED.DBF has an index on CODE.
const std::string& benchMetafile() {
    static const std::string path = [] {
        vetra::writer::MetafileBuilder builder;
        for (const char* name : {"KEYED.DBF", "PLAIN.DBF"}) {
            vetra::writer::DbfTable table{
                name, {{"CODE", 'C', 7, 0}, {"LABEL", 'C', 20, 0}}, {}, {}};
            for (int n = 0; n < kKeys; ++n)
                table.rows.push_back({{keyOf(2 * n), "row"}, false});
            if (std::string(name) == "KEYED.DBF") table.indexTags = {{"CODE", "CODE", false}};
            builder.addTable(table);
        }
        return vetra::bench::writeMetafile(builder, "vetra-index-bench.rmf");
    }();
    return path;
}

void seekBenchmark(benchmark::State& state, vetra::SeekMode mode, int offset) {
    TMetaFile metafile(benchMetafile().c_str(), nullptr, nullptr, 0);
    vetra::DirectoryEntry entry{};
    metafile.VTi_locMetaTbl(&entry, "KEYED.DBF");
    std::mt19937 random(7);
    std::uniform_int_distribution<int> draw(0, kKeys - 1);
    for (auto _ : state) {
        std::string key = keyOf(2 * draw(random) + offset);
        benchmark::DoNotOptimize(
            metafile.indexSearch().VTi_indexseek(entry.indexPosition, "CODE", key, mode));
    }
    metafile.indexSearch().VTi_indexcleanup();
    state.SetItemsProcessed(state.iterations());
}

void BM_ExactSeek(benchmark::State& state) {
    seekBenchmark(state, vetra::SeekMode::Exact, 0);
}
void BM_RangeSeek(benchmark::State& state) {
    seekBenchmark(state, vetra::SeekMode::Range, 1);
}

void BM_UnindexedScan(benchmark::State& state) {
    TMetaFile metafile(benchMetafile().c_str(), nullptr, nullptr, 0);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> draw(0, kKeys - 1);
    for (auto _ : state) {
        std::string key = keyOf(2 * draw(random));
        benchmark::DoNotOptimize(metafile.lookupTables().VTi_Tblreadrec(
            key, "PLAIN.DBF.CODE", 1, 0, nullptr, vetra::SeekMode::Exact));
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_ExactSeek);
BENCHMARK(BM_RangeSeek);
BENCHMARK(BM_UnindexedScan)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
