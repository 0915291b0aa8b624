// A growable array of owned objects addressed by their index: the id rules of the metafile
// instance table. It starts with a number of free slots, never shrinks, hands out the lowest
// free id, and appends one slot when every slot is taken.
//
// The table itself may be used from several threads at once: a lock keeps the array whole
// while one thread adds or removes an object and others look theirs up. The objects are not
// guarded; an object found here must not be taken out while another thread still uses it.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <vector>

namespace vetra {

template <class T> class SlotTable {
public:
    explicit SlotTable(size_t initialSlots) : slots_(initialSlots) {}

    int32_t size() const {
        std::shared_lock lock(mutex_);
        return static_cast<int32_t>(slots_.size());
    }

    // The lowest free id, or size() when every slot is taken.
    int32_t lowestFreeId() const {
        std::shared_lock lock(mutex_);
        return lowestFree();
    }

    // Null for a negative id, an id beyond the table or a free slot.
    T* find(int32_t id) const {
        std::shared_lock lock(mutex_);
        if (id < 0 || static_cast<size_t>(id) >= slots_.size()) return nullptr;
        return slots_[static_cast<size_t>(id)].get();
    }

    // Calls read(object) with the object of id, or with null, while no thread can take it out.
    template <class Read> decltype(auto) read(int32_t id, Read&& read) const {
        std::shared_lock lock(mutex_);
        const bool inside = id >= 0 && static_cast<size_t>(id) < slots_.size();
        return read(inside ? slots_[static_cast<size_t>(id)].get() : nullptr);
    }

    // Fills the free slot id; an id equal to size() appends a slot.
    void place(int32_t id, std::unique_ptr<T> object) {
        std::unique_lock lock(mutex_);
        if (static_cast<size_t>(id) == slots_.size()) slots_.emplace_back();
        slots_.at(static_cast<size_t>(id)) = std::move(object);
    }

    // Places the object in the lowest free slot and returns its id. `named` is told the id
    // before any other thread can find the object, so two threads adding at once never share
    // an id and nobody sees an object without its own.
    template <class Named> int32_t add(std::unique_ptr<T> object, Named&& named) {
        std::unique_lock lock(mutex_);
        const int32_t id = lowestFree();
        named(*object, id);
        if (static_cast<size_t>(id) == slots_.size()) slots_.emplace_back();
        slots_[static_cast<size_t>(id)] = std::move(object);
        return id;
    }

    // Empties the slot and hands its object back (null for an id that names nothing).
    std::unique_ptr<T> take(int32_t id) {
        std::unique_lock lock(mutex_);
        if (id < 0 || static_cast<size_t>(id) >= slots_.size()) return nullptr;
        return std::move(slots_[static_cast<size_t>(id)]);
    }

    // Destroys every object; they are taken out under the lock and destroyed after it, so an
    // object's destructor may itself use the table.
    void clear() {
        std::vector<std::unique_ptr<T>> taken;
        {
            std::unique_lock lock(mutex_);
            for (auto& slot : slots_)
                taken.push_back(std::move(slot));
        }
    }

private:
    int32_t lowestFree() const {
        for (size_t i = 0; i < slots_.size(); ++i)
            if (!slots_[i]) return static_cast<int32_t>(i);
        return static_cast<int32_t>(slots_.size());
    }

    mutable std::shared_mutex mutex_;
    std::vector<std::unique_ptr<T>> slots_;
};

} // namespace vetra
