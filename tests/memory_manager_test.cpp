#include "engine/store/memory_manager.h"

#include <cstring>
#include <gtest/gtest.h>

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

} // namespace
