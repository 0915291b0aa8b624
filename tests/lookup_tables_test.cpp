// Index seeks and skips, string lookups, table record reads and binary elements on tables
// written by the writer.
#include "engine/store/TMetaFile.h"
#include "tests/support/temp_metafiles.h"
#include "tools/metafile_writer/raw_table.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace writer = vetra::writer;
using vetra::IndexSearch;
using vetra::SeekMode;

std::string code(int n) {
    std::string digits = std::to_string(n);
    return "K" + std::string(5 - std::min<size_t>(digits.size(), 5), '0') + digits;
}

// CODES.DBF holds the keys K00010, K00020, ... (record r has key K(10 r)), plus a duplicate
// K00500 as its last record; NAMES.DBF has no index.
writer::MetafileBuilder lookupBuilder(int keys) {
    writer::MetafileBuilder builder;
    writer::DbfTable codes{"CODES.DBF", {{"CODE", 'C', 6, 0}, {"LABEL", 'C', 12, 0}}, {}, {}};
    for (int r = 1; r <= keys; ++r)
        codes.rows.push_back({{code(10 * r), "label " + std::to_string(r)}, false});
    codes.rows.push_back({{code(500), "duplicate"}, false});
    codes.indexTags = {{"CODE", "CODE", false}, {"LABEL", "LABEL", true}};
    builder.addTable(codes);
    writer::DbfTable names{"NAMES.DBF", {{"NAME", 'C', 10, 0}, {"KIND", 'C', 2, 0}}, {}, {}};
    names.rows = {{{"ALPHA", "A"}, false}, {{"BETA  ", "B"}, false}, {{"GAMMA", "C"}, false}};
    builder.addTable(names);
    builder.addTable(
        writer::makeTextTable("STATES.ASC", "  AL Alabama\nAK Alaska   \nAZ=Arizona\n"));
    builder.addTable(writer::makeBinaryTable("BITS.BIN", 1, 16, {0x00, 0x00, 0x20, 0x01}));
    builder.addTable(writer::makeBinaryTable("SIGNED.BIN", -16, 2, {0xFF, 0xFF, 0x02, 0x00}));
    builder.addTable(writer::makeBinaryTable("UNSIGNED.BIN", 16, 2, {0xFF, 0xFF, 0x02, 0x00}));
    builder.addTable(writer::makeBinaryTable("BYTES.BIN", -8, 1, {0x80, 0x7F}));
    return builder;
}

class LookupTables : public ::testing::Test {
protected:
    explicit LookupTables(int keys = 3000)
        : metafile(files.write("lookup.rmf", lookupBuilder(keys)).c_str(), nullptr, nullptr, 0) {
        vetra::DirectoryEntry entry{};
        metafile.VTi_locMetaTbl(&entry, "CODES.DBF");
        indexPosition = entry.indexPosition;
    }
    int32_t seek(const std::string& key, SeekMode mode, const char* tag = "CODE") {
        return search().VTi_indexseek(indexPosition, tag, key, mode);
    }
    IndexSearch& search() { return metafile.indexSearch(); }

    vetra::testing::TempMetafiles files;
    TMetaFile metafile;
    int64_t indexPosition = 0;
};

TEST_F(LookupTables, SeeksInEachMode) {
    EXPECT_EQ(seek(code(1230), SeekMode::Exact), 123);
    EXPECT_EQ(seek("k01230", SeekMode::Exact), 123); // keys compare without regard to case
    EXPECT_EQ(seek(code(1235), SeekMode::Exact), IndexSearch::kNotFound);
    EXPECT_EQ(seek("K0123", SeekMode::Prefix), 123);
    EXPECT_EQ(seek("K9", SeekMode::Prefix), IndexSearch::kNotFound);
    EXPECT_EQ(seek(code(1235), SeekMode::AtOrAfter), 124);
    EXPECT_EQ(seek(code(99999), SeekMode::AtOrAfter), IndexSearch::kNotFound);
}

TEST_F(LookupTables, RangeSeeksGiveTheGreatestKeyNotAbove) {
    EXPECT_EQ(seek(code(1235), SeekMode::Range), 123);
    EXPECT_EQ(seek(code(1240), SeekMode::Range), 124);
    EXPECT_EQ(seek(code(5), SeekMode::Range), IndexSearch::kNotFound);
    EXPECT_EQ(seek(code(99999), SeekMode::Range), 3000);
}

