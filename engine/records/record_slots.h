// The 256 record buffers of one metafile instance. A record handle is a slot number; each
// buffer is a level-1 block of record length + 1 bytes.
#pragma once

#include "engine/store/memory_manager.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace vetra {

struct RecordSlot {
    char* buffer = nullptr;
    int32_t recordLength = 0;
    int32_t memoryHandle = 0;
};

class RecordSlots {
public:
    static constexpr int32_t kSlotCount = 256;

    explicit RecordSlots(MemoryManager& memory) : memory_(memory) {}

    void reset() { slots_.fill(RecordSlot{}); }

    // Null for a handle outside 0 to 255 or a free slot.
    RecordSlot* find(int32_t handle);

    int32_t VTi_AllocRecord(int32_t recordLength, int32_t* handle);
    int32_t VTi_FreeRecord(int32_t handle);
    int32_t VTi_RetrieveRecord(int32_t handle, char* buffer);
    int32_t VTi_SetRecord(int32_t handle, char fill);
    int32_t VTi_UpdateRecord(int32_t handle, std::string_view text);
    int32_t VTi_UpdateRecordEx(int32_t handle, std::string_view text, int32_t firstColumn,
                               int32_t width);

private:
    MemoryManager& memory_;
    std::array<RecordSlot, kSlotCount> slots_{};
};

} // namespace vetra
