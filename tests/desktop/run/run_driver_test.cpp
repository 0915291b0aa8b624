// Runs over small data files: the detail rows each failure leaves, the counters, the run
// record, the range and identification fields, counts only, Halt, and the per-edit options.
#include "desktop/workflow/edit_option_grid.h"
#include "tests/desktop/run/run_fixture.h"

#include <cctype>
#include <gtest/gtest.h>

namespace {

using vetra::testing::ResultsFile;
using vetra::testing::Row;
using vetra::testing::Rows;
using vetra::testing::RunTestEdit;
using vetra::testing::testRecord;
namespace desktop = vetra::desktop;

const std::vector<RunTestEdit> kEdits = {
    {"Sex Check", 100, {220}, R"(if (strcmp(#S"Sex", "F") == 0) return fail; return pass;)"},
    {"Two Messages",
     101,
     {10, 485},
     "if (strcmp(#S\"Code\", \"AB\") != 0) return pass;\nsave_error_text(101);\nreturn fail;"},
    {"No Fields", 107, {}, R"(if (strcmp(#S"Site", "C509") == 0) return fail; return pass;)"},
    {"O'Brien's Edit", 105, {220}, R"(if (strcmp(#S"Sex", "F") == 0) return fail; return pass;)"},
};

const std::vector<vetra::writer::EditSetDefinition> kSets = {
    {"Main", "", {"Sex Check", "Two Messages", "No Fields", "O'Brien's Edit"}},
    {"Second", "", {"Sex Check"}},
};

// Whether `text` has the shape of `pattern`, in which '9' stands for any digit.
bool hasShape(const std::string& text, const std::string& pattern) {
    if (text.size() != pattern.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (pattern[i] == '9' ? !digit : text[i] != pattern[i]) return false;
    }
    return true;
}

class DetailRuns : public vetra::testing::RunFixture {
protected:
    desktop::RunRequest threeRecords(const std::vector<std::string>& sets = {"Main", "Second"}) {
        const std::string data = writeDataFile({testRecord("AB", "1", "F", "C509", "Smith"),
                                                testRecord("XY", "2", "M", "C340", "Jones"),
                                                testRecord("AB", " ", "M", "C340", "Brown")});
        return request(writeMetafile(kEdits, kSets), data, 3, sets);
    }
};

TEST_F(DetailRuns, EveryFailureBecomesRowsLinkedByFailedEditAndMessageNumbers) {
    ASSERT_EQ(run(threeRecords()), desktop::RunOutcome::Completed);
    EXPECT_TRUE(messages_.shown().empty());
    ResultsFile results(resultsPath());
    // Record 2 fails nowhere and leaves no row; record 1 fails in both sets.
    EXPECT_EQ(results.rows("SELECT recnum, errcount, warncount, ertxtofs FROM errorrecs"),
              (Rows{{"1", "5", "0", "0"}, {"1", "1", "0", "0"}, {"3", "2", "0", "0"}}));
    EXPECT_EQ(results.rows("SELECT * FROM editfailures ORDER BY rowid"),
              (Rows{{"1", "1", "Sex Check"},
                    {"2", "1", "Two Messages"},
                    {"3", "1", "No Fields"},
                    {"4", "1", "O'Brien's Edit"},
                    {"5", "1", "Sex Check"},
                    {"6", "3", "Two Messages"}}));
    // An edit without fields has no field rows.
    EXPECT_EQ(results.rows("SELECT * FROM editfields ORDER BY rowid"),
              (Rows{{"1", "Sex (4)", "[F]", "_ "},
                    {"2", "Code (1)", "[AB]", "_ _ "},
                    {"2", "Registry (3)", "[1]", "_ "},
                    {"4", "Sex (4)", "[F]", "_ "},
                    {"5", "Sex (4)", "[F]", "_ "},
                    {"6", "Code (1)", "[AB]", "_ _ "},
                    {"6", "Registry (3)", "[<BLANK>]", "__________"}}));
    // Two messages of one edit share its failed-edit number.
    EXPECT_EQ(results.rows("SELECT * FROM editerrors ORDER BY rowid"),
              (Rows{{"1", "1", "Sex F at (4) is wrong in Sex Check", "E"},
                    {"2", "2", "Code AB with registry 1", "E"},
                    {"3", "2", "Code AB with registry 1", "E"},
                    {"4", "3", "Site needs no field", "E"},
                    {"5", "4", "Don't say \"never\" in O'Brien's Edit", "E"},
                    {"6", "5", "Sex F at (4) is wrong in Sex Check", "E"},
                    {"7", "6", "Code AB with registry <BLANK>", "E"},
                    {"8", "6", "Code AB with registry <BLANK>", "E"}}));
}

TEST_F(DetailRuns, TheCountersFollowEveryRecordAndMessage) {
    ASSERT_EQ(run(threeRecords()), desktop::RunOutcome::Completed);
    const desktop::RunCounters& counters = driver_.counters();
    EXPECT_EQ(counters.recordsRead, 3);
    EXPECT_EQ(counters.exceptionRecords, 2);
    EXPECT_EQ(counters.messagesReported, 8);
    EXPECT_EQ(counters.messageNumber, 8);
    EXPECT_EQ(counters.failedEditNumber, 6);
    EXPECT_EQ(progress_.maximum(), 3);
    EXPECT_EQ(progress_.shownRecords(), std::vector<std::int64_t>{3});
    EXPECT_EQ(progress_.lastCounters().messagesReported, 8);
}

TEST_F(DetailRuns, TheRunRecordListsTheRunInItsOwnOrder) {
    desktop::RunRequest request = threeRecords();
    request.settings.globalOptions = 1 | 2 | 128;
    ASSERT_EQ(run(request), desktop::RunOutcome::Completed);
    auto record = ResultsFile(resultsPath()).runRecord();
    ASSERT_EQ(record.size(), 20u);
    EXPECT_EQ(record[0].first, "Start of Run");
    EXPECT_TRUE(hasShape(record[0].second, "99/99/9999 99:99:99")) << record[0].second;
    EXPECT_EQ(record[1].first, "End of Run");
    EXPECT_TRUE(hasShape(record[1].second, "99/99/9999 99:99:99")) << record[1].second;
    EXPECT_EQ(record[2].first, "Elapsed Time");
    EXPECT_TRUE(hasShape(record[2].second, "00h:00m:09s")) << record[2].second;
    record.erase(record.begin(), record.begin() + 3);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Ravelo version", "Ravelo 4.0 test"},
        {"Vetra version", "4.0.1.8"},
        {"Data File", request.settings.dataFilePath},
        {"Records in File", "3"},
        {"Range Processed", "1 - 3"},
        {"Metafile", request.settings.metafilePath},
        {"Record Layout", "Test"},
        {"Edit Set1", "Main"},
        {"Edit Set2", "Second"},
        {"Processed Records", "3"},
        {"Total Exception Records", "2"},
        {"Total Messages", "8"},
        // Counted once per edit name: the second set's Sex Check is not added.
        {"Total Error Messages", "7"},
        {"Total Warning Messages", "0"},
        {"Global Option:", "Skip Empty"},
        {"Global Option:", "Skip Failed"},
        {"Global Option:", "Suppress Warnings"},
    };
    EXPECT_EQ(record, expected);
}

