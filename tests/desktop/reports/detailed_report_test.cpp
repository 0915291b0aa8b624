// The detailed report, compared whole with the text its formats give: the cover page with the
// run record, title blocks, every failing record in the chosen sort order, the three page
// modes, and a halt asked for while the report is written.
#include "tests/desktop/reports/report_fixture.h"

#include <gtest/gtest.h>

namespace {

using vetra::desktop::PageMode;
using vetra::desktop::RAVquery;
using vetra::platform::MessageAnswer;
using vetra::platform::MessageButtons;
using vetra::testing::coverPage;
using vetra::testing::failedEdit;
using vetra::testing::firstTitleBlock;
using vetra::testing::kDashLine;
using vetra::testing::kEndOfReport;
using vetra::testing::laterTitleBlock;
using vetra::testing::recordHead;
using vetra::testing::RunRecordRows;
using vetra::testing::sexCheckFailure;
using vetra::testing::testRecord;
using vetra::testing::twoMessagesFailure;

using DetailedReport = vetra::testing::ReportFixture;

// A record's section on a filled page: an empty line and the dash line before its head.
std::string filledPageSection(std::int64_t recordNumber, const RunRecordRows& identification,
                              const std::string& failedEdits) {
    return "\n" + kDashLine + recordHead(recordNumber, identification) + failedEdits;
}

TEST_F(DetailedReport, ARunWithoutFailuresGivesTheCoverPageTheTitleBlockAndTheEnd) {
    runReportEdits({testRecord("CD", "1", "M")}, {"Main"});
    const RunRecordRows runRecord = this->runRecord();
    ASSERT_EQ(runRecord.size(), 16u);
    ASSERT_EQ(runRecord.front().first, "Start of Run");

    ASSERT_EQ(query_.detailedReport(inputs("Quarterly Check")), RAVquery::kWritten);
    EXPECT_EQ(reportText(), coverPage("Quarterly Check", "", date(), runRecord) +
                                firstTitleBlock("Quarterly Check", "", date()) + kEndOfReport);

    ASSERT_EQ(query_.detailedReport(inputs("Quarterly Check", "Second quarter, 2024")),
              RAVquery::kWritten);
    EXPECT_EQ(reportText(),
              coverPage("Quarterly Check", "Second quarter, 2024", date(), runRecord) +
                  firstTitleBlock("Quarterly Check", "Second quarter, 2024", date()) +
                  kEndOfReport);
    EXPECT_TRUE(reportMessages_.shown().empty());
    EXPECT_EQ(reportProgress_.maximum(), 0);
}

TEST_F(DetailedReport, ARecordShowsItsIdentificationFailedEditsMessagesAndFields) {
    runReportEdits({testRecord("AB", "1", "F", "C999"), testRecord("CD", "1", "M")}, {"Main"},
                   {"Sex", "Code"});
    ASSERT_EQ(query_.detailedReport(inputs()), RAVquery::kWritten);
    const std::string noFields = failedEdit("No Fields", {{"E", "Site needs no field"}}, {});
    EXPECT_EQ(reportText(),
              coverPage("Test Report", "", date(), runRecord()) +
                  firstTitleBlock("Test Report", "", date()) +
                  filledPageSection(1, {{"Sex", "F"}, {"Code", "AB"}},
                                    sexCheckFailure() + twoMessagesFailure("F") + noFields) +
                  kEndOfReport);
    EXPECT_EQ(reportProgress_.maximum(), 1);
    EXPECT_EQ(reportProgress_.position(), 1);
}

// The window's list decides how many identification lines a record shows.
TEST_F(DetailedReport, OnlyTheSelectedIdentificationFieldsAreShown) {
    runReportEdits({testRecord("CD", "2", "F")}, {"Second"}, {"Code", "Registry", "Sex"});
    auto inputs = this->inputs();
    inputs.selectedFields = {"Code", "Registry"};
    ASSERT_EQ(query_.detailedReport(inputs), RAVquery::kWritten);
    EXPECT_EQ(reportText(),
              coverPage("Test Report", "", date(), runRecord()) +
                  firstTitleBlock("Test Report", "", date()) +
                  filledPageSection(1, {{"Code", "CD"}, {"Registry", "2"}}, sexCheckFailure()) +
                  kEndOfReport);
}

// Sort fields Registry then Code, selected as Code, Registry, Sex: ordered by id1val, then
// id0val, then record number.
TEST_F(DetailedReport, SortFieldsOrderTheRecordsByTheirValuesThenByRecordNumber) {
    runReportEdits({testRecord("BB", "2", "F"), testRecord("AA", "2", "F"),
                    testRecord("CC", "1", "F"), testRecord("AA", "2", "F")},
                   {"Second"}, {"Code", "Registry", "Sex"});
    auto section = [&](std::int64_t number, const std::string& code, const std::string& registry) {
        return filledPageSection(number, {{"Code", code}, {"Registry", registry}, {"Sex", "F"}},
                                 sexCheckFailure());
    };
    const std::string head = coverPage("Test Report", "", date(), runRecord()) +
                             firstTitleBlock("Test Report", "", date());
    auto inputs = this->inputs();
    inputs.linesPerPage = 200;

    inputs.sortFields = {"Registry", "Code"};
    ASSERT_EQ(query_.detailedReport(inputs), RAVquery::kWritten);
    EXPECT_EQ(reportText(), head + section(3, "CC", "1") + section(2, "AA", "2") +
                                section(4, "AA", "2") + section(1, "BB", "2") + kEndOfReport);

    inputs.sortFields.clear();
    ASSERT_EQ(query_.detailedReport(inputs), RAVquery::kWritten);
    EXPECT_EQ(reportText(), head + section(1, "BB", "2") + section(2, "AA", "2") +
                                section(3, "CC", "1") + section(4, "AA", "2") + kEndOfReport);
}

// Each of a record's two errorrecs rows prints all of the record's failed edits.
TEST_F(DetailedReport, ARecordFailingInTwoEditSetsAppearsTwice) {
    runReportEdits(
        {testRecord("AB", "1", "F"), testRecord("CD", "1", "M"), testRecord("CD", "1", "F")},
        {"Main", "Second"}, {"Code"});
    auto inputs = this->inputs();
    inputs.linesPerPage = 200;
    ASSERT_EQ(query_.detailedReport(inputs), RAVquery::kWritten);
    const std::string first = filledPageSection(
        1, {{"Code", "AB"}}, sexCheckFailure() + twoMessagesFailure("F") + sexCheckFailure());
    const std::string third =
        filledPageSection(3, {{"Code", "CD"}}, sexCheckFailure() + sexCheckFailure());
    EXPECT_EQ(reportText(), coverPage("Test Report", "", date(), runRecord()) +
                                firstTitleBlock("Test Report", "", date()) + first + first + third +
                                third + kEndOfReport);
}

// With 30 lines a page, sections of 8 lines after a 2-line title block fill 26 lines with
// three records; the fourth record's edit line is the 31st.
TEST_F(DetailedReport, AFilledPageBreaksAsSoonAsItsLinesPassTheLinesPerPage) {
    runReportEdits(std::vector<std::string>(4, testRecord("CD", "1", "F")), {"Second"});
    auto inputs = this->inputs();
    inputs.linesPerPage = 30;
    ASSERT_EQ(query_.detailedReport(inputs), RAVquery::kWritten);
    std::string expected = coverPage("Test Report", "", date(), runRecord()) +
                           firstTitleBlock("Test Report", "", date());
    for (int number = 1; number <= 3; ++number)
        expected += filledPageSection(number, {}, sexCheckFailure());
    expected += filledPageSection(4, {}, "  Edit: Sex Check\n") +
                laterTitleBlock("Test Report", "", 2, date()) +
                "    E: Sex F at (4) is wrong in Sex Check\n" +
                vetra::testing::format("      %32s %s\n", "Sex (4)", "[F]") + kDashLine;
    EXPECT_EQ(reportText(), expected + kEndOfReport);
}

// The head of a record stays whole on its page: the break it runs into comes after it.
TEST_F(DetailedReport, AFilledPageNeverBreaksInsideARecordHead) {
    runReportEdits(std::vector<std::string>(8, testRecord("CD", "1", "F")), {"Second"});
    auto inputs = this->inputs();
    inputs.linesPerPage = 30;
    ASSERT_EQ(query_.detailedReport(inputs), RAVquery::kWritten);
    const std::string text = reportText();
    // Page 2 holds the end of record 4 (3 lines) and records 5 to 7 (24 lines) below its
    // title block, so record 8's head takes lines 30 to 33.
    const std::string pageThree = laterTitleBlock("Test Report", "", 3, date());
    const std::string tail =
        filledPageSection(8, {}, "") + pageThree + sexCheckFailure() + kEndOfReport;
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

class DetailedReportHalt : public vetra::testing::ReportFixture {
protected:
    // Every record on its own page: page 11 is reached after record 10, page 22 after
    // record 21.
    void SetUp() override {
        runReportEdits(std::vector<std::string>(23, testRecord("CD", "1", "F")), {"Second"});
        inputs_ = inputs();
        inputs_.pageMode = PageMode::EveryRecord;
    }
    std::string records(int first, int last) const {
        std::string text;
        for (int number = first; number <= last; ++number)
            text += recordHead(number) + sexCheckFailure() + "\n" +
                    laterTitleBlock("Test Report", "", number + 1, date());
        return text;
    }
    std::string head() const {
        return coverPage("Test Report", "", date(), runRecord()) +
               firstTitleBlock("Test Report", "", date());
    }

    vetra::desktop::ReportInputs inputs_;
};

TEST_F(DetailedReportHalt, ConfirmedHaltEndsTheReportAsInterrupted) {
    reportProgress_.haltAt(query_, 1);
    reportMessages_.answerNext(MessageAnswer::Ok);
    EXPECT_EQ(query_.detailedReport(inputs_), RAVquery::kStopped);
    ASSERT_EQ(reportMessages_.shown().size(), 1u);
    const auto& box = reportMessages_.shown()[0];
    EXPECT_EQ(box.text, "Click OK to stop the building of this report.\nClick Cancel to continue.");
    EXPECT_EQ(box.caption, "Halt Requested");
    EXPECT_EQ(box.buttons, MessageButtons::OkCancel);
    EXPECT_EQ(reportText(), head() + records(1, 10) + "*** REPORT INTERRUPTED ***" + kEndOfReport);
    EXPECT_EQ(reportProgress_.maximum(), 23);
    EXPECT_EQ(reportProgress_.position(), 23);
}

// Cancel clears the request: page 22 passes without asking again.
TEST_F(DetailedReportHalt, CancelledHaltContinuesToTheEnd) {
    reportProgress_.haltAt(query_, 1);
    EXPECT_EQ(query_.detailedReport(inputs_), RAVquery::kWritten);
    EXPECT_EQ(reportProgress_.pendingEventCalls(), 2);
    ASSERT_EQ(reportMessages_.shown().size(), 1u);
    EXPECT_EQ(reportMessages_.shown()[0].caption, "Halt Requested");
    EXPECT_EQ(reportText(), head() + records(1, 23) + kEndOfReport);
}

// A halt asked for before the report began is forgotten.
TEST_F(DetailedReportHalt, AnEarlierHaltRequestDoesNotStopANewReport) {
    query_.requestHalt();
    EXPECT_EQ(query_.detailedReport(inputs_), RAVquery::kWritten);
    EXPECT_TRUE(reportMessages_.shown().empty());
    EXPECT_EQ(reportText(), head() + records(1, 23) + kEndOfReport);
}

TEST_F(DetailedReport, AReportFileThatCannotBeCreatedIsReported) {
    runReportEdits({testRecord("CD", "1", "F")}, {"Second"});
    auto inputs = this->inputs();
    inputs.reportFileName = (scratch_.path() / "missing" / "report.rpt").string();
    EXPECT_EQ(query_.detailedReport(inputs), RAVquery::kFileNotCreated);
    ASSERT_EQ(reportMessages_.shown().size(), 1u);
    EXPECT_EQ(reportMessages_.shown()[0].text,
              "Unable to create report file.  Make sure the directory exists and the file, if it "
              "exists, is not locked.");
    EXPECT_EQ(reportProgress_.maximum(), -1);
}

} // namespace
