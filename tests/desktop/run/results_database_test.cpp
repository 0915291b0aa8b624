// errors.db on its own: the schema, the quoting of values, and the transaction that closing
// the database ends.
#include "desktop/run/results_database.h"
#include "tests/desktop/run/run_fixture.h"
#include "tests/support/file_contents.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using vetra::testing::ResultsFile;
using vetra::testing::Row;
using vetra::testing::Rows;
using vetra::testing::ScratchDirectory;
namespace desktop = vetra::desktop;

std::string folderOf(const ScratchDirectory& scratch) {
    return scratch.path().string() + "/";
}

TEST(ResultsDatabase, IsCreatedWithItsEightStatementsInOrder) {
    ScratchDirectory scratch;
    desktop::ResultsDatabase database;
    ASSERT_EQ(database.createFresh(folderOf(scratch)), 0) << database.errorText();
    ResultsFile results(desktop::ResultsDatabase::databasePath(folderOf(scratch)));
    EXPECT_EQ(
        results.rows("SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY rowid"),
        (Rows{{"table", "editrun", "editrun", "CREATE TABLE editrun( key TEXT, value TEXT )"},
              {"table", "errorrecs", "errorrecs",
               "CREATE TABLE errorrecs( recnum INTEGER, id0 TEXT, id0val TEXT, id1 TEXT, id1val "
               "TEXT, id2 TEXT, id2val TEXT, id3 TEXT, id3val TEXT, id4 TEXT, id4val TEXT, id5 "
               "TEXT, id5val TEXT, id6 TEXT, id6val TEXT, id7 TEXT, id7val TEXT, id8 TEXT, id8val "
               "TEXT, id9 TEXT, id9val TEXT, errcount INTEGER, warncount INTEGER, ertxtofs "
               "INTEGER )"},
              {"table", "editfailures", "editfailures",
               "CREATE TABLE editfailures( failededitid INTEGER, recnum INTEGER, editname TEXT )"},
              {"index", "editfailidx", "editfailures",
               "CREATE INDEX editfailidx ON editfailures( recnum )"},
              {"table", "editfields", "editfields",
               "CREATE TABLE editfields( failededitid INTEGER, field_title TEXT, field_value "
               "TEXT, field_width TEXT )"},
              {"index", "fieldidx", "editfields",
               "CREATE INDEX fieldidx ON editfields( failededitid )"},
              {"table", "editerrors", "editerrors",
               "CREATE TABLE editerrors( msgnum INTEGER, failededitid INTEGER, msg TEXT, msg_type "
               "TEXT )"},
              {"index", "erroridx", "editerrors",
               "CREATE INDEX erroridx ON editerrors( failededitid )"}}));
}

// A rotation step that fails stops the creation with the system's reason, before the schema
// could go into the previous run's database.
TEST(ResultsDatabase, AFailedRotationNamesItsCauseAndWritesNothing) {
    ScratchDirectory scratch;
    const std::string folder = folderOf(scratch);
    const std::string previous = desktop::ResultsDatabase::databasePath(folder);
    scratch.write("errors.db", "the previous run");
    // The oldest place is taken by a folder that cannot be removed.
    std::filesystem::create_directories(scratch.path() / "errors_5th_prev.db" / "kept");
    desktop::ResultsDatabase database;
    EXPECT_NE(database.createFresh(folder), 0);
    EXPECT_EQ(database.errorText(), "The oldest previous results " + folder +
                                        "errors_5th_prev.db could not be removed: Directory not "
                                        "empty.");
    EXPECT_EQ(vetra::testing::fileContents(previous), "the previous run");
    std::filesystem::remove_all(scratch.path() / "errors_5th_prev.db");

    const std::string notAFolder = scratch.write("plain", "a file").string() + "/";
    EXPECT_NE(database.createFresh(notAFolder), 0);
    EXPECT_EQ(database.errorText(),
              "The results folder " + notAFolder + " cannot take new files: Not a directory.");
}

TEST(ResultsDatabase, PredecessorsCarryTheirOrdinals) {
    EXPECT_EQ(desktop::ResultsDatabase::databasePath("q/"), "q/errors.db");
    std::vector<std::string> names;
    for (int number = 1; number <= 5; ++number)
        names.push_back(desktop::ResultsDatabase::predecessorPath("q/", number));
    EXPECT_EQ(names, (std::vector<std::string>{"q/errors_1st_prev.db", "q/errors_2nd_prev.db",
                                               "q/errors_3rd_prev.db", "q/errors_4th_prev.db",
                                               "q/errors_5th_prev.db"}));
}

