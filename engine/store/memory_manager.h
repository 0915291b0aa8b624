// The memory manager of one metafile instance. Every block the instance owns comes from its
// handle table: a block is known by a small integer handle, carries a level that decides when
// it is freed in bulk, and a tag that says what it holds (10 marks an edit set).
//
// Entry 0 is the table's own header. Handles count from 1; 0 means no block. 0xFFFE asks a
// resize to create the table and 0xFFFD then names the table itself. Level-1 blocks live as
// long as the metafile is open and are kept at the bottom of the table; blocks of any other
// level go to the transient region above the topmost level-1 entry.
//
// Levels 2 to 99 hold what a running edit allocates; the interpreter frees them when the
// edit's blocks, or the run, end. Blocks above level 99 (engine variables at 100) outlive
// runs. Finding a free entry, the transient region and a run's blocks never visits the
// entries one by one, so that tens of thousands of live blocks cost an allocation nothing.
#pragma once

#include "engine/api/last_engine_error.h"
#include "engine/store/entry_bitmap.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vetra {

class MemoryManager {
public:
    static constexpr int32_t kCreateTable = 0xFFFE;
    static constexpr int32_t kTableHandle = 0xFFFD;
    static constexpr int32_t kOpenEntries = 400;
    static constexpr int32_t kGrowEntries = 10;
    static constexpr int32_t kEditSetTag = 10;
    static constexpr int32_t kFirstRunLevel = 2;
    static constexpr int32_t kLastRunLevel = 99;

    // Limits that stand in for a heap that refuses: a hostile metafile must not make the
    // engine reserve unbounded memory.
    static constexpr size_t kDefaultByteLimit = size_t{1} << 30;
    static constexpr int32_t kMaxEntries = 1 << 20;

    explicit MemoryManager(LastEngineError& errors) : errors_(errors) {}
    ~MemoryManager() { freeTable(); }
    MemoryManager(const MemoryManager&) = delete;
    MemoryManager& operator=(const MemoryManager&) = delete;

    // Forgets the table without freeing it (the state before an open).
    void reset();

    int32_t VTi_AllocMem(int32_t level, int32_t tag, bool quiet, size_t size);
    int32_t VTi_ReAllocMem(int32_t handle, int32_t level, int32_t tag, bool quiet, size_t size);
    void* lock(int32_t handle);
    void unlock(int32_t handle);
    void VTi_free(int32_t handle);
    void freeByAddress(const void* address);
    void* allocAndLock(int32_t level, int32_t tag, size_t size);
    void* reallocByAddress(const void* address, int32_t level, int32_t tag, size_t size);
    // 0 for handle 0 or one beyond the table.
    int32_t tagOf(int32_t handle) const;
    // Frees every block of `level` and above, keeping levels above 99 unless the level is
    // 100 or 200; level 1 and below start at the bottom, others at the transient region.
    void freeLevel(int32_t level);

    bool tableExists() const { return !entries_.empty(); }
    int32_t entryCount() const { return static_cast<int32_t>(entries_.size()); }
    int32_t highWaterMark() const { return highWaterMark_; }
    int32_t transientStart() const;
    int32_t levelOf(int32_t handle) const;
    size_t blockSize(int32_t handle) const;
    size_t bytesInUse() const { return bytesInUse_; }
    // Blocks allocated since the table was made; tells a caller whether anything new exists.
    uint64_t allocations() const { return allocations_; }
    void setByteLimit(size_t limit) { byteLimit_ = limit; }
    void setEntryLimit(int32_t limit) { entryLimit_ = limit; }

private:
    struct Entry {
        int32_t level = 0;
        int32_t tag = 0;
        bool locked = false;
        std::byte* block = nullptr;
        std::byte* address = nullptr;
        size_t size = 0;
    };

    int32_t findFreeEntry(int32_t level) const;
    bool grow(int32_t extra);
    // Every change of an entry goes through here, to keep the entry sets in step.
    void setEntry(int32_t index, const Entry& entry);
    void release(int32_t index);
    void freeRunLevels(int32_t level);
    void lowerHighWaterMark();
    void freeTable();
    std::byte* reserveBytes(size_t size);

    LastEngineError& errors_;
    std::vector<Entry> entries_;
    int32_t highWaterMark_ = 0;
    bool tableAddressTaken_ = false;
    size_t bytesInUse_ = 0;
    uint64_t allocations_ = 0;
    EntryBitmap freeEntries_;
    EntryBitmap levelOneEntries_;
    EntryBitmap runEntries_; // levels kFirstRunLevel to kLastRunLevel
    size_t byteLimit_ = kDefaultByteLimit;
    int32_t entryLimit_ = kMaxEntries;
};

} // namespace vetra
