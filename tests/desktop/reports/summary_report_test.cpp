// The summary report, one line of counts per edit of summary.txt under the cover page, and the
// combined report that puts the summary and the detailed report in one file.
#include "tests/desktop/reports/report_fixture.h"

#include <gtest/gtest.h>

namespace {

using vetra::desktop::PageMode;
using vetra::desktop::RAVquery;
using vetra::testing::coverPage;
using vetra::testing::firstTitleBlock;
using vetra::testing::kEndOfReport;
using vetra::testing::laterTitleBlock;
using vetra::testing::recordHead;
using vetra::testing::sexCheckFailure;
using vetra::testing::summaryPageHead;
using vetra::testing::summaryRow;
using vetra::testing::testRecord;
using vetra::testing::twoMessagesFailure;

class SummaryReport : public vetra::testing::ReportFixture {
protected:
    // The summary's file up to its last line, under the given summary title.
    std::string summaryText(const std::string& title, const std::string& subtitle,
                            const std::string& pages) const {
        return coverPage(title, subtitle, date(), runRecord()) + pages + "\n\f";
    }
};

TEST_F(SummaryReport, EditsWithoutCountsAreListedOnlyWhenZerosAreNotOmitted) {
    runReportEdits({testRecord("CD", "1", "F")}, {"Main"});
    ASSERT_EQ(summaryLines(), (std::vector<std::string>{"0,0,0,No Fields", "1,0,0,Sex Check",
                                                        "0,0,0,Two Messages"}));
    const std::string title = "Test Report Summary by Edit";
    auto inputs = this->inputs("Test Report", "All registries");

    ASSERT_EQ(query_.summaryReport(inputs), 1);
    EXPECT_EQ(reportText(), summaryText(title, "All registries",
                                        summaryPageHead(title, "All registries", 1) +
                                            summaryRow("Sex Check", 1, 0, 0)) +
                                "\n");

    inputs.omitZeroCounts = false;
    ASSERT_EQ(query_.summaryReport(inputs), 1);
    EXPECT_EQ(reportText(),
              summaryText(title, "All registries",
                          summaryPageHead(title, "All registries", 1) +
                              summaryRow("No Fields", 0, 0, 0) + summaryRow("Sex Check", 1, 0, 0) +
                              summaryRow("Two Messages", 0, 0, 0)) +
                  "\n");
    EXPECT_TRUE(reportMessages_.shown().empty());
}

TEST_F(SummaryReport, FiftySixRowsFillAPage) {
    runReportEdits({testRecord("CD", "1", "F")}, {"Second"});
    std::string summary, firstPage;
    for (int number = 1; number <= 57; ++number) {
        const std::string name = vetra::testing::format("Edit %02d", number);
        summary += vetra::testing::format("%d,%d,%d,%s\n", number, 2 * number, 0, name.c_str());
        if (number <= 56) firstPage += summaryRow(name, number, 2 * number, 0);
    }
    writeSummaryFile(summary);
    const std::string title = "Test Report Summary by Edit";
    ASSERT_EQ(query_.summaryReport(inputs()), 2);
    EXPECT_EQ(reportText(),
              summaryText(title, "",
                          summaryPageHead(title, "", 1) + firstPage + "\f" +
                              summaryPageHead(title, "", 2) + summaryRow("Edit 57", 57, 114, 0)) +
                  "\n");
}

// The title is cut to 127 characters, and so is the title with " Summary by Edit" after it.
TEST_F(SummaryReport, TheSummaryTitleKeepsWithin127Characters) {
    runReportEdits({testRecord("CD", "1", "F")}, {"Second"});
    struct Case {
        std::string title;
        std::string summaryTitle;
    };
    const Case cases[] = {
        {std::string(111, 'T'), std::string(111, 'T') + " Summary by Edit"},
        {std::string(120, 'T'), std::string(120, 'T') + " Summar"},
        {std::string(140, 'T'), std::string(127, 'T')},
    };
    for (const Case& test : cases) {
        ASSERT_EQ(query_.summaryReport(inputs(test.title)), 1);
        EXPECT_EQ(reportText(), summaryText(test.summaryTitle, "",
                                            summaryPageHead(test.summaryTitle, "", 1) +
                                                summaryRow("Sex Check", 1, 0, 0)) +
                                    "\n");
    }
}

TEST_F(SummaryReport, EditNamesEndAtTheirFirstControlCharacter) {
    runReportEdits({testRecord("CD", "1", "F")}, {"Second"});
    writeSummaryFile("3,0,1,Written on Windows\r\n0,4,0,Tab\tand more\n");
    const std::string title = "Test Report Summary by Edit";
    ASSERT_EQ(query_.summaryReport(inputs()), 1);
    EXPECT_EQ(reportText(), summaryText(title, "",
                                        summaryPageHead(title, "", 1) +
                                            summaryRow("Written on Windows", 3, 0, 1) +
                                            summaryRow("Tab", 0, 4, 0)) +
                                "\n");
}

TEST_F(SummaryReport, MoreThan30000EntriesAreLeftOutWithAWarning) {
    runReportEdits({testRecord("CD", "1", "F")}, {"Second"});
    std::string summary;
    for (int number = 1; number <= 30000; ++number)
        summary += vetra::testing::format("1,0,0,Edit %05d\n", number);
    writeSummaryFile(summary);
    ASSERT_EQ(query_.summaryReport(inputs()), 536); // 30000 rows at 56 a page
    EXPECT_TRUE(reportMessages_.shown().empty());

    writeSummaryFile(summary + "1,0,0,Edit 30001\n1,0,0,Edit 30002\n");
    ASSERT_EQ(query_.summaryReport(inputs()), 536);
    ASSERT_EQ(reportMessages_.shown().size(), 1u);
    EXPECT_EQ(reportMessages_.shown()[0].text,
              "The message buffer for 'summary.txt' has been exceeded.  A summary report has been "
              "generated, but some summary counts have been omitted.  To address this issue, "
              "reduce the number of selected edit sets.  The edit sets can be processed in "
              "smaller batches if needed.");
    const std::string text = reportText();
    EXPECT_NE(text.find(summaryRow("Edit 30000", 1, 0, 0)), std::string::npos);
    EXPECT_EQ(text.find("Edit 30001"), std::string::npos);
}

TEST_F(SummaryReport, MissingSummaryFileIsReported) {
    auto inputs = this->inputs();
    EXPECT_EQ(query_.summaryReport(inputs), RAVquery::kSummaryFailed);
    ASSERT_EQ(reportMessages_.shown().size(), 1u);
    EXPECT_NE(reportMessages_.shown()[0].text.find(resultsPath("summary.txt")), std::string::npos)
        << reportMessages_.shown()[0].text;
    EXPECT_EQ(query_.combinedReport(inputs), RAVquery::kFileNotCreated);
}

} // namespace
