// Prints the seconds of the engine loop over a data file, for benchmarks that compare another
// host of the engine with it side by side (bench/python_check_ratio.py).
#include "bench/engine_loop.h"
#include "desktop/shell/data_file_inspection.h"

#include <cstdio>

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
    std::printf("%.6f\n", vetra::bench::engineLoop(engine, setup, true));
    return 0;
}
