#include "memory_manager.h"

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
    for (int32_t i = highWaterMark_; i >= 1; --i)
        if (entries_[static_cast<size_t>(i)].level == 1) return i + 1;
    return 1;
}

int32_t MemoryManager::findFreeEntry(int32_t level) const {
    int32_t start = level == 1 ? 1 : transientStart();
    for (int32_t i = start; i < entryCount(); ++i)
        if (entries_[static_cast<size_t>(i)].level == 0) return i;
    return entryCount();
}

bool MemoryManager::grow(int32_t extra) {
    if (extra > entryLimit_ - entryCount()) return false;
    try {
        entries_.resize(entries_.size() + static_cast<size_t>(extra));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
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
        Entry& entry = entries_[static_cast<size_t>(index)];
        entry = Entry{level, tag, true, block, block, size};
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
            release(entry);
            lowerHighWaterMark();
            errors_.fail(3002, "VTi_ReAllocMem");
        }
        if (size > entry.size) std::memset(block + entry.size, 0, size - entry.size);
        bytesInUse_ = bytesInUse_ - entry.size + size;
        entry = Entry{level, tag, false, block, nullptr, size};
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

void MemoryManager::release(Entry& entry) {
    std::free(entry.block);
    bytesInUse_ -= entry.size;
    entry = Entry{0, entry.tag, false, nullptr, nullptr, 0};
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
        release(entries_[static_cast<size_t>(handle)]);
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
    int32_t start = level < 2 ? 1 : transientStart();
    int32_t lastKept = 0;
    for (int32_t i = start; i <= highWaterMark_; ++i) {
        Entry& entry = entries_[static_cast<size_t>(i)];
        if (entry.level == 0) continue;
        bool keep =
            entry.level < level || level == 0 || (entry.level > 99 && level != 100 && level != 200);
        if (keep)
            lastKept = i;
        else
            release(entry);
    }
    highWaterMark_ = lastKept != 0 ? lastKept : start;
    lowerHighWaterMark();
}

void MemoryManager::freeTable() {
    for (Entry& entry : entries_)
        std::free(entry.block);
    entries_.clear();
    entries_.shrink_to_fit();
    bytesInUse_ = 0;
    highWaterMark_ = 0;
}

} // namespace vetra
