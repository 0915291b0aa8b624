#include "engine/store/memory_manager.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

using vetra::MemoryManager;

class MemoryManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(memory.VTi_ReAllocMem(MemoryManager::kCreateTable, 0, 0, false,
                                        MemoryManager::kOpenEntries),
                  MemoryManager::kTableHandle);
    }
    int32_t reserve(int32_t level, size_t size = 16, int32_t tag = 7) {
        return memory.VTi_AllocMem(level, tag, false, size);
    }

    vetra::LastEngineError errors;
    MemoryManager memory{errors};
};

TEST_F(MemoryManagerTest, TableGrowsByTenWhenItsFourHundredEntriesAreTaken) {
    EXPECT_EQ(memory.entryCount(), 400);
    for (int32_t expected = 1; expected <= 399; ++expected)
        ASSERT_EQ(reserve(1), expected);
    EXPECT_EQ(memory.entryCount(), 400);
    EXPECT_EQ(reserve(1), 400);
    EXPECT_EQ(memory.entryCount(), 410);
    EXPECT_EQ(memory.highWaterMark(), 400);
}

TEST_F(MemoryManagerTest, TransientBlocksStayAboveTheTopmostLevelOneBlock) {
    for (int i = 1; i <= 5; ++i)
        ASSERT_EQ(reserve(1), i);
    ASSERT_EQ(reserve(10), 6);
    memory.VTi_free(3);
    EXPECT_EQ(reserve(10), 7);
    EXPECT_EQ(reserve(1), 3);
}

TEST_F(MemoryManagerTest, FreeingALevelReleasesThatLevelAndTheLevelsAboveIt) {
    reserve(1);
    int32_t variables = reserve(2);
    int32_t engineVariable = reserve(100);
    int32_t saved = reserve(200);
    int32_t a = reserve(10), b = reserve(10), c = reserve(12);
    memory.freeLevel(10);
    for (int32_t handle : {a, b, c})
        EXPECT_EQ(memory.levelOf(handle), 0);
    EXPECT_EQ(memory.highWaterMark(), saved);

    memory.freeLevel(2);
    EXPECT_EQ(memory.levelOf(1), 1);
    EXPECT_EQ(memory.levelOf(variables), 0);
    EXPECT_EQ(memory.levelOf(engineVariable), 100);
    EXPECT_EQ(memory.levelOf(saved), 200);

    memory.freeLevel(0);
    EXPECT_EQ(memory.levelOf(1), 1);
    memory.freeLevel(200);
    EXPECT_EQ(memory.levelOf(saved), 0);
    EXPECT_EQ(memory.levelOf(engineVariable), 100);
    memory.freeLevel(100);
    EXPECT_EQ(memory.levelOf(engineVariable), 0);
    memory.freeLevel(1);
    EXPECT_EQ(memory.levelOf(1), 0);
    EXPECT_EQ(memory.bytesInUse(), 0u);
}

TEST_F(MemoryManagerTest, ResizeKeepsContentsReplacesTheTagAndMovesOnTheNextLock) {
    int32_t handle = reserve(1, 8, 3);
    std::memcpy(memory.lock(handle), "ABCDEFG", 8);
    EXPECT_EQ(memory.VTi_ReAllocMem(handle, 1, 10, false, 100000), handle);
    EXPECT_EQ(memory.tagOf(handle), 10);
    auto* moved = static_cast<char*>(memory.lock(handle));
    EXPECT_STREQ(moved, "ABCDEFG");
    EXPECT_EQ(moved[99999], 0);
    // Handle 0 and unknown handles reserve a new block.
    EXPECT_EQ(memory.VTi_ReAllocMem(0, 1, 4, false, 8), handle + 1);
    EXPECT_EQ(memory.tagOf(0), 0);
    EXPECT_EQ(memory.tagOf(5000), 0);
}

TEST_F(MemoryManagerTest, FreeingTheTopBlockLowersTheMarkPastFreeEntries) {
    for (int i = 0; i < 5; ++i)
        reserve(1);
    memory.VTi_free(3);
    memory.VTi_free(4);
    EXPECT_EQ(memory.highWaterMark(), 5);
    memory.VTi_free(5);
    EXPECT_EQ(memory.highWaterMark(), 2);
    EXPECT_EQ(memory.tagOf(5), 7); // the tag outlives the block
}

TEST_F(MemoryManagerTest, BlocksAreFoundByTheirLockedAddress) {
    void* first = memory.allocAndLock(3, 1, 32);
    void* second = memory.allocAndLock(3, 1, 32);
    memory.freeByAddress(first);
    EXPECT_EQ(memory.levelOf(1), 0);
    EXPECT_EQ(memory.levelOf(2), 3);
    memory.freeByAddress(nullptr);
    int unrelated = 0;
    memory.freeByAddress(&unrelated);
    void* grown = memory.reallocByAddress(second, 3, 2, 4096);
    EXPECT_NE(grown, nullptr);
    EXPECT_EQ(memory.tagOf(2), 2);
    EXPECT_NE(memory.reallocByAddress(nullptr, 3, 1, 8), nullptr);
}

TEST_F(MemoryManagerTest, RefusedMemoryIsRecordedWithItsCode) {
    memory.setByteLimit(1000);
    EXPECT_THROW(reserve(1, 2000), vetra::EngineFailure);
    EXPECT_EQ(errors.code(), 3001);
    EXPECT_EQ(memory.highWaterMark(), 0);

    vetra::LastEngineError resizeErrors;
    MemoryManager small(resizeErrors);
    small.VTi_ReAllocMem(MemoryManager::kCreateTable, 0, 0, false, 400);
    small.setByteLimit(1000);
    int32_t handle = small.VTi_AllocMem(1, 1, false, 100);
    EXPECT_THROW(small.VTi_ReAllocMem(handle, 1, 1, false, 5000), vetra::EngineFailure);
    EXPECT_EQ(resizeErrors.code(), 3002);
    EXPECT_EQ(small.levelOf(handle), 0);
}

