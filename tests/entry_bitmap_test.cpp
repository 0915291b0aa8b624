#include "engine/store/entry_bitmap.h"

#include <gtest/gtest.h>

namespace {

using vetra::EntryBitmap;

TEST(EntryBitmapTest, MembersAreFoundForwardAndBackAcrossWordsAndSummaries) {
    EntryBitmap set;
    set.resize(70000);
    EXPECT_EQ(set.firstFrom(0), EntryBitmap::kNone);
    EXPECT_EQ(set.lastUpTo(69999), EntryBitmap::kNone);
    for (int32_t entry : {5, 63, 64, 4095, 4096, 69999})
        set.insert(entry);
    EXPECT_EQ(set.firstFrom(0), 5);
    EXPECT_EQ(set.firstFrom(6), 63);
    EXPECT_EQ(set.firstFrom(64), 64);
    EXPECT_EQ(set.firstFrom(65), 4095);
    EXPECT_EQ(set.firstFrom(4097), 69999);
    EXPECT_EQ(set.lastUpTo(69998), 4096);
    EXPECT_EQ(set.lastUpTo(4095), 4095);
    EXPECT_EQ(set.lastUpTo(62), 5);
    EXPECT_EQ(set.lastUpTo(4), EntryBitmap::kNone);
    EXPECT_EQ(set.lastUpTo(1000000), 69999); // beyond the entries: from the last one

    set.erase(4095);
    set.erase(4096);
    EXPECT_EQ(set.firstFrom(65), 69999);
    EXPECT_EQ(set.lastUpTo(69998), 64);
    set.erase(69999);
    EXPECT_EQ(set.firstFrom(65), EntryBitmap::kNone);
    EXPECT_EQ(set.firstFrom(70000), EntryBitmap::kNone);
}

TEST(EntryBitmapTest, GrowingAddsNoMembersAndClearingRemovesAll) {
    EntryBitmap set;
    set.resize(10);
    set.insert(9);
    set.resize(200);
    EXPECT_EQ(set.firstFrom(10), EntryBitmap::kNone);
    EXPECT_EQ(set.lastUpTo(199), 9);
    set.clear();
    EXPECT_EQ(set.lastUpTo(199), EntryBitmap::kNone);
    EXPECT_EQ(set.firstFrom(0), EntryBitmap::kNone);
}

} // namespace
