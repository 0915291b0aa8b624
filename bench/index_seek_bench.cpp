// Index seeks against unindexed scans on a lookup table of 100,000 keys: exact and range
// seeks through the compound index, the string lookups and record reads that edit logic calls
// through it, and record reads that scan the same table without one. An unordered_map lookup
// of the same keys is the floor; the run ends with each lookup's time as a multiple of it.
#include "bench/bench_metafile.h"
#include "engine/store/TMetaFile.h"
#include "tools/metafile_writer/metafile_builder.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

constexpr int kKeys = 100000;
constexpr const char* kFloorName = "BM_UnorderedMapFloor";

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

// The keys every lookup benchmark draws, in the same order: present ones, or with `offset`
// 1 absent ones between them. They are drawn before the benchmark runs, so that making them
// is no part of the time measured.
class KeyDraw {
public:
    explicit KeyDraw(int offset) {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> draw(0, kKeys - 1);
        for (std::string& key : keys_)
            key = keyOf(2 * draw(random) + offset);
    }
    const std::string& next() { return keys_[next_++ % keys_.size()]; }

private:
    std::vector<std::string> keys_ = std::vector<std::string>(size_t{1} << 16);
    size_t next_ = 0;
};

void seekBenchmark(benchmark::State& state, vetra::SeekMode mode, int offset) {
    TMetaFile metafile(benchMetafile().c_str(), nullptr, nullptr, 0);
    vetra::DirectoryEntry entry{};
    metafile.VTi_locMetaTbl(&entry, "KEYED.DBF");
    KeyDraw keys(offset);
    for (auto _ : state) {
        const std::string& key = keys.next();
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

void BM_StrLookUp(benchmark::State& state) {
    TMetaFile metafile(benchMetafile().c_str(), nullptr, nullptr, 0);
    KeyDraw keys(0);
    for (auto _ : state) {
        const std::string& key = keys.next();
        benchmark::DoNotOptimize(metafile.lookupTables().VTi_StrLookUp(key, "KEYED.DBF.CODE"));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_IndexedRecordRead(benchmark::State& state) {
    TMetaFile metafile(benchMetafile().c_str(), nullptr, nullptr, 0);
    KeyDraw keys(0);
    std::string record;
    for (auto _ : state) {
        const std::string& key = keys.next();
        benchmark::DoNotOptimize(metafile.lookupTables().VTi_Tblreadrec(
            key, "KEYED.DBF.CODE", 1, 0, &record, vetra::SeekMode::Exact));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_UnindexedScan(benchmark::State& state) {
    TMetaFile metafile(benchMetafile().c_str(), nullptr, nullptr, 0);
    KeyDraw keys(0);
    for (auto _ : state) {
        const std::string& key = keys.next();
        benchmark::DoNotOptimize(metafile.lookupTables().VTi_Tblreadrec(
            key, "PLAIN.DBF.CODE", 1, 0, nullptr, vetra::SeekMode::Exact));
    }
    state.SetItemsProcessed(state.iterations());
}

// The same keys, each mapped to its record number.
void BM_UnorderedMapFloor(benchmark::State& state) {
    std::unordered_map<std::string, int> records;
    for (int n = 0; n < kKeys; ++n)
        records.emplace(keyOf(2 * n), n + 1);
    KeyDraw keys(0);
    for (auto _ : state) {
        const std::string& key = keys.next();
        auto found = records.find(key);
        benchmark::DoNotOptimize(found == records.end() ? 0 : found->second);
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_UnorderedMapFloor);
BENCHMARK(BM_ExactSeek);
BENCHMARK(BM_RangeSeek);
BENCHMARK(BM_StrLookUp);
BENCHMARK(BM_IndexedRecordRead);
BENCHMARK(BM_UnindexedScan)->Unit(benchmark::kMillisecond);

// The console report, followed by each benchmark's processor time per lookup over the
// floor's: other work on the machine stretches the real times unevenly.
class FloorRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            seconds_.emplace_back(run.benchmark_name(),
                                  run.GetAdjustedCPUTime() /
                                      benchmark::GetTimeUnitMultiplier(run.time_unit));
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        double floor = 0;
        for (const auto& [name, seconds] : seconds_)
            if (name == kFloorName) floor = seconds;
        if (floor <= 0) return;
        std::printf("\nTime per lookup over the unordered_map floor (%.1f ns):\n", floor * 1e9);
        for (const auto& [name, seconds] : seconds_)
            std::printf("  %-24s %10.1fx  %12.0f per second\n", name.c_str(), seconds / floor,
                        1 / seconds);
    }

private:
    std::vector<std::pair<std::string, double>> seconds_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    FloorRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