TEST_F(LookupTables, DuplicateKeysComeInRecordOrder) {
    EXPECT_EQ(seek(code(500), SeekMode::Exact), 50);
    std::vector<int32_t> next;
    EXPECT_EQ(search().VTi_indexskip(1, &next, 2), 0);
    EXPECT_EQ(next, (std::vector<int32_t>{3001, 51}));
}

TEST_F(LookupTables, SkipsAcrossLeavesInBothDirections) {
    ASSERT_EQ(seek(code(10), SeekMode::Exact), 1);
    std::vector<int32_t> forward;
    EXPECT_EQ(search().VTi_indexskip(1, &forward, 5000), IndexSearch::kEndOfIndex);
    ASSERT_EQ(forward.size(), 3000u); // every other key, the duplicate included
    EXPECT_EQ(forward.front(), 2);
    EXPECT_EQ(forward.back(), 3000);

    std::vector<int32_t> backward;
    EXPECT_EQ(search().VTi_indexskip(-1, &backward, 3000), 0);
    ASSERT_EQ(backward.size(), 3000u);
    EXPECT_EQ(backward.front(), 1); // collected backwards, handed out ascending
    EXPECT_EQ(backward.back(), 2999);
    std::vector<int32_t> none;
    EXPECT_EQ(search().VTi_indexskip(0, &none, 1), IndexSearch::kStartOfIndex);
    EXPECT_TRUE(none.empty());

    search().VTi_indexcleanup();
    EXPECT_EQ(search().VTi_indexskip(1, &none, 1), IndexSearch::kNoIndex);
}

TEST_F(LookupTables, TagsAreListedAndAbsentTagsAreNotFound) {
    EXPECT_EQ(search().VTi_indexseek(indexPosition, "", "", SeekMode::Exact), 2);
    EXPECT_EQ(search().listedTags(), (std::vector<std::string>{"CODE", "LABEL"}));
    EXPECT_EQ(seek("X", SeekMode::Exact, "NOSUCH"), IndexSearch::kTagNotFound);
    EXPECT_EQ(seek("LABEL 7", SeekMode::Exact, "label"), 7);
    EXPECT_EQ(search().VTi_indexseek(0, "CODE", "X", SeekMode::Exact), IndexSearch::kNoIndex);
}

TEST_F(LookupTables, SearchBuffersAreLevelFiveBlocksFreedByCleanup) {
    seek(code(10), SeekMode::Exact);
    int32_t blocks = 0;
    for (int32_t h = 1; h <= metafile.memory().highWaterMark(); ++h)
        if (metafile.memory().levelOf(h) == 5) ++blocks;
    EXPECT_EQ(blocks, 3);
    search().VTi_indexcleanup();
    for (int32_t h = 1; h <= metafile.memory().highWaterMark(); ++h)
        EXPECT_NE(metafile.memory().levelOf(h), 5);
}

// A search reuses the blocks the last one left, and reads the index parts it has read before
// without decoding them again: repeated seeks give the same records and reserve nothing new.
TEST_F(LookupTables, RepeatedSeeksReuseTheirBlocks) {
    std::vector<int32_t> first;
    for (int r = 1; r <= 3000; r += 7)
        first.push_back(seek(code(10 * r), SeekMode::Exact));
    uint64_t allocations = metafile.memory().allocations();
    std::vector<int32_t> again;
    for (int r = 1; r <= 3000; r += 7)
        again.push_back(seek(code(10 * r), SeekMode::Exact));
    EXPECT_EQ(metafile.memory().allocations(), allocations);
    EXPECT_EQ(again, first);
    EXPECT_EQ(first.front(), 1);
    EXPECT_EQ(first.back(), 2997);
}