TEST_F(DetailRuns, CountsOnlyKeepsTheRunRecordAndTheCounters) {
    desktop::RunRequest request = threeRecords();
    request.countsOnly = true;
    ASSERT_EQ(run(request), desktop::RunOutcome::Completed);
    ResultsFile results(resultsPath());
    for (const char* table : {"errorrecs", "editfailures", "editfields", "editerrors"})
        EXPECT_EQ(results.count(table), 0) << table;
    EXPECT_EQ(results.runRecordValue("Total Exception Records"), "2");
    EXPECT_EQ(results.runRecordValue("Total Messages"), "0");
    EXPECT_EQ(results.runRecordValue("Total Error Messages"), "7");
    EXPECT_EQ(driver_.counters().messagesReported, 8);
    EXPECT_EQ(driver_.counters().exceptionRecords, 2);
    EXPECT_EQ(summaryLines().size(), 4u);
}

TEST_F(DetailRuns, IdentificationFieldsAreNamedAndCutAtSixtyCharacters) {
    const std::string longName =
        "Abcdefghij0123456789Abcdefghij0123456789Abcdefghij0123456789Abcdefghij0123456789";
    const std::string data = writeDataFile({testRecord("AB", "1", "F", "C509", longName)});
    desktop::RunRequest request = this->request(writeMetafile(kEdits, kSets), data, 1, {"Second"});
    request.settings.identificationFields = {"Code", "Name", "Nowhere", "Site"};
    ASSERT_EQ(run(request), desktop::RunOutcome::Completed);
    const Rows rows = ResultsFile(resultsPath()).rows("SELECT * FROM errorrecs");
    ASSERT_EQ(rows.size(), 1u);
    Row expected = {"1", "Code", "AB", "Name", longName.substr(0, 60), "", "", "Site", "C509"};
    expected.resize(21, "");
    expected.insert(expected.end(), {"1", "0", "0"});
    EXPECT_EQ(rows[0], expected);
}

