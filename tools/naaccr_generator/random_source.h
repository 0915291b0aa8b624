// The generator's only source of chance: std::mt19937_64, whose output the C++ standard fixes
// for every library, with draws of our own on top. The standard distributions are left alone
// because each library computes them differently, and a seed must give the same records
// wherever the generator is built.
#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <string_view>

namespace vetra::generator {

// A code and how often it is drawn relative to the others of its list.
struct WeightedCode {
    std::string_view code;
    int weight = 1;
};

class RandomSource {
public:
    explicit RandomSource(std::uint64_t seed) : engine_(seed) {}

    // Uniform in [0, bound); bound must be above zero.
    std::uint64_t below(std::uint64_t bound);
    // Uniform in [low, high]; low must not exceed high.
    int between(int low, int high);
    // True with the given probability; 0 is never and 1 always.
    bool chance(double probability);

    std::string_view pick(std::span<const WeightedCode> codes);
    // One of the codes of a list separated by single blanks, as in "C500 C509".
    std::string_view pickWord(std::string_view words);

private:
    std::mt19937_64 engine_;
};

} // namespace vetra::generator