// Quotes of both kinds and a percent sign reach the rows as they were given, and closing the
// database commits the open transaction.
TEST(ResultsDatabase, StoresQuotedValuesIntactAndCommitsWhenClosed) {
    ScratchDirectory scratch;
    const std::string folder = folderOf(scratch);
    desktop::ResultsDatabase database;
    ASSERT_EQ(database.createFresh(folder), 0);
    ASSERT_EQ(database.open(folder), 0);
    ASSERT_EQ(database.beginTransaction(), 0);
    desktop::IdentificationPairs pairs;
    pairs[0] = {"Patient's Name", "O'Hara"};
    pairs[9] = {"Note", "50% \"done\""};
    EXPECT_EQ(database.addRecordRow(12, pairs, 3), 0);
    EXPECT_EQ(database.addFailedEdit(1, 12, "Don't Skip's Edit"), 0);
    EXPECT_EQ(database.addField(1, "Name's (4)", "[O'Hara]", "_ _ _ _ _ _ "), 0);
    EXPECT_EQ(database.addMessage(1, 1, "It's \"wrong\": 100%d %s", "E"), 0);
    EXPECT_EQ(database.addRunRecordRow("Edit Set1", "Registry's \"own\" set"), 0);
    database.close();

    EXPECT_FALSE(std::filesystem::exists(folder + "errors.db-journal"));
    ResultsFile results(folder + "errors.db");
    Rows record = results.rows("SELECT * FROM errorrecs");
    ASSERT_EQ(record.size(), 1u);
    EXPECT_EQ(record[0][0], "12");
    EXPECT_EQ(record[0][1], "Patient's Name");
    EXPECT_EQ(record[0][2], "O'Hara");
    EXPECT_EQ(record[0][3], "");
    EXPECT_EQ(record[0][19], "Note");
    EXPECT_EQ(record[0][20], "50% \"done\"");
    EXPECT_EQ((Row{record[0][21], record[0][22], record[0][23]}), (Row{"3", "0", "0"}));
    EXPECT_EQ(results.rows("SELECT * FROM editfailures"), (Rows{{"1", "12", "Don't Skip's Edit"}}));
    EXPECT_EQ(results.rows("SELECT * FROM editfields"),
              (Rows{{"1", "Name's (4)", "[O'Hara]", "_ _ _ _ _ _ "}}));
    EXPECT_EQ(results.rows("SELECT * FROM editerrors"),
              (Rows{{"1", "1", "It's \"wrong\": 100%d %s", "E"}}));
    EXPECT_EQ(results.rows("SELECT * FROM editrun"),
              (Rows{{"Edit Set1", "Registry's \"own\" set"}}));
}

// A part's scratch database is written as the run's errors.db is, inside one transaction: its
// rows reach the file together when it is closed, not one write per row.
TEST(ResultsDatabase, AScratchDatabaseHoldsItsRowsInOneTransactionUntilClosed) {
    ScratchDirectory scratch;
    const std::string path = folderOf(scratch) + "errors.db.part2";
    desktop::ResultsDatabase database;
    ASSERT_EQ(database.createScratch(path), 0);
    EXPECT_EQ(database.addRecordRow(7, {}, 1), 0);
    EXPECT_EQ(database.addFailedEdit(1, 7, "Edit"), 0);
    {
        ResultsFile before(path);
        EXPECT_EQ(before.count("errorrecs"), 0);
        EXPECT_EQ(before.count("editfailures"), 0);
    }
    database.close();
    ResultsFile after(path);
    EXPECT_EQ(after.count("errorrecs"), 1);
    EXPECT_EQ(after.count("editfailures"), 1);
}

using ResultsFolder = vetra::testing::RunFixture;

TEST_F(ResultsFolder, ARunWithoutOneStopsBeforeReadingRecords) {
    const std::string metafile =
        writeMetafile({{"Fails", 100, {220}, "return fail;"}}, {{"Set", "", {"Fails"}}});
    desktop::RunRequest request = this->request(
        metafile, writeDataFile({vetra::testing::testRecord("AB", "1", "F")}), 1, {"Set"});
    request.settings.resultsFolder = (scratch_.path() / "absent").string() + "/";
    EXPECT_EQ(run(request), desktop::RunOutcome::Failed);
    ASSERT_EQ(captionsShown().size(), 2u);
    EXPECT_EQ(captionsShown()[0], "Unable to create the results database");
    EXPECT_EQ(messages_.shown()[1].text.rfind("VETRA Run Failed at line ", 0), 0u);
    EXPECT_EQ(driver_.counters().recordsRead, 0);
}

} // namespace
