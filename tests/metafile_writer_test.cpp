// Checks the metafile writer by decoding the bytes it writes: offsets, lengths and numbers in
// both byte orders, read here independently of the engine.
#include "tests/support/file_contents.h"
#include "tests/support/scratch_directory.h"
#include "tools/metafile_writer/breakage.h"
#include "tools/metafile_writer/csv_reader.h"
#include "tools/metafile_writer/dbf_image_writer.h"
#include "tools/metafile_writer/internal_tables.h"
#include "tools/metafile_writer/manifest_reader.h"
#include "tools/metafile_writer/memo_file_writer.h"
#include "tools/metafile_writer/metafile_builder.h"
#include "tools/metafile_writer/raw_table.h"
#include "tools/metafile_writer/writer_error.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

using namespace vetra::writer;
namespace fs = std::filesystem;

// ---- Decoding helpers -------------------------------------------------------------------

std::uint32_t littleEndian16(const Bytes& bytes, std::size_t at) {
    return bytes.at(at) | bytes.at(at + 1) << 8;
}

std::uint32_t littleEndian32(const Bytes& bytes, std::size_t at) {
    return littleEndian16(bytes, at) | littleEndian16(bytes, at + 2) << 16;
}

std::uint32_t bigEndian16(const Bytes& bytes, std::size_t at) {
    return bytes.at(at) << 8 | bytes.at(at + 1);
}

std::uint32_t bigEndian32(const Bytes& bytes, std::size_t at) {
    return bigEndian16(bytes, at) << 16 | bigEndian16(bytes, at + 2);
}

std::string textAt(const Bytes& bytes, std::size_t at, std::size_t length) {
    EXPECT_LE(at + length, bytes.size());
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       bytes.begin() +
                           static_cast<std::ptrdiff_t>(std::min(at + length, bytes.size())));
}

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

struct DbfHeader {
    std::uint8_t signature;
    std::uint32_t recordCount;
    std::uint32_t headerLength;
    std::uint32_t recordLength;
    std::uint8_t flags;
};

DbfHeader dbfHeader(const Bytes& bytes, std::size_t at = 0) {
    return DbfHeader{bytes.at(at), littleEndian32(bytes, at + 4), littleEndian16(bytes, at + 8),
                     littleEndian16(bytes, at + 10), bytes.at(at + 28)};
}

std::size_t dbfImageSize(const DbfHeader& header) {
    return header.headerLength + std::size_t{header.recordCount} * header.recordLength + 1;
}

// The text of field `offset`/`length` of record `index` of the DBF image at `at`.
std::string dbfField(const Bytes& bytes, std::size_t index, std::size_t offset, std::size_t length,
                     std::size_t at = 0) {
    DbfHeader header = dbfHeader(bytes, at);
    return textAt(bytes, at + header.headerLength + index * header.recordLength + offset, length);
}

std::uint32_t blockNumber(const std::string& field) {
    return field.find_first_not_of(' ') == std::string::npos
               ? 0
               : static_cast<std::uint32_t>(std::stoul(field));
}

struct MemoBlock {
    std::uint32_t type;
    Bytes content;
};

// Block `number` of the memo file that starts at `fileStart`.
MemoBlock memoBlock(const Bytes& bytes, std::uint32_t number, std::size_t fileStart = 0,
                    std::size_t blockSize = 64) {
    std::size_t at = fileStart + number * blockSize;
    std::uint32_t length = bigEndian32(bytes, at + 4);
    EXPECT_LE(at + 8 + length, bytes.size());
    auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(at + 8);
    return MemoBlock{bigEndian32(bytes, at), Bytes(begin, begin + length)};
}

struct DirectoryRecord {
    std::string name;
    std::uint32_t records, recordLength, data, memo, index;
};

std::vector<DirectoryRecord> directoryOf(const Bytes& metafile) {
    DbfHeader header = dbfHeader(metafile, 512);
    std::vector<DirectoryRecord> records;
    for (std::size_t i = 0; i < header.recordCount; ++i) {
        auto field = [&](std::size_t offset, std::size_t length) {
            return dbfField(metafile, i, offset, length, 512);
        };
        std::string name = field(1, 12);
        name.erase(name.find_last_not_of(' ') + 1);
        records.push_back({name, blockNumber(field(14, 6)), blockNumber(field(20, 6)),
                           blockNumber(field(26, 10)), blockNumber(field(36, 10)),
                           blockNumber(field(46, 10))});
    }
    return records;
}

std::size_t memoBaseOffset(const Bytes& metafile) {
    return 512 + dbfImageSize(dbfHeader(metafile, 512));
}

