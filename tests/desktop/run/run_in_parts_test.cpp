// A run checked in parts at once, each part on a metafile instance of its own: whatever the
// number of parts, the results are those of the run in one part - every row of errors.db in
// its order and numbering, the summary file, the run record but its times, and what the user
// is told - also when the run is halted, passes the message limit or stops on a failed engine
// call.
#include "desktop/run/run_in_parts.h"
#include "tests/desktop/run/run_fixture.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <map>

namespace {

using vetra::testing::ResultsFile;
using vetra::testing::Rows;
using vetra::testing::RunTestEdit;
using vetra::testing::testRecord;
namespace desktop = vetra::desktop;

// Edits that fail often and in different ways: several messages of one edit, an edit without
// fields, an edit in two sets, a warning, and one that fails inside the engine on code ZZ.
const std::vector<RunTestEdit> kEdits = {
    {"Sex Check", 100, {220}, R"(if (strcmp(#S"Sex", "F") == 0) return fail; return pass;)"},
    {"Two Messages",
     101,
     {10, 485},
     "if (strcmp(#S\"Code\", \"AB\") != 0) return pass;\nsave_error_text(101);\nreturn fail;"},
    {"No Fields", 107, {}, R"(if (strcmp(#S"Site", "C509") == 0) return fail; return pass;)"},
    {"Warns", 102, {400}, R"(if (strcmp(#S"Site", "C340") == 0) return warn; return pass;)"},
    {"Breaks", 102, {10}, R"(if (strcmp(#S"Code", "ZZ") == 0) return 1 / 0; return pass;)"},
    {"Slow",
     100,
     {220},
     "int i; int s;\ns = 0;\nfor (i = 0; i < 2000; i = i + 1) s = s + i;\n"
     "if (strcmp(#S\"Sex\", \"M\") == 0) return fail; return pass;"},
};

const std::vector<vetra::writer::EditSetDefinition> kSets = {
    {"Main", "", {"Sex Check", "Two Messages", "No Fields", "Warns"}},
    {"Second", "", {"Sex Check", "Breaks"}},
    {"Slow", "", {"Slow"}},
};

// Record i of a file whose records fail in a pattern that does not repeat with the parts.
std::string patternedRecord(int i) {
    const char* codes[] = {"AB", "XY", "AB", "CD", "AB"};
    const char* sexes[] = {"F", "M", "M", "F", "M", "M", "F"};
    const char* sites[] = {"C509", "C340", "C180"};
    return testRecord(codes[i % 5], i % 4 == 0 ? " " : "1", sexes[i % 7], sites[i % 3],
                      "Name" + std::to_string(i));
}

struct RunResults {
    desktop::RunOutcome outcome{};
    std::map<std::string, Rows> tables;
    std::vector<std::string> summary;
    std::vector<std::string> shown; // caption and text of each message box
    desktop::RunCounters counters;
    bool summaryExists = false;
};

class PartedRuns : public vetra::testing::RunFixture {
protected:
    desktop::RunRequest patterned(int records, const std::vector<std::string>& sets,
                                  const std::vector<std::string>& replaced = {}) {
        std::vector<std::string> lines;
        for (int i = 0; i < records; ++i)
            lines.push_back(patternedRecord(i));
        for (std::size_t i = 0; i + 1 < replaced.size(); i += 2)
            lines[std::stoul(replaced[i]) - 1] = replaced[i + 1];
        auto request =
            this->request(writeMetafile(kEdits, kSets), writeDataFile(lines), records, sets);
        request.settings.identificationFields = {"Code", "Name"};
        return request;
    }

    RunResults runWith(desktop::RunRequest request, int jobs) {
        request.settings.jobs = jobs;
        const std::size_t shownBefore = messages_.shown().size();
        RunResults results;
        results.outcome = run(request);
        results.counters = driver_.counters();
        for (std::size_t i = shownBefore; i < messages_.shown().size(); ++i)
            results.shown.push_back(messages_.shown()[i].caption + ": " +
                                    messages_.shown()[i].text);
        ResultsFile file(resultsPath());
        for (const char* table : {"errorrecs", "editfailures", "editfields", "editerrors"})
            results.tables[table] =
                file.rows(std::string("SELECT * FROM ") + table + " ORDER BY rowid");
        results.tables["editrun"] =
            file.rows("SELECT * FROM editrun WHERE key NOT IN ('Start of Run', 'End of Run', "
                      "'Elapsed Time') ORDER BY rowid");
        results.summaryExists = std::filesystem::exists(resultsPath("summary.txt"));
        results.summary = summaryLines();
        EXPECT_FALSE(std::filesystem::exists(resultsPath("errors.db.part2")));
        return results;
    }