TEST_F(DetailRuns, ARangeFromRecordFiveSkipsTheFirstFour) {
    std::vector<std::string> records;
    for (int number = 1; number <= 8; ++number)
        records.push_back(testRecord("R" + std::to_string(number), "1", "F"));
    desktop::RunRequest request =
        this->request(writeMetafile(kEdits, kSets), writeDataFile(records), 8, {"Second"});
    request.settings.firstRecord = 5;
    request.settings.recordsToEdit = 3;
    request.settings.identificationFields = {"Code"};
    ASSERT_EQ(run(request), desktop::RunOutcome::Completed);
    ResultsFile results(resultsPath());
    EXPECT_EQ(results.rows("SELECT recnum, id0val FROM errorrecs"),
              (Rows{{"5", "R5"}, {"6", "R6"}, {"7", "R7"}}));
    EXPECT_EQ(results.rows("SELECT DISTINCT recnum FROM editfailures"),
              (Rows{{"5"}, {"6"}, {"7"}}));
    EXPECT_EQ(results.runRecordValue("Range Processed"), "5 - 7");
    EXPECT_EQ(results.runRecordValue("Processed Records"), "3");
    EXPECT_EQ(progress_.shownRecords().back(), 7);
}

TEST_F(DetailRuns, ARangePastAnUnterminatedLastRecordEndsWithTheFile) {
    const std::string data = writeDataFile({testRecord("R1", "1", "M"), testRecord("R2", "1", "M"),
                                            testRecord("R3", "1", "F", "C509", "Last")},
                                           "short.txt", false);
    desktop::RunRequest request = this->request(writeMetafile(kEdits, kSets), data, 3, {"Second"});
    request.settings.recordsToEdit = 10;
    request.settings.identificationFields = {"Code", "Name"};
    ASSERT_EQ(run(request), desktop::RunOutcome::Completed);
    EXPECT_EQ(driver_.counters().recordsRead, 3);
    ResultsFile results(resultsPath());
    EXPECT_EQ(results.rows("SELECT recnum, id0val, id1val FROM errorrecs"),
              (Rows{{"3", "R3", "Last" + std::string(56, ' ')}}));
    EXPECT_EQ(results.runRecordValue("Processed Records"), "3");
    EXPECT_EQ(results.runRecordValue("Range Processed"), "1 - 10");
    EXPECT_EQ(progress_.shownRecords().back(), 3);
}

TEST_F(DetailRuns, HaltFinishesTheRecordInHandAndNotesTheCancellation) {
    std::vector<std::string> records(40, testRecord("AB", "1", "F"));
    desktop::RunRequest request =
        this->request(writeMetafile(kEdits, kSets), writeDataFile(records), 40, {"Second"});
    progress_.haltAfter(driver_, 22);
    ASSERT_EQ(run(request), desktop::RunOutcome::Completed);
    EXPECT_EQ(progress_.pendingEventCalls(), 2); // after records 11 and 22
    EXPECT_FALSE(driver_.haltRequested());
    ResultsFile results(resultsPath());
    EXPECT_EQ(results.rows("SELECT min(recnum), max(recnum), count(*) FROM errorrecs"),
              (Rows{{"1", "22", "22"}}));
    EXPECT_EQ(results.count("editerrors"), 22);
    EXPECT_EQ(results.runRecordValue("Processed Records"), "22");
    EXPECT_EQ(results.runRecordValue("Range Processed"), "1 - 40");
    const auto record = results.runRecord();
    ASSERT_FALSE(record.empty());
    EXPECT_EQ(record.back(),
              (std::pair<std::string, std::string>{"NOTE: RUN CANCELLED", "PARTIAL RESULTS"}));
}

