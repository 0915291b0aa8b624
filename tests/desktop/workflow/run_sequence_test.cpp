// The whole "Run VETRA" sequence: the run log header, the metafile opened for the run, the
// layout bound, the edit sets loaded, and what is left behind when a step fails.
#include "tests/desktop/run/run_fixture.h"
#include "tests/support/file_contents.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using vetra::testing::ResultsFile;
using vetra::testing::Rows;
using vetra::testing::RunTestEdit;
using vetra::testing::testRecord;
namespace desktop = vetra::desktop;

const std::vector<RunTestEdit> kEdits = {
    {"Sex Check", 100, {220}, R"(if (strcmp(#S"Sex", "F") == 0) return fail; return pass;)"},
    // Code ZZ makes the logic fail inside the engine, which ends the batch with an error.
    {"Breaks", 102, {10}, R"(if (strcmp(#S"Code", "ZZ") == 0) return 1 / 0; return fail;)"},
};

const std::vector<vetra::writer::EditSetDefinition> kSets = {
    {"Main", "", {"Sex Check"}},
    {"Fragile", "", {"Breaks"}},
};

class RunEditsSequence : public vetra::testing::RunFixture {
protected:
    desktop::RunRequest twoRecords(const std::vector<std::string>& sets) {
        const std::string data =
            writeDataFile({testRecord("AB", "1", "F"), testRecord("CD", "1", "M")});
        return request(writeMetafile(kEdits, kSets), data, 2, sets);
    }
};

using vetra::testing::fileContents;

TEST_F(RunEditsSequence, AppendsTheRunHeaderToTheRunLog) {
    desktop::RunRequest request = twoRecords({"Main"});
    request.logHeader.runNumber = 3;
    request.logHeader.metafile = "run.rmf";
    ASSERT_EQ(run(request), desktop::RunOutcome::Completed);
    const std::string log = fileContents(request.runLogPath);
    EXPECT_EQ(log.rfind("----- Run 3 -----\nrun.rmf\n", 0), 0u) << log;
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(RunEditsSequence, ARunLogThatCannotBeOpenedIsReportedAndTheRunGoesOn) {
    desktop::RunRequest request = twoRecords({"Main"});
    request.runLogPath = (scratch_.path() / "missing" / "run_log.txt").string();
    ASSERT_EQ(run(request), desktop::RunOutcome::Completed);
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text,
              request.runLogPath +
                  "\n\nThe run log could not be written there: No such file or directory.  Runs "
                  "go on without it; the reports folder of the master configuration file decides "
                  "where it is kept.");
    EXPECT_EQ(messages_.shown()[0].caption, "Unable to open log file in RunEdits()");
    EXPECT_EQ(ResultsFile(resultsPath()).count("errorrecs"), 1);
}

TEST_F(RunEditsSequence, AnEditSetThatCannotBeLoadedIsReportedAndLeftOut) {
    ASSERT_EQ(run(twoRecords({"No Such Set", "Main"})), desktop::RunOutcome::Completed);
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].caption, "Internal Engine Error");
    EXPECT_NE(messages_.shown()[0].text.find("from API call VTx_LoadEditSet,"), std::string::npos)
        << messages_.shown()[0].text;
    EXPECT_NE(messages_.shown()[0].text.find(" of Unit1 \n "), std::string::npos);
    ResultsFile results(resultsPath());
    EXPECT_EQ(results.runRecordValue("Edit Set1"), "Main");
    EXPECT_EQ(results.runRecordValue("Edit Set2"), "<missing>");
    EXPECT_EQ(results.count("errorrecs"), 1);
}

