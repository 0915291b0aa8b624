// The report field lists: limits, what moves where, the highlight afterwards, and the wrap of
// the move buttons.
#include "desktop/workflow/field_lists.h"

#include <gtest/gtest.h>

namespace {

using vetra::desktop::FieldLists;
using Names = std::vector<std::string>;

FieldLists listsOf(const Names& layout) {
    FieldLists lists;
    lists.reset(layout);
    return lists;
}

TEST(FieldLists, ConfiguredFieldsMoveInConfiguredOrderAndSortFieldsMustBeSelected) {
    FieldLists lists = listsOf({"Sex", "Age", "Site", "Name"});
    EXPECT_EQ(lists.available(), (Names{"Age", "Name", "Sex", "Site"}));
    lists.select({"Site", "Missing", "Age"}, {"Age", "Name", "Age"});
    EXPECT_EQ(lists.selected(), (Names{"Site", "Age"}));
    EXPECT_EQ(lists.available(), (Names{"Name", "Sex"}));
    EXPECT_EQ(lists.sort(), (Names{"Age"}));
}

TEST(FieldLists, NinthIdentificationAndFifthSortFieldAreRefused) {
    FieldLists lists = listsOf({"A", "B", "C", "D", "E", "F", "G", "H", "I"});
    for (int i = 0; i < 8; ++i) {
        int row = 0;
        ASSERT_TRUE(lists.addToSelected(row));
    }
    int row = 0;
    EXPECT_FALSE(lists.addToSelected(row));
    EXPECT_EQ(lists.available(), (Names{"I"}));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(lists.addToSort(i));
    EXPECT_FALSE(lists.addToSort(4));
    EXPECT_EQ(lists.sort(), (Names{"A", "B", "C", "D"}));
}

TEST(FieldLists, AFieldSortsOnceAndOnlyWhenSelected) {
    FieldLists lists = listsOf({"A", "B"});
    int row = 0;
    lists.addToSelected(row);
    EXPECT_TRUE(lists.addToSort(0));
    EXPECT_FALSE(lists.addToSort(0));
    EXPECT_FALSE(lists.addToSort(1)); // no second selected field to copy
    EXPECT_EQ(lists.sort(), (Names{"A"}));
}

TEST(FieldLists, RemovingASelectedFieldTakesItFromBothListsBackIntoOrder) {
    FieldLists lists = listsOf({"A", "B", "C"});
    lists.select({"C", "A"}, {"A", "C"});
    int row = 1;
    ASSERT_TRUE(lists.removeFromSelected(row));
    EXPECT_EQ(lists.selected(), (Names{"C"}));
    EXPECT_EQ(lists.sort(), (Names{"C"}));
    EXPECT_EQ(lists.available(), (Names{"A", "B"}));
    EXPECT_EQ(row, 0); // the same row, or the last one
}

TEST(FieldLists, TheHighlightKeepsItsRowOrTakesTheLast) {
    FieldLists lists = listsOf({"A", "B", "C"});
    int row = 1;
    lists.addToSelected(row);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(lists.available(), (Names{"A", "C"}));
    lists.addToSelected(row);
    EXPECT_EQ(row, 0);
    lists.addToSelected(row);
    EXPECT_EQ(row, -1);
    EXPECT_FALSE(lists.addToSelected(row));
}

TEST(FieldLists, MovingPastEitherEndWraps) {
    Names list{"A", "B", "C"};
    int row = 0;
    FieldLists::moveUp(list, row);
    EXPECT_EQ(list, (Names{"B", "C", "A"}));
    EXPECT_EQ(row, 2);
    FieldLists::moveDown(list, row);
    EXPECT_EQ(list, (Names{"A", "B", "C"}));
    EXPECT_EQ(row, 0);
    row = 1;
    FieldLists::moveDown(list, row);
    EXPECT_EQ(list, (Names{"A", "C", "B"}));
    EXPECT_EQ(row, 2);
}

} // namespace
