// Lookup tables whose index holds leaves without keys, as a damaged metafile may: the first,
// a middle, the last or every leaf emptied, or two empty leaves linked to each other in a
// cycle.
// Through the engine as hosts use it: lookup, ilookup and rlookup from the edits of a batch
// run, the index search in its four modes with skips both ways, and choice lists. A search
// passes over an empty leaf as if it were absent; nothing reads outside a leaf, and a cycle
// ends the walk as the end of the index does.
#include "engine/api/engine_process.h"
#include "engine/store/TMetaFile.h"
#include "tests/runs/run_metafile.h"
#include "tests/support/index_leaves.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using vetra::IndexSearch;
using vetra::SeekMode;
using vetra::testing::IndexLeaves;
using vetra::testing::TestEdit;
namespace writer = vetra::writer;

constexpr int kCodes = 500; // C000, C002 ... C998, record r holding the code 2(r-1)
constexpr size_t kCodeWidth = 4;

std::string code(int number) {
    char text[8];
    std::snprintf(text, sizeof text, "C%03d", number);
    return text;
}

int32_t recordOf(const std::string& key) {
    return std::stoi(key.substr(1)) / 2 + 1;
}

// Every code and every number between them, and one key below and one above them all.
std::vector<std::string> probeKeys() {
    std::vector<std::string> probes{"B999", "D000"};
    for (int n = 0; n < 2 * kCodes; ++n)
        probes.push_back(code(n));
    return probes;
}

