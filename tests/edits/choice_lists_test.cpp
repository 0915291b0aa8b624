// Choice lists through the exported calls, on tables written by the writer: the
// specification text, column selection, widths, entry counts, rows in batches and the calling
// order.
#include "engine/api/engine_process.h"
#include "engine/api/vetra40.h"
#include "engine/store/TMetaFile.h"
#include "tests/support/dictionary_item.h"
#include "tests/support/open_metafile.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace writer = vetra::writer;
using vetra::testing::dictionaryItem;

constexpr int kSites = 1200;
constexpr size_t kSiteWidth = 5 + 12 + 2; // CODE, DESC, GROUP
constexpr char kUntouched = '#';

std::string siteCode(int k) {
    char text[8];
    std::snprintf(text, sizeof text, "C%04d", k);
    return text;
}

std::string padded(std::string text, size_t width) {
    text.resize(width, ' ');
    return text;
}

// The row of the site with code k, all three columns.
std::string siteRow(int k) {
    return siteCode(k) + padded("Site " + std::to_string(k), 12) + "G" + std::to_string(k % 10);
}

// SITES.DBF holds the codes C0000 to C1199 out of order (record r has code 7r mod 1200, which
// runs through them all), indexed on CODE over several leaves. SEX.DBF has no index,
// WIDE.DBF 21 one-character columns, STATES.ASC is a text table.
writer::MetafileBuilder choiceBuilder() {
    writer::MetafileBuilder builder;
    auto sex = dictionaryItem(220, "Sex", "C", 1);
    sex.description = "SEX.DBF";
    auto site = dictionaryItem(400, "Site", "C", 5);
    site.description = "SITES.DBF.CODE(1,desc)";
    builder.addDictionaryEntry(dictionaryItem(10, "Code", "C", 2));
    builder.addDictionaryEntry(sex);
    builder.addDictionaryEntry(site);
    builder.addLayout(
        writer::RecordLayout{1, "Test", "", {{10, "C", 1, 2, ' '}, {220, "C", 3, 1, ' '}}});

    writer::DbfTable sites{
        "SITES.DBF", {{"CODE", 'C', 5, 0}, {"DESC", 'C', 12, 0}, {"GROUP", 'C', 2, 0}}, {}, {}};
    for (int r = 1; r <= kSites; ++r) {
        int k = 7 * r % kSites;
        sites.rows.push_back(
            {{siteCode(k), "Site " + std::to_string(k), "G" + std::to_string(k % 10)}, false});
    }
    sites.indexTags = {{"CODE", "CODE", false}};
    builder.addTable(sites);

    writer::DbfTable sexes{"SEX.DBF", {{"CODE", 'C', 1, 0}, {"LABEL", 'C', 8, 0}}, {}, {}};
    sexes.rows = {{{"1", "Male"}, false}, {{"2", "Female"}, false}, {{"9", "Unknown"}, false}};
    builder.addTable(sexes);

    writer::DbfTable wide{"WIDE.DBF", {}, {}, {}};
    std::vector<std::string> values;
    for (int c = 1; c <= 21; ++c) {
        wide.columns.push_back({"COL" + std::to_string(c), 'C', 1, 0});
        values.push_back(std::string(1, static_cast<char>('A' + c - 1)));
    }
    wide.rows = {{values, false}};
    wide.indexTags = {{"FIRST", "COL1", false}};
    builder.addTable(wide);

    builder.addTable(writer::makeTextTable("STATES.ASC", "AL Alabama\nAK Alaska\n"));
    return builder;
}

struct Opened {
    int32_t status = -99;
    std::vector<int> widths; // the count byte first
    int32_t totalWidth = -1;
    int32_t entryCount = -1;
};

struct Delivered {
    int32_t status = -99;
    int32_t count = -1;
    std::string buffer; // the whole buffer, guard bytes included
};

class ChoiceLists : public ::testing::Test {
protected:
    Opened init(const char* specification, const char* startKey = "") {
        return opened([&](unsigned char* widths, int32_t* total, int32_t* count) {
            return VTx_InitChoices(id(), specification, startKey, widths, total, count);
        });
    }
    Opened initField(int32_t localNumber, const char* startKey = "") {
        return opened([&](unsigned char* widths, int32_t* total, int32_t* count) {
            return VTx_InitFieldChoices(id(), localNumber, startKey, widths, total, count);
        });
    }
    // Rows into a buffer of `capacity` bytes filled with kUntouched.
    Delivered get(int32_t step, int32_t wanted, size_t capacity) {
        Delivered result;
        result.buffer.assign(capacity, kUntouched);
        result.status = VTx_GetChoices(id(), result.buffer.data(), step, wanted, &result.count);
        return result;
    }
    // Rows into a buffer sized as callers are told: wanted x total width + 1, then guards.
    Delivered get(int32_t step, int32_t wanted) {
        return get(step, wanted, static_cast<size_t>(wanted) * kSiteWidth + 1 + 16);
    }
    TMetaFile& instance() { return *vetra::engineProcess().metafiles().find(id()); }
    int32_t id() const { return metafile.id(); }

