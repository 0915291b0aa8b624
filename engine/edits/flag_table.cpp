#include "flag_table.h"

#include <cstddef>

namespace vetra {

int32_t FlagTable::VTi_SetFlag(int32_t number, int32_t value) {
    if (number < 1 || number > kLastSettable) return kSetOutOfRange;
    values_[static_cast<size_t>(number)] = value;
    return 0;
}

int32_t FlagTable::VTi_CheckFlag(int32_t number, int32_t* value) const {
    if (number < 1 || number > kLastReadable) {
        *value = kOutOfRangeValue;
        return kCheckOutOfRange;
    }
    *value = values_[static_cast<size_t>(number)];
    return 0;
}

int32_t FlagTable::VTi_CountFlags() const {
    int32_t count = 0;
    for (int32_t n = 1; n <= kLastReadable; ++n)
        count += values_[static_cast<size_t>(n)] != 0;
    return count;
}

int32_t FlagTable::VTi_SumFlags() const {
    uint32_t sum = 0;
    for (int32_t n = 1; n <= kLastReadable; ++n)
        sum += static_cast<uint32_t>(values_[static_cast<size_t>(n)]);
    return static_cast<int32_t>(sum);
}

void FlagTable::increment(int32_t number) {
    if (number < 1 || number > kLastSettable) return;
    int32_t& value = values_[static_cast<size_t>(number)];
    value = static_cast<int32_t>(static_cast<uint32_t>(value) + 1u); // wraps
}

} // namespace vetra
