#include "engine/api/slot_table.h"

#include <gtest/gtest.h>

namespace {

using Table = vetra::SlotTable<int>;

void fill(Table& table, int count) {
    for (int i = 0; i < count; ++i)
        table.place(table.lowestFreeId(), std::make_unique<int>(i));
}

TEST(SlotTable, HandsOutTheLowestFreeIdAndReusesFreedSlots) {
    Table table(20);
    fill(table, 3);
    EXPECT_EQ(table.lowestFreeId(), 3);
    ASSERT_NE(table.take(1), nullptr);
    EXPECT_EQ(table.find(1), nullptr);
    EXPECT_EQ(table.lowestFreeId(), 1);
    table.place(1, std::make_unique<int>(42));
    EXPECT_EQ(*table.find(1), 42);
    EXPECT_EQ(table.lowestFreeId(), 3);
}

TEST(SlotTable, GrowsByOneSlotWhenFullAndNeverShrinks) {
    Table table(20);
    fill(table, 20);
    EXPECT_EQ(table.lowestFreeId(), 20);
    table.place(20, std::make_unique<int>(20));
    EXPECT_EQ(table.size(), 21);
    EXPECT_EQ(*table.find(20), 20);
    table.clear();
    EXPECT_EQ(table.size(), 21);
    EXPECT_EQ(table.lowestFreeId(), 0);
}

TEST(SlotTable, IdsOutsideTheTableNameNothing) {
    Table table(20);
    fill(table, 1);
    EXPECT_EQ(table.find(-1), nullptr);
    EXPECT_EQ(table.find(20), nullptr);
    EXPECT_EQ(table.find(10000), nullptr);
    EXPECT_EQ(table.take(-1), nullptr);
    EXPECT_EQ(table.take(5), nullptr);
    EXPECT_NE(table.find(0), nullptr);
}

} // namespace