    vetra::testing::OpenMetafile metafile{choiceBuilder()};

private:
    template <class Call> Opened opened(Call call) {
        unsigned char widths[24];
        std::fill(std::begin(widths), std::end(widths), 0xEE);
        Opened result;
        result.status = call(widths, &result.totalWidth, &result.entryCount);
        for (unsigned char width : widths)
            result.widths.push_back(width);
        result.widths.resize(result.status == 0 ? size_t{widths[0]} + 2 : 0);
        return result;
    }
};

std::string siteRows(int first, int count) {
    std::string rows;
    for (int k = first; k < first + count; ++k)
        rows += siteRow(k);
    return rows;
}

// The widths: count byte, the widths, and the first byte after them, which stays untouched.
std::vector<int> widthsOutput(std::vector<int> widths) {
    widths.insert(widths.begin(), static_cast<int>(widths.size()));
    widths.push_back(0xEE);
    return widths;
}

TEST_F(ChoiceLists, TableAndExtensionSelectAllColumnsWithoutCount) {
    Opened list = init("SEX.DBF");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.widths, widthsOutput({1, 8}));
    EXPECT_EQ(list.totalWidth, 9);
    EXPECT_EQ(list.entryCount, 0);
    Delivered rows = get(1, 3);
    EXPECT_EQ(rows.status, 0);
    EXPECT_EQ(rows.count, 0);
    EXPECT_EQ(rows.buffer, std::string(rows.buffer.size(), kUntouched));
}

TEST_F(ChoiceLists, CountsEveryEntryOfTheIndex) {
    Opened list = init("SITES.DBF.CODE");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.widths, widthsOutput({5, 12, 2}));
    EXPECT_EQ(list.totalWidth, static_cast<int32_t>(kSiteWidth));
    EXPECT_EQ(list.entryCount, kSites);
}

TEST_F(ChoiceLists, ColumnListSelectsNumbersAndNamesInItsOrder) {
    Opened list = init("sites.dbf.code( 3 ,desc,1)", "C0500");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.widths, widthsOutput({2, 12, 5}));
    EXPECT_EQ(list.totalWidth, 19);
    Delivered rows = get(1, 1);
    EXPECT_EQ(rows.count, 1);
    EXPECT_EQ(rows.buffer.substr(0, 20), "G9Site 499    C0499" + std::string(1, '\0'));
}

TEST_F(ChoiceLists, ColumnsThatNameNothingSelectNothing) {
    Opened list = init("SITES.DBF.CODE(0,4,-1,99999999999,no,,GROUP)");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.widths, widthsOutput({2}));
    EXPECT_EQ(list.totalWidth, 2);
}

TEST_F(ChoiceLists, RowsComeInBatchesUntilTheIndexEnds) {
    ASSERT_EQ(init("SITES.DBF.CODE").status, 0);
    Delivered rows = get(1, 250);
    EXPECT_EQ(rows.status, 0);
    ASSERT_EQ(rows.count, 250);
    size_t written = 250 * kSiteWidth;
    EXPECT_EQ(rows.buffer.substr(0, written), siteRows(0, 250));
    EXPECT_EQ(rows.buffer[written], '\0');
    EXPECT_EQ(rows.buffer.substr(written + 1), std::string(16, kUntouched));

    rows = get(1, 1000);
    ASSERT_EQ(rows.count, 950);
    EXPECT_EQ(rows.buffer.substr(0, 950 * kSiteWidth), siteRows(250, 950));

    rows = get(1, 10);
    EXPECT_EQ(rows.status, 0);
    EXPECT_EQ(rows.count, 0);
    EXPECT_EQ(rows.buffer, std::string(rows.buffer.size(), kUntouched));
}

TEST_F(ChoiceLists, TheListStartsAtTheEntryAheadOfTheStartKey) {
    ASSERT_EQ(init("SITES.DBF.CODE", "C0100").status, 0);
    EXPECT_EQ(get(1, 3).buffer.substr(0, 3 * kSiteWidth), siteRows(99, 3));

    ASSERT_EQ(init("SITES.DBF.CODE", "c0100").status, 0); // keys compare without regard to case
    EXPECT_EQ(get(1, 1).buffer.substr(0, kSiteWidth), siteRow(99));

    ASSERT_EQ(init("SITES.DBF.CODE", "C009A").status, 0); // between two keys: the next one
    EXPECT_EQ(get(1, 1).buffer.substr(0, kSiteWidth), siteRow(99));
}

