// The advanced configuration's grid of per-edit options and the option list it stands for.
#include "desktop/workflow/edit_option_grid.h"

#include <gtest/gtest.h>

namespace {

namespace desktop = vetra::desktop;

int codeOf(const desktop::EditOptionGrid& grid, std::size_t row) {
    return desktop::optionCodeOfRow(grid.rows().at(row));
}

TEST(EditOptionGrid, NewRowsKeepTheirEditSetsOptions) {
    desktop::EditOptionGrid grid;
    grid.rebuild({"Zeta", "Alpha", "Zeta", "Mid"});
    ASSERT_EQ(grid.rows().size(), 3u);
    EXPECT_EQ(grid.rows()[0].editName, "Alpha");
    EXPECT_EQ(grid.rows()[2].editName, "Zeta");
    EXPECT_EQ(codeOf(grid, 0), 512);
    EXPECT_EQ(grid.columnTotal(desktop::kUseEditSetOptions), 3);
    EXPECT_TRUE(grid.optionList().empty());
}

TEST(EditOptionGrid, SkipsCombineAndTheOtherColumnsExcludeThem) {
    desktop::EditOptionGrid grid;
    grid.rebuild({"Alpha", "Beta"});
    grid.click(0, desktop::kSkipEmpty);
    EXPECT_EQ(codeOf(grid, 0), 1);
    grid.click(0, desktop::kSkipFail);
    EXPECT_EQ(codeOf(grid, 0), 3);
    EXPECT_EQ(desktop::runLogLabelOfRow(grid.rows()[0]),
              std::string("VT_SKIPEMPTY and VT_SKIPFAIL"));
    EXPECT_EQ(grid.optionList(), (desktop::EditOptionList{{"Alpha", "3"}}));
    grid.click(0, desktop::kNoSkips);
    EXPECT_EQ(codeOf(grid, 0), 0);
    EXPECT_FALSE(grid.rows()[0].marked[desktop::kSkipEmpty]);
    EXPECT_FALSE(grid.rows()[0].marked[desktop::kSkipFail]);
    grid.click(1, desktop::kSkipFail);
    EXPECT_EQ(codeOf(grid, 1), 2);
    grid.click(1, desktop::kSuppressEdit);
    EXPECT_EQ(codeOf(grid, 1), 8);
    EXPECT_EQ(grid.optionList(), (desktop::EditOptionList{{"Alpha", "0"}, {"Beta", "8"}}));
    grid.click(1, desktop::kUseEditSetOptions);
    EXPECT_EQ(grid.optionList(), (desktop::EditOptionList{{"Alpha", "0"}}));
}

TEST(EditOptionGrid, MarkAllSetsOneColumnForEveryRowAndTheTotalsFollow) {
    desktop::EditOptionGrid grid;
    grid.rebuild({"Alpha", "Beta", "Gamma"});
    grid.click(1, desktop::kSkipEmpty);
    grid.click(1, desktop::kSkipFail);
    EXPECT_EQ(grid.columnTotal(desktop::kUseEditSetOptions), 2);
    EXPECT_EQ(grid.columnTotal(desktop::kSkipEmpty), 1);
    EXPECT_EQ(grid.columnTotal(desktop::kSkipFail), 1);
    grid.markAll(desktop::kSuppressEdit);
    EXPECT_EQ(grid.columnTotal(desktop::kSuppressEdit), 3);
    EXPECT_EQ(grid.columnTotal(desktop::kSkipEmpty), 0);
    EXPECT_EQ(grid.columnTotal(desktop::kUseEditSetOptions), 0);
    EXPECT_EQ(grid.optionList(),
              (desktop::EditOptionList{{"Alpha", "8"}, {"Beta", "8"}, {"Gamma", "8"}}));
    grid.markAll(desktop::kUseEditSetOptions);
    EXPECT_TRUE(grid.optionList().empty());
}

TEST(EditOptionGrid, SavedCodesMarkTheirRowsAndSurviveARebuild) {
    desktop::EditOptionGrid grid;
    grid.rebuild({"Alpha", "Beta", "Gamma", "Delta"});
    grid.apply({{"Alpha", "8"}, {"Beta", " 3 "}, {"Gamma", "0"}, {"Delta", "2"}, {"Gone", "1"}});
    EXPECT_EQ(
        grid.optionList(),
        (desktop::EditOptionList{{"Alpha", "8"}, {"Beta", "3"}, {"Delta", "2"}, {"Gamma", "0"}}));
    grid.rebuild({"Beta", "Epsilon", "Gamma"});
    EXPECT_EQ(grid.optionList(), (desktop::EditOptionList{{"Beta", "3"}, {"Gamma", "0"}}));
    EXPECT_EQ(codeOf(grid, 1), 512);
}

} // namespace