// banana fails and Apple warns; Shared fails in the first set and warns in the second, after
// Cherry has raised flag 50; Pair is skipped when its code is blank and Skip Empty applies.
const std::vector<RunTestEdit> kSummaryEdits = {
    {"banana", 100, {220}, "return fail;"},
    {"Apple", 102, {220}, "return warn;"},
    {"Cherry", 102, {220}, "set_flag(50, 1); return pass;"},
    {"Shared", 100, {220}, "if (check_flag(1, 50)) return warn; return fail;"},
    {"Pair", 101, {10, 220}, "return fail;"},
};

const std::vector<vetra::writer::EditSetDefinition> kSummarySets = {
    {"First", "", {"banana", "Shared"}},
    {"Later", "", {"Cherry", "Shared", "Apple"}},
    {"Pairs", "", {"Pair"}},
};

TEST_F(DetailRuns, TheSummaryCountsEachEditOnceInLowerCaseOrder) {
    const std::string data =
        writeDataFile({testRecord("AB", "1", "F"), testRecord("CD", "1", "M")});
    ASSERT_EQ(run(request(writeMetafile(kSummaryEdits, kSummarySets), data, 2, {"First", "Later"})),
              desktop::RunOutcome::Completed);
    EXPECT_EQ(summaryLines(), (std::vector<std::string>{"0,2,0,Apple", "2,0,0,banana",
                                                        "0,0,0,Cherry", "2,0,0,Shared"}));
    ResultsFile results(resultsPath());
    EXPECT_EQ(results.runRecordValue("Total Error Messages"), "4");
    EXPECT_EQ(results.runRecordValue("Total Warning Messages"), "2");
    EXPECT_EQ(results.runRecordValue("Total Messages"), "8");
    EXPECT_EQ(results.rows("SELECT DISTINCT msg_type FROM editerrors ORDER BY msg_type"),
              (Rows{{"E"}, {"W"}}));
}

TEST_F(DetailRuns, GridOptionsReachTheEngine) {
    const std::string metafile = writeMetafile(kSummaryEdits, kSummarySets);
    const std::string data = writeDataFile({testRecord("", "1", "F")});
    desktop::EditOptionGrid grid;
    grid.rebuild({"Pair", "banana"});
    grid.click(0, desktop::kSkipEmpty); // the grid sorts its rows: Pair, banana
    grid.click(0, desktop::kSkipFail);
    grid.click(1, desktop::kSuppressEdit);
    desktop::RunRequest request = this->request(metafile, data, 1, {"First", "Pairs"});
    request.settings.editOptions = grid.optionList();
    ASSERT_EQ(request.settings.editOptions,
              (desktop::EditOptionList{{"Pair", "3"}, {"banana", "8"}}));
    ASSERT_EQ(run(request), desktop::RunOutcome::Completed);
    EXPECT_EQ(summaryLines(),
              (std::vector<std::string>{"0,0,0,banana", "0,0,1,Pair", "1,0,0,Shared"}));
    EXPECT_EQ(ResultsFile(resultsPath()).rows("SELECT editname FROM editfailures"),
              (Rows{{"Shared"}}));

    request.settings.editOptions.clear();
    ASSERT_EQ(run(request), desktop::RunOutcome::Completed);
    EXPECT_EQ(summaryLines(),
              (std::vector<std::string>{"1,0,0,banana", "1,0,0,Pair", "1,0,0,Shared"}));
}