TEST_F(ChoiceLists, NearTheTopTheListStartsWithTheFirstEntry) {
    for (const char* start : {"", "C0000", "C0001"}) {
        ASSERT_EQ(init("SITES.DBF.CODE", start).status, 0);
        EXPECT_EQ(get(1, 2).buffer.substr(0, 2 * kSiteWidth), siteRows(0, 2)) << start;
    }
    ASSERT_EQ(init("SITES.DBF.CODE", "C0002").status, 0);
    EXPECT_EQ(get(1, 1).buffer.substr(0, kSiteWidth), siteRow(1));
}

TEST_F(ChoiceLists, AStartKeyBeyondTheLastEntryShowsTheEnd) {
    ASSERT_EQ(init("SITES.DBF.CODE", "ZZZ").status, 0);
    Delivered rows = get(1, 5);
    EXPECT_EQ(rows.count, 2);
    EXPECT_EQ(rows.buffer.substr(0, 2 * kSiteWidth), siteRows(kSites - 2, 2));
}

TEST_F(ChoiceLists, StepBackHandsOutTheEntriesBeforeInAscendingOrder) {
    ASSERT_EQ(init("SITES.DBF.CODE", "C0500").status, 0);
    ASSERT_EQ(get(1, 10).count, 10); // C0499 to C0508
    Delivered rows = get(-1, 5);
    ASSERT_EQ(rows.count, 5);
    EXPECT_EQ(rows.buffer.substr(0, 5 * kSiteWidth), siteRows(503, 5));

    // Back across the first entry: whatever is left, then nothing.
    EXPECT_EQ(get(-1, 1000).count, 503);
    rows = get(-1, 1);
    EXPECT_EQ(rows.count, 0);
    EXPECT_EQ(rows.buffer, std::string(rows.buffer.size(), kUntouched));
    EXPECT_EQ(get(1, 1).buffer.substr(0, kSiteWidth), siteRow(1));
}

TEST_F(ChoiceLists, FieldChoicesUseTheDictionaryDescription) {
    Opened list = initField(400, "C0010");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.widths, widthsOutput({5, 12}));
    EXPECT_EQ(list.entryCount, kSites);
    EXPECT_EQ(get(1, 1).buffer.substr(0, 17), siteRow(9).substr(0, 17));

    list = initField(220);
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.widths, widthsOutput({1, 8}));
    EXPECT_EQ(list.entryCount, 0);
}

TEST_F(ChoiceLists, AFieldWithoutChoicesHasAnInvalidFileName) {
    EXPECT_EQ(initField(10).status, 902);
    EXPECT_EQ(initField(12345).status, 902); // no dictionary record
    EXPECT_EQ(VTx_GetLastEngineError(id()), 902);
}

TEST_F(ChoiceLists, FailuresHaveTheirCodes) {
    EXPECT_EQ(init("SITES").status, 902);
    EXPECT_EQ(init("").status, 902);
    EXPECT_EQ(VTx_InitChoices(id(), nullptr, nullptr, nullptr, nullptr, nullptr), 902);
    EXPECT_EQ(init("NOSUCH.DBF").status, 904);
    EXPECT_EQ(VTx_GetLastEngineError(id()), 904);
    EXPECT_EQ(init("SITES.DBF.NOSUCH").status, 903);
    EXPECT_EQ(init("SITES.DBF.").status, 903);
    EXPECT_EQ(init("SITES.DBF.CODEANDMORETHANATAG").status, 903);
    EXPECT_EQ(VTx_GetLastEngineError(id()), 903);
}

TEST_F(ChoiceLists, AFailedOpenLeavesNoListOpen) {
    ASSERT_EQ(init("SITES.DBF.CODE").status, 0);
    EXPECT_EQ(init("SITES.DBF.NOSUCH").status, 903);
    EXPECT_EQ(get(1, 5).count, 0);
    ASSERT_EQ(init("SITES.DBF.CODE").status, 0);
    EXPECT_EQ(init("NOSUCH.DBF.CODE").status, 904);
    EXPECT_EQ(get(1, 5).count, 0);
}

TEST_F(ChoiceLists, CallsOutOfOrderDeliverNothing) {
    Delivered rows = get(1, 5);
    EXPECT_EQ(rows.status, 0);
    EXPECT_EQ(rows.count, 0);
    EXPECT_EQ(rows.buffer, std::string(rows.buffer.size(), kUntouched));
    EXPECT_EQ(VTx_FreeChoices(id()), 0);
    EXPECT_EQ(VTx_FreeChoices(id()), 0);

    ASSERT_EQ(init("SITES.DBF.CODE").status, 0);
    EXPECT_EQ(VTx_FreeChoices(id()), 0);
    EXPECT_EQ(get(1, 5).count, 0);
    EXPECT_EQ(VTx_GetChoices(id(), nullptr, 1, 5, nullptr), 0);
}

