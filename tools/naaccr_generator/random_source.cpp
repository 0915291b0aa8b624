#include "tools/naaccr_generator/random_source.h"

#include <algorithm>

namespace vetra::generator {

// Rejects the few values at the top of the engine's range that would make some remainders
// more likely than others; 2^64 mod bound of them.
std::uint64_t RandomSource::below(std::uint64_t bound) {
    std::uint64_t rejected = (0 - bound) % bound;
    for (;;) {
        std::uint64_t value = engine_();
        if (value >= rejected) return value % bound;
    }
}

int RandomSource::between(int low, int high) {
    auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low) + 1;
    return static_cast<int>(low + static_cast<std::int64_t>(below(span)));
}

// The top 53 bits make a double in [0, 1) exactly, the same on every IEEE machine.
bool RandomSource::chance(double probability) {
    constexpr double unit = 1.0 / 9007199254740992.0; // 2^-53
    return static_cast<double>(engine_() >> 11) * unit < probability;
}

std::string_view RandomSource::pick(std::span<const WeightedCode> codes) {
    std::uint64_t total = 0;
    for (const WeightedCode& code : codes)
        total += static_cast<std::uint64_t>(code.weight);
    std::uint64_t draw = below(total);
    for (const WeightedCode& code : codes) {
        if (draw < static_cast<std::uint64_t>(code.weight)) return code.code;
        draw -= static_cast<std::uint64_t>(code.weight);
    }
    return codes.back().code; // not reached: the draw is below the total
}

std::string_view RandomSource::pickWord(std::string_view words) {
    auto count = static_cast<std::uint64_t>(std::count(words.begin(), words.end(), ' ')) + 1;
    std::uint64_t chosen = below(count);
    std::size_t start = 0;
    for (std::uint64_t skipped = 0; skipped < chosen; ++skipped)
        start = words.find(' ', start) + 1;
    return words.substr(start, words.find(' ', start) - start);
}

} // namespace vetra::generator