DirectoryRecord entryNamed(const Bytes& metafile, const std::string& name) {
    for (const DirectoryRecord& record : directoryOf(metafile))
        if (record.name == name) return record;
    ADD_FAILURE() << name << " is not in the directory";
    return {};
}

// The content of a block of the memo base.
Bytes baseBlock(const Bytes& metafile, std::uint32_t number) {
    return memoBlock(metafile, number, memoBaseOffset(metafile)).content;
}

std::vector<std::string> directoryNames(const Bytes& metafile) {
    std::vector<std::string> names;
    for (const DirectoryRecord& record : directoryOf(metafile))
        names.push_back(record.name);
    return names;
}

DbfTable sitesTable() {
    return DbfTable{"sites.dbf",
                    {{"code", 'C', 4, 0}, {"COUNT", 'N', 5, 0}, {"NOTE", 'M', 10, 0}},
                    {{{"C000", "12", "Upper lip"}, false},
                     {{"C019", "7", ""}, true},
                     {{"C02", "", "Tongue"}, false}},
                    {}};
}

Bytes sampleMetafile(MetafileOptions options = {}) {
    MetafileBuilder builder(std::move(options));
    builder.addTable(sitesTable());
    builder.addTable(makeTextTable("CODES.ASC", "A1\nB22\n"));
    return builder.build();
}

const std::vector<std::string> internalNames = {"_RE_EDSE.DBF", "_RE_BUFF.DBF", "_RE_COMP.DBF",
                                                "_RE_CEDI.DBF", "_RE_DDIC.DBF", "_RE_ERMS.DBF"};

// ---- The prefix ---------------------------------------------------------------------------

TEST(MetafilePrefix, HoldsTheVersionTextAtBytes41To44) {
    Bytes metafile = sampleMetafile();
    EXPECT_EQ(textAt(metafile, 41, 4), "4.00");
    EXPECT_EQ(textAt(metafile, 0, 14), "VETRA metafile");
    EXPECT_EQ(textAt(metafile, 14, 27), std::string(27, ' '));
    EXPECT_TRUE(std::all_of(metafile.begin() + 45, metafile.begin() + 512,
                            [](std::uint8_t b) { return b == 0; }));
}

TEST(MetafilePrefix, RefusesAVersionTextThatIsNotFourCharacters) {
    MetafileOptions options;
    options.version = "4.0";
    EXPECT_THROW(sampleMetafile(options), WriterError);
}

// ---- The directory and its memo base -----------------------------------------------------

TEST(Directory, IsADbfImageAt512WithSignatureF5And56ByteRecords) {
    Bytes metafile = sampleMetafile();
    DbfHeader header = dbfHeader(metafile, 512);
    EXPECT_EQ(header.signature, 0xF5);
    EXPECT_EQ(header.recordLength, 56u);
    EXPECT_EQ(header.headerLength, 257u);
    EXPECT_EQ(header.recordCount, 8u);
    EXPECT_EQ(header.flags, 0x02);
    EXPECT_EQ(metafile.at(512 + 256), 0x0D);
    EXPECT_EQ(metafile.at(512 + dbfImageSize(header) - 1), 0x1A);
}

TEST(Directory, DeclaresItsSevenFieldsAtTheirOffsets) {
    Bytes metafile = sampleMetafile();
    struct Expected {
        const char* name;
        char type;
        std::uint32_t offset, length;
    };
    const Expected fields[] = {{"NAME", 'C', 1, 12},    {"FILLER", 'C', 13, 1},
                               {"RECORDS", 'N', 14, 6}, {"RECLEN", 'N', 20, 6},
                               {"DATA", 'M', 26, 10},   {"MEMO", 'M', 36, 10},
                               {"INDEX", 'M', 46, 10}};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        std::size_t at = 512 + 32 + 32 * i;
        std::string name = fields[i].name;
        name.resize(11, '\0');
        EXPECT_EQ(textAt(metafile, at, 11), name);
        EXPECT_EQ(metafile.at(at + 11), fields[i].type);
        EXPECT_EQ(littleEndian32(metafile, at + 12), fields[i].offset);
        EXPECT_EQ(metafile.at(at + 16), fields[i].length);
    }
}

TEST(Directory, ListsTheInternalTablesFirstThenTheAuthorsInTheOrderAdded) {
    std::vector<std::string> expected = internalNames;
    expected.insert(expected.end(), {"SITES.DBF", "CODES.ASC"});
    EXPECT_EQ(directoryNames(sampleMetafile()), expected);
}

