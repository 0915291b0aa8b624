#include "memory_manager.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vetra {

void MemoryManager::reset() {
    freeTable();
    tableAddressTaken_ = false;
}

std::byte* MemoryManager::reserveBytes(size_t size) {
    if (size > byteLimit_ - bytesInUse_) return nullptr;
    return static_cast<std::byte*>(std::calloc(size != 0 ? size : 1, 1));
}

int32_t MemoryManager::transientStart() const {
    int32_t top = levelOneEntries_.lastUpTo(highWaterMark_);
    return top == EntryBitmap::kNone ? 1 : top + 1;
}

int32_t MemoryManager::findFreeEntry(int32_t level) const {
    int32_t free = freeEntries_.firstFrom(level == 1 ? 1 : transientStart());
    return free == EntryBitmap::kNone ? entryCount() : free;
}

bool MemoryManager::grow(int32_t extra) {
    if (extra > entryLimit_ - entryCount()) return false;
    size_t before = entries_.size();
    try {
        entries_.resize(before + static_cast<size_t>(extra));
        for (EntryBitmap* set : {&freeEntries_, &levelOneEntries_, &runEntries_})
            set->resize(entryCount());
    } catch (const std::bad_alloc&) {
        entries_.resize(before);
        return false;
    }
    // Entry 0 is the table's header, never handed out.
    for (int32_t i = std::max(static_cast<int32_t>(before), 1); i < entryCount(); ++i)
        freeEntries_.insert(i);
    return true;
}

void MemoryManager::setEntry(int32_t index, const Entry& entry) {
    entries_[static_cast<size_t>(index)] = entry;
    auto place = [index](EntryBitmap& set, bool member) {
        if (member)
            set.insert(index);
        else
            set.erase(index);
    };
    place(freeEntries_, entry.level == 0);
    place(levelOneEntries_, entry.level == 1);
    place(runEntries_, entry.level >= kFirstRunLevel && entry.level <= kLastRunLevel);
}

int32_t MemoryManager::VTi_AllocMem(int32_t level, int32_t tag, bool quiet, size_t size) {
    return errors_.guard(467, "VTi_AllocMem", [&]() -> int32_t {
        if (!tableExists()) errors_.fail(467, "VTi_AllocMem");
        int32_t index = findFreeEntry(level);
        if (index >= entryCount() && !grow(kGrowEntries)) {
            if (quiet) return 0;
            errors_.fail(3000, "VTi_AllocMem");
        }
        std::byte* block = reserveBytes(size);
        if (block == nullptr) errors_.fail(3001, "VTi_AllocMem");
        if (index > highWaterMark_) highWaterMark_ = index;
        setEntry(index, Entry{level, tag, true, block, block, size});
        bytesInUse_ += size;
        ++allocations_;
        return index;
    });
}

int32_t MemoryManager::VTi_ReAllocMem(int32_t handle, int32_t level, int32_t tag, bool quiet,
                                      size_t size) {
    return errors_.guard(468, "VTi_ReAllocMem", [&]() -> int32_t {
        if (handle == kCreateTable) {
            freeTable();
            if (!grow(static_cast<int32_t>(size))) errors_.fail(3000, "VTi_ReAllocMem");
            return kTableHandle;
        }
        if (handle <= 0 || handle >= entryCount() ||
            entries_[static_cast<size_t>(handle)].level == 0)
            return VTi_AllocMem(level, tag, quiet, size);
        Entry& entry = entries_[static_cast<size_t>(handle)];
        std::byte* block = nullptr;
        if (size <= entry.size || size - entry.size <= byteLimit_ - bytesInUse_)
            block = static_cast<std::byte*>(std::realloc(entry.block, size != 0 ? size : 1));
        if (block == nullptr) {
            release(handle);
            lowerHighWaterMark();
            errors_.fail(3002, "VTi_ReAllocMem");
        }
        if (size > entry.size) std::memset(block + entry.size, 0, size - entry.size);
        bytesInUse_ = bytesInUse_ - entry.size + size;
        setEntry(handle, Entry{level, tag, false, block, nullptr, size});
        return handle;
    });
}

void* MemoryManager::lock(int32_t handle) {
    if (handle == kTableHandle) {
        tableAddressTaken_ = true;
        return entries_.data();
    }
    if (handle <= 0 || handle >= entryCount()) return nullptr;
    Entry& entry = entries_[static_cast<size_t>(handle)];
    if (!entry.locked) {
        entry.address = entry.block;
        entry.locked = entry.block != nullptr;
    }
    return entry.address;
}

