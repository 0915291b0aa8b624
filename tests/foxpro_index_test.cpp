// FoxPro indexes written by the writer and read back by the engine's decoder: the compound
// index of a table's tags, the single compact and classic indexes, and damaged images that
// the decoder must refuse without reading outside them.
#include "engine/store/TMetaFile.h"
#include "engine/store/foxpro_index.h"
#include "engine/store/index_node_cache.h"
#include "tests/support/temp_metafiles.h"
#include "tools/metafile_writer/foxpro_index_writer.h"
#include "tools/metafile_writer/manifest_reader.h"
#include "tools/metafile_writer/writer_error.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <set>
#include <span>
#include <string>
#include <tuple>
#include <vector>

namespace {

using vetra::findTag;
using vetra::IndexEntry;
using vetra::IndexHeader;
using vetra::IndexNode;
using vetra::kNoIndexNode;
using vetra::readIndexHeader;
using vetra::readIndexNode;
using vetra::readTagDirectory;
using vetra::writer::Bytes;
using vetra::writer::DbfTable;
using vetra::writer::IndexKey;
using vetra::writer::IndexKeySet;
using vetra::writer::IndexTag;

enum class Direction { leftToRight, rightToLeft };

// The leaf entries in key order, read leaf by leaf along the sibling links from the leftmost
// (or rightmost) leaf. Nullopt when a node fails to decode or the links do not hold: a leaf
// must point back at the leaf it was reached from. A walk visits each node once at most.
std::optional<std::vector<IndexEntry>> walkLeaves(std::span<const uint8_t> bytes, int64_t start,
                                                  const IndexHeader& header, Direction direction) {
    bool forward = direction == Direction::leftToRight;
    size_t budget = bytes.size() / 512 + 1;
    uint32_t offset = header.rootNode;
    std::optional<IndexNode> node = readIndexNode(bytes, start, offset, header);
    while (node && !node->isLeaf() && budget-- > 0) {
        offset = forward ? node->entries.front().child : node->entries.back().child;
        node = readIndexNode(bytes, start, offset, header);
    }
    std::vector<IndexEntry> entries;
    uint32_t previous = kNoIndexNode;
    while (node && node->isLeaf() && budget-- > 0) {
        if ((forward ? node->leftSibling : node->rightSibling) != previous) return std::nullopt;
        if (forward)
            entries.insert(entries.end(), node->entries.begin(), node->entries.end());
        else
            entries.insert(entries.end(), node->entries.rbegin(), node->entries.rend());
        uint32_t next = forward ? node->rightSibling : node->leftSibling;
        if (next == kNoIndexNode) {
            if (!forward) std::reverse(entries.begin(), entries.end());
            return entries;
        }
        previous = offset;
        offset = next;
        node = readIndexNode(bytes, start, offset, header);
    }
    return std::nullopt;
}

// Index order: without regard to case, then by the bytes, then by record number.
std::vector<IndexKey> sortedKeys(std::vector<IndexKey> keys, size_t keyLength) {
    auto upper = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    };
    for (IndexKey& key : keys)
        key.key.resize(keyLength, ' ');
    std::sort(keys.begin(), keys.end(), [&](const IndexKey& a, const IndexKey& b) {
        return std::tuple(upper(a.key), a.key, a.record) <
               std::tuple(upper(b.key), b.key, b.record);
    });
    return keys;
}

void expectEntries(const std::vector<IndexEntry>& entries, const std::vector<IndexKey>& keys) {
    ASSERT_EQ(entries.size(), keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        ASSERT_EQ(entries[i].key, keys[i].key) << "entry " << i;
        ASSERT_EQ(entries[i].record, keys[i].record) << "entry " << i;
    }
}

// Walks the index both ways and compares with the keys in index order.
void expectIndexHolds(std::span<const uint8_t> image, int64_t start, const IndexHeader& header,
                      std::vector<IndexKey> keys) {
    std::vector<IndexKey> expected = sortedKeys(std::move(keys), header.keyLength);
    auto forward = walkLeaves(image, start, header, Direction::leftToRight);
    ASSERT_TRUE(forward.has_value());
    expectEntries(*forward, expected);
    auto backward = walkLeaves(image, start, header, Direction::rightToLeft);
    ASSERT_TRUE(backward.has_value());
    expectEntries(*backward, expected);
}

// Keys of `length` characters from a small alphabet, so that neighbours share prefixes, with
// a varying number of trailing blanks.
std::vector<IndexKey> randomKeys(size_t count, size_t length, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> letter(0, 3);
    std::uniform_int_distribution<size_t> kept(0, length);
    std::vector<IndexKey> keys;
    for (size_t i = 0; i < count; ++i) {
        std::string key(kept(random), ' ');
        for (char& c : key)
            c = static_cast<char>('A' + letter(random));
        keys.push_back(IndexKey{key, static_cast<uint32_t>(i + 1)});
    }
    return keys;
}

IndexKeySet keySet(std::vector<IndexKey> keys, size_t keyLength, std::string tagName = "") {
    return IndexKeySet{std::move(tagName), "CODE", keyLength, std::move(keys)};
}

IndexHeader headerAt(std::span<const uint8_t> image, int64_t position) {
    auto header = readIndexHeader(image, position);
    EXPECT_TRUE(header.has_value());
    return header.value_or(IndexHeader{});
}