TEST_F(LookupTables, StringLookupsGiveTheRecordsPosition) {
    vetra::LookupTables& lookups = metafile.lookupTables();
    int64_t position = lookups.VTi_StrLookUp(code(20) + "   ", "codes.dbf.code");
    ASSERT_GT(position, 0);
    auto bytes = metafile.stream().bytesAt(position + 1, 6);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), code(20));
    EXPECT_EQ(lookups.VTi_StrLookUp("nothing", "CODES.DBF.CODE"), -1);
    EXPECT_EQ(lookups.VTi_StrLookUp("K00020", "CODES.DBF.NOSUCH"), -1);
    EXPECT_EQ(lookups.VTi_StrLookUp("K00020", "CODES.DBF"), 0);
    EXPECT_EQ(lookups.VTi_StrLookUp("ALPHA", "NAMES.DBF.NAME"), 0);
    EXPECT_EQ(lookups.VTi_StrLookUp("ALPHA", "MISSING.DBF.NAME"), 0);
    EXPECT_EQ(lookups.columnPosition(code(30), "CODES.DBF.CODE"), position + 1 + 2 * 19 - 19);
}

TEST_F(LookupTables, RecordReadsThroughTheIndexOrByScanning) {
    vetra::LookupTables& lookups = metafile.lookupTables();
    std::string record;
    EXPECT_EQ(lookups.VTi_Tblreadrec(code(40), "CODES.DBF.CODE", 1, 0, &record, SeekMode::Exact),
              1);
    EXPECT_EQ(record, code(40) + "label 4");
    EXPECT_EQ(lookups.VTi_Tblreadrec(code(45), "CODES.DBF.CODE", 1, 0, &record, SeekMode::Range),
              1);
    EXPECT_EQ(record, code(40) + "label 4");
    EXPECT_EQ(lookups.VTi_Tblreadrec("BETA", "NAMES.DBF.NAME", 1, 0, &record, SeekMode::Exact), 1);
    EXPECT_EQ(record, "BETA      B");
    EXPECT_EQ(lookups.VTi_Tblreadrec("C", "NAMES.DBF", 11, 1, &record, SeekMode::Exact), 1);
    EXPECT_EQ(record, "GAMMA     C");
    EXPECT_EQ(lookups.VTi_Tblreadrec("DELTA", "NAMES.DBF.NAME", 1, 0, nullptr, SeekMode::Exact), 0);
    EXPECT_EQ(lookups.VTi_Tblreadrec("x", "MISSING.DBF", 1, 0, nullptr, SeekMode::Exact), 0);
}

TEST_F(LookupTables, TextTablesCompareStartLengthOrUpToACharacter) {
    vetra::LookupTables& lookups = metafile.lookupTables();
    std::string line;
    EXPECT_EQ(lookups.VTi_Tblreadrec("AL Alabama", "STATES.ASC", 1, 0, &line, SeekMode::Exact), 1);
    EXPECT_EQ(line, "  AL Alabama");
    EXPECT_EQ(lookups.VTi_Tblreadrec("AK", "STATES.ASC", 1, 2, &line, SeekMode::Exact), 1);
    EXPECT_EQ(line, "AK Alaska");
    EXPECT_EQ(lookups.VTi_Tblreadrec("AZ", "STATES.ASC", 1, -'=', &line, SeekMode::Exact), 1);
    EXPECT_EQ(lookups.VTi_Tblreadrec("Alaska", "STATES.ASC", 4, 0, &line, SeekMode::Exact), 1);
    EXPECT_EQ(lookups.VTi_Tblreadrec("TX", "STATES.ASC", 1, 2, &line, SeekMode::Exact), 0);
}

TEST_F(LookupTables, BinaryElementsByTypeRowAndColumn) {
    vetra::LookupTables& lookups = metafile.lookupTables();
    EXPECT_EQ(lookups.binaryElement("BITS.BIN", 2, 3), 1); // bit 18: byte 2, mask 0x20
    EXPECT_EQ(lookups.binaryElement("BITS.BIN", 2, 2), 0);
    EXPECT_EQ(lookups.binaryElement("BITS.BIN", 2, 16), 1); // byte 3, mask 0x01
    EXPECT_EQ(lookups.binaryElement("SIGNED.BIN", 1, 1), -1);
    EXPECT_EQ(lookups.binaryElement("UNSIGNED.BIN", 1, 1), 65535);
    EXPECT_EQ(lookups.binaryElement("UNSIGNED.BIN", 1, 2), 2);
    EXPECT_EQ(lookups.binaryElement("BYTES.BIN", 1, std::nullopt), -128);
    EXPECT_EQ(lookups.binaryElement("BYTES.BIN", 2, std::nullopt), 127);
    EXPECT_EQ(lookups.binaryElement("BYTES.BIN", 3, std::nullopt), std::nullopt);
    EXPECT_EQ(lookups.binaryElement("MISSING.BIN", 1, 1), std::nullopt);
}

} // namespace