void MemoryManager::unlock(int32_t handle) {
    if (handle == kTableHandle) tableAddressTaken_ = false;
}

void MemoryManager::release(int32_t index) {
    const Entry& entry = entries_[static_cast<size_t>(index)];
    std::free(entry.block);
    bytesInUse_ -= entry.size;
    setEntry(index, Entry{0, entry.tag, false, nullptr, nullptr, 0});
}

void MemoryManager::lowerHighWaterMark() {
    while (highWaterMark_ > 1 && entries_[static_cast<size_t>(highWaterMark_)].level == 0)
        --highWaterMark_;
}

void MemoryManager::VTi_free(int32_t handle) {
    errors_.guard(925, "VTi_Free", [&] {
        if (handle == kTableHandle) {
            freeTable();
            return;
        }
        if (handle <= 0 || handle >= entryCount()) return;
        release(handle);
        if (handle == highWaterMark_) lowerHighWaterMark();
    });
}

void MemoryManager::freeByAddress(const void* address) {
    if (address == nullptr) return;
    for (int32_t i = 1; i <= highWaterMark_; ++i) {
        if (entries_[static_cast<size_t>(i)].locked &&
            entries_[static_cast<size_t>(i)].address == address) {
            VTi_free(i);
            return;
        }
    }
}

void* MemoryManager::allocAndLock(int32_t level, int32_t tag, size_t size) {
    return lock(VTi_AllocMem(level, tag, false, size));
}

void* MemoryManager::reallocByAddress(const void* address, int32_t level, int32_t tag,
                                      size_t size) {
    if (address != nullptr) {
        for (int32_t i = 1; i <= highWaterMark_; ++i) {
            if (entries_[static_cast<size_t>(i)].locked &&
                entries_[static_cast<size_t>(i)].address == address)
                return lock(VTi_ReAllocMem(i, level, tag, false, size));
        }
    }
    return allocAndLock(level, tag, size);
}

int32_t MemoryManager::tagOf(int32_t handle) const {
    if (handle <= 0 || handle >= entryCount()) return 0;
    return entries_[static_cast<size_t>(handle)].tag;
}

int32_t MemoryManager::levelOf(int32_t handle) const {
    if (handle <= 0 || handle >= entryCount()) return 0;
    return entries_[static_cast<size_t>(handle)].level;
}

size_t MemoryManager::blockSize(int32_t handle) const {
    if (handle <= 0 || handle >= entryCount()) return 0;
    return entries_[static_cast<size_t>(handle)].size;
}

void MemoryManager::freeLevel(int32_t level) {
    if (!tableExists()) return;
    if (level >= kFirstRunLevel && level <= kLastRunLevel) return freeRunLevels(level);
    int32_t start = level < 2 ? 1 : transientStart();
    int32_t lastKept = 0;
    for (int32_t i = start; i <= highWaterMark_; ++i) {
        const Entry& entry = entries_[static_cast<size_t>(i)];
        if (entry.level == 0) continue;
        bool keep =
            entry.level < level || level == 0 || (entry.level > 99 && level != 100 && level != 200);
        if (keep)
            lastKept = i;
        else
            release(i);
    }
    highWaterMark_ = lastKept != 0 ? lastKept : start;
    lowerHighWaterMark();
}

// What freeLevel does for a run's levels, visiting the run's blocks alone: the mark ends on
// the topmost block kept, or drops from the region's start past free entries.
void MemoryManager::freeRunLevels(int32_t level) {
    int32_t start = transientStart();
    for (int32_t i = runEntries_.firstFrom(start); i != EntryBitmap::kNone && i <= highWaterMark_;
         i = runEntries_.firstFrom(i + 1))
        if (entries_[static_cast<size_t>(i)].level >= level) release(i);
    highWaterMark_ = std::max(highWaterMark_, start);
    lowerHighWaterMark();
}

void MemoryManager::freeTable() {
    for (Entry& entry : entries_)
        std::free(entry.block);
    entries_.clear();
    entries_.shrink_to_fit();
    for (EntryBitmap* set : {&freeEntries_, &levelOneEntries_, &runEntries_})
        set->clear();
    bytesInUse_ = 0;
    highWaterMark_ = 0;
}

} // namespace vetra