TEST(Directory, RecordsTextIsRightAlignedAndTheFillerBlank) {
    Bytes metafile = sampleMetafile();
    EXPECT_EQ(dbfField(metafile, 6, 1, 12, 512), "SITES.DBF   ");
    EXPECT_EQ(dbfField(metafile, 6, 13, 1, 512), " ");
    EXPECT_EQ(dbfField(metafile, 6, 14, 6, 512), "     3");
    EXPECT_EQ(dbfField(metafile, 6, 20, 6, 512), "    20");
    EXPECT_EQ(dbfField(metafile, 7, 46, 10, 512), std::string(10, ' '));
}

TEST(Directory, MemoBaseFollowsTheDirectoryWithBigEndianHeader) {
    Bytes metafile = sampleMetafile();
    std::size_t base = memoBaseOffset(metafile);
    std::size_t baseSize = metafile.size() - base;
    EXPECT_EQ(bigEndian16(metafile, base + 6), 64u);
    EXPECT_EQ(bigEndian32(metafile, base), baseSize / 64);
    EXPECT_EQ(baseSize % 64, 0u);
}

TEST(Directory, DataBlocksHoldTheTableImagesWithTheirLengths) {
    Bytes metafile = sampleMetafile();
    std::size_t base = memoBaseOffset(metafile);
    for (const DirectoryRecord& record : directoryOf(metafile)) {
        if (record.name == "CODES.ASC") continue;
        SCOPED_TRACE(record.name);
        ASSERT_GE(record.data, 8u);
        std::size_t blockStart = base + record.data * 64;
        DbfHeader header = dbfHeader(metafile, blockStart + 8);
        EXPECT_EQ(bigEndian32(metafile, blockStart), 0u);
        EXPECT_EQ(bigEndian32(metafile, blockStart + 4), dbfImageSize(header));
        EXPECT_EQ(header.recordCount, record.records);
        EXPECT_EQ(header.recordLength, record.recordLength);
    }
}

TEST(Directory, BlocksAreNumberedInTheOrderOfTheEntriesFromBlockEight) {
    Bytes metafile = sampleMetafile();
    std::vector<DirectoryRecord> records = directoryOf(metafile);
    EXPECT_EQ(records.front().data, 8u);
    std::uint32_t previous = 0;
    for (const DirectoryRecord& record : records)
        for (std::uint32_t block : {record.data, record.memo, record.index})
            if (block != 0) {
                EXPECT_GT(block, previous) << record.name;
                previous = block;
            }
}

TEST(Directory, IndexImageIsStoredAsItsOwnBlock) {
    MetafileBuilder builder;
    DbfTable table = sitesTable();
    table.index = bytesOf("an index image");
    builder.addTable(table);
    Bytes metafile = builder.build();
    DirectoryRecord sites = entryNamed(metafile, "SITES.DBF");
    ASSERT_NE(sites.index, 0u);
    EXPECT_EQ(baseBlock(metafile, sites.index), bytesOf("an index image"));
    EXPECT_EQ(entryNamed(metafile, "_RE_BUFF.DBF").index, 0u);
}

// ---- Table images --------------------------------------------------------------------------

TEST(DbfImage, HeaderCarriesCountsLengthsAndAFixedDate) {
    DbfImage image = writeDbfImage(sitesTable(), MemoSettings{});
    DbfHeader header = dbfHeader(image.table);
    EXPECT_EQ(header.signature, 0xF5);
    EXPECT_EQ(header.flags, 0x02);
    EXPECT_EQ(header.recordCount, 3u);
    EXPECT_EQ(header.headerLength, 32u + 3 * 32 + 1);
    EXPECT_EQ(header.recordLength, 1u + 4 + 5 + 10);
    EXPECT_EQ(image.table.at(1), 126);
    EXPECT_EQ(image.table.at(2), 1);
    EXPECT_EQ(image.table.at(3), 1);
    EXPECT_EQ(image.table.at(header.headerLength - 1), 0x0D);
    EXPECT_EQ(image.table.size(), dbfImageSize(header));
    EXPECT_EQ(image.table.back(), 0x1A);
}

TEST(DbfImage, FieldDescriptorsAreUpperCaseWithOffsetsFromTheDeletionByte) {
    DbfImage image = writeDbfImage(sitesTable(), MemoSettings{});
    EXPECT_EQ(textAt(image.table, 32, 11), std::string("CODE") + std::string(7, '\0'));
    EXPECT_EQ(littleEndian32(image.table, 32 + 12), 1u);
    EXPECT_EQ(image.table.at(64 + 11), 'N');
    EXPECT_EQ(littleEndian32(image.table, 64 + 12), 5u);
    EXPECT_EQ(image.table.at(64 + 16), 5);
    EXPECT_EQ(littleEndian32(image.table, 96 + 12), 10u);
}