    static void expectSame(const RunResults& one, const RunResults& parts, int jobs) {
        SCOPED_TRACE("in " + std::to_string(jobs) + " parts");
        EXPECT_EQ(parts.outcome, one.outcome);
        for (const auto& [table, rows] : one.tables)
            EXPECT_EQ(parts.tables.at(table), rows) << table;
        EXPECT_EQ(parts.summaryExists, one.summaryExists);
        EXPECT_EQ(parts.summary, one.summary);
        EXPECT_EQ(parts.shown, one.shown);
        EXPECT_EQ(parts.counters.recordsRead, one.counters.recordsRead);
        EXPECT_EQ(parts.counters.exceptionRecords, one.counters.exceptionRecords);
        EXPECT_EQ(parts.counters.messagesReported, one.counters.messagesReported);
        EXPECT_EQ(parts.counters.messageNumber, one.counters.messageNumber);
        EXPECT_EQ(parts.counters.failedEditNumber, one.counters.failedEditNumber);
    }
};

TEST_F(PartedRuns, EveryNumberOfPartsWritesWhatOnePartWrites) {
    auto request = patterned(100, {"Main", "Second"});
    request.settings.firstRecord = 4;
    request.settings.recordsToEdit = 91;
    const RunResults one = runWith(request, 1);
    ASSERT_EQ(one.outcome, desktop::RunOutcome::Completed);
    ASSERT_GT(one.tables.at("editerrors").size(), 100u);
    EXPECT_EQ(one.tables.at("errorrecs").front().front(), "4");
    EXPECT_EQ(one.tables.at("errorrecs").back().front(), "94");
    for (int jobs : {2, 3, 7})
        expectSame(one, runWith(request, jobs), jobs);

    // More parts wanted than records: one part per record.
    request.settings.recordsToEdit = 5;
    const RunResults five = runWith(request, 1);
    expectSame(five, runWith(request, 8), 8);
    request.settings.recordsToEdit = 91;

    request.countsOnly = true;
    const RunResults counted = runWith(request, 1);
    EXPECT_TRUE(counted.tables.at("editerrors").empty());
    expectSame(counted, runWith(request, 3), 3);
}

TEST_F(PartedRuns, EachPartTellsWhereItsTimeWent) {
    const auto request = patterned(60, {"Main", "Slow"});
    runWith(request, 1);
    EXPECT_TRUE(driver_.partTimes().empty());
    runWith(request, 3);
    ASSERT_EQ(driver_.partTimes().size(), 3u);
    for (const desktop::PartTimes& part : driver_.partTimes()) {
        EXPECT_GE(part.reached, 0);
        EXPECT_GE(part.finished, part.reached);
        EXPECT_GT(part.processor, 0);
    }
    EXPECT_GE(driver_.joinSeconds(), 0);
}

TEST_F(PartedRuns, TheRangeIsSplitIntoEvenContiguousParts) {
    using Ranges = std::vector<std::pair<std::int64_t, std::int64_t>>;
    EXPECT_EQ(desktop::splitRange(5, 10, 3), (Ranges{{5, 8}, {9, 11}, {12, 14}}));
    EXPECT_EQ(desktop::splitRange(1, 4, 2), (Ranges{{1, 2}, {3, 4}}));
    EXPECT_EQ(desktop::splitRange(1, 1, 1), (Ranges{{1, 1}}));
}

// The limit falls inside the third of four parts: its later records and the whole fourth part
// are only counted, as after the switch in one part.
TEST_F(PartedRuns, TheMessageLimitFallsWhereOnePartPutsIt) {
    const std::string metafile =
        writeMetafile({{"Flood",
                        106,
                        {},
                        "int i;\nfor (i = 0; i < 400; i = i + 1) save_error_text(106);\n"
                        "return pass;"}},
                      {{"Flood", "", {"Flood"}}});
    const std::vector<std::string> records(40, testRecord("AB", "1", "F"));
    auto request = this->request(metafile, writeDataFile(records), 40, {"Flood"});
    // Record 25 takes the count from 9,600 past the limit to 10,000.
    request.settings.detailMessageLimit = 9800;
    const RunResults one = runWith(request, 1);
    ASSERT_EQ(one.tables.at("errorrecs").size(), 25u);
    ASSERT_EQ(one.shown.size(), 1u);
    expectSame(one, runWith(request, 4), 4);
    EXPECT_TRUE(driver_.messageLimitPassed());
}

TEST_F(PartedRuns, AFailedEngineCallEndsTheResultsWhereOnePartWould) {
    for (int failing : {30, 5}) {
        SCOPED_TRACE("code ZZ in record " + std::to_string(failing));
        const auto request = patterned(40, {"Main", "Second"},
                                       {std::to_string(failing), testRecord("ZZ", "1", "F"), "38",
                                        testRecord("ZZ", "1", "F")});
        const RunResults one = runWith(request, 1);
        ASSERT_EQ(one.outcome, desktop::RunOutcome::Failed);
        ASSERT_EQ(one.shown.size(), 2u);
        EXPECT_FALSE(one.summaryExists);
        for (int jobs : {2, 4})
            expectSame(one, runWith(request, jobs), jobs);
        EXPECT_FALSE(driver_.dataFileUnreadable());
    }
}

// The parts see a Halt at the records where one part looks for it, so the run halted in parts
// holds what a run in one part halted at the same record holds.
TEST_F(PartedRuns, HaltEndsTheResultsWhereOnePartWouldHaveStopped) {
    const auto request = patterned(1500, {"Main", "Slow"});
    for (std::int64_t haltAfter : {std::int64_t{0}, std::int64_t{400}}) {
        SCOPED_TRACE("halt after " + std::to_string(haltAfter) + " records");
        progress_.haltAfter(driver_, haltAfter);
        const RunResults parts = runWith(request, 3);
        ASSERT_EQ(parts.tables.at("editrun").back(),
                  (vetra::testing::Row{"NOTE: RUN CANCELLED", "PARTIAL RESULTS"}));
        const std::int64_t stoppedAt = parts.counters.recordsRead;
        EXPECT_EQ(stoppedAt % 11, 0);
        EXPECT_LT(stoppedAt, 1500);
        progress_.haltAfter(driver_, stoppedAt);
        expectSame(runWith(request, 1), parts, 3);
    }
    progress_.haltAfter(driver_, std::numeric_limits<std::int64_t>::max());
}

} // namespace
