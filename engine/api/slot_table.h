// A growable array of owned objects addressed by their index: the id rules of the metafile
// instance table. It starts with a number of free slots, never shrinks, hands out the lowest
// free id, and appends one slot when every slot is taken.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace vetra {

template <class T> class SlotTable {
public:
    explicit SlotTable(size_t initialSlots) : slots_(initialSlots) {}

    int32_t size() const { return static_cast<int32_t>(slots_.size()); }

    // The lowest free id, or size() when every slot is taken.
    int32_t lowestFreeId() const {
        for (size_t i = 0; i < slots_.size(); ++i)
            if (!slots_[i]) return static_cast<int32_t>(i);
        return size();
    }

    // Null for a negative id, an id beyond the table or a free slot.
    T* find(int32_t id) const {
        if (id < 0 || id >= size()) return nullptr;
        return slots_[static_cast<size_t>(id)].get();
    }

    // Fills the free slot id; an id equal to size() appends a slot.
    void place(int32_t id, std::unique_ptr<T> object) {
        if (id == size()) slots_.emplace_back();
        slots_.at(static_cast<size_t>(id)) = std::move(object);
    }

    // Empties the slot and hands its object back (null for an id that names nothing).
    std::unique_ptr<T> take(int32_t id) {
        if (find(id) == nullptr) return nullptr;
        return std::move(slots_[static_cast<size_t>(id)]);
    }

    void clear() {
        for (auto& slot : slots_)
            slot.reset();
    }

private:
    std::vector<std::unique_ptr<T>> slots_;
};

} // namespace vetra