TEST(DbfImage, CharactersAreLeftAlignedAndNumbersRightAligned) {
    DbfImage image = writeDbfImage(sitesTable(), MemoSettings{});
    EXPECT_EQ(dbfField(image.table, 0, 0, 10), " C000   12");
    EXPECT_EQ(dbfField(image.table, 1, 0, 1), "*");
    EXPECT_EQ(dbfField(image.table, 2, 1, 9), "C02      ");
}

TEST(DbfImage, MemoFieldPointsAtABlockOfItsOwnMemoFile) {
    DbfImage image = writeDbfImage(sitesTable(), MemoSettings{});
    std::uint32_t first = blockNumber(dbfField(image.table, 0, 10, 10));
    std::uint32_t third = blockNumber(dbfField(image.table, 2, 10, 10));
    EXPECT_EQ(dbfField(image.table, 0, 10, 10), "         8");
    EXPECT_EQ(dbfField(image.table, 1, 10, 10), std::string(10, ' '));
    EXPECT_EQ(third, 9u);
    MemoBlock block = memoBlock(image.memoFile, first);
    EXPECT_EQ(block.type, 1u);
    EXPECT_EQ(block.content, bytesOf("Upper lip"));
    EXPECT_EQ(memoBlock(image.memoFile, third).content, bytesOf("Tongue"));
    EXPECT_EQ(bigEndian32(image.memoFile, 0), 10u);
    EXPECT_EQ(image.memoFile.size(), 10u * 64);
}

TEST(DbfImage, TableWithoutMemoColumnsHasSignature03AndNoMemoFile) {
    DbfTable table{"PLAIN.DBF", {{"CODE", 'C', 2, 0}}, {{{"AB"}, false}}, {}};
    DbfImage image = writeDbfImage(table, MemoSettings{});
    EXPECT_EQ(image.table.at(0), 0x03);
    EXPECT_EQ(image.table.at(28), 0);
    EXPECT_TRUE(image.memoFile.empty());
}

TEST(DbfImage, EmbeddedTableKeepsItsMemoFileInTheMemoBlock) {
    Bytes metafile = sampleMetafile();
    DirectoryRecord sites = entryNamed(metafile, "SITES.DBF");
    Bytes table = baseBlock(metafile, sites.data);
    Bytes memo = baseBlock(metafile, sites.memo);
    std::uint32_t noteBlock = blockNumber(dbfField(table, 0, 10, 10));
    EXPECT_EQ(memoBlock(memo, noteBlock).content, bytesOf("Upper lip"));
}

// ---- Memo files ------------------------------------------------------------------------------

TEST(MemoFile, BlocksStartAfterTheHeaderAndArePaddedToTheBlockSize) {
    MemoFileWriter writer(32);
    EXPECT_EQ(writer.append("x", MemoBlockType::text), 16u);
    EXPECT_EQ(writer.append(std::string(30, 'y'), MemoBlockType::binary), 17u);
    EXPECT_EQ(writer.append("z", MemoBlockType::text), 19u);
    Bytes file = writer.image();
    EXPECT_EQ(file.size(), 20u * 32);
    EXPECT_EQ(bigEndian32(file, 0), 20u);
    EXPECT_EQ(littleEndian16(file, 4), 0u);
    EXPECT_EQ(bigEndian16(file, 6), 32u);
    EXPECT_EQ(bigEndian32(file, 17 * 32), 0u);
    EXPECT_EQ(bigEndian32(file, 17 * 32 + 4), 30u);
    EXPECT_EQ(file.at(16 * 32 + 9), 0);
}

TEST(MemoFile, RefusesBlockSizesThatDoNotDivideTheHeader) {
    EXPECT_THROW(MemoFileWriter(100), WriterError);
    EXPECT_THROW(MemoFileWriter(4), WriterError);
    EXPECT_NO_THROW(MemoFileWriter(512));
}

TEST(MemoFile, DirectoryBlockSizeIsAnOption) {
    MetafileOptions options;
    options.directoryBlockSize = 128;
    Bytes metafile = sampleMetafile(options);
    EXPECT_EQ(bigEndian16(metafile, memoBaseOffset(metafile) + 6), 128u);
    EXPECT_EQ(directoryOf(metafile).front().data, 4u);
}

// ---- Internal tables -------------------------------------------------------------------------