namespace {

// ---- keys of mixed case ------------------------------------------------------------------

constexpr size_t kMixedKeyLength = 5;

std::string upperCased(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string padded(std::string key) {
    key.resize(kMixedKeyLength, ' ');
    return key;
}

// Keys over letters of both cases, digits and the punctuation that lies between 'Z' and 'a'
// ('[' and '_' come after 'Z' once upper-cased but before 'a' in byte order), so that byte
// order and the engine's order disagree often.
std::vector<std::string> mixedKeys(size_t count, uint32_t seed) {
    const std::string alphabet = "aAbBzZ09_[`{~";
    std::mt19937 random(seed);
    std::uniform_int_distribution<size_t> letter(0, alphabet.size() - 1);
    std::uniform_int_distribution<size_t> length(1, kMixedKeyLength);
    std::vector<std::string> keys;
    for (size_t i = 0; i < count; ++i) {
        std::string key(length(random), ' ');
        for (char& c : key)
            c = alphabet[letter(random)];
        keys.push_back(key);
    }
    return keys;
}

struct ModelKey {
    std::string key; // padded
    int32_t record;
};

// The keys in the order the engine searches them: without regard to case, then by bytes,
// then by record number.
std::vector<ModelKey> indexOrder(const std::vector<std::string>& keys) {
    std::vector<ModelKey> model;
    for (size_t i = 0; i < keys.size(); ++i)
        model.push_back({padded(keys[i]), static_cast<int32_t>(i + 1)});
    std::sort(model.begin(), model.end(), [](const ModelKey& a, const ModelKey& b) {
        return std::tuple(upperCased(a.key), a.key, a.record) <
               std::tuple(upperCased(b.key), b.key, b.record);
    });
    return model;
}

// A range seek: the first key equal to the probe, else the greatest key below it, else the
// last key when every key is below; kNotFound when every key is above.
int32_t expectedRange(const std::vector<ModelKey>& model, const std::string& probe) {
    std::string wanted = upperCased(padded(probe));
    auto first = std::find_if(model.begin(), model.end(),
                              [&](const ModelKey& key) { return upperCased(key.key) >= wanted; });
    if (first == model.end()) return model.back().record;
    if (upperCased(first->key) == wanted) return first->record;
    if (first == model.begin()) return IndexSearch::kNotFound;
    return std::prev(first)->record;
}

class MixedCaseKeys : public ::testing::Test {
protected:
    MixedCaseKeys()
        : keys(mixedKeys(4000, 11)), model(indexOrder(keys)),
          metafile(files.write("mixed.rmf", builder()).c_str(), nullptr, nullptr, 0) {
        vetra::DirectoryEntry entry{};
        metafile.VTi_locMetaTbl(&entry, "MIXED.DBF");
        indexPosition = entry.indexPosition;
    }
    writer::MetafileBuilder builder() const {
        writer::DbfTable table{
            "MIXED.DBF", {{"CODE", 'C', kMixedKeyLength, 0}, {"ROW", 'C', 5, 0}}, {}, {}};
        for (size_t i = 0; i < keys.size(); ++i)
            table.rows.push_back({{keys[i], std::to_string(i + 1)}, false});
        table.indexTags = {{"CODE", "CODE", false}};
        writer::MetafileBuilder builder;
        builder.addTable(table);
        return builder;
    }
    // The record of the first key in index order equal to `key` without regard to case.
    int32_t firstEqual(const std::string& key) const {
        std::string wanted = upperCased(padded(key));
        for (const ModelKey& entry : model)
            if (upperCased(entry.key) == wanted) return entry.record;
        return IndexSearch::kNotFound;
    }
    int32_t seek(const std::string& key, SeekMode mode) {
        return metafile.indexSearch().VTi_indexseek(indexPosition, "CODE", key, mode);
    }

    std::vector<std::string> keys;
    std::vector<ModelKey> model;
    vetra::testing::TempMetafiles files;
    TMetaFile metafile;
    int64_t indexPosition = 0;
};

TEST_F(MixedCaseKeys, EveryKeyIsFound) {
    vetra::LookupTables& lookups = metafile.lookupTables();
    for (const std::string& key : keys) {
        int32_t expected = firstEqual(key);
        ASSERT_EQ(seek(key, SeekMode::Exact), expected) << key;
        ASSERT_EQ(seek(upperCased(key), SeekMode::Exact), expected) << key;
        int64_t position = lookups.VTi_StrLookUp(key, "MIXED.DBF.CODE");
        ASSERT_GT(position, 0) << key;
        auto bytes = metafile.stream().bytesAt(position + 1, kMixedKeyLength);
        ASSERT_EQ(upperCased(std::string(bytes.begin(), bytes.end())), upperCased(padded(key)));
    }
}

TEST_F(MixedCaseKeys, SkipsVisitTheKeysInIndexOrder) {
    ASSERT_EQ(seek(model.front().key, SeekMode::Exact), model.front().record);
    std::vector<int32_t> records;
    EXPECT_EQ(metafile.indexSearch().VTi_indexskip(1, &records, 5000), IndexSearch::kEndOfIndex);
    ASSERT_EQ(records.size(), model.size() - 1);
    for (size_t i = 0; i < records.size(); ++i)
        ASSERT_EQ(records[i], model[i + 1].record) << i;
}

TEST_F(MixedCaseKeys, RangeSeeksGiveTheGreatestKeyNotAbove) {
    std::vector<std::string> probes = mixedKeys(2000, 12);
    probes.insert(probes.end(), {"a", "Z", "_", "[", "`", "0", "~~~~~", "!", "zz", "ZZ"});
    for (const std::string& probe : probes)
        ASSERT_EQ(seek(probe, SeekMode::Range), expectedRange(model, probe)) << probe;
}

class RecordingVariables : public vetra::ColumnVariables {
public:
    void declare(std::string_view name, char* value, size_t capacity) override {
        names.emplace_back(name);
        values.push_back(value);
        capacities.push_back(capacity);
    }
    uint64_t runSerial() const override { return 1; } // one run throughout
    std::vector<std::string> names;
    std::vector<char*> values;
    std::vector<size_t> capacities;
};

TEST_F(LookupTables, ColumnsBecomeVariablesWhileEditLogicRuns) {
    bool running = true;
    RecordingVariables variables;
    vetra::TableReader reader(metafile.memory(), metafile.stream(), running);
    reader.setColumnVariables(&variables);
    vetra::LookupTables lookups(metafile.directory(), reader, search(), metafile.stream(),
                                metafile.lastError(), running);
    EXPECT_EQ(lookups.VTi_Tblreadrec("BETA", "NAMES.DBF.NAME", 1, 0, nullptr, SeekMode::Exact), 1);
    ASSERT_EQ(variables.names, (std::vector<std::string>{"NAME", "KIND"}));
    EXPECT_EQ(variables.capacities, (std::vector<size_t>{11, 3}));
    EXPECT_STREQ(variables.values[0], "BETA");
    EXPECT_STREQ(variables.values[1], "B");

    EXPECT_EQ(lookups.VTi_Tblreadrec("DELTA", "NAMES.DBF.NAME", 1, 0, nullptr, SeekMode::Exact), 0);
    ASSERT_EQ(variables.values.size(), 4u);
    EXPECT_STREQ(variables.values[2], ""); // a failed scan leaves every column empty
    EXPECT_STREQ(variables.values[3], "");

    EXPECT_EQ(lookups.VTi_Tblreadrec("AK", "STATES.ASC", 1, 2, nullptr, SeekMode::Exact), 1);
    EXPECT_EQ(variables.names.back(), "_STATES");
    EXPECT_STREQ(variables.values.back(), "AK Alaska");
    metafile.memory().freeLevel(2); // the end of the edit releases the tables
}

} // namespace
