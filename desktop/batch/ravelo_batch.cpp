// ravelo-batch: the desktop program's run without windows, for registry IT and pipelines.
#include "desktop/batch/batch_job.h"
#include "desktop/workflow/program_version.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    using namespace vetra::desktop::batch;
    std::string error;
    const auto options = parseBatchOptions(argc - 1, argv + 1, error);
    if (!options) {
        std::fprintf(stderr, "ravelo-batch: %s\nTry 'ravelo-batch --help'.\n", error.c_str());
        return kUsageOrInputError;
    }
    if (options->help) {
        std::fputs(kBatchUsage, stdout);
        return 0;
    }
    if (options->version) {
        std::printf("ravelo-batch %s\n", vetra::desktop::kProgramVersion);
        return 0;
    }
    return runBatchJob(*options);
}