TEST(InternalTables, HaveTheirFixedGeometry) {
    struct Expected {
        std::string name;
        std::uint32_t headerLength, recordLength;
        std::uint8_t signature;
    };
    const Expected tables[] = {{"_RE_EDSE.DBF", 97, 61, 0xF5},   {"_RE_BUFF.DBF", 257, 29, 0x03},
                               {"_RE_COMP.DBF", 225, 183, 0xF5}, {"_RE_CEDI.DBF", 225, 95, 0xF5},
                               {"_RE_DDIC.DBF", 449, 173, 0x03}, {"_RE_ERMS.DBF", 97, 259, 0x03}};
    Bytes metafile = sampleMetafile();
    for (const Expected& expected : tables) {
        SCOPED_TRACE(expected.name);
        DirectoryRecord entry = entryNamed(metafile, expected.name);
        Bytes image = baseBlock(metafile, entry.data);
        DbfHeader header = dbfHeader(image);
        EXPECT_EQ(header.headerLength, expected.headerLength);
        EXPECT_EQ(header.recordLength, expected.recordLength);
        EXPECT_EQ(header.signature, expected.signature);
        EXPECT_EQ(header.recordCount, 0u);
        EXPECT_EQ(image.size(), expected.headerLength + 1);
        EXPECT_EQ(image.at(expected.headerLength - 1), 0x0D);
        EXPECT_EQ(image.back(), 0x1A);
        EXPECT_EQ(entry.memo != 0, expected.signature == 0xF5);
    }
}

std::uint32_t fieldOffset(const std::vector<DbfColumn>& columns, const std::string& name) {
    std::uint32_t offset = 1;
    for (const DbfColumn& column : columns) {
        if (column.name == name) return offset;
        offset += static_cast<std::uint32_t>(column.length);
    }
    return 0;
}

TEST(InternalTables, MemoFieldsSitWhereReadersLookForThem) {
    EXPECT_EQ(fieldOffset(componentColumns, "COMPONENTS"), 153u);
    EXPECT_EQ(fieldOffset(componentColumns, "DESCRIPT"), 163u);
    EXPECT_EQ(fieldOffset(compiledEditColumns, "DESCRIPT"), 65u);
    EXPECT_EQ(fieldOffset(compiledEditColumns, "FIELDS"), 85u);
    EXPECT_EQ(fieldOffset(dataDictionaryColumns, "TNAME"), 127u);
    EXPECT_EQ(fieldOffset(dataDictionaryColumns, "FLAG"), 152u);
    EXPECT_EQ(componentColumns.size(), 6u);
    EXPECT_EQ(dataDictionaryColumns.size(), 13u);
}

TEST(InternalTables, TakeRowsAddedByName) {
    MetafileBuilder builder;
    builder.addInternalRow("_re_edse.dbf", DbfRow{{"Default", "EDIT1\nEDIT2"}, false});
    Bytes metafile = builder.build();
    DirectoryRecord entry = entryNamed(metafile, "_RE_EDSE.DBF");
    EXPECT_EQ(entry.records, 1u);
    Bytes table = baseBlock(metafile, entry.data);
    EXPECT_EQ(dbfField(table, 0, 1, 7), "Default");
    Bytes memo = baseBlock(metafile, entry.memo);
    EXPECT_EQ(memoBlock(memo, blockNumber(dbfField(table, 0, 51, 10))).content,
              bytesOf("EDIT1\nEDIT2"));
}

TEST(InternalTables, RefuseUnknownTablesAndBadRows) {
    MetafileBuilder builder;
    EXPECT_THROW(builder.addInternalRow("_RE_NONE.DBF", DbfRow{{"x"}, false}), WriterError);
    EXPECT_THROW(builder.addInternalRow("_RE_EDSE.DBF", DbfRow{{"only one value"}, false}),
                 WriterError);
    EXPECT_THROW(builder.addTable(DbfTable{"_RE_ERMS.DBF", {{"A", 'C', 1, 0}}, {}, {}}),
                 WriterError);
}

// ---- Raw tables ------------------------------------------------------------------------------

TEST(RawTables, TextTableCountsLinesAndTheLongestLine) {
    RawTable table = makeTextTable("CODES.ASC", "A1\r\nB22\nC");
    EXPECT_EQ(table.recordCount, 3u);
    EXPECT_EQ(table.recordLength, 3u);
    EXPECT_EQ(table.data, bytesOf("A1\nB22\nC\n"));
}

TEST(RawTables, DataBlockIsTheRawBytesAndTheDirectoryTheAuthorsNumbers) {
    MetafileBuilder builder;
    builder.addTable(makeTextTable("CODES.ASC", "A1\nB22\n"));
    builder.addTable(RawTable{"PAIRS.BIN", 16, 3, bytesOf("abcdef")});
    Bytes metafile = builder.build();
    DirectoryRecord codes = entryNamed(metafile, "CODES.ASC");
    EXPECT_EQ(codes.records, 2u);
    EXPECT_EQ(codes.recordLength, 3u);
    EXPECT_EQ(codes.memo, 0u);
    EXPECT_EQ(baseBlock(metafile, codes.data), bytesOf("A1\nB22\n"));
    DirectoryRecord pairs = entryNamed(metafile, "PAIRS.BIN");
    EXPECT_EQ(pairs.records, 16u); // the element type
    EXPECT_EQ(pairs.recordLength, 3u);
    EXPECT_EQ(baseBlock(metafile, pairs.data), bytesOf("abcdef"));
}

