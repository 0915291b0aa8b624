// The field table of one metafile instance: one slot per field of every bound record layout.
// A field handle is a slot's index. The table lives in a level-1 block and starts with
// max(fields of all layouts, 20) free slots.
#pragma once

#include "engine/store/memory_manager.h"

#include <cstdint>
#include <span>

namespace vetra {

// Option bits of a field's flags, set by the field and layout options.
inline constexpr uint8_t kFieldSkipsEdits = 0x02;
inline constexpr uint8_t kFieldOverride = 0x04;

struct FieldSlot {
    int32_t localNumber; // -1 in a free slot
    char typeCode[4];
    int32_t layoutNumber; // -1 in a free slot
    int32_t firstColumn;  // 1-based
    int32_t length;
    int64_t dictionaryPosition;
    uint8_t flags;
    int32_t displayWidth;
    int32_t shortNamePosition;
    int32_t longNamePosition;
    int32_t thirdNamePosition;
    char* value; // the field's first byte in the bound record buffer
};

class FieldTable {
public:
    static constexpr int32_t kMinimumSlots = 20;

    explicit FieldTable(MemoryManager& memory) : memory_(memory) {}

    void reset();
    void create(int32_t fieldsInMetafile);

    std::span<FieldSlot> slots();
    int32_t count() const { return count_; }
    int32_t freeSlotCount();
    // Adds `extra` free slots at the end.
    void grow(int32_t extra);
    // Marks a slot free again.
    static void clear(FieldSlot& slot);
    static bool inUse(const FieldSlot& slot) { return slot.layoutNumber != -1; }

private:
    MemoryManager& memory_;
    int32_t handle_ = 0;
    int32_t count_ = 0;
};

} // namespace vetra
