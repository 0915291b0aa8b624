// The texts a run writes besides its detail rows: times, field widths, the summary file and
// the run log.
#include "desktop/run/run_log.h"
#include "desktop/run/run_records.h"
#include "desktop/workflow/edit_option_grid.h"
#include "tests/support/file_contents.h"
#include "tests/support/scratch_directory.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using vetra::testing::ScratchDirectory;
namespace desktop = vetra::desktop;

using vetra::testing::fileContents;

TEST(RunTimes, ElapsedTimeShowsDaysOnlyWhenThereAreAny) {
    EXPECT_EQ(desktop::elapsedTimeText(0), "00h:00m:00s");
    EXPECT_EQ(desktop::elapsedTimeText(187), "00h:03m:07s");
    EXPECT_EQ(desktop::elapsedTimeText(86399), "23h:59m:59s");
    EXPECT_EQ(desktop::elapsedTimeText(90000), "1d, 01h:00m:00s");
    EXPECT_EQ(desktop::elapsedTimeText(12 * 86400 + 3661), "12d, 01h:01m:01s");
}

TEST(RunTimes, StartAndEndAreLocalTimes) {
    std::tm local{};
    local.tm_year = 2024 - 1900;
    local.tm_mon = 2;
    local.tm_mday = 7;
    local.tm_hour = 9;
    local.tm_min = 5;
    local.tm_sec = 3;
    local.tm_isdst = -1;
    EXPECT_EQ(desktop::runTimeText(std::mktime(&local)), "03/07/2024 09:05:03");
}

TEST(FieldWidth, ShowsTheValueWidthInUnderscores) {
    EXPECT_EQ(desktop::fieldWidthText("[<BLANK>]"), "__________");
    EXPECT_EQ(desktop::fieldWidthText("[123]"), "_ _ _ ");
    EXPECT_EQ(desktop::fieldWidthText("[Y:2005 M:12 D:31]"), "_ _ _ _ / _ _ / _ _ ");
    EXPECT_EQ(desktop::fieldWidthText("[]"), "");
    std::string wide;
    for (int i = 0; i < 34; ++i)
        wide += "_ ";
    EXPECT_EQ(desktop::fieldWidthText("[" + std::string(34, 'x') + "]"), wide);
    EXPECT_EQ(desktop::fieldWidthText("[" + std::string(80, 'x') + "]"), wide);
}

TEST(SummaryFile, SortsByLowerCaseNameAndReplacesTheOldFile) {
    ScratchDirectory scratch;
    const auto path = scratch.write("summary.txt", "old contents\n");
    ASSERT_TRUE(desktop::writeSummaryFile(path.string(), {{"beta", 1, 2, 3},
                                                          {"Alpha", 4000000000, 0, 0},
                                                          {"Gamma's", 0, 7, 1},
                                                          {"delta", 0, 0, 0}}));
    EXPECT_EQ(fileContents(path), "4000000000,0,0,Alpha\n1,2,3,beta\n0,0,0,delta\n0,7,1,Gamma's\n");
    EXPECT_FALSE(desktop::writeSummaryFile((scratch.path() / "no" / "summary.txt").string(), {}));
}

TEST(RunLog, StartsWithTheProgramLines) {
    ScratchDirectory scratch;
    const auto path = scratch.write("run_log.txt", "an earlier session\n");
    ASSERT_TRUE(
        desktop::createRunLog(path.string(), {"4.0.3", "Jan  2 2025", "10:11:12",
                                              "VETRA40.dll version 4.0.1.8", 8, "aarch64"}));
    EXPECT_EQ(fileContents(path), "Ravelo 4.0.3\nCompiled Jan  2 2025 10:11:12\n"
                                  "Vetra VETRA40.dll version 4.0.1.8\nNumber of processors: 8\n"
                                  "Processor type: aarch64\n");
    EXPECT_FALSE(desktop::createRunLog((scratch.path() / "no" / "log.txt").string(), {}));
}

TEST(RunLog, EachRunAppendsItsHeaderAndTheEditsWithTheirOwnOptions) {
    ScratchDirectory scratch;
    const auto path = scratch.write("run_log.txt", "Ravelo 4.0.3\n");
    desktop::EditOptionGrid grid;
    grid.rebuild({"A Edit", "B Edit", "C Edit", "D Edit", "E Edit", "F Edit", "G Edit"});
    grid.click(0, desktop::kSuppressEdit);
    grid.click(1, desktop::kSkipEmpty);
    grid.click(1, desktop::kSkipFail);
    grid.click(2, desktop::kSkipEmpty);
    grid.click(3, desktop::kSkipFail);
    grid.click(4, desktop::kNoSkips);
    grid.apply({{"F Edit", "often"}}); // leaves the row without a mark
    desktop::RunLogHeader header;
    header.runNumber = 2;
    header.metafile = "Metafile: naaccr18.rmf";
    header.recordLayout = "Layout: NAACCR 18 Incidence";
    header.editSets = "Edit Sets: Set A, Set B";
    header.dataFile = "/data/records.txt";
    header.recordType = "I";
    header.recordVersion = "180";
    header.fileSize = "35,840";
    header.recordCount = "10";
    header.recordLength = "3584";
    header.globalOptions = 1 | 2 | 128;
    header.gridRows = &grid.rows();
    ASSERT_TRUE(desktop::appendRunHeader(path.string(), header));
    header.runNumber = 3;
    header.globalOptions = 0;
    header.gridRows = nullptr;
    ASSERT_TRUE(desktop::appendRunHeader(path.string(), header));
    const std::string common = "Metafile: naaccr18.rmf\nLayout: NAACCR 18 Incidence\n"
                               "Edit Sets: Set A, Set B\n/data/records.txt\n"
                               "Record Type:I Record Version:180\n"
                               "File Size:35,840 Record Count:10 \nRecord Length:3584 \n";
    EXPECT_EQ(fileContents(path), "Ravelo 4.0.3\n----- Run 2 -----\n" + common +
                                      "Global Option: Skip Empty Skip Failed Suppress Warnings\n"
                                      "7 Edits\n"
                                      "VT_SUPPRESS: A Edit\n"
                                      "VT_SKIPEMPTY and VT_SKIPFAIL: B Edit\n"
                                      "VT_SKIPEMPTY: C Edit\n"
                                      "VT_SKIPFAIL: D Edit\n"
                                      "NONE: E Edit\n"
                                      "NONE: F Edit\n"
                                      "----- Run 3 -----\n" +
                                      common + "Global Option: \n0 Edits\n");
}

} // namespace