TEST(RawTables, BinaryDataMustBeWholeRecords) {
    EXPECT_THROW(makeBinaryTable("PAIRS.BIN", 16, 3, bytesOf("abcde")), WriterError);
    EXPECT_THROW(makeBinaryTable("PAIRS.BIN", 8, 0, bytesOf("abc")), WriterError);
    EXPECT_THROW(makeBinaryTable("PAIRS.BIN", 12, 1, bytesOf("abc")), WriterError);
    EXPECT_EQ(makeBinaryTable("PAIRS.BIN", -16, 3, bytesOf("abcdef")).recordCount, -16);
    MetafileBuilder builder;
    EXPECT_THROW(builder.addTable(RawTable{"PAIRS.BIN", 32, 3, bytesOf("abcdef")}), WriterError);
}

TEST(RawTables, NameMustSayWhatKindTheyAre) {
    MetafileBuilder builder;
    EXPECT_THROW(builder.addTable(RawTable{"CODES.TXT", 0, 0, {}}), WriterError);
    EXPECT_THROW(builder.addTable(DbfTable{"CODES.ASC", {{"A", 'C', 1, 0}}, {}, {}}), WriterError);
}

// ---- Errors from bad tables ------------------------------------------------------------------

void expectRefused(DbfTable table, const std::string& wordsOfTheMessage) {
    MetafileBuilder builder;
    try {
        builder.addTable(std::move(table));
        ADD_FAILURE() << "accepted a table that should fail with: " << wordsOfTheMessage;
    } catch (const WriterError& error) {
        EXPECT_NE(std::string(error.what()).find(wordsOfTheMessage), std::string::npos)
            << error.what();
    }
}

TEST(TableErrors, ValueLongerThanItsColumnIsRefusedNotCut) {
    DbfTable table = sitesTable();
    table.rows[1].values[0] = "C0190";
    expectRefused(table, "sites.dbf row 2: column code: value \"C0190\" has 5 characters");
}

TEST(TableErrors, BadDefinitionsAreRefused) {
    expectRefused(DbfTable{"TOOLONGNAME1.DBF", {{"A", 'C', 1, 0}}, {}, {}}, "longer than 12");
    expectRefused(DbfTable{"X.DBF", {{"A", 'X', 1, 0}}, {}, {}}, "unknown type 'X'");
    expectRefused(DbfTable{"X.DBF", {{"ELEVENCHARS", 'C', 1, 0}}, {}, {}}, "ELEVENCHARS");
    expectRefused(DbfTable{"X.DBF", {{"A", 'C', 255, 0}}, {}, {}}, "length from 1 to 254");
    expectRefused(DbfTable{"X.DBF", {{"A", 'M', 8, 0}}, {}, {}}, "length from 10 to 10");
    expectRefused(DbfTable{"X.DBF", {{"A", 'C', 1, 0}, {"a", 'C', 1, 0}}, {}, {}}, "twice");
    expectRefused(DbfTable{"X.DBF", {{"A", 'C', 1, 0}}, {{{"a", "b"}, false}}, {}},
                  "2 values for 1 columns");
    expectRefused(DbfTable{"X.DBF", {{"A", 'N', 4, 0}}, {{{"12a"}, false}}, {}},
                  "not a value of type N");
    expectRefused(DbfTable{"X.DBF", {{"A", 'D', 8, 0}}, {{{"2026-1-1"}, false}}, {}},
                  "not a value of type D");
}

TEST(TableErrors, TableNamesMustBeUnique) {
    MetafileBuilder builder;
    builder.addTable(sitesTable());
    EXPECT_THROW(builder.addTable(sitesTable()), WriterError);
}

// ---- Deliberate breakage ---------------------------------------------------------------------

std::vector<std::size_t> differingOffsets(const Bytes& left, const Bytes& right) {
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < std::min(left.size(), right.size()); ++i)
        if (left[i] != right[i]) offsets.push_back(i);
    return offsets;
}

TEST(Breakage, AnotherVersionChangesOnlyTheVersionBytes) {
    MetafileOptions options;
    options.version = "4.01";
    Bytes broken = sampleMetafile(options);
    Bytes intact = sampleMetafile();
    ASSERT_EQ(broken.size(), intact.size());
    EXPECT_EQ(differingOffsets(broken, intact), std::vector<std::size_t>{44});
    EXPECT_EQ(textAt(broken, 41, 4), "4.01");
}