TEST_F(MemoryManagerTest, AFullTableIsReportedUnlessQuiet) {
    vetra::LastEngineError fullErrors;
    MemoryManager full(fullErrors);
    full.VTi_ReAllocMem(MemoryManager::kCreateTable, 0, 0, false, 400);
    full.setEntryLimit(420);
    for (int32_t i = 1; i < 420; ++i)
        ASSERT_EQ(full.VTi_AllocMem(1, 1, true, 0), i);
    EXPECT_EQ(full.VTi_AllocMem(1, 1, true, 0), 0);
    EXPECT_EQ(fullErrors.code(), 0);
    EXPECT_THROW(full.VTi_AllocMem(1, 1, false, 0), vetra::EngineFailure);
    EXPECT_EQ(fullErrors.code(), 3000);
}

// The handle table as the manager kept it when it searched entry by entry: the model that its
// answers must still match.
class NaiveTable {
public:
    explicit NaiveTable(int32_t entries) : levels_(static_cast<size_t>(entries), 0) {}

    int32_t allocate(int32_t level) {
        int32_t start = level == 1 ? 1 : transientStart();
        int32_t index = start;
        while (index < count() && levels_[static_cast<size_t>(index)] != 0)
            ++index;
        if (index == count()) levels_.resize(levels_.size() + MemoryManager::kGrowEntries, 0);
        levels_[static_cast<size_t>(index)] = level;
        highWaterMark_ = std::max(highWaterMark_, index);
        return index;
    }
    void setLevel(int32_t handle, int32_t level) { levels_[static_cast<size_t>(handle)] = level; }
    void free(int32_t handle) {
        levels_[static_cast<size_t>(handle)] = 0;
        if (handle == highWaterMark_) lower();
    }
    void freeLevel(int32_t level) {
        int32_t start = level < 2 ? 1 : transientStart();
        int32_t lastKept = 0;
        for (int32_t i = start; i <= highWaterMark_; ++i) {
            int32_t& entry = levels_[static_cast<size_t>(i)];
            if (entry == 0) continue;
            if (entry < level || level == 0 || (entry > 99 && level != 100 && level != 200))
                lastKept = i;
            else
                entry = 0;
        }
        highWaterMark_ = lastKept != 0 ? lastKept : start;
        lower();
    }
    int32_t count() const { return static_cast<int32_t>(levels_.size()); }
    int32_t levelOf(int32_t handle) const { return levels_[static_cast<size_t>(handle)]; }
    int32_t highWaterMark() const { return highWaterMark_; }
    int32_t transientStart() const {
        for (int32_t i = highWaterMark_; i >= 1; --i)
            if (levels_[static_cast<size_t>(i)] == 1) return i + 1;
        return 1;
    }

private:
    void lower() {
        while (highWaterMark_ > 1 && levels_[static_cast<size_t>(highWaterMark_)] == 0)
            --highWaterMark_;
    }

    std::vector<int32_t> levels_;
    int32_t highWaterMark_ = 0;
};

TEST_F(MemoryManagerTest, EveryAnswerIsTheOneAnEntryByEntrySearchGives) {
    NaiveTable model(MemoryManager::kOpenEntries);
    std::mt19937 random(20240611);
    const int32_t levels[] = {1, 2, 3, 10, 11, 12, 99, 100, 200};
    for (int step = 0; step < 20000; ++step) {
        int32_t handle =
            1 + static_cast<int32_t>(random() % static_cast<uint32_t>(model.count() - 1));
        int32_t level = levels[random() % std::size(levels)];
        switch (random() % 10) {
        case 0:
            memory.VTi_free(handle);
            model.free(handle);
            break;
        case 1:
            if (memory.levelOf(handle) != 0) {
                memory.VTi_ReAllocMem(handle, level, 7, false, 8);
                model.setLevel(handle, level);
            }
            break;
        case 2:
            if (random() % 20 == 0) {
                memory.freeLevel(level);
                model.freeLevel(level);
            }
            break;
        default:
            ASSERT_EQ(reserve(level), model.allocate(level)) << "step " << step;
        }
        ASSERT_EQ(memory.highWaterMark(), model.highWaterMark()) << "step " << step;
        ASSERT_EQ(memory.transientStart(), model.transientStart()) << "step " << step;
    }
    ASSERT_EQ(memory.entryCount(), model.count());
    for (int32_t handle = 1; handle < model.count(); ++handle)
        EXPECT_EQ(memory.levelOf(handle), model.levelOf(handle)) << handle;
}

// Engine variables live at level 100 between runs, above the level-1 blocks; each temporary
// block of a run must still take the first free entry above them, and a run's end must
// release its own blocks alone.
TEST_F(MemoryManagerTest, BlocksOfRunsPassOverTensOfThousandsOfLiveEntries) {
    for (int i = 0; i < 20; ++i)
        reserve(1);
    for (int i = 0; i < 65536; ++i)
        reserve(100, 4);
    int32_t first = reserve(11);
    for (int cycle = 0; cycle < 200000; ++cycle) {
        memory.VTi_free(first);
        ASSERT_EQ(reserve(11 + cycle % 80), first);
    }
    reserve(2);
    memory.freeLevel(2);
    EXPECT_EQ(memory.highWaterMark(), first - 1);
    EXPECT_EQ(memory.levelOf(first - 1), 100);
}

} // namespace