// The field Site (400) is the record's columns 13 to 16; rlookup leaves the key it found, or
// "none", in the engine variable "below".
std::vector<TestEdit> lookupEdits() {
    return {
        {"Site Listed",
         100,
         {400},
         R"(if (lookup(#S"Site", "CODES.DBF.CODE") == 0) return fail; return pass;)"},
        {"Site Indexed",
         100,
         {400},
         R"(if (ilookup(#S"Site", "CODES.DBF.CODE") == 0) return fail; return pass;)"},
        {"Site At Or Below", 100, {400}, R"(setvar("below", "none");
            if (rlookup(#S"Site", "CODES.DBF.CODE") == 0) return fail;
            setvar("below", CODE);
            return pass;)"},
    };
}

writer::MetafileBuilder lookupMetafile() {
    writer::MetafileBuilder builder = vetra::testing::runMetafile(
        lookupEdits(), {{"Lookups", "", {"Site Listed", "Site Indexed", "Site At Or Below"}}});
    writer::DbfTable codes{"CODES.DBF", {{"CODE", 'C', 4, 0}, {"LABEL", 'C', 10, 0}}, {}, {}};
    for (int r = 0; r < kCodes; ++r)
        codes.rows.push_back({{code(2 * r), "Label " + std::to_string(r)}, false});
    codes.indexTags = {{"CODE", "CODE", false}};
    builder.addTable(codes);
    return builder;
}

enum class Damage {
    FirstLeafEmptied,
    MiddleLeafEmptied,
    LastLeafEmptied,
    CycleOfEmptyLeaves,
    EveryLeafEmptied
};

std::vector<size_t> emptiedLeaves(Damage damage, size_t leafCount) {
    std::vector<size_t> every;
    switch (damage) {
    case Damage::FirstLeafEmptied:
        return {0};
    case Damage::MiddleLeafEmptied:
        return {leafCount / 2};
    case Damage::LastLeafEmptied:
        return {leafCount - 1};
    case Damage::CycleOfEmptyLeaves:
        return {1, 2};
    case Damage::EveryLeafEmptied:
        for (size_t leaf = 0; leaf < leafCount; ++leaf)
            every.push_back(leaf);
    }
    return every;
}

// The cycle: the second and third leaves emptied, the third one's siblings both the second,
// so that a walk to the right goes round them and one to the left passes them.
void applyDamage(writer::Bytes& metafile, const IndexLeaves& leaves, Damage damage) {
    for (size_t leaf : emptiedLeaves(damage, leaves.offsets.size()))
        vetra::testing::emptyLeaf(metafile, leaves, leaf);
    if (damage == Damage::CycleOfEmptyLeaves) vetra::testing::linkLeaf(metafile, leaves, 2, 1, 1);
}

// What the edits of the set "Lookups" made of one probe key.
struct LookupOutcome {
    int32_t statusBits[3] = {}; // lookup, ilookup, rlookup: 0x01 passed, 0x02 failed
    std::string below;          // the key rlookup found, or "none"
};

class DamagedLeaves : public ::testing::Test {
protected:
    void open(Damage damage) {
        std::string sound = files.write("sound.rmf", lookupMetafile());
        leaves = vetra::testing::indexLeaves(sound, "CODES.DBF", "CODE");
        ASSERT_GE(leaves.offsets.size(), 4u); // a first, a last and two between
        writer::Bytes bytes = lookupMetafile().build();
        applyDamage(bytes, leaves, damage);
        std::vector<size_t> emptied = emptiedLeaves(damage, leaves.offsets.size());
        bool walkEnded = false; // a walk from the first leaf to the right stops at the cycle
        for (size_t leaf = 0; leaf < leaves.keys.size(); ++leaf) {
            bool empty = std::find(emptied.begin(), emptied.end(), leaf) != emptied.end();
            walkEnded = walkEnded || (empty && damage == Damage::CycleOfEmptyLeaves);
            for (const std::string& key : empty ? std::vector<std::string>{} : leaves.keys[leaf]) {
                left.push_back(key);
                if (!walkEnded) listed.push_back(key);
            }
        }
        std::string path = files.write("damaged.rmf", bytes);
        ASSERT_EQ(VTx_Init(&id, path.c_str(), nullptr, 0, nullptr), 0);
        ASSERT_EQ(VTx_AllocRecord(id, 20, &record), 0);
        ASSERT_EQ(VTx_InitRecordLayout(id, record, "Test"), 0);
    }
    void TearDown() override {
        if (id >= 0) VTx_Exit(id);
    }
    TMetaFile& instance() { return *vetra::engineProcess().metafiles().find(id); }

    // The probe as the record's site, checked by a batch run as ravelo-batch runs it.
    LookupOutcome lookUp(const std::string& probe) {
        LookupOutcome outcome;
        int32_t set = -1, loadStatus = -1, messages = 0;
        // Loading the set again clears its edits' results of the last run.
        EXPECT_EQ(VTx_LoadEditSet(id, &set, "Lookups", &loadStatus, 1), 0);
        std::string text = std::string(12, ' ') + probe;
        EXPECT_EQ(VTx_UpdateRecord(id, record, text.c_str()), 0);
        EXPECT_EQ(VTx_RunBatch(id, set, 0, &messages, 0, nullptr), 0) << probe;
        for (int32_t index = 0; index < 3; ++index) {
            char name[51];
            int32_t fields = 0, options = 0, errors = 0, warnings = 0, skips = 0;
            EXPECT_EQ(VTx_GetEditInfoEx(id, set, index, name, &fields, &outcome.statusBits[index],
                                        &options, &errors, &warnings, &skips),
                      0);
        }
        char below[64] = "";
        EXPECT_EQ(VTx_GetVar(id, "below", below), 0);
        outcome.below = below;
        return outcome;
    }
    int32_t seek(const std::string& key, SeekMode mode) {
        return instance().indexSearch().VTi_indexseek(leaves.indexStart, "CODE", key, mode);
    }

    // The greatest key left not above `probe`.
    std::optional<std::string> atOrBelow(const std::string& probe) const {
        auto after = std::upper_bound(left.begin(), left.end(), probe);
        if (after == left.begin()) return std::nullopt;
        return *std::prev(after);
    }
    bool isLeft(const std::string& probe) const {
        return std::binary_search(left.begin(), left.end(), probe);
    }

    vetra::testing::TempMetafiles files;
    IndexLeaves leaves;
    std::vector<std::string> left;   // the keys of the leaves not emptied, in index order
    std::vector<std::string> listed; // those a walk to the right from the first key reaches
    int32_t id = -1;
    int32_t record = -1;
};

class EmptyIndexLeaves : public DamagedLeaves, public ::testing::WithParamInterface<Damage> {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(open(GetParam())); }
};

TEST_P(EmptyIndexLeaves, LookupsFromAnEditFindTheKeysOfTheLeavesLeft) {
    for (const std::string& probe : probeKeys()) {
        LookupOutcome outcome = lookUp(probe);
        int32_t expected = isLeft(probe) ? 0x01 : 0x02;
        ASSERT_EQ(outcome.statusBits[0], expected) << "lookup " << probe;
        ASSERT_EQ(outcome.statusBits[1], expected) << "ilookup " << probe;
        std::optional<std::string> below = atOrBelow(probe);
        ASSERT_EQ(outcome.statusBits[2], below ? 0x01 : 0x02) << "rlookup " << probe;
        ASSERT_EQ(outcome.below, below.value_or("none")) << "rlookup " << probe;
    }
}

// Exact and prefix seeks find a key left; a range seek the greatest key left not above
// (every key being above, none); a seek at or after the first key left not below, unless
// the walk to it goes round the cycle, which ends it without a key.
TEST_P(EmptyIndexLeaves, SeeksInEveryModeFindTheKeysOfTheLeavesLeft) {
    for (const std::string& probe : probeKeys()) {
        int32_t exact = isLeft(probe) ? recordOf(probe) : IndexSearch::kNotFound;
        ASSERT_EQ(seek(probe, SeekMode::Exact), exact) << probe;
        ASSERT_EQ(seek(probe, SeekMode::Prefix), exact) << probe;
        std::optional<std::string> below = atOrBelow(probe);
        ASSERT_EQ(seek(probe, SeekMode::Range), below ? recordOf(*below) : IndexSearch::kNotFound)
            << probe;
        auto next = std::lower_bound(left.begin(), left.end(), probe);
        int32_t atOrAfter = seek(probe, SeekMode::AtOrAfter);
        if (next == left.end()) {
            ASSERT_EQ(atOrAfter, IndexSearch::kNotFound) << probe;
        } else if (GetParam() != Damage::CycleOfEmptyLeaves ||
                   atOrAfter != IndexSearch::kNotFound) {
            ASSERT_EQ(atOrAfter, recordOf(*next)) << probe;
        }
    }
    // Past every key, a range seek rests on the greatest.
    EXPECT_EQ(seek("D000", SeekMode::Range), recordOf(left.back()));
    EXPECT_EQ(seek("C", SeekMode::Prefix), recordOf(left.front()));
}

std::vector<int32_t> recordsOf(const std::vector<std::string>& keys) {
    std::vector<int32_t> records;
    for (const std::string& key : keys)
        records.push_back(recordOf(key));
    return records;
}

// To the right from the first key as far as the leaves lead; to the left from the last key
// (the cycle's leaves still lead there) over every key left.
TEST_P(EmptyIndexLeaves, SkipsBothWaysPassTheEmptyLeaves) {
    IndexSearch& search = instance().indexSearch();
    ASSERT_EQ(seek("", SeekMode::AtOrAfter), recordOf(listed.front()));
    std::vector<int32_t> forward;
    EXPECT_EQ(search.VTi_indexskip(1, &forward, 2 * kCodes), IndexSearch::kEndOfIndex);
    EXPECT_EQ(forward, recordsOf({listed.begin() + 1, listed.end()}));
    EXPECT_EQ(search.currentKey(), listed.back()); // the end leaves it on the last key
    std::vector<int32_t> none;
    EXPECT_EQ(search.VTi_indexskip(1, &none, 1), IndexSearch::kEndOfIndex);
    EXPECT_TRUE(none.empty());

    ASSERT_EQ(seek("D000", SeekMode::Range), recordOf(left.back()));
    std::vector<int32_t> backward;
    EXPECT_EQ(search.VTi_indexskip(0, &backward, 2 * kCodes), IndexSearch::kStartOfIndex);
    EXPECT_EQ(backward, recordsOf({left.begin(), left.end() - 1}));
    EXPECT_EQ(search.currentKey(), left.front());
    EXPECT_EQ(search.VTi_indexskip(0, &none, 1), IndexSearch::kStartOfIndex);
    EXPECT_TRUE(none.empty());
}

// The list holds the keys a walk from the first one reaches. A start key among the emptied
// leaves' keys places it as if they were absent: the next rows start with the entry ahead
// of the first one not below the start key (the last entry when none is).
TEST_P(EmptyIndexLeaves, ChoiceListsHoldTheKeysOfTheLeavesLeft) {
    std::vector<std::string> starts{""};
    for (size_t leaf : emptiedLeaves(GetParam(), leaves.offsets.size()))
        starts.push_back(leaves.keys[leaf].front());
    for (const std::string& start : starts) {
        unsigned char widths[20] = {};
        int32_t totalWidth = 0, entryCount = 0;
        ASSERT_EQ(VTx_InitChoices(id, "CODES.DBF.CODE(CODE)", start.c_str(), widths, &totalWidth,
                                  &entryCount),
                  0)
            << start;
        EXPECT_EQ(totalWidth, static_cast<int32_t>(kCodeWidth));
        ASSERT_EQ(entryCount, static_cast<int32_t>(listed.size())) << start;

        auto ordinal = static_cast<size_t>(std::lower_bound(listed.begin(), listed.end(), start) -
                                           listed.begin());
        size_t first = std::min(ordinal, listed.size() - 1);
        first = first > 0 ? first - 1 : 0;
        std::string rows(listed.size() * kCodeWidth + 1, '\0');
        int32_t count = 0;
        ASSERT_EQ(VTx_GetChoices(id, rows.data(), 1, entryCount, &count), 0);
        std::string expected;
        for (size_t i = first; i < listed.size(); ++i)
            expected += listed[i];
        EXPECT_EQ(rows.substr(0, expected.size()), expected) << start;
        EXPECT_EQ(count, static_cast<int32_t>(listed.size() - first)) << start;
    }
    EXPECT_EQ(VTx_FreeChoices(id), 0);
}

// Without a key left, every search ends without one and a choice list cannot open.
TEST_F(DamagedLeaves, AnIndexOfEmptyLeavesFindsNothing) {
    ASSERT_NO_FATAL_FAILURE(open(Damage::EveryLeafEmptied));
    for (std::string probe : {"", "B999", "C000", "C500", "C998", "D000"}) {
        for (SeekMode mode :
             {SeekMode::Exact, SeekMode::Prefix, SeekMode::AtOrAfter, SeekMode::Range}) {
            EXPECT_EQ(seek(probe, mode), IndexSearch::kNotFound) << probe;
            EXPECT_EQ(instance().indexSearch().currentKey(), "");
            std::vector<int32_t> records;
            EXPECT_EQ(instance().indexSearch().VTi_indexskip(1, &records, 5),
                      IndexSearch::kNoIndex);
            EXPECT_EQ(instance().indexSearch().VTi_indexskip(0, &records, 5),
                      IndexSearch::kNoIndex);
            EXPECT_TRUE(records.empty());
        }
        LookupOutcome outcome = lookUp(probe);
        EXPECT_EQ(outcome.statusBits[0], 0x02) << probe;
        EXPECT_EQ(outcome.statusBits[1], 0x02) << probe;
        EXPECT_EQ(outcome.statusBits[2], 0x02) << probe;
        EXPECT_EQ(outcome.below, "none") << probe;
    }
    unsigned char widths[20] = {};
    int32_t totalWidth = 0, entryCount = 0;
    EXPECT_EQ(VTx_InitChoices(id, "CODES.DBF.CODE", "C500", widths, &totalWidth, &entryCount), 903);
}

const char* damageName(Damage damage) {
    switch (damage) {
    case Damage::FirstLeafEmptied:
        return "FirstLeafEmptied";
    case Damage::MiddleLeafEmptied:
        return "MiddleLeafEmptied";
    case Damage::LastLeafEmptied:
        return "LastLeafEmptied";
    case Damage::CycleOfEmptyLeaves:
        return "CycleOfEmptyLeaves";
    case Damage::EveryLeafEmptied:
        return "EveryLeafEmptied";
    }
    return "";
}

void PrintTo(Damage damage, std::ostream* out) {
    *out << damageName(damage);
}

INSTANTIATE_TEST_SUITE_P(Damages, EmptyIndexLeaves,
                         ::testing::Values(Damage::FirstLeafEmptied, Damage::MiddleLeafEmptied,
                                           Damage::LastLeafEmptied, Damage::CycleOfEmptyLeaves),
                         [](const ::testing::TestParamInfo<Damage>& damage) {
                             return std::string(damageName(damage.param));
                         });

} // namespace