TEST(Breakage, OmittingATableDropsOnlyItsDirectoryRecord) {
    MetafileOptions options;
    options.omittedTables = {"_re_cedi.dbf"};
    std::vector<std::string> expected = directoryNames(sampleMetafile());
    expected.erase(std::find(expected.begin(), expected.end(), "_RE_CEDI.DBF"));
    EXPECT_EQ(directoryNames(sampleMetafile(options)), expected);
}

TEST(Breakage, OmittingATableThatIsNotThereIsAnError) {
    MetafileOptions options;
    options.omittedTables = {"_RE_NONE.DBF"};
    EXPECT_THROW(sampleMetafile(options), WriterError);
}

TEST(Breakage, DirectorySignatureChangesOnlyByte512) {
    Bytes intact = sampleMetafile();
    Bytes broken = intact;
    applyBreakage(broken, Breakage{0x03, false, std::nullopt});
    EXPECT_EQ(differingOffsets(broken, intact), std::vector<std::size_t>{512});
    EXPECT_EQ(broken.at(512), 0x03);
}

TEST(Breakage, CrlfPutsA0DBeforeEvery0A) {
    Bytes intact = sampleMetafile();
    Bytes broken = intact;
    applyBreakage(broken, Breakage{std::nullopt, true, std::nullopt});
    auto lineFeeds = static_cast<std::size_t>(std::count(intact.begin(), intact.end(), 0x0A));
    ASSERT_GT(lineFeeds, 0u);
    ASSERT_EQ(broken.size(), intact.size() + lineFeeds);
    std::size_t inserted = 0;
    for (std::size_t i = 0; i < intact.size(); ++i) {
        if (intact[i] == 0x0A) {
            EXPECT_EQ(broken[i + inserted], 0x0D) << "before offset " << i;
            ++inserted;
        }
        EXPECT_EQ(broken[i + inserted], intact[i]) << "at offset " << i;
    }
}

TEST(Breakage, TruncationKeepsTheFirstBytes) {
    Bytes intact = sampleMetafile();
    Bytes broken = intact;
    applyBreakage(broken, Breakage{std::nullopt, false, 700});
    EXPECT_EQ(broken, Bytes(intact.begin(), intact.begin() + 700));
    EXPECT_THROW(applyBreakage(broken, Breakage{std::nullopt, false, 701}), WriterError);
}

// ---- CSV -------------------------------------------------------------------------------------

TEST(Csv, QuotedFieldsHoldCommasQuotesAndLineEnds) {
    auto records = parseCsv("a,\"b, c\",\"say \"\"hi\"\"\"\r\n\"two\nlines\",,end\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].fields, (std::vector<std::string>{"a", "b, c", "say \"hi\""}));
    EXPECT_EQ(records[1].fields, (std::vector<std::string>{"two\nlines", "", "end"}));
    EXPECT_EQ(records[1].line, 2u);
}

TEST(Csv, SkipsBlankLinesAndAByteOrderMarkAndCountsLines) {
    auto records = parseCsv("\xEF\xBB\xBFx,y\n\n\"p\nq\",r\nlast");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].fields.front(), "x");
    EXPECT_EQ(records[1].line, 3u);
    EXPECT_EQ(records[2].line, 5u);
    EXPECT_EQ(records[2].fields, std::vector<std::string>{"last"});
}

TEST(Csv, ReportsBrokenQuotingWithTheLine) {
    try {
        parseCsv("a\n\"never closed\n");
        ADD_FAILURE() << "accepted an unterminated quote";
    } catch (const WriterError& error) {
        EXPECT_STREQ(error.what(), "line 2: a quoted field never ends");
    }
    EXPECT_THROW(parseCsv("\"closed\"then more\n"), WriterError);
}

// ---- The manifest ----------------------------------------------------------------------------

const fs::path sampleDirectory = WRITER_TEST_DATA;

using vetra::testing::ScratchDirectory;

TEST(Manifest, SampleBuildsItsTablesFromCsvAndText) {
    Bytes metafile = readManifest(sampleDirectory / "sample.toml").build();
    std::vector<std::string> expected = internalNames;
    expected.insert(expected.end(), {"SITES.DBF", "CODES.ASC"});
    EXPECT_EQ(directoryNames(metafile), expected);

    DirectoryRecord sites = entryNamed(metafile, "SITES.DBF");
    EXPECT_EQ(sites.records, 2u);
    EXPECT_EQ(sites.recordLength, 1u + 4 + 40 + 10);
    Bytes table = baseBlock(metafile, sites.data);
    EXPECT_EQ(dbfField(table, 0, 1, 4), "C000");
    EXPECT_EQ(dbfField(table, 0, 5, 11), "Lip, upper ");
    EXPECT_EQ(dbfField(table, 0, 45, 10), std::string(10, ' '));
    Bytes memo = baseBlock(metafile, sites.memo);
    EXPECT_EQ(memoBlock(memo, blockNumber(dbfField(table, 1, 45, 10))).content,
              bytesOf("Base of tongue, \"NOS\""));

    DirectoryRecord codes = entryNamed(metafile, "CODES.ASC");
    EXPECT_EQ(codes.records, 3u);
    EXPECT_EQ(codes.recordLength, 10u);
}

