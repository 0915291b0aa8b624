// The engine used from several threads the way vetra40.h allows: each thread checks records on
// its own instance of one metafile and must see exactly what a single thread sees, and the
// instance lists may be read while other threads open and close instances. Built alone so that
// it can run under ThreadSanitizer, which also catches the races that leave results intact.
#include "tests/runs/run_metafile.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <barrier>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

using vetra::testing::TestEdit;
namespace writer = vetra::writer;

constexpr int kThreads = 4;
constexpr int kRounds = 6;

// Edits that look sites up in a table, judge and subtract dates, compare texts and keep an
// engine variable from one record to the next, so that each instance carries state of its own.
std::vector<TestEdit> checkEdits() {
    return {
        {"Sex Known", 100, {220}, R"(if (at(#S"Sex", "MF12") == 0) return fail; return pass;)"},
        {"Site Known", 102, {400}, R"(if (lookup(#S"Site", "SITES.DBF.CODE") == 0) return fail;
            if (strcmp(#S"Sex", "M") == 0 && strcmp(LABEL, "breast") == 0) return warn;
            return pass;)"},
        {"Date Valid", 104, {390}, R"(if (valid_date(#S"Date") != dt_valid) return fail;
            return pass;)"},
        {"Date Recent", 103, {390}, R"(if (valid_date(#S"Date") != dt_valid) return pass;
            if (daydiff(20000101, #S"Date", dt_exact) > 3650) return warn; return pass;)"},
        {"Code Repeated", 101, {10, 485}, R"(char last[3]; strcpy(last, getvar("lastcode"));
            setvar("lastcode", #S"Code");
            if (strcmp(last, #S"Code") == 0) return warn; return pass;)"},
    };
}

const int32_t kEditCount = static_cast<int32_t>(checkEdits().size());

writer::MetafileBuilder checkMetafile() {
    std::vector<std::string> members;
    for (const TestEdit& edit : checkEdits())
        members.push_back(edit.name);
    writer::MetafileBuilder builder =
        vetra::testing::runMetafile(checkEdits(), {{"Checks", "", members}});
    writer::DbfTable sites{"SITES.DBF", {{"CODE", 'C', 4, 0}, {"LABEL", 'C', 10, 0}}, {}, {}};
    sites.rows = {
        {{"C180", "colon"}, false}, {{"C509", "breast"}, false}, {{"C619", "prostate"}, false}};
    sites.indexTags = {{"CODE", "CODE", false}};
    builder.addTable(sites);
    return builder;
}

// Code, registry, sex, date and site, as the layout "Test" places them.
const std::vector<std::string> kRecords = {
    "AB1F20051231C509", "AB1M20051231C509", "AB2X20050231C999", "AB2F19990101C180",
    "CD1120151301C619", "CD1220200615C180", "EF 2        C619", "  1F20059999    ",
};

// What checking one record leaves: the run's status, its messages and every edit's counts of
// fields, errors, warnings and skips.
struct RecordResult {
    int32_t status = 0;
    std::vector<std::string> messages;
    std::vector<std::array<int32_t, 4>> counts;
    bool operator==(const RecordResult&) const = default;
};
using Results = std::vector<RecordResult>;

void PrintTo(const RecordResult& result, std::ostream* out) {
    *out << "status " << result.status << ", " << ::testing::PrintToString(result.messages)
         << ", counts " << ::testing::PrintToString(result.counts);
}

RecordResult checkRecord(int32_t id, int32_t record, int32_t set, const std::string& text) {
    RecordResult result;
    int32_t count = -1, listed = -1;
    if ((result.status = VTx_ClearAllFlags(id)) != 0 ||
        (result.status = VTx_UpdateRecord(id, record, text.c_str())) != 0 ||
        (result.status = VTx_RunBatch(id, set, 0, &count, 0, nullptr)) != 0 ||
        (result.status = VTx_GetMessageCount(id, &listed)) != 0)
        return result;
    if (listed != count) result.status = -100; // the run and the list disagree
    for (int32_t n = 1; n <= listed; ++n) {
        char type[2] = "";
        char message[300] = "";
        VTx_GetMessageText(id, type, n, message, sizeof message);
        result.messages.push_back(std::string(type) + ":" + message);
    }
    for (int32_t index = 0; index < kEditCount; ++index) {
        std::array<int32_t, 4> counts{-1, -1, -1, -1};
        VTx_GetEditCounts(id, set, index, &counts[0], &counts[1], &counts[2], &counts[3]);
        result.counts.push_back(counts);
    }
    return result;
}

// Binds the layout, loads the set and checks every record in order on the open instance. A
// failing setup call stands in for the results as its status. Option 0 reads each edit's logic
// from the metafile at every run, option 1 keeps it in memory.
Results checkRecords(int32_t id, int32_t logicOption) {
    int32_t record = -1, set = -1, loadStatus = -1;
    int32_t status = VTx_AllocRecord(id, 20, &record);
    if (status == 0) status = VTx_InitRecordLayout(id, record, "Test");
    if (status == 0) status = VTx_LoadEditSet(id, &set, "Checks", &loadStatus, logicOption);
    if (status != 0) return {RecordResult{status, {}, {}}};
    Results results;
    for (const std::string& text : kRecords)
        results.push_back(checkRecord(id, record, set, text));
    return results;
}

Results checkOnOwnInstance(const std::string& path, int32_t logicOption) {
    int32_t id = -1;
    int32_t status = VTx_Init(&id, path.c_str(), nullptr, 0, nullptr);
    if (status != 0) return {RecordResult{status, {}, {}}};
    Results results = checkRecords(id, logicOption);
    VTx_Exit(id);
    return results;
}

TEST(EngineThreads, EachThreadsInstanceChecksRecordsAsASingleThreadDoes) {
    vetra::testing::TempMetafiles files;
    const std::string path = files.write("checks.rmf", checkMetafile());
    const Results expected = checkOnOwnInstance(path, 1);
    ASSERT_EQ(expected.size(), kRecords.size());
    ASSERT_EQ(expected[0].status, 0);
    ASSERT_FALSE(expected[2].messages.empty()); // the edits do fail some records
    EXPECT_EQ(checkOnOwnInstance(path, 0), expected);

    std::vector<std::vector<Results>> seen(kThreads, std::vector<Results>(kRounds));
    std::vector<std::vector<int32_t>> ids(kRounds, std::vector<int32_t>(kThreads, -1));
    std::barrier allOpen(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                int32_t id = -1;
                bool opened = VTx_Init(&id, path.c_str(), nullptr, 0, nullptr) == 0;
                ids[round][t] = opened ? id : -1;
                allOpen.arrive_and_wait(); // every thread's instance of this round is open now
                if (opened) seen[t][round] = checkRecords(id, (t + round) % 2);
                VTx_Exit(id);
            }
        });
    for (std::thread& thread : threads)
        thread.join();

    for (int round = 0; round < kRounds; ++round) {
        std::vector<int32_t> open = ids[round];
        std::sort(open.begin(), open.end());
        EXPECT_GE(open.front(), 0) << "round " << round;
        EXPECT_EQ(std::adjacent_find(open.begin(), open.end()), open.end()) << "round " << round;
        for (int t = 0; t < kThreads; ++t)
            EXPECT_EQ(seen[t][round], expected) << "thread " << t << ", round " << round;
    }
}

TEST(EngineThreads, TheInstanceListsCanBeReadWhileOtherThreadsOpenAndClose) {
    constexpr int kCycles = 40;
    constexpr int32_t kListed = 32;
    vetra::testing::TempMetafiles files;
    const std::string path = files.write("listed.rmf", checkMetafile());

    std::atomic<int> openers{kThreads};
    std::atomic<int> failedOpens{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&] {
            for (int cycle = 0; cycle < kCycles; ++cycle) {
                int32_t id = -1;
                if (VTx_Init(&id, path.c_str(), nullptr, 0, nullptr) != 0) ++failedOpens;
                VTx_Exit(id);
            }
            --openers;
        });

    // An id listed at position i is i, and a name listed is the metafile's path.
    int listings = 0, wrong = 0;
    while (openers > 0 || listings == 0) {
        int32_t ids[kListed];
        const char* names[kListed];
        EXPECT_EQ(VTx_GetmfIDList(ids, kListed), 0);
        EXPECT_EQ(VTx_GetOpenFileList(names, kListed), 0);
        for (int32_t i = 0; i < kListed; ++i)
            wrong += (ids[i] != -1 && ids[i] != i) + (names[i] != nullptr && path != names[i]);
        ++listings;
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failedOpens, 0);
    EXPECT_EQ(wrong, 0) << "in " << listings << " listings";

    int32_t ids[kListed];
    ASSERT_EQ(VTx_GetmfIDList(ids, kListed), 0);
    EXPECT_EQ(std::count(ids, ids + kListed, -1), kListed); // every instance was closed
}

} // namespace
