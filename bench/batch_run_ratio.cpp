// The whole batch run against the engine alone, side by side in one process on one data file:
//   floor        reading each record and VTx_UpdateRecord
//   engine loop  the floor plus VTx_ClearAllFlags and VTx_RunBatch of every edit set, run from
//                the edits' translations and again from their tokens (the reference path)
//   whole run    the desktop program's run: options, results database, summary, run record
// Prints records per second and the ratios, and the run's peak memory over two range sizes
// (a run's memory must not grow with its number of records).
#include "bench/engine_loop.h"
#include "bench/whole_run.h"
#include "desktop/data/data_file_inspection.h"
#include "desktop/run/engine_binding.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace vetra::desktop;
using Setup = vetra::bench::WholeRunSetup;
using vetra::bench::engineLoop;
using vetra::bench::wholeRun;

void resetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

long peakMemoryKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s METAFILE LAYOUT DATAFILE EDIT_SET...\n", argv[0]);
        return 2;
    }
    Setup setup{argv[1], argv[2], argv[3], {argv + 4, argv + argc}, {}};
    if (inspectDataFile(setup.data, setup.info) != 0) {
        std::fprintf(stderr, "%s: %s\n", setup.data.c_str(), setup.info.errorText.c_str());
        return 2;
    }
    RAVengine engine;
    if (!engine.loaded()) return 3;
    const auto results = std::filesystem::temp_directory_path() / "ravelo-bench-results/";
    std::filesystem::create_directories(results);
    const auto records = static_cast<double>(setup.info.recordCount);

    const double floor = engineLoop(engine, setup, false);
    const double loop = engineLoop(engine, setup, true);
    const double referenceLoop = engineLoop(engine, setup, true, true);
    RunCounters counters;
    resetPeakMemory();
    const double smallRun =
        wholeRun(engine, setup, setup.info.recordCount / 10, results.string(), counters);
    const long smallPeak = peakMemoryKiB();
    resetPeakMemory();
    const double run = wholeRun(engine, setup, setup.info.recordCount, results.string(), counters);
    const long fullPeak = peakMemoryKiB();
    std::filesystem::remove_all(results);

    std::printf("%lld records, %lld with exceptions, %lld failure messages stored\n",
                static_cast<long long>(setup.info.recordCount),
                static_cast<long long>(counters.exceptionRecords),
                static_cast<long long>(counters.messageNumber));
    std::printf("floor (read + VTx_UpdateRecord)   %10.0f records/s\n", records / floor);
    std::printf("engine loop (+ VTx_RunBatch)      %10.0f records/s\n", records / loop);
    std::printf("engine loop, reference path       %10.0f records/s\n", records / referenceLoop);
    std::printf("whole batch run                   %10.0f records/s\n", records / run);
    std::printf("whole run / engine loop           %10.2fx  (target at most 1.30x)\n", run / loop);
    std::printf("engine loop / floor               %10.2fx  (target at most 10x)\n", loop / floor);
    std::printf("reference engine loop / floor     %10.2fx\n", referenceLoop / floor);
    std::printf("peak memory: %ld KiB over %lld records, %ld KiB over all (%.2fx; %.2fs)\n",
                smallPeak, static_cast<long long>(setup.info.recordCount / 10), fullPeak,
                static_cast<double>(fullPeak) / static_cast<double>(smallPeak), smallRun);
    return 0;
}
