// One set of records checked from each form of data file, side by side in one process:
// fixed-width lines, NAACCR XML and gzipped NAACCR XML (the same Tumors). Prints records per
// second of each whole run and the ratios to the fixed-width run, and the time the inspection
// takes before the run (an XML file is read through once to count its Tumors).
#include "bench/whole_run.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

namespace {

using namespace vetra::bench;

} // namespace

int main(int argc, char** argv) {
    if (argc < 7) {
        std::fprintf(stderr,
                     "usage: %s METAFILE LAYOUT FIXED_FILE XML_FILE XML_GZ_FILE EDIT_SET...\n",
                     argv[0]);
        return 2;
    }
    vetra::desktop::RAVengine engine;
    if (!engine.loaded()) return 3;
    const char* names[] = {"fixed-width", "NAACCR XML", "gzipped NAACCR XML"};
    WholeRunSetup setups[3];
    double inspectionSeconds[3];
    for (int form = 0; form < 3; ++form) {
        setups[form] = {argv[1], argv[2], argv[3 + form], {argv + 6, argv + argc}, {}};
        const int length = layoutRecordLength(engine, setups[form]);
        const auto start = std::chrono::steady_clock::now();
        const int inspected = inspectDataFile(setups[form].data, setups[form].info, length);
        inspectionSeconds[form] =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (inspected != 0) {
            std::fprintf(stderr, "%s: %s\n", setups[form].data.c_str(),
                         setups[form].info.errorText.c_str());
            return 2;
        }
    }
    const auto results = std::filesystem::temp_directory_path() / "ravelo-bench-forms/";
    std::filesystem::create_directories(results);
    double seconds[3];
    vetra::desktop::RunCounters counters[3];
    for (int form = 0; form < 3; ++form)
        seconds[form] = wholeRun(engine, setups[form], setups[form].info.recordCount,
                                 results.string(), counters[form]);
    std::filesystem::remove_all(results);

    for (int form = 0; form < 3; ++form)
        std::printf("%-20s %8lld records %10.0f records/s  (%lld with exceptions; inspection "
                    "%.2fs)\n",
                    names[form], static_cast<long long>(setups[form].info.recordCount),
                    static_cast<double>(setups[form].info.recordCount) / seconds[form],
                    static_cast<long long>(counters[form].exceptionRecords),
                    inspectionSeconds[form]);
    std::printf("NAACCR XML / fixed-width          %6.2fx  (target at most 1.50x)\n",
                seconds[1] / seconds[0]);
    std::printf("gzipped NAACCR XML / fixed-width  %6.2fx\n", seconds[2] / seconds[0]);
    std::printf("with inspection: XML %.2fx, gzipped XML %.2fx\n",
                (seconds[1] + inspectionSeconds[1]) / (seconds[0] + inspectionSeconds[0]),
                (seconds[2] + inspectionSeconds[2]) / (seconds[0] + inspectionSeconds[0]));
    return 0;
}
