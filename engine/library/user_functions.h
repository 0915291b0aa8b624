// The user-function slots of an instance and the built-ins usr1 to usr10 that call them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class TMetaFile;

namespace vetra {

// usr N calls slot N - 1.
int32_t callUserSlot(TMetaFile& instance, size_t slot);
template <size_t Slot> int32_t call_usr(TMetaFile& instance) {
    return callUserSlot(instance, Slot);
}

// What slots 1 and 3 hold from the start: the raise and the check of up to five numbers.
int32_t raiseErrorsSlot(TMetaFile& instance, const std::array<int32_t, 5>& numbers);
int32_t checkFlagsSlot(TMetaFile& instance, const std::array<int32_t, 5>& numbers);

} // namespace vetra
