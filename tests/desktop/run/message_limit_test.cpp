// The switch to counts only once a run has reported more than a quarter million messages.
#include "tests/desktop/run/run_fixture.h"

#include <gtest/gtest.h>

namespace {

using vetra::testing::ResultsFile;
using vetra::testing::Rows;
using vetra::testing::testRecord;
namespace desktop = vetra::desktop;

using MessageLimit = vetra::testing::RunFixture;

// Every record fills the engine's message list exactly, 399 messages and the notice in place
// of the 400th, all readable; 626 records pass the limit (250,400 messages).
TEST_F(MessageLimit, DetailsStopAfterTheRecordThatPassedTheLimit) {
    const std::string metafile =
        writeMetafile({{"Flood",
                        106,
                        {},
                        "int i;\nfor (i = 0; i < 400; i = i + 1) save_error_text(106);\n"
                        "return pass;"}},
                      {{"Flood", "", {"Flood"}}});
    const std::vector<std::string> records(630, testRecord("AB", "1", "F"));
    ASSERT_EQ(run(request(metafile, writeDataFile(records), 630, {"Flood"})),
              desktop::RunOutcome::Completed);

    EXPECT_TRUE(driver_.messageLimitPassed());
    EXPECT_EQ(driver_.counters().messagesReported, 630 * 400);
    EXPECT_EQ(driver_.counters().exceptionRecords, 630);
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text,
              "More than a quarter million-errors were reported.\nAfter exceeding this limit, "
              "Ravelo continued in Summary only mode.");
    EXPECT_EQ(messages_.shown()[0].caption, "");

    ResultsFile results(resultsPath());
    EXPECT_EQ(results.rows("SELECT min(recnum), max(recnum), count(*) FROM errorrecs"),
              (Rows{{"1", "626", "626"}}));
    EXPECT_EQ(results.rows("SELECT max(failededitid), count(*) FROM editfailures"),
              (Rows{{"626", "626"}}));
    EXPECT_EQ(results.rows("SELECT max(msgnum), count(*) FROM editerrors"),
              (Rows{{"250400", "250400"}}));
    EXPECT_EQ(results.rows("SELECT msg FROM editerrors WHERE msgnum IN (399, 400)"),
              (Rows{{"Too many"}, {"Vetra Message: MAXIMUM OF 399 ERRORS PER RECORD EXCEEDED."}}));
    EXPECT_EQ(results.runRecordValue("Processed Records"), "630");
    EXPECT_EQ(results.runRecordValue("Total Messages"), "250400");
    EXPECT_EQ(results.runRecordValue("Total Error Messages"), std::to_string(630 * 399));
    const auto record = results.runRecord();
    ASSERT_FALSE(record.empty());
    EXPECT_EQ(record.back(), (std::pair<std::string, std::string>{
                                 "NOTE: RUN CONTINUED WITH COUNTS ONLY", "PARTIAL RESULTS"}));
}

// A record with more messages than the engine keeps stores the 400 it can read back (the last
// of them the overflow notice) and the run goes on; the record row counts them all.
TEST_F(MessageLimit, ARecordBeyondFourHundredMessagesStoresTheReadableOnes) {
    const std::string metafile =
        writeMetafile({{"Flood",
                        106,
                        {},
                        "int i;\nfor (i = 0; i < 450; i = i + 1) save_error_text(106);\n"
                        "return pass;"}},
                      {{"Flood", "", {"Flood"}}});
    const std::vector<std::string> records(2, testRecord("AB", "1", "F"));
    ASSERT_EQ(run(request(metafile, writeDataFile(records), 2, {"Flood"})),
              desktop::RunOutcome::Completed);
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_EQ(driver_.counters().messagesReported, 900);

    ResultsFile results(resultsPath());
    EXPECT_EQ(results.rows("SELECT recnum, errcount FROM errorrecs"),
              (Rows{{"1", "450"}, {"2", "450"}}));
    EXPECT_EQ(results.rows("SELECT failededitid, count(*) FROM editerrors GROUP BY failededitid"),
              (Rows{{"1", "400"}, {"2", "400"}}));
    EXPECT_EQ(results.rows("SELECT msg FROM editerrors WHERE msgnum = 800"),
              (Rows{{"Vetra Message: MAXIMUM OF 399 ERRORS PER RECORD EXCEEDED."}}));
    EXPECT_EQ(results.runRecordValue("Total Messages"), "800");
}

} // namespace