TEST_F(RunEditsSequence, NoRunWithoutAnEditSetOrABoundLayout) {
    EXPECT_EQ(run(twoRecords({"No Such Set"})), desktop::RunOutcome::NotStarted);
    desktop::RunRequest request = twoRecords({"Main"});
    request.layoutName = "No Such Layout";
    EXPECT_EQ(run(request), desktop::RunOutcome::NotStarted);
    EXPECT_EQ(captionsShown(),
              (std::vector<std::string>{"Internal Engine Error", "Internal Engine Error"}));
    EXPECT_NE(messages_.shown()[1].text.find("from API call VTx_InitRecordLayout,"),
              std::string::npos)
        << messages_.shown()[1].text;
    EXPECT_FALSE(std::filesystem::exists(resultsPath()));
}

// Edit logic reads the folders in every instance of the run, each part's too; without folders
// the variable stays unset.
TEST_F(RunEditsSequence, EveryInstanceOfTheRunHoldsTheExternalLibraryFolders) {
    const std::string folders = (scratch_.path() / "libraries").string() + ":/opt/registry/lib";
    const std::vector<RunTestEdit> edits = {{"Library Folders",
                                             102,
                                             {10},
                                             R"(if (strcmp(getvar("_EXTERNALDLL_FOLDERS"), ")" +
                                                 folders +
                                                 R"(") == 0) return fail; return pass;)"}};
    desktop::RunRequest request = this->request(
        writeMetafile(edits, {{"Libraries", "", {"Library Folders"}}}),
        writeDataFile(std::vector<std::string>(6, testRecord("AB", "1", "M"))), 6, {"Libraries"});
    request.settings.jobs = 3;
    request.settings.externalLibraryFolders = folders;
    ASSERT_EQ(run(request), desktop::RunOutcome::Completed);
    EXPECT_EQ(driver_.counters().exceptionRecords, 6);
    EXPECT_TRUE(messages_.shown().empty());

    request.settings.externalLibraryFolders.clear();
    ASSERT_EQ(run(request), desktop::RunOutcome::Completed);
    EXPECT_EQ(driver_.counters().exceptionRecords, 0);
}

TEST_F(RunEditsSequence, AMissingMetafileIsNamedAndNothingRuns) {
    desktop::RunRequest request = twoRecords({"Main"});
    request.settings.metafilePath = (scratch_.path() / "gone.rmf").string();
    EXPECT_EQ(run(request), desktop::RunOutcome::NotStarted);
    ASSERT_EQ(messages_.shown().size(), 1u);
    // The path first, then what to do about it.
    EXPECT_EQ(messages_.shown()[0].text.substr(0, request.settings.metafilePath.size() + 2),
              request.settings.metafilePath + "\n\n");
    EXPECT_EQ(messages_.shown()[0].caption, "The Metafile Requested Was Not Found");
}

TEST_F(RunEditsSequence, AMissingDataFileStopsTheRunBeforeAnyRecord) {
    desktop::RunRequest request = twoRecords({"Main"});
    request.settings.dataFilePath = (scratch_.path() / "gone.txt").string();
    EXPECT_EQ(run(request), desktop::RunOutcome::Failed);
    ASSERT_EQ(messages_.shown().size(), 2u);
    EXPECT_EQ(messages_.shown()[0].text,
              "Unable to open datafile " + request.settings.dataFilePath);
    EXPECT_EQ(messages_.shown()[1].text.rfind("VETRA Run Failed at line ", 0), 0u);
    EXPECT_EQ(driver_.counters().recordsRead, 0);
    ResultsFile results(resultsPath());
    EXPECT_EQ(results.count("editrun"), 0);
    EXPECT_EQ(results.count("errorrecs"), 0);
}