TEST_F(ChoiceLists, OpeningAgainReleasesTheOpenList) {
    ASSERT_EQ(init("SITES.DBF.CODE", "C0600").status, 0);
    ASSERT_EQ(get(1, 10).count, 10);
    ASSERT_EQ(init("SEX.DBF").status, 0);
    EXPECT_EQ(get(1, 10).count, 0); // the new list has no index
    ASSERT_EQ(init("SITES.DBF.CODE").status, 0);
    EXPECT_EQ(get(1, 1).buffer.substr(0, kSiteWidth), siteRow(0));
}

TEST_F(ChoiceLists, NeverMoreThanNineteenColumns) {
    Opened list = init("WIDE.DBF.FIRST");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.widths, widthsOutput(std::vector<int>(19, 1)));
    EXPECT_EQ(list.totalWidth, 19);
    EXPECT_EQ(list.entryCount, 1);
    Delivered rows = get(1, 1, 21);
    EXPECT_EQ(rows.count, 1);
    EXPECT_EQ(rows.buffer, std::string("ABCDEFGHIJKLMNOPQRS") + '\0' + kUntouched);

    list = init("WIDE.DBF(1,2,3,4,5,6,7,8,9,1,2,3,4,5,6,7,8,9,1,2)"); // 20 columns
    EXPECT_EQ(list.widths, widthsOutput(std::vector<int>(19, 1)));
    EXPECT_EQ(list.totalWidth, 19);
}

TEST_F(ChoiceLists, TablesOtherThanTableFilesSelectNothing) {
    Opened list = init("STATES.ASC.X");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.widths, widthsOutput({}));
    EXPECT_EQ(list.totalWidth, 0);
    EXPECT_EQ(list.entryCount, 0);
    EXPECT_EQ(get(1, 1).count, 0);
}

TEST_F(ChoiceLists, OnlyTheFirstFiftyCharactersAreTheSpecification) {
    std::string specification = "SEX.DBF(1" + std::string(41, ' ') + ",2)";
    ASSERT_EQ(specification.size(), 53u);
    Opened list = init(specification.c_str());
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.widths, widthsOutput({1}));
    std::string hostile(100000, '(');
    EXPECT_EQ(init(hostile.c_str()).status, 902);
}

TEST_F(ChoiceLists, OutputsMayBeLeftOut) {
    EXPECT_EQ(VTx_InitChoices(id(), "SITES.DBF.CODE", "C0100", nullptr, nullptr, nullptr), 0);
    int32_t delivered = 0;
    std::string buffer(2 * kSiteWidth + 1, kUntouched);
    EXPECT_EQ(VTx_GetChoices(id(), buffer.data(), 1, 2, &delivered), 0);
    EXPECT_EQ(delivered, 2);
    EXPECT_EQ(buffer, siteRows(99, 2) + '\0');
}

// An edit run frees the level-3 and level-5 blocks that tables and index searches live in,
// and every lookup moves the instance's index search; an open list survives both.
TEST_F(ChoiceLists, TheListStaysOpenAcrossRunsAndLookups) {
    ASSERT_EQ(init("SITES.DBF.CODE", "C0300").status, 0);
    ASSERT_EQ(get(1, 1).count, 1);
    instance().memory().freeLevel(2);
    EXPECT_GT(instance().lookupTables().VTi_StrLookUp("C1000", "SITES.DBF.CODE"), 0);
    vetra::DirectoryEntry sites{};
    ASSERT_EQ(instance().VTi_locMetaTbl(&sites, "SITES.DBF"), 1);
    EXPECT_GT(instance().indexSearch().VTi_indexseek(sites.indexPosition, "CODE", "C1100",
                                                     vetra::SeekMode::Exact),
              0);
    Delivered rows = get(1, 2);
    ASSERT_EQ(rows.count, 2);
    EXPECT_EQ(rows.buffer.substr(0, 2 * kSiteWidth), siteRows(300, 2));
}

TEST_F(ChoiceLists, UnknownMetafileIdsAreRejected) {
    unsigned char widths[20];
    int32_t total = 0, count = 0;
    char rows[8];
    EXPECT_EQ(VTx_InitChoices(9999, "SEX.DBF", "", widths, &total, &count), -2);
    EXPECT_EQ(VTx_InitFieldChoices(9999, 220, "", widths, &total, &count), -2);
    EXPECT_EQ(VTx_GetChoices(9999, rows, 1, 1, &count), -2);
    EXPECT_EQ(VTx_FreeChoices(9999), -2);
}

} // namespace