TEST_F(DetailRuns, AnOverrideFieldIsNotTestedForEmptiness) {
    const std::vector<RunTestEdit> edits = {
        {"Override Blank", 100, {400, 1990}, "return fail;"},
        {"Extra Blank", 100, {400, 1991}, "return fail;"},
    };
    const std::string metafile =
        writeMetafile(edits, {{"Both", "", {"Override Blank", "Extra Blank"}}});
    desktop::RunRequest request = this->request(
        metafile, writeDataFile({testRecord("AB", "1", "F", "C509", "", " ", " ")}), 1, {"Both"});
    request.settings.globalOptions = 1;
    ASSERT_EQ(run(request), desktop::RunOutcome::Completed);
    EXPECT_EQ(summaryLines(),
              (std::vector<std::string>{"0,0,1,Extra Blank", "1,0,0,Override Blank"}));
}

// The driver alone, on a metafile the test opened itself: the options the edits have before
// the run are what code 512 keeps.
class DriverOptions : public vetra::testing::RunFixture {
protected:
    void SetUp() override {
        metafile_ = writeMetafile(kEdits, kSets);
        data_ = writeDataFile({testRecord("AB", "1", "F")});
        settings_ = request(metafile_, data_, 1, {}).settings;
        const auto& api = engine_.api();
        ASSERT_EQ(api.VTx_Init(&mfID_, metafile_.c_str(), nullptr, 0, nullptr), 0);
        ASSERT_EQ(api.VTx_AllocRecord(mfID_, 120, &record_), 0);
        ASSERT_EQ(api.VTx_InitRecordLayout(mfID_, record_, "Test"), 0);
        desktop::EditSetEntry set{"Second", 0, 0};
        std::int32_t loaded = 0;
        ASSERT_EQ(api.VTx_LoadEditSet(mfID_, &set.handle, "Second", &loaded, 1), 0);
        ASSERT_EQ(api.VTx_GetEditSetSize(mfID_, set.handle, &set.editCount), 0);
        sets_.push_back(set);
    }
    void TearDown() override { engine_.api().VTx_Exit(mfID_); }

    std::int32_t optionsOfSexCheck() {
        std::int32_t options = -1;
        EXPECT_EQ(engine_.api().VTx_EditOptions(mfID_, sets_[0].handle, 0, &options), 0);
        return options;
    }

    std::string metafile_, data_;
    desktop::RunSettings settings_;
    std::int32_t mfID_ = -1, record_ = 0;
    std::vector<desktop::EditSetEntry> sets_;
};

TEST_F(DriverOptions, CodeFiveHundredTwelveLeavesTheEditAsItWas) {
    std::int32_t suppress = 8;
    ASSERT_EQ(engine_.api().VTx_EditOptions(mfID_, sets_[0].handle, 0, &suppress), 0);
    settings_.editOptions = {{"Sex Check", "512"}};
    ASSERT_EQ(driver_.Run(settings_, mfID_, record_, sets_, false), 0);
    EXPECT_EQ(optionsOfSexCheck(), 8);
    EXPECT_EQ(ResultsFile(resultsPath()).count("editfailures"), 0);

    settings_.editOptions = {{"Sex Check", "0"}};
    ASSERT_EQ(driver_.Run(settings_, mfID_, record_, sets_, false), 0);
    EXPECT_EQ(optionsOfSexCheck(), 0);
    EXPECT_EQ(ResultsFile(resultsPath()).count("editfailures"), 1);
}

TEST_F(DriverOptions, ASuppressedEditProducesNoFailure) {
    settings_.editOptions = {{"Sex Check", "8"}};
    ASSERT_EQ(driver_.Run(settings_, mfID_, record_, sets_, false), 0);
    EXPECT_EQ(optionsOfSexCheck(), 8);
    ResultsFile results(resultsPath());
    EXPECT_EQ(results.count("errorrecs"), 0);
    EXPECT_EQ(results.runRecordValue("Total Exception Records"), "0");
    EXPECT_EQ(summaryLines(), std::vector<std::string>{"0,0,0,Sex Check"});
}

TEST_F(DriverOptions, AnOptionThatIsNotANumberStopsTheRun) {
    settings_.editOptions = {{"Sex Check", "often"}};
    EXPECT_NE(driver_.Run(settings_, mfID_, record_, sets_, false), 0);
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "'often' is not a valid integer value");
}

} // namespace
