// A run in two parts beside the two ways it can be measured against, side by side in one run
// over one data file, for several rounds:
//   --jobs 1        the desktop program's whole run in one part
//   --jobs 2        the same run in two parts at once, joined into one errors.db
//   two processes   two independent one-part runs over the two halves of the range, at once,
//                   each into its own results folder: the ceiling of what two parts can reach
// Prints each round's seconds, where the two parts' time went, and the throughput of --jobs 2
// against --jobs 1 and against the two processes, with their ranges over the rounds. On a
// machine shared with other work the seconds move with that work, so the processor seconds
// each way took are printed too: extra work of the run in parts shows there whatever the load.
#include "bench/whole_run.h"
#include "desktop/data/data_file_inspection.h"
#include "desktop/run/engine_binding.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace vetra::desktop;
using vetra::bench::WholeRunRange;
using vetra::bench::WholeRunSetup;

double processorSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::string folder(const std::filesystem::path& base, const std::string& name) {
    const auto path = base / name;
    std::filesystem::create_directories(path);
    return path.string() + "/";
}

// Seconds until both halves, each run by a process of its own, have ended.
double twoProcesses(const RAVengine& engine, const WholeRunSetup& setup, std::int64_t count,
                    const std::filesystem::path& base) {
    const std::int64_t firstHalf = (count + 1) / 2;
    const WholeRunRange halves[] = {{1, firstHalf, 1}, {firstHalf + 1, count - firstHalf, 1}};
    const std::string folders[] = {folder(base, "half1"), folder(base, "half2")};
    std::fflush(nullptr);
    const auto start = std::chrono::steady_clock::now();
    std::vector<pid_t> children;
    for (int k = 0; k < 2; ++k) {
        const pid_t child = fork();
        if (child == 0) {
            vetra::bench::wholeRun(engine, setup, halves[k], folders[k]);
            std::_Exit(0);
        }
        children.push_back(child);
    }
    bool failed = false;
    for (pid_t child : children) {
        int status = 0;
        failed |= child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
                  WEXITSTATUS(status) != 0;
    }
    if (failed) std::fprintf(stderr, "a half's process failed\n");
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Range {
    double low = 1e300, high = 0;
    void add(double value) {
        low = std::min(low, value);
        high = std::max(high, value);
    }
};

} // namespace

int main(int argc, char** argv) {
    int rounds = 3;
    int at = 1;
    if (argc > 2 && std::string(argv[1]) == "--rounds") {
        rounds = std::max(1, std::atoi(argv[2]));
        at = 3;
    }
    if (argc - at < 4) {
        std::fprintf(stderr, "usage: %s [--rounds N] METAFILE LAYOUT DATAFILE EDIT_SET...\n",
                     argv[0]);
        return 2;
    }
    WholeRunSetup setup{argv[at], argv[at + 1], argv[at + 2], {argv + at + 3, argv + argc}, {}};
    if (inspectDataFile(setup.data, setup.info) != 0) {
        std::fprintf(stderr, "%s: %s\n", setup.data.c_str(), setup.info.errorText.c_str());
        return 2;
    }
    RAVengine engine;
    if (!engine.loaded()) return 3;
    const auto base = std::filesystem::temp_directory_path() /
                      ("ravelo-parallel-bench-" + std::to_string(getpid()));
    const std::int64_t count = setup.info.recordCount;
    std::printf("%lld records, %u processors\n", static_cast<long long>(count),
                std::max(1u, static_cast<unsigned>(sysconf(_SC_NPROCESSORS_ONLN))));
    std::printf("round   --jobs 1   --jobs 2   2 procs | part 1 reached/done  part 2 "
                "reached/done  join | j2 vs j1  j2 vs 2 procs | processor s: j1  j2 (part 1 + 2)  "
                "2 procs\n");
    Range speedUp, ofCeiling, cpuOfOne, cpuOfProcs;
    for (int round = 1; round <= rounds; ++round) {
        double cpu = processorSeconds(RUSAGE_SELF);
        const double one =
            vetra::bench::wholeRun(engine, setup, {1, count, 1}, folder(base, "one")).seconds;
        const double oneCpu = processorSeconds(RUSAGE_SELF) - cpu;
        cpu = processorSeconds(RUSAGE_SELF);
        const auto two = vetra::bench::wholeRun(engine, setup, {1, count, 2}, folder(base, "two"));
        const double twoCpu = processorSeconds(RUSAGE_SELF) - cpu;
        cpu = processorSeconds(RUSAGE_CHILDREN);
        const double procs = twoProcesses(engine, setup, count, base);
        const double procsCpu = processorSeconds(RUSAGE_CHILDREN) - cpu;
        PartTimes first, second;
        if (two.partTimes.size() == 2) {
            first = two.partTimes[0];
            second = two.partTimes[1];
        }
        speedUp.add(one / two.seconds);
        ofCeiling.add(procs / two.seconds);
        cpuOfOne.add(twoCpu / oneCpu);
        cpuOfProcs.add(twoCpu / procsCpu);
        std::printf("%5d %9.2fs %9.2fs %8.2fs |     %6.2fs %6.2fs       %6.2fs %6.2fs %5.2fs |"
                    " %6.2fx %8.2fx | %17.2f %5.2f (%4.2f + %4.2f) %5.2f\n",
                    round, one, two.seconds, procs, first.reached, first.finished, second.reached,
                    second.finished, two.joinSeconds, one / two.seconds, procs / two.seconds,
                    oneCpu, twoCpu, first.processor, second.processor, procsCpu);
        std::fflush(stdout);
    }
    std::filesystem::remove_all(base);
    std::printf("--jobs 2 throughput: %.2fx to %.2fx of --jobs 1; %.2fx to %.2fx of two "
                "independent processes (target at least 0.95x)\n",
                speedUp.low, speedUp.high, ofCeiling.low, ofCeiling.high);
    std::printf("--jobs 2 processor seconds: %.2fx to %.2fx of --jobs 1; %.2fx to %.2fx of two "
                "independent processes\n",
                cpuOfOne.low, cpuOfOne.high, cpuOfProcs.low, cpuOfProcs.high);
    return 0;
}
