#include "record_slots.h"

#include "engine/store/block_tags.h"

#include <algorithm>
#include <cstring>

namespace vetra {

RecordSlot* RecordSlots::find(int32_t handle) {
    if (handle < 0 || handle >= kSlotCount) return nullptr;
    RecordSlot& slot = slots_[static_cast<size_t>(handle)];
    return slot.memoryHandle != 0 && slot.recordLength > 0 ? &slot : nullptr;
}

int32_t RecordSlots::VTi_AllocRecord(int32_t recordLength, int32_t* handle) {
    for (int32_t i = 0; i < kSlotCount; ++i) {
        RecordSlot& slot = slots_[static_cast<size_t>(i)];
        if (slot.memoryHandle != 0) continue;
        size_t size = static_cast<size_t>(std::max(recordLength, 0)) + 1;
        slot.memoryHandle = memory_.VTi_AllocMem(1, tags::kRecordBuffer, false, size);
        slot.buffer = static_cast<char*>(memory_.lock(slot.memoryHandle));
        slot.recordLength = recordLength;
        *handle = i;
        return 0;
    }
    return -1;
}

int32_t RecordSlots::VTi_FreeRecord(int32_t handle) {
    if (handle < 0 || handle >= kSlotCount || slots_[static_cast<size_t>(handle)].memoryHandle == 0)
        return -1;
    memory_.VTi_free(slots_[static_cast<size_t>(handle)].memoryHandle);
    slots_[static_cast<size_t>(handle)] = RecordSlot{};
    return 0;
}

int32_t RecordSlots::VTi_RetrieveRecord(int32_t handle, char* buffer) {
    RecordSlot* slot = find(handle);
    if (slot == nullptr || buffer == nullptr) return -1;
    std::memcpy(buffer, slot->buffer, static_cast<size_t>(slot->recordLength));
    return 0;
}

int32_t RecordSlots::VTi_SetRecord(int32_t handle, char fill) {
    RecordSlot* slot = find(handle);
    if (slot == nullptr) return 447;
    std::memset(slot->buffer, fill, static_cast<size_t>(slot->recordLength));
    return 0;
}

int32_t RecordSlots::VTi_UpdateRecord(int32_t handle, std::string_view text) {
    return VTi_UpdateRecordEx(handle, text, 1, find(handle) ? find(handle)->recordLength : 0);
}

int32_t RecordSlots::VTi_UpdateRecordEx(int32_t handle, std::string_view text, int32_t firstColumn,
                                        int32_t width) {
    RecordSlot* slot = find(handle);
    if (slot == nullptr) return -1;
    if (firstColumn < 1 || width < 1 || width > slot->recordLength - firstColumn + 1) return -2;
    char* start = slot->buffer + firstColumn - 1;
    std::memset(start, ' ', static_cast<size_t>(width));
    std::memcpy(start, text.data(), std::min(text.size(), static_cast<size_t>(width)));
    return 0;
}

} // namespace vetra