void putLittleEndian16(Bytes& image, size_t at, uint16_t value) {
    image[at] = static_cast<uint8_t>(value);
    image[at + 1] = static_cast<uint8_t>(value >> 8);
}

void putLittleEndian32(Bytes& image, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        image[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

// ---- single compact index ----------------------------------------------------------------

TEST(CompactIndex, OneLeafRoundTrip) {
    std::vector<IndexKey> keys = {{"C019", 2}, {"C000", 1}, {"C500", 3}};
    Bytes image = vetra::writer::writeCompactIndex(keySet(keys, 4));
    ASSERT_EQ(image.size(), 1024u + 512u);

    IndexHeader header = headerAt(image, 0);
    EXPECT_TRUE(header.isCompact());
    EXPECT_FALSE(header.isCompound());
    EXPECT_FALSE(header.isUnique());
    EXPECT_FALSE(header.descending);
    EXPECT_EQ(header.keyLength, 4);
    EXPECT_EQ(header.rootNode, 1024u);
    EXPECT_EQ(header.keyExpression, "CODE");

    auto root = readIndexNode(image, 0, header.rootNode, header);
    ASSERT_TRUE(root.has_value());
    EXPECT_EQ(root->attributes, 3); // root and leaf
    EXPECT_EQ(root->leftSibling, kNoIndexNode);
    EXPECT_EQ(root->rightSibling, kNoIndexNode);
    expectEntries(root->entries, sortedKeys(keys, 4));
}

TEST(CompactIndex, LeafStoresKeysWithoutSharedPrefixesAndTrailingBlanks) {
    std::vector<IndexKey> keys = {{"ABCDEF", 1}, {"ABCD", 2}, {"ABCDEG", 3},
                                  {"", 4},       {"B", 5},    {"B", 6}};
    Bytes image = vetra::writer::writeCompactIndex(keySet(keys, 6));
    const uint8_t* leaf = image.data() + 1024;
    // Record numbers up to 6 take 3 bits, counts up to the key length 6 take 3 bits each:
    // 9 bits, two bytes to an entry.
    EXPECT_EQ(leaf[20], 3);
    EXPECT_EQ(leaf[21], 3);
    EXPECT_EQ(leaf[22], 3);
    EXPECT_EQ(leaf[23], 2);
    EXPECT_EQ(leaf[14], 0x07);
    EXPECT_EQ(leaf[18], 0x07);
    EXPECT_EQ(leaf[19], 0x07);
    // In index order: "" (6 blanks), "ABCD", "ABCDEF" (shares 4), "ABCDEG" (shares 5),
    // "B", "B" (shares 1, nothing stored). Stored text: 0 + 4 + 2 + 1 + 1 + 0 bytes.
    std::string tail(reinterpret_cast<const char*>(leaf) + 512 - 8, 8);
    EXPECT_EQ(tail, "BGEFABCD"); // the first key's text ends the node
    EXPECT_EQ(leaf[12] | leaf[13] << 8, 488 - 6 * 2 - 8);

    IndexHeader header = headerAt(image, 0);
    auto root = readIndexNode(image, 0, header.rootNode, header);
    ASSERT_TRUE(root.has_value());
    expectEntries(root->entries, sortedKeys(keys, 6));
}

TEST(CompactIndex, RecordBitsFollowTheLargestRecordOfEachLeaf) {
    std::vector<IndexKey> keys = {{"A", 70000}, {"B", 1}};
    Bytes image = vetra::writer::writeCompactIndex(keySet(keys, 1));
    const uint8_t* leaf = image.data() + 1024;
    EXPECT_EQ(leaf[20], 17); // 70000 needs 17 bits
    EXPECT_EQ(leaf[21], 1);  // counts up to 1
    EXPECT_EQ(leaf[23], 3);  // 19 bits
    IndexHeader header = headerAt(image, 0);
    auto root = readIndexNode(image, 0, header.rootNode, header);
    ASSERT_TRUE(root.has_value());
    expectEntries(root->entries, sortedKeys(keys, 1));
}

TEST(CompactIndex, EmptyIndexIsOneEmptyRootLeaf) {
    Bytes image = vetra::writer::writeCompactIndex(keySet({}, 8));
    IndexHeader header = headerAt(image, 0);
    auto root = readIndexNode(image, 0, header.rootNode, header);
    ASSERT_TRUE(root.has_value());
    EXPECT_EQ(root->attributes, 3);
    EXPECT_TRUE(root->entries.empty());
    expectIndexHolds(image, 0, header, {});
}

TEST(CompactIndex, FiveThousandKeysMakeATreeWalkedBothWays) {
    std::vector<IndexKey> keys = randomKeys(5000, 12, 1);
    Bytes image = vetra::writer::writeCompactIndex(keySet(keys, 12));
    IndexHeader header = headerAt(image, 0);
    auto root = readIndexNode(image, 0, header.rootNode, header);
    ASSERT_TRUE(root.has_value());
    EXPECT_EQ(root->attributes, 1); // root, interior
    EXPECT_GT(root->entries.size(), 1u);
    expectIndexHolds(image, 0, header, keys);
}

TEST(CompactIndex, InteriorEntriesCarryEachChildsLastKey) {
    std::vector<IndexKey> keys = randomKeys(3000, 20, 2);
    Bytes image = vetra::writer::writeCompactIndex(keySet(keys, 20));
    IndexHeader header = headerAt(image, 0);
    auto root = readIndexNode(image, 0, header.rootNode, header);
    ASSERT_TRUE(root.has_value());
    for (const IndexEntry& entry : root->entries) {
        auto child = readIndexNode(image, 0, entry.child, header);
        ASSERT_TRUE(child.has_value());
        EXPECT_FALSE(child->isRoot());
        ASSERT_FALSE(child->entries.empty());
        EXPECT_EQ(child->entries.back().key, entry.key);
        EXPECT_EQ(child->entries.back().record, entry.record);
    }
}

TEST(CompactIndex, HundredThousandKeys) {
    std::vector<IndexKey> keys;
    for (uint32_t i = 0; i < 100000; ++i)
        keys.push_back(IndexKey{"K" + std::to_string((i * 7919u) % 100000u), i + 1});
    Bytes image = vetra::writer::writeCompactIndex(keySet(keys, 10));
    expectIndexHolds(image, 0, headerAt(image, 0), keys);
}

TEST(CompactIndex, DuplicateKeysAreOrderedByRecordAcrossLeaves) {
    std::vector<IndexKey> keys;
    for (uint32_t i = 0; i < 2000; ++i)
        keys.push_back(IndexKey{i % 2 == 0 ? "SAME" : "OTHER", 2000 - i});
    Bytes image = vetra::writer::writeCompactIndex(keySet(keys, 8));
    IndexHeader header = headerAt(image, 0);
    auto root = readIndexNode(image, 0, header.rootNode, header);
    ASSERT_TRUE(root.has_value());
    EXPECT_FALSE(root->isLeaf());
    expectIndexHolds(image, 0, header, keys);
}

TEST(CompactIndex, LongestKeysStillMakeATree) {
    std::vector<IndexKey> keys = randomKeys(200, 240, 3);
    Bytes image = vetra::writer::writeCompactIndex(keySet(keys, 240));
    expectIndexHolds(image, 0, headerAt(image, 0), keys);
}

TEST(CompactIndex, WriterRefusesKeysItCannotStore) {
    using vetra::writer::WriterError;
    EXPECT_THROW(vetra::writer::writeCompactIndex(keySet({}, 0)), WriterError);
    EXPECT_THROW(vetra::writer::writeCompactIndex(keySet({}, 241)), WriterError);
    EXPECT_THROW(vetra::writer::writeCompactIndex(keySet({{"TOOLONG", 1}}, 4)), WriterError);
    EXPECT_THROW(vetra::writer::writeCompactIndex(keySet({{"A", 0}}, 4)), WriterError);
}

// ---- classic index -----------------------------------------------------------------------

TEST(ClassicIndex, OneLeafRoundTrip) {
    std::vector<IndexKey> keys = {{"B", 1}, {"A", 2}, {"A", 3}};
    Bytes image = vetra::writer::writeClassicIndex(keySet(keys, 3));
    ASSERT_EQ(image.size(), 512u + 512u);
    EXPECT_EQ(image[8] | image[9] << 8, 1024); // the file size
    IndexHeader header = headerAt(image, 0);
    EXPECT_FALSE(header.isCompact());
    EXPECT_EQ(header.keyLength, 3);
    EXPECT_EQ(header.rootNode, 512u);
    EXPECT_EQ(header.keyExpression, "CODE");
    auto root = readIndexNode(image, 0, header.rootNode, header);
    ASSERT_TRUE(root.has_value());
    EXPECT_EQ(root->attributes, 3);
    expectEntries(root->entries, sortedKeys(keys, 3));
}

TEST(ClassicIndex, ManyKeysMakeATreeWalkedBothWays) {
    std::vector<IndexKey> keys = randomKeys(5000, 16, 4);
    Bytes image = vetra::writer::writeClassicIndex(keySet(keys, 16));
    IndexHeader header = headerAt(image, 0);
    auto root = readIndexNode(image, 0, header.rootNode, header);
    ASSERT_TRUE(root.has_value());
    EXPECT_EQ(root->attributes, 1);
    for (const IndexEntry& entry : root->entries)
        EXPECT_EQ(entry.record, 0u); // classic interior entries carry no record
    expectIndexHolds(image, 0, header, keys);
}

// ---- compound index ----------------------------------------------------------------------

DbfTable sitesTable(size_t rowCount) {
    DbfTable table{"SITES.DBF", {{"CODE", 'C', 4, 0}, {"LABEL", 'C', 12, 0}}, {}, {}};
    for (size_t i = 0; i < rowCount; ++i) {
        std::string code = "C" + std::to_string(1000 - i % 1000).substr(1);
        table.rows.push_back({{code, i % 3 == 0 ? "Lip" : "tongue " + std::to_string(i)}, false});
    }
    table.indexTags = {IndexTag{"code", "CODE"}, IndexTag{"LABEL", "label", true}};
    return table;
}

std::vector<IndexKey> columnKeys(const DbfTable& table, size_t column, bool upperCase) {
    std::vector<IndexKey> keys;
    for (size_t row = 0; row < table.rows.size(); ++row) {
        std::string key = table.rows[row].values[column];
        if (upperCase)
            std::transform(key.begin(), key.end(), key.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        keys.push_back(IndexKey{key, static_cast<uint32_t>(row + 1)});
    }
    return keys;
}

void expectTableIndex(std::span<const uint8_t> bytes, int64_t start, const DbfTable& table) {
    IndexHeader directory = headerAt(bytes, start);
    EXPECT_TRUE(directory.isCompound());
    EXPECT_TRUE(directory.isCompact());
    EXPECT_EQ(directory.keyLength, 10);
    auto tags = readTagDirectory(bytes, start);
    ASSERT_TRUE(tags.has_value());
    ASSERT_EQ(tags->size(), 2u);
    EXPECT_EQ((*tags)[0].name, "CODE");
    EXPECT_EQ((*tags)[1].name, "LABEL");

    auto code = findTag(*tags, "Code");
    ASSERT_TRUE(code.has_value());
    IndexHeader codeHeader = headerAt(bytes, start + *code);
    EXPECT_EQ(codeHeader.keyExpression, "CODE");
    expectIndexHolds(bytes, start, codeHeader, columnKeys(table, 0, false));

    auto label = findTag(*tags, "label ");
    ASSERT_TRUE(label.has_value());
    IndexHeader labelHeader = headerAt(bytes, start + *label);
    EXPECT_EQ(labelHeader.keyExpression, "UPPER(LABEL)");
    EXPECT_EQ(labelHeader.keyLength, 12);
    expectIndexHolds(bytes, start, labelHeader, columnKeys(table, 1, true));
}

TEST(CompoundIndex, TableTagsRoundTrip) {
    DbfTable table = sitesTable(5000);
    Bytes image = vetra::writer::writeTableIndex(table);
    expectTableIndex(image, 0, table);
}

TEST(CompoundIndex, AbsentTagsAreNotFound) {
    Bytes image = vetra::writer::writeTableIndex(sitesTable(10));
    auto tags = readTagDirectory(image, 0);
    ASSERT_TRUE(tags.has_value());
    EXPECT_FALSE(findTag(*tags, "SITE").has_value());
    EXPECT_FALSE(findTag(*tags, "COD").has_value());
    EXPECT_FALSE(findTag(*tags, "").has_value());
    EXPECT_FALSE(findTag({}, "CODE").has_value());
}

TEST(CompoundIndex, DirectoryHoldsTheMostTagsAllowed) {
    std::vector<IndexKeySet> tags;
    for (size_t i = 0; i < vetra::writer::maxIndexTags; ++i)
        tags.push_back(keySet(randomKeys(300, 6, static_cast<uint32_t>(i)), 6,
                              std::string(1, static_cast<char>('A' + i % 26)) +
                                  std::to_string(100000000 + i * 7919)));
    Bytes image = vetra::writer::writeCompoundIndex(tags);
    auto directory = readTagDirectory(image, 0);
    ASSERT_TRUE(directory.has_value());
    ASSERT_EQ(directory->size(), tags.size());
    for (const IndexKeySet& tag : tags) {
        auto offset = findTag(*directory, tag.tagName);
        ASSERT_TRUE(offset.has_value()) << tag.tagName;
        expectIndexHolds(image, 0, headerAt(image, *offset), tag.keys);
    }
    tags.push_back(keySet({}, 6, "ONEMORE"));
    EXPECT_THROW(vetra::writer::writeCompoundIndex(tags), vetra::writer::WriterError);
}

TEST(CompoundIndex, TagsAreValidatedWithTheTable) {
    using vetra::writer::validateTable;
    using vetra::writer::WriterError;
    DbfTable table = sitesTable(3);
    table.indexTags = {IndexTag{"CODE", "NOSUCH"}};
    EXPECT_THROW(validateTable(table), WriterError);
    table.indexTags = {IndexTag{"CODE", "CODE"}, IndexTag{"code", "LABEL"}};
    EXPECT_THROW(validateTable(table), WriterError);
    table.indexTags = {IndexTag{"1CODE", "CODE"}};
    EXPECT_THROW(validateTable(table), WriterError);
    table.indexTags = {IndexTag{"CODE", "CODE"}};
    table.index = Bytes{1, 2, 3};
    EXPECT_THROW(validateTable(table), WriterError);
    DbfTable numeric{"N.DBF", {{"COUNT", 'N', 4, 0}}, {}, {}, {IndexTag{"COUNT", "COUNT"}}};
    EXPECT_THROW(validateTable(numeric), WriterError);
}

// The builder stores the index as the table's index block; the engine finds it through the
// directory, and offsets inside it count from its own start.
TEST(CompoundIndex, BuilderStoresTheIndexWithTheTable) {
    DbfTable table = sitesTable(700);
    vetra::writer::MetafileBuilder builder;
    builder.addTable(table);
    vetra::testing::TempMetafiles files;
    std::string path = files.write("indexed.rmf", builder);

    char version[5] = {};
    TMetaFile metafile(path.c_str(), version, nullptr, 0);
    vetra::DirectoryEntry entry{};
    ASSERT_EQ(metafile.directory().VTi_locMetaTbl(&entry, "SITES.DBF", false), 1);
    ASSERT_GT(entry.indexPosition, 0);
    expectTableIndex(metafile.stream().bytesAt(0, metafile.stream().size()), entry.indexPosition,
                     table);
    metafile.close();
}

// The position of every node of the compound index at `start`: the tag directory and the
// nodes of each tag's tree.
std::vector<int64_t> nodePositions(std::span<const uint8_t> bytes, int64_t start) {
    std::vector<int64_t> positions{start + headerAt(bytes, start).rootNode};
    auto tags = readTagDirectory(bytes, start);
    EXPECT_TRUE(tags.has_value());
    for (const vetra::TagEntry& tag : tags.value_or(std::vector<vetra::TagEntry>{})) {
        IndexHeader header = headerAt(bytes, start + tag.headerOffset);
        std::vector<uint32_t> pending{header.rootNode};
        while (!pending.empty()) {
            uint32_t offset = pending.back();
            pending.pop_back();
            positions.push_back(start + offset);
            auto node = readIndexNode(bytes, start, offset, header);
            if (!node || node->isLeaf()) continue;
            for (const IndexEntry& entry : node->entries)
                pending.push_back(entry.child);
        }
    }
    return positions;
}

// Visual FoxPro sets bit 0x04 of a node's attributes beside the root and leaf bits; a search
// goes by those two bits alone and finds what it finds in the same index without the bit.
TEST(CompoundIndex, NodesWithFurtherAttributeBitsAreSearchedAlike) {
    DbfTable table = sitesTable(3000);
    vetra::writer::MetafileBuilder builder;
    builder.addTable(table);
    vetra::testing::TempMetafiles files;
    Bytes bytes = builder.build();
    TMetaFile plain(files.write("plain.rmf", bytes).c_str(), nullptr, nullptr, 0);
    vetra::DirectoryEntry entry{};
    ASSERT_EQ(plain.directory().VTi_locMetaTbl(&entry, "SITES.DBF", false), 1);
    int64_t start = entry.indexPosition;

    std::set<uint8_t> attributes;
    for (int64_t at : nodePositions(bytes, start)) {
        bytes[static_cast<size_t>(at)] |= 0x04;
        attributes.insert(bytes[static_cast<size_t>(at)]);
    }
    EXPECT_EQ(attributes, (std::set<uint8_t>{5, 6, 7})); // interior root, leaves, directory
    TMetaFile marked(files.write("marked.rmf", bytes).c_str(), nullptr, nullptr, 0);

    using vetra::SeekMode;
    for (const auto& row : table.rows) {
        for (auto [tag, key] : {std::pair{"CODE", row.values[0]}, {"LABEL", row.values[1]}}) {
            for (SeekMode mode : {SeekMode::Exact, SeekMode::Prefix, SeekMode::Range}) {
                int32_t expected = plain.indexSearch().VTi_indexseek(start, tag, key, mode);
                ASSERT_GT(expected, 0) << tag << " " << key;
                ASSERT_EQ(marked.indexSearch().VTi_indexseek(start, tag, key, mode), expected)
                    << tag << " " << key;
            }
        }
    }
    ASSERT_EQ(marked.indexSearch().VTi_indexseek(start, "CODE", "C000", SeekMode::Exact), 1);
    ASSERT_EQ(plain.indexSearch().VTi_indexseek(start, "CODE", "C000", SeekMode::Exact), 1);
    std::vector<int32_t> expected;
    std::vector<int32_t> found;
    EXPECT_EQ(plain.indexSearch().VTi_indexskip(1, &expected, 4000),
              vetra::IndexSearch::kEndOfIndex);
    EXPECT_EQ(marked.indexSearch().VTi_indexskip(1, &found, 4000), vetra::IndexSearch::kEndOfIndex);
    EXPECT_EQ(found, expected);
    EXPECT_EQ(marked.indexSearch().VTi_indexseek(start, "", "", SeekMode::Exact), 2);
}

TEST(CompoundIndex, ManifestNamesTheTags) {
    vetra::testing::TempMetafiles files;
    std::ofstream(files.folder() / "codes.csv") << "CODE\nC02\nC01\nC02\n";
    std::ofstream(files.folder() / "indexed.toml") << R"([[table]]
name = "CODES.DBF"
columns = [{ name = "CODE", type = "C", length = 3 }]
rows = "codes.csv"
index = [{ tag = "CODE", column = "CODE" }]
)";
    vetra::writer::MetafileBuilder builder =
        vetra::writer::readManifest(files.folder() / "indexed.toml");
    std::string path = files.write("indexed.rmf", builder);

    char version[5] = {};
    TMetaFile metafile(path.c_str(), version, nullptr, 0);
    vetra::DirectoryEntry entry{};
    ASSERT_EQ(metafile.directory().VTi_locMetaTbl(&entry, "CODES.DBF", false), 1);
    auto image = metafile.stream().bytesAt(0, metafile.stream().size());
    auto tags = readTagDirectory(image, entry.indexPosition);
    ASSERT_TRUE(tags.has_value());
    auto code = findTag(*tags, "CODE");
    ASSERT_TRUE(code.has_value());
    expectIndexHolds(image, entry.indexPosition, headerAt(image, entry.indexPosition + *code),
                     {{"C01", 2}, {"C02", 1}, {"C02", 3}});
    metafile.close();
}

TEST(CompoundIndex, ManifestRefusesMalformedTags) {
    vetra::testing::TempMetafiles files;
    std::ofstream(files.folder() / "bad.toml") << R"([[table]]
name = "CODES.DBF"
columns = [{ name = "CODE", type = "C", length = 3 }]
index = [{ tag = "CODE", column = "CODE", descending = true }]
)";
    EXPECT_THROW(vetra::writer::readManifest(files.folder() / "bad.toml"),
                 vetra::writer::WriterError);
}

// ---- damaged indexes ---------------------------------------------------------------------

// Searches compare keys upper-cased through a table: it must agree with toupper in the "C"
// locale the engine runs in, bytes from 0x80 included.
TEST(IndexKeyCase, UpperCaseAgreesWithToupperInTheCLocale) {
    for (int byte = 0; byte < 256; ++byte) {
        std::string text(1, static_cast<char>(byte));
        vetra::upperCaseAscii(text);
        EXPECT_EQ(static_cast<unsigned char>(text[0]), std::toupper(byte)) << byte;
    }
}

// A damaged tree seen through the engine: whatever the damage, a search ends, finds nothing
// it should not, and ends the same way when repeated over the parts it has kept.
TEST(DamagedIndex, SearchesThroughDamagedTreesEndAlike) {
    DbfTable table = sitesTable(3000);
    vetra::writer::MetafileBuilder builder;
    builder.addTable(table);
    vetra::testing::TempMetafiles files;
    Bytes bytes = builder.build();
    TMetaFile plain(files.write("plain.rmf", bytes).c_str(), nullptr, nullptr, 0);
    vetra::DirectoryEntry entry{};
    ASSERT_EQ(plain.directory().VTi_locMetaTbl(&entry, "SITES.DBF", false), 1);
    int64_t start = entry.indexPosition;
    auto tags = readTagDirectory(bytes, start);
    ASSERT_TRUE(tags.has_value());
    IndexHeader header = headerAt(bytes, start + *findTag(*tags, "CODE"));
    auto root = readIndexNode(bytes, start, header.rootNode, header);
    ASSERT_TRUE(root.has_value() && !root->isLeaf());

    Bytes cycle = bytes; // the last leaf made an interior node whose one child is the root
    size_t lastLeaf = static_cast<size_t>(start) + root->entries.back().child;
    putLittleEndian16(cycle, lastLeaf, 0);
    putLittleEndian16(cycle, lastLeaf + 2, 1);
    std::fill_n(cycle.begin() + static_cast<std::ptrdiff_t>(lastLeaf) + 12, header.keyLength, '~');
    size_t child = lastLeaf + 12 + header.keyLength + 4;
    for (size_t i = 0; i < 4; ++i)
        cycle[child + i] = static_cast<uint8_t>(header.rootNode >> (24 - 8 * i));
    Bytes unlinked = bytes; // the first leaf's right sibling points outside the image
    putLittleEndian32(unlinked, static_cast<size_t>(start) + root->entries.front().child + 8,
                      0x7FFFFFF0);
    for (const Bytes& damaged : {cycle, unlinked}) {
        TMetaFile metafile(files.write("damaged.rmf", damaged).c_str(), nullptr, nullptr, 0);
        vetra::IndexSearch& search = metafile.indexSearch();
        for (int round = 0; round < 2; ++round) {
            for (const auto& row : table.rows) {
                int32_t found =
                    search.VTi_indexseek(start, "CODE", row.values[0], vetra::SeekMode::Exact);
                int32_t expected = plain.indexSearch().VTi_indexseek(start, "CODE", row.values[0],
                                                                     vetra::SeekMode::Exact);
                ASSERT_TRUE(found == expected || found == vetra::IndexSearch::kNotFound)
                    << row.values[0];
            }
            EXPECT_EQ(search.VTi_indexseek(start, "CODE", "~", vetra::SeekMode::Exact),
                      vetra::IndexSearch::kNotFound);
            search.VTi_indexseek(start, "CODE", "C000", vetra::SeekMode::AtOrAfter);
            std::vector<int32_t> records;
            int32_t skipped = search.VTi_indexskip(1, &records, 4000);
            EXPECT_TRUE(skipped == vetra::IndexSearch::kEndOfIndex ||
                        skipped == vetra::IndexSearch::kNoIndex);
            EXPECT_LE(records.size(), table.rows.size());
        }
    }
}

TEST(DamagedIndex, TruncatedImagesAreRefused) {
    Bytes compact = vetra::writer::writeCompactIndex(keySet(randomKeys(50, 6, 5), 6));
    for (size_t size : {0u, 15u, 511u, 512u, 1023u})
        EXPECT_FALSE(readIndexHeader(std::span(compact).first(size), 0).has_value()) << size;
    IndexHeader header = headerAt(compact, 0);
    for (size_t size : {1024u, 1100u, 1535u})
        EXPECT_FALSE(readIndexNode(std::span(compact).first(size), 0, 1024, header)) << size;

    Bytes classic = vetra::writer::writeClassicIndex(keySet({{"A", 1}}, 6));
    EXPECT_FALSE(readIndexHeader(std::span(classic).first(511), 0).has_value());
    EXPECT_TRUE(readIndexHeader(std::span(classic).first(512), 0).has_value());
    EXPECT_FALSE(readIndexNode(std::span(classic).first(1000), 0, 512, headerAt(classic, 0)));
}

TEST(DamagedIndex, PositionsOutsideTheImageAreRefused) {
    Bytes image = vetra::writer::writeCompactIndex(keySet(randomKeys(50, 6, 6), 6));
    IndexHeader header = headerAt(image, 0);
    EXPECT_FALSE(readIndexHeader(image, -1).has_value());
    EXPECT_FALSE(readIndexHeader(image, static_cast<int64_t>(image.size())).has_value());
    EXPECT_FALSE(readIndexHeader(image, INT64_MAX).has_value());
    for (uint32_t offset :
         {uint32_t(image.size()), uint32_t(image.size() - 511), 0xFFFFFFFFu, 0x7FFFFFFFu})
        EXPECT_FALSE(readIndexNode(image, 0, offset, header).has_value()) << offset;
    EXPECT_FALSE(readIndexNode(image, -512, 1536, header).has_value());
    EXPECT_FALSE(readIndexNode(image, INT64_MAX, 0, header).has_value());
    EXPECT_FALSE(readIndexNode(image, static_cast<int64_t>(image.size()) + 1, 0, header));
    EXPECT_FALSE(readTagDirectory(image, INT64_MAX).has_value());
}

TEST(DamagedIndex, HeadersWithImpossibleKeyLengthsAreRefused) {
    Bytes image = vetra::writer::writeCompactIndex(keySet({{"A", 1}}, 6));
    for (uint16_t length : {0, 243, 0xFFFF}) {
        Bytes damaged = image;
        putLittleEndian16(damaged, 12, length);
        EXPECT_FALSE(readIndexHeader(damaged, 0).has_value()) << length;
    }
    Bytes compoundClassic = vetra::writer::writeClassicIndex(keySet({{"A", 1}}, 6));
    compoundClassic[14] = vetra::kIndexCompound;
    EXPECT_FALSE(readIndexHeader(compoundClassic, 0).has_value());
}

TEST(DamagedIndex, KeyCountsBeyondTheNodeAreRefused) {
    Bytes compact = vetra::writer::writeCompactIndex(keySet(randomKeys(3000, 10, 7), 10));
    IndexHeader header = headerAt(compact, 0);
    uint32_t root = header.rootNode;
    uint32_t leaf = 1024;
    for (uint16_t count : {uint16_t(0xFFFF), uint16_t(245), uint16_t(28)}) {
        Bytes damaged = compact;
        putLittleEndian16(damaged, root + 2, count); // 28 entries of 18 bytes pass 500
        EXPECT_FALSE(readIndexNode(damaged, 0, root, header).has_value()) << count;
    }
    for (uint16_t count : {uint16_t(0xFFFF), uint16_t(300)}) {
        Bytes damaged = compact;
        putLittleEndian16(damaged, leaf + 2, count);
        EXPECT_FALSE(readIndexNode(damaged, 0, leaf, header).has_value()) << count;
    }
    Bytes empty = compact;
    putLittleEndian16(empty, root + 2, 0); // an interior node without children
    EXPECT_FALSE(readIndexNode(empty, 0, root, header).has_value());

    Bytes classic = vetra::writer::writeClassicIndex(keySet({{"A", 1}}, 6));
    putLittleEndian16(classic, 512 + 2, 51); // 51 entries of 10 bytes pass 500
    EXPECT_FALSE(readIndexNode(classic, 0, 512, headerAt(classic, 0)).has_value());
}

// A leaf of three keys with the given layout bytes (offsets 14 to 23) replaced.
std::optional<IndexNode> leafWithLayout(uint32_t recordMask, uint8_t duplicateMask,
                                        uint8_t trailingMask, uint8_t recordBits,
                                        uint8_t duplicateBits, uint8_t trailingBits,
                                        uint8_t entryBytes) {
    Bytes image = vetra::writer::writeCompactIndex(keySet({{"AB", 1}, {"AC", 2}, {"B", 3}}, 4));
    putLittleEndian32(image, 1024 + 14, recordMask);
    image[1024 + 18] = duplicateMask;
    image[1024 + 19] = trailingMask;
    image[1024 + 20] = recordBits;
    image[1024 + 21] = duplicateBits;
    image[1024 + 22] = trailingBits;
    image[1024 + 23] = entryBytes;
    return readIndexNode(image, 0, 1024, headerAt(image, 0));
}

TEST(DamagedIndex, LeafBitWidthsAndMasksMustAgree) {
    // As written: 2 record bits, 3 bits for each count, one byte an entry.
    ASSERT_TRUE(leafWithLayout(0x3, 0x7, 0x7, 2, 3, 3, 1).has_value());
    EXPECT_TRUE(leafWithLayout(0x3, 0x7, 0x7, 2, 3, 3, 1)->entries.size() == 3);
    EXPECT_FALSE(leafWithLayout(0x3, 0x7, 0x7, 0, 3, 3, 1).has_value());          // no bits
    EXPECT_FALSE(leafWithLayout(0xFFFFFFFF, 0x7, 0x7, 33, 3, 3, 6).has_value());  // over 32
    EXPECT_FALSE(leafWithLayout(0x3, 0xFF, 0x7, 2, 9, 3, 2).has_value());         // over 8
    EXPECT_FALSE(leafWithLayout(0x3, 0x7, 0xFF, 2, 3, 200, 2).has_value());       // over 8
    EXPECT_FALSE(leafWithLayout(0x7, 0x7, 0x7, 2, 3, 3, 1).has_value());          // record mask
    EXPECT_FALSE(leafWithLayout(0x3, 0x3, 0x7, 2, 3, 3, 1).has_value());          // dup mask
    EXPECT_FALSE(leafWithLayout(0x3, 0x7, 0x6, 2, 3, 3, 1).has_value());          // trail mask
    EXPECT_FALSE(leafWithLayout(0x3, 0x7, 0x7, 2, 3, 3, 0).has_value());          // no bytes
    EXPECT_FALSE(leafWithLayout(0xFFFF, 0x7, 0x7, 16, 3, 3, 2).has_value());      // 22 bits in 2
    EXPECT_FALSE(leafWithLayout(0x3, 0x7, 0x7, 2, 3, 3, 9).has_value());          // over 8 bytes
    EXPECT_TRUE(leafWithLayout(0xFFFFFFFF, 0xFF, 0xFF, 32, 8, 8, 6).has_value()); // widest
}

TEST(DamagedIndex, LeafCountsThatOverrunTheKeyAreRefused) {
    Bytes image = vetra::writer::writeCompactIndex(keySet({{"AB", 1}, {"AC", 2}}, 4));
    IndexHeader header = headerAt(image, 0);
    // One byte an entry: record in bits 0-1, duplicates in 2-4, trailing in 5-7.
    Bytes firstShares = image;
    firstShares[1024 + 24] = static_cast<uint8_t>(1 | 1 << 2); // the first key shares a byte
    EXPECT_FALSE(readIndexNode(firstShares, 0, 1024, header).has_value());
    Bytes tooMany = image;
    tooMany[1024 + 25] = static_cast<uint8_t>(2 | 3 << 2 | 2 << 5); // 3 + 2 counts of a 4-byte key
    EXPECT_FALSE(readIndexNode(tooMany, 0, 1024, header).has_value());
}

TEST(DamagedIndex, KeyTextsMayNotRunIntoTheEntries) {
    // 60 keys of 8 distinct bytes each take 60 + 480 bytes, more than the leaf holds: written
    // as two leaves. Claiming all 60 in the first makes its texts overrun its entries.
    std::vector<IndexKey> keys;
    for (uint32_t i = 0; i < 60; ++i)
        keys.push_back(
            IndexKey{std::string(1, char('A' + i / 26)) + char('A' + i % 26) + "123456", i + 1});
    Bytes image = vetra::writer::writeCompactIndex(keySet(keys, 8));
    IndexHeader header = headerAt(image, 0);
    auto root = readIndexNode(image, 0, header.rootNode, header);
    ASSERT_TRUE(root.has_value());
    ASSERT_FALSE(root->isLeaf());
    uint32_t firstLeaf = root->entries.front().child;
    Bytes damaged = image;
    putLittleEndian16(damaged, firstLeaf + 2, 60);
    EXPECT_FALSE(readIndexNode(damaged, 0, firstLeaf, header).has_value());
}

TEST(DamagedIndex, NodesLinkedToThemselvesAreRefused) {
    Bytes image = vetra::writer::writeCompactIndex(keySet(randomKeys(3000, 10, 8), 10));
    IndexHeader header = headerAt(image, 0);
    Bytes ownSibling = image;
    putLittleEndian32(ownSibling, 1024 + 8, 1024);
    EXPECT_FALSE(readIndexNode(ownSibling, 0, 1024, header).has_value());
    Bytes ownChild = image;
    size_t firstChild = header.rootNode + 12 + header.keyLength + 4;
    ownChild[firstChild] = static_cast<uint8_t>(header.rootNode >> 24);
    ownChild[firstChild + 1] = static_cast<uint8_t>(header.rootNode >> 16);
    ownChild[firstChild + 2] = static_cast<uint8_t>(header.rootNode >> 8);
    ownChild[firstChild + 3] = static_cast<uint8_t>(header.rootNode);
    EXPECT_FALSE(readIndexNode(ownChild, 0, header.rootNode, header).has_value());
}

TEST(DamagedIndex, TagDirectoryMustBeACompoundLeaf) {
    Bytes single = vetra::writer::writeCompactIndex(keySet({{"A", 1}}, 10));
    EXPECT_FALSE(readTagDirectory(single, 0).has_value()); // not compound
    Bytes image = vetra::writer::writeTableIndex(sitesTable(10));
    Bytes interior = image;
    putLittleEndian16(interior, 1024, 1); // the directory root claims to be interior
    EXPECT_FALSE(readTagDirectory(interior, 0).has_value());
    Bytes outside = image;
    putLittleEndian32(outside, 0, static_cast<uint32_t>(image.size()));
    EXPECT_FALSE(readTagDirectory(outside, 0).has_value());
}

// Every byte of a small compound index set to values that break it in different ways: the
// decoder may accept or refuse each image, but reads nothing outside it (the sanitizers
// check that) and hands back keys of the header's length only.
TEST(DamagedIndex, EveryByteDamagedIsDecodedSafely) {
    Bytes image = vetra::writer::writeTableIndex(sitesTable(40));
    size_t decoded = 0;
    for (size_t at = 0; at < image.size(); ++at) {
        for (uint8_t value :
             {uint8_t{0x00}, uint8_t{0xFF}, uint8_t{0x21}, uint8_t(image[at] ^ 0x80)}) {
            Bytes damaged = image;
            damaged[at] = value;
            auto tags = readTagDirectory(damaged, 0);
            if (!tags) continue;
            for (const vetra::TagEntry& tag : *tags) {
                auto header = readIndexHeader(damaged, tag.headerOffset);
                if (!header) continue;
                auto entries = walkLeaves(damaged, 0, *header, Direction::leftToRight);
                if (!entries) continue;
                ++decoded;
                for (const IndexEntry& entry : *entries)
                    ASSERT_EQ(entry.key.size(), header->keyLength);
            }
        }
    }
    EXPECT_GT(decoded, 0u);
}

} // namespace
