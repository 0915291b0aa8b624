// The numbered flags of one metafile instance: 1002 values, all 0 when the metafile opens.
// Edit logic and the engine raise them as messages are emitted; a host reads, counts and sums
// flags 1 to 1000, and sets or clears them. Runs never clear them: the host does, per record.
#pragma once

#include <array>
#include <climits>
#include <cstdint>

namespace vetra {

class FlagTable {
public:
    static constexpr int32_t kFlags = 1002;
    static constexpr int32_t kLastReadable = 1000;
    static constexpr int32_t kLastSettable = 1001;
    static constexpr int32_t kOutOfRangeValue = INT32_MIN; // 0x80000000
    static constexpr int32_t kCheckOutOfRange = 320;
    static constexpr int32_t kSetOutOfRange = 322;

    // 0, or kSetOutOfRange outside 1 to 1001.
    int32_t VTi_SetFlag(int32_t number, int32_t value);
    // 0 and the value, or kCheckOutOfRange and kOutOfRangeValue outside 1 to 1000.
    int32_t VTi_CheckFlag(int32_t number, int32_t* value) const;
    void VTi_intClearAllFlags() { values_.fill(0); }
    // Flags 1 to 1000 that are not 0.
    int32_t VTi_CountFlags() const;
    // The sum of flags 1 to 1000, wrapping at 32 bits.
    int32_t VTi_SumFlags() const;
    // Adds 1 to a flag of 1 to 1001; any other number is ignored.
    void increment(int32_t number);

private:
    std::array<int32_t, kFlags> values_{};
};

} // namespace vetra
