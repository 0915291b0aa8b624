// Prints the seconds of the engine loop over a data file, elapsed and of processor time (which a
// machine busy with other work disturbs less), for benchmarks that compare another host of the
// engine with it side by side (bench/python_check_ratio.py).
#include "bench/engine_loop.h"
#include "desktop/data/data_file_inspection.h"

#include <cstdio>
#include <ctime>

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s METAFILE LAYOUT DATAFILE EDIT_SET...\n", argv[0]);
        return 2;
    }
    vetra::bench::WholeRunSetup setup{argv[1], argv[2], argv[3], {argv + 4, argv + argc}, {}};
    if (vetra::desktop::inspectDataFile(setup.data, setup.info) != 0) {
        std::fprintf(stderr, "%s: %s\n", setup.data.c_str(), setup.info.errorText.c_str());
        return 2;
    }
    vetra::desktop::RAVengine engine;
    if (!engine.loaded()) return 3;
    const std::clock_t processorStart = std::clock();
    const double elapsed = vetra::bench::engineLoop(engine, setup, true);
    const double processor = static_cast<double>(std::clock() - processorStart) / CLOCKS_PER_SEC;
    std::printf("%.6f %.6f\n", elapsed, processor);
    return 0;
}