// The run stops at record 3; what records 1 and 2 stored stays readable, and the database is
// not left inside a transaction.
TEST_F(RunEditsSequence, AFailedEngineCallMidRunLeavesAReadableDatabase) {
    const std::string data =
        writeDataFile({testRecord("AB", "1", "F"), testRecord("CD", "1", "F"),
                       testRecord("ZZ", "1", "F"), testRecord("EF", "1", "F")});
    ASSERT_EQ(run(request(writeMetafile(kEdits, kSets), data, 4, {"Fragile"})),
              desktop::RunOutcome::Failed);
    ASSERT_EQ(captionsShown().size(), 2u);
    EXPECT_EQ(messages_.shown()[0].caption, "Internal Engine Error");
    const std::string& engineError = messages_.shown()[0].text;
    EXPECT_EQ(engineError.rfind("ERROR ", 0), 0u) << engineError;
    EXPECT_NE(engineError.find(" from API call VTx_RunBatch, engine function "), std::string::npos)
        << engineError;
    EXPECT_NE(engineError.find(" of runedits \n "), std::string::npos) << engineError;
    EXPECT_EQ(messages_.shown()[1].text.rfind("VETRA Run Failed at line ", 0), 0u);
    EXPECT_EQ(messages_.shown()[1].caption.rfind("Debug Message from line ", 0), 0u);
    EXPECT_EQ(messages_.shown()[1].caption.substr(messages_.shown()[1].caption.size() - 9),
              " of Unit1");

    EXPECT_FALSE(std::filesystem::exists(resultsPath("errors.db-journal")));
    ResultsFile results(resultsPath());
    EXPECT_EQ(results.rows("SELECT recnum FROM editfailures"), (Rows{{"1"}, {"2"}}));
    EXPECT_EQ(results.count("editrun"), 0);
    EXPECT_FALSE(std::filesystem::exists(resultsPath("summary.txt")));

    ASSERT_EQ(run(request(writeMetafile(kEdits, kSets), data, 4, {"Main"})),
              desktop::RunOutcome::Completed);
    EXPECT_EQ(ResultsFile(resultsPath()).count("errorrecs"), 4);
    EXPECT_EQ(ResultsFile(resultsPath("errors_1st_prev.db")).count("editfailures"), 2);
    EXPECT_TRUE(std::filesystem::exists(resultsPath("summary.txt")));

    // A run that stops takes the completed run's summary away with its database.
    ASSERT_EQ(run(request(writeMetafile(kEdits, kSets), data, 4, {"Fragile"})),
              desktop::RunOutcome::Failed);
    EXPECT_FALSE(std::filesystem::exists(resultsPath("summary.txt")));
}

// Runs are told apart by their data file's name in the run record.
TEST_F(RunEditsSequence, SixEarlierDatabasesAreNeverKept) {
    const std::string metafile = writeMetafile(kEdits, kSets);
    const auto runNumber = [&](const std::string& database) {
        return ResultsFile(resultsPath(database)).runRecordValue("Data File");
    };
    const auto dataFile = [&](int number) {
        return (scratch_.path() / ("run" + std::to_string(number) + ".txt")).string();
    };
    for (int number = 1; number <= 7; ++number) {
        writeDataFile({testRecord("AB", "1", "F")}, "run" + std::to_string(number) + ".txt");
        ASSERT_EQ(run(request(metafile, dataFile(number), 1, {"Main"})),
                  desktop::RunOutcome::Completed);
        if (number != 6) continue;
        EXPECT_EQ(runNumber("errors.db"), dataFile(6));
        EXPECT_EQ(runNumber("errors_1st_prev.db"), dataFile(5));
        EXPECT_EQ(runNumber("errors_2nd_prev.db"), dataFile(4));
        EXPECT_EQ(runNumber("errors_3rd_prev.db"), dataFile(3));
        EXPECT_EQ(runNumber("errors_4th_prev.db"), dataFile(2));
        EXPECT_EQ(runNumber("errors_5th_prev.db"), dataFile(1));
    }
    EXPECT_EQ(runNumber("errors.db"), dataFile(7));
    EXPECT_EQ(runNumber("errors_5th_prev.db"), dataFile(2));
    std::size_t databases = 0;
    for (const auto& entry : std::filesystem::directory_iterator(resultsFolder_))
        databases += entry.path().extension() == ".db";
    EXPECT_EQ(databases, 6u);
}

} // namespace
