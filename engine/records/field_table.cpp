#include "field_table.h"

#include "engine/store/block_tags.h"

#include <algorithm>

namespace vetra {

void FieldTable::reset() {
    handle_ = 0;
    count_ = 0;
}

void FieldTable::create(int32_t fieldsInMetafile) {
    int32_t count = std::max(fieldsInMetafile, kMinimumSlots);
    handle_ = memory_.VTi_AllocMem(1, tags::kFieldTable, false,
                                   static_cast<size_t>(count) * sizeof(FieldSlot));
    count_ = count;
    for (FieldSlot& slot : slots())
        clear(slot);
}

void FieldTable::clear(FieldSlot& slot) {
    slot = FieldSlot{};
    slot.localNumber = -1;
    slot.layoutNumber = -1;
    slot.firstColumn = -1;
}

int32_t FieldTable::freeSlotCount() {
    int32_t free = 0;
    for (const FieldSlot& slot : slots())
        if (!inUse(slot)) ++free;
    return free;
}

void FieldTable::grow(int32_t extra) {
    int32_t count = count_ + extra;
    handle_ = memory_.VTi_ReAllocMem(handle_, 1, tags::kFieldTable, false,
                                     static_cast<size_t>(count) * sizeof(FieldSlot));
    int32_t previous = count_;
    count_ = count;
    for (FieldSlot& slot : slots().subspan(static_cast<size_t>(previous)))
        clear(slot);
}

std::span<FieldSlot> FieldTable::slots() {
    if (handle_ == 0) return {};
    return {static_cast<FieldSlot*>(memory_.lock(handle_)), static_cast<size_t>(count_)};
}

} // namespace vetra
