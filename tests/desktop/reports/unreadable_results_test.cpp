// Results that are missing, damaged, partial or empty: every report either is written or says
// what it could not read, and no report ever changes the database it read.
#include "desktop/run/results_database.h"
#include "tests/desktop/reports/report_fixture.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <thread>

namespace {

using vetra::desktop::csv_report;
using vetra::desktop::RAVquery;
using vetra::desktop::ResultsDatabase;
using vetra::testing::coverPage;
using vetra::testing::failedEdit;
using vetra::testing::firstTitleBlock;
using vetra::testing::kDashLine;
using vetra::testing::kEndOfReport;
using vetra::testing::recordHead;
using vetra::testing::sexCheckFailure;
using vetra::testing::stampOf;
using vetra::testing::summaryPageHead;
using vetra::testing::summaryRow;
using vetra::testing::testRecord;

class UnreadableResults : public vetra::testing::ReportFixture {
protected:
    // The detailed and CSV reports refuse the folder's database, naming it.
    void expectRefused() {
        writeSummaryFile("1,0,0,Sex Check\n");
        const std::size_t shown = reportMessages_.shown().size();
        EXPECT_EQ(query_.detailedReport(inputs()), RAVquery::kResultsUnreadable);
        EXPECT_EQ(csv_.write(inputs()), csv_report::kResultsUnreadable);
        EXPECT_EQ(query_.combinedReport(inputs()), RAVquery::kResultsUnreadable);
        ASSERT_EQ(reportMessages_.shown().size(), shown + 3);
        for (std::size_t i = shown; i < shown + 3; ++i)
            EXPECT_EQ(reportMessages_.shown()[i].text.rfind(
                          "Unable to read the results database " + resultsPath(), 0),
                      0u)
                << reportMessages_.shown()[i].text;
    }
};

TEST_F(UnreadableResults, AFolderWithoutAResultsDatabase) {
    expectRefused();
    EXPECT_FALSE(std::filesystem::exists(resultsPath()));

    // The summary still has its counts; its cover page has no run record to show.
    const std::string title = "Test Report Summary by Edit";
    ASSERT_EQ(query_.summaryReport(inputs()), 1);
    EXPECT_EQ(reportText(), coverPage(title, "", date(), {}) + summaryPageHead(title, "", 1) +
                                summaryRow("Sex Check", 1, 0, 0) + "\n\f\n");
}

TEST_F(UnreadableResults, AFileThatIsNotAResultsDatabase) {
    for (const char* contents : {"", "Record Number,Edit Name\n1,Sex Check\n"}) {
        SCOPED_TRACE(contents);
        scratch_.write("query/errors.db", contents);
        expectRefused();
        EXPECT_EQ(vetra::testing::fileContents(resultsPath()), contents);
    }
}

TEST_F(UnreadableResults, ADatabaseOfSomethingElse) {
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open(resultsPath().c_str(), &database), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(database, "CREATE TABLE editfailures( failededitid INTEGER );", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(database);
    expectRefused();
}

// Written by hand: no run record but its legend, a record without failed edits, and field
// titles as wide as their column and wider.
TEST_F(UnreadableResults, ADatabaseWithoutARunRecordStillGivesItsRecords) {
    ResultsDatabase results;
    ASSERT_EQ(results.createFresh(resultsFolder_), SQLITE_OK);
    ASSERT_EQ(results.open(resultsFolder_), SQLITE_OK);
    vetra::desktop::IdentificationPairs pairs;
    pairs[0] = {"Code", "XY"};
    ASSERT_EQ(results.addRunRecordRow("Legend: ", "not shown"), SQLITE_OK);
    ASSERT_EQ(results.addRecordRow(7, pairs, 1), SQLITE_OK);
    ASSERT_EQ(results.addFailedEdit(1, 7, "By Hand"), SQLITE_OK);
    ASSERT_EQ(results.addMessage(1, 1, "Written, by hand", "W"), SQLITE_OK);
    const std::string title32(32, 'T'), title40(40, 'U');
    ASSERT_EQ(results.addField(1, "Site (13)", "[C5,09]", "_ _ _ _ _ "), SQLITE_OK);
    ASSERT_EQ(results.addField(1, title32, "[1]", "_ "), SQLITE_OK);
    ASSERT_EQ(results.addField(1, title40, "[2]", "_ "), SQLITE_OK);
    ASSERT_EQ(results.addRecordRow(9, pairs, 0), SQLITE_OK);
    results.close();
    identificationFields_ = {"Code"};

    ASSERT_EQ(query_.detailedReport(inputs()), RAVquery::kWritten);
    EXPECT_EQ(reportText(),
              coverPage("Test Report", "", date(), {}) +
                  firstTitleBlock("Test Report", "", date()) + "\n" + kDashLine +
                  recordHead(7, {{"Code", "XY"}}) +
                  failedEdit("By Hand", {{"W", "Written, by hand"}},
                             {{"Site (13)", "[C5,09]"}, {title32, "[1]"}, {title40, "[2]"}}) +
                  "\n" + kDashLine + recordHead(9, {{"Code", "XY"}}) + kEndOfReport);

    ASSERT_EQ(csv_.write(inputs()), csv_report::kWritten);
    EXPECT_EQ(
        vetra::testing::fileContents(scratch_.path() / "report.csv"),
        std::string("Record Number,Code,Edit Name,Message Type,Reason for Failure,Field Name,Field "
                    "Value\n7,XY,\"By Hand\",W,\"Written, by hand\",Site (13),\"[C5,09]\"\n") +
            "7,XY,\"By Hand\",W,\"Written, by hand\"," + title32 + ",[1]\n" +
            "7,XY,\"By Hand\",W,\"Written, by hand\"," + title40 + ",[2]\n");
    EXPECT_TRUE(reportMessages_.shown().empty());
}

TEST_F(UnreadableResults, AHaltedRunGivesItsPartialResults) {
    progress_.haltAfter(driver_, 11);
    runReportEdits(std::vector<std::string>(30, testRecord("CD", "1", "F")), {"Second"});
    const auto runRecord = this->runRecord();
    ASSERT_EQ(runRecord.back(),
              (std::pair<std::string, std::string>{"NOTE: RUN CANCELLED", "PARTIAL RESULTS"}));
    auto inputs = this->inputs();
    inputs.linesPerPage = 1000;
    ASSERT_EQ(query_.detailedReport(inputs), RAVquery::kWritten);
    std::string expected = coverPage("Test Report", "", date(), runRecord) +
                           firstTitleBlock("Test Report", "", date());
    for (int number = 1; number <= 11; ++number)
        expected += "\n" + kDashLine + recordHead(number) + sexCheckFailure();
    EXPECT_EQ(reportText(), expected + kEndOfReport);
}

TEST_F(UnreadableResults, AnEmptyDataFileGivesReportsWithoutRecords) {
    runReportEdits({}, {"Main"});
    const std::string title = "Test Report Summary by Edit";
    ASSERT_EQ(query_.combinedReport(inputs()), RAVquery::kWritten);
    EXPECT_EQ(reportText(), coverPage(title, "", date(), runRecord()) +
                                summaryPageHead(title, "", 1) + "\n\f" +
                                firstTitleBlock("Test Report", "", date()) + kEndOfReport);
    ASSERT_EQ(csv_.write(inputs()), csv_report::kWritten);
    EXPECT_EQ(vetra::testing::fileContents(scratch_.path() / "report.csv"),
              "Record Number,Edit Name,Message Type,Reason for Failure,Field Name,Field Value\n");
    EXPECT_TRUE(reportMessages_.shown().empty());
}

TEST_F(UnreadableResults, TheReportsNeverChangeTheDatabase) {
    runReportEdits({testRecord("AB", "1", "F"), testRecord("CD", "1", "F")}, {"Main", "Second"},
                   {"Code"});
    const auto before = stampOf(resultsPath());
    const auto summaryBefore = stampOf(resultsPath("summary.txt"));
    // Long enough for the file system's clock to tell a later write apart.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto inputs = this->inputs();
    inputs.sortFields = {"Code"};
    EXPECT_EQ(query_.detailedReport(inputs), RAVquery::kWritten);
    EXPECT_EQ(query_.summaryReport(inputs), 1);
    EXPECT_EQ(query_.combinedReport(inputs), RAVquery::kWritten);
    EXPECT_EQ(csv_.write(inputs), csv_report::kWritten);
    EXPECT_TRUE(before == stampOf(resultsPath()));
    EXPECT_TRUE(summaryBefore == stampOf(resultsPath("summary.txt")));
    EXPECT_FALSE(std::filesystem::exists(resultsPath("errors.db-journal")));
    EXPECT_TRUE(reportMessages_.shown().empty());
}

} // namespace