void expectManifestError(const ScratchDirectory& scratch, const std::string& manifest,
                         const std::string& faultyFile, const std::string& message) {
    fs::path file = scratch.write("m.toml", manifest);
    try {
        readManifest(file).build();
        ADD_FAILURE() << "accepted a manifest that should fail with: " << message;
    } catch (const WriterError& error) {
        EXPECT_EQ(error.file(), scratch.path() / faultyFile);
        EXPECT_EQ(error.what(), message);
    }
}

TEST(Manifest, ErrorsNameTheFileAndLineAtFault) {
    ScratchDirectory scratch;
    scratch.write("long.csv", "A\nTOO LONG\n");
    expectManifestError(scratch, "[metafile]\nversoin = \"4.00\"\n", "m.toml",
                        "line 2: unknown key \"versoin\" in [metafile]");
    expectManifestError(scratch, "[edits]\n", "m.toml", "line 1: unknown section [edits]");
    expectManifestError(
        scratch,
        "[[table]]\nname = \"X.DBF\"\ncolumns = [{ name = \"A\", type = \"C\", length = 3 }]\nrows "
        "= \"long.csv\"\n",
        "long.csv",
        "line 2: column A: value \"TOO LONG\" has 8 characters, more than its length 3");
    expectManifestError(scratch, "[[table]]\nname = \"X.DBF\"\n", "m.toml",
                        "line 1: missing columns");
    expectManifestError(scratch,
                        "[[table]]\nname = \"X.ASC\"\nkind = \"text\"\nsource = \"none.txt\"\n",
                        "none.txt", "cannot open for reading: No such file or directory");
}

TEST(Manifest, CsvHeaderMustNameEveryColumnOnce) {
    ScratchDirectory scratch;
    scratch.write("rows.csv", "A,B\nx,y\n");
    std::string manifest = "[[table]]\nname = \"X.DBF\"\nrows = \"rows.csv\"\ncolumns = [{ name = "
                           "\"A\", type = \"C\", length = 3 }]\n";
    expectManifestError(scratch, manifest, "rows.csv", "line 1: the header names no column B");
}

// ---- The command line ------------------------------------------------------------------------

int runRmfbuild(const std::string& arguments, const fs::path& errors) {
    std::string command =
        std::string(RMFBUILD_PATH) + " " + arguments + " 2>" + errors.string() + " >/dev/null";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

using vetra::testing::fileContents;

TEST(Rmfbuild, WritesWhatTheLibraryBuildsWithTheBreakageAsked) {
    ScratchDirectory scratch;
    fs::path output = scratch.path() / "out.rmf";
    std::string arguments =
        (sampleDirectory / "sample.toml").string() + " -o " + output.string() +
        " --version 4.01 --omit _RE_ERMS.DBF --directory-signature 0x03 --crlf --truncate 900";
    ASSERT_EQ(runRmfbuild(arguments, scratch.path() / "errors.txt"), 0)
        << fileContents(scratch.path() / "errors.txt");

    MetafileBuilder builder = readManifest(sampleDirectory / "sample.toml");
    builder.options().version = "4.01";
    builder.options().omittedTables = {"_RE_ERMS.DBF"};
    Bytes expected = builder.build();
    applyBreakage(expected, Breakage{0x03, true, 900});
    std::string written = fileContents(output);
    EXPECT_EQ(Bytes(written.begin(), written.end()), expected);
}

TEST(Rmfbuild, ReportsErrorsWithTheFileAndExitsWithOne) {
    ScratchDirectory scratch;
    fs::path manifest = scratch.write("bad.toml", "[metafile]\nversion = \"4\"\n");
    fs::path errors = scratch.path() / "errors.txt";
    EXPECT_EQ(
        runRmfbuild(manifest.string() + " -o " + (scratch.path() / "out.rmf").string(), errors), 1);
    EXPECT_EQ(fileContents(errors),
              "rmfbuild: " + manifest.string() +
                  ": version \"4\" must be four printable ASCII characters, like \"4.00\"\n");
    EXPECT_FALSE(fs::exists(scratch.path() / "out.rmf"));
    EXPECT_EQ(runRmfbuild(manifest.string(), errors), 1);
    EXPECT_EQ(runRmfbuild("--help", errors), 0);
}

} // namespace
