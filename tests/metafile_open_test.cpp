// Metafiles written by the writer, opened by the engine: the instance table's id rules, the
// container checks, the directory and the embedded tables.
#include "engine/api/vetra40.h"
#include "engine/store/TMetaFile.h"
#include "tests/support/temp_metafiles.h"
#include "tools/metafile_writer/raw_table.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using vetra::testing::TempMetafiles;
namespace writer = vetra::writer;

writer::MetafileBuilder sampleBuilder() {
    writer::MetafileBuilder builder;
    writer::DbfTable sites{
        "SITES.DBF", {{"CODE", 'C', 4, 0}, {"LABEL", 'C', 20, 0}, {"NOTE", 'M', 10, 0}}, {}, {}};
    sites.rows.push_back({{"C000", "Lip", "Upper lip, external"}, false});
    sites.rows.push_back({{"C001", "Lower lip", ""}, true});
    sites.rows.push_back({{"C002", "Tongue", "Base of tongue"}, false});
    builder.addTable(sites);
    builder.addTable(writer::DbfTable{"EMPTY.DBF", {{"CODE", 'C', 4, 0}}, {}, {}});
    builder.addTable(writer::makeTextTable("CODES.ASC", "10  first   \n20\tsecond\r\n30 third"));
    builder.addTable(writer::makeTextTable("NOTHING.ASC", ""));
    builder.addTable(writer::makeTextTable("GAPS.ASC", "A\n\n   \nB\n"));
    builder.addTable(writer::makeBinaryTable("BITS.BIN", 8, 2, {1, 2, 3, 4, 5, 6}));
    return builder;
}

class OpenMetafiles : public ::testing::Test {
protected:
    void SetUp() override { path = files.write("sample.rmf", sampleBuilder()); }
    void TearDown() override {
        for (int32_t id = 0; id < 40; ++id)
            VTx_Exit(id);
    }
    int32_t open() {
        int32_t id = -1;
        EXPECT_EQ(VTx_Init(&id, path.c_str(), nullptr, 0, nullptr), 0);
        return id;
    }

    TempMetafiles files;
    std::string path;
};

TEST_F(OpenMetafiles, OpenReportsTheVersionAndCloseFreesTheSlot) {
    int32_t id = -1;
    char version[32];
    std::memset(version, 'x', sizeof version);
    ASSERT_EQ(VTx_Init(&id, path.c_str(), version, 0, nullptr), 0);
    EXPECT_EQ(id, 0);
    EXPECT_STREQ(version, "4.00");
    EXPECT_EQ(VTx_GetLastEngineError(id), 0);

    int32_t ids[25];
    VTx_GetmfIDList(ids, 25);
    EXPECT_EQ(ids[0], 0);
    for (int i = 1; i < 25; ++i)
        EXPECT_EQ(ids[i], -1);

    EXPECT_EQ(VTx_Exit(id), 0);
    EXPECT_EQ(VTx_GetLastEngineError(id), -2);
}

TEST_F(OpenMetafiles, ClosedIdsAreReusedLowestFirst) {
    std::string other = files.write("other.rmf", sampleBuilder());
    int32_t first = open(), second = -1, third = open();
    ASSERT_EQ(VTx_Init(&second, other.c_str(), nullptr, 0, nullptr), 0);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(third, 1);
    EXPECT_EQ(second, 2);
    EXPECT_EQ(VTx_Exit(1), 0);
    EXPECT_EQ(open(), 1);

    const char* names[4];
    VTx_GetOpenFileList(names, 4);
    EXPECT_STREQ(names[0], path.c_str());
    EXPECT_STREQ(names[1], path.c_str());
    EXPECT_STREQ(names[2], other.c_str());
    EXPECT_EQ(names[3], nullptr);
}

TEST_F(OpenMetafiles, TheTwentyFirstOpenGetsIdTwenty) {
    for (int32_t expected = 0; expected < 20; ++expected)
        ASSERT_EQ(open(), expected);
    EXPECT_EQ(open(), 20);
    int32_t ids[22];
    VTx_GetmfIDList(ids, 22);
    EXPECT_EQ(ids[20], 20);
    EXPECT_EQ(ids[21], -1);
}

TEST_F(OpenMetafiles, IdZeroFormsOpenOnceAndCloseOnlyIdZero) {
    ASSERT_EQ(VT_Init(path.c_str(), nullptr), 0);
    EXPECT_EQ(open(), 1);
    EXPECT_EQ(VT_Init("/nonexistent.rmf", nullptr), 0); // id 0 is open: nothing happens
    EXPECT_EQ(VT_Exit(), 0);
    EXPECT_EQ(VTx_GetLastEngineError(0), -2);
    EXPECT_EQ(VTx_GetLastEngineError(1), 0);
}

TEST_F(OpenMetafiles, ShowEditNameKeepsTheLowByte) {
    int32_t id = open();
    char value = 'x';
    EXPECT_EQ(VTx_GetShowEditName(id, &value), 0);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(VTx_SetShowEditName(id, 257), 0);
    EXPECT_EQ(VTx_GetShowEditName(id, &value), 0);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(VTx_SetEditsMessagesCallback(id, 42, nullptr), 0);
}

class MetafileInstance : public ::testing::Test {
protected:
    TempMetafiles files;
};

TEST_F(MetafileInstance, LocatesTheInternalTablesAndFreesEveryBlockOnClose) {
    writer::MetafileBuilder builder = sampleBuilder();
    for (int i = 0; i < 25; ++i)
        builder.addInternalRow("_RE_BUFF.DBF", {{std::to_string(i), "", "1", "1", "1", "C", ""}});
    TMetaFile metafile(files.write("buff.rmf", builder).c_str(), nullptr, nullptr, 0);
    const auto& internal = metafile.directory().internalTables();
    for (const auto* entry :
         {&internal.editSets, &internal.bufferFields, &internal.catalogue, &internal.compiledEdits,
          &internal.dataDictionary, &internal.messages})
        EXPECT_NE(entry->dataPosition, 0) << entry->name;
    EXPECT_EQ(internal.bufferFields.recordCount, 25);
    EXPECT_EQ(internal.bufferFields.recordLength, 29);
    EXPECT_EQ(metafile.fieldTable().count(), 25);
    EXPECT_EQ(metafile.fieldTable().slots()[24].localNumber, -1);
    EXPECT_GT(metafile.memory().highWaterMark(), 0);

    EXPECT_EQ(metafile.close(), 0);
    EXPECT_EQ(metafile.memory().highWaterMark(), 0);
    EXPECT_EQ(metafile.memory().bytesInUse(), 0u);
    EXPECT_FALSE(metafile.memory().tableExists());
}

TEST_F(MetafileInstance, FindsTablesByNameWithOrWithoutAColumn) {
    TMetaFile metafile(files.write("a.rmf", sampleBuilder()).c_str(), nullptr, nullptr, 0);
    EXPECT_EQ(metafile.fieldTable().count(), 20);
    vetra::DirectoryEntry entry{};
    EXPECT_EQ(metafile.VTi_locMetaTbl(&entry, "_RE_DDIC.DBF.CLOCAL_NUM"), 1);
    EXPECT_STREQ(entry.name, "_RE_DDIC.DBF");
    EXPECT_EQ(metafile.VTi_locMetaTbl(&entry, "_re_ddic.dbf.clocal_num"), 1);
    EXPECT_STREQ(entry.name, "_RE_DDIC.DBF");
    EXPECT_EQ(metafile.VTi_locMetaTbl(&entry, "sites.dbf"), 1);
    EXPECT_EQ(metafile.VTi_locMetaTbl(&entry, "SITES"), 0);
    EXPECT_EQ(metafile.VTi_locMetaTbl(&entry, "NOTHING.ASC"), 1);
    EXPECT_EQ(entry.dataPosition, 0); // no data block
    EXPECT_EQ(entry.dataLength, 0);
    EXPECT_EQ(metafile.lastEngineError(), 0);
}

TEST_F(MetafileInstance, OpenFailsWithTheCodeOfTheFirstMissingTable) {
    writer::MetafileBuilder builder = sampleBuilder();
    builder.options().omittedTables = {"_RE_CEDI.DBF", "_RE_BUFF.DBF"};
    std::string path = files.write("missing.rmf", builder);
    int32_t id = 7;
    char version[8] = "keep";
    EXPECT_EQ(VTx_Init(&id, path.c_str(), version, 0, nullptr), 705);
    EXPECT_EQ(id, -1);
    EXPECT_STREQ(version, "4.00"); // the version check had passed

    builder.options().omittedTables = {"_RE_COMP.DBF"};
    TMetaFile withoutCatalogue(files.write("nocomp.rmf", builder).c_str(), nullptr, nullptr, 0);
    EXPECT_EQ(withoutCatalogue.directory().internalTables().catalogue.dataPosition, 0);

    builder.options().omittedTables = {};
    builder.options().version = "4.01";
    std::memcpy(version, "keep", 5);
    EXPECT_EQ(VTx_Init(&id, files.write("v401.rmf", builder).c_str(), version, 0, nullptr), 703);
    EXPECT_STREQ(version, "keep");
}

class EmbeddedTables : public ::testing::Test {
protected:
    EmbeddedTables()
        : metafile(files.write("tables.rmf", sampleBuilder()).c_str(), nullptr, nullptr, 0) {}

    std::vector<std::string> readAll(const char* name, bool keepSpaces = false) {
        vetra::t_dbfFile* table = metafile.OpenMetaTable(name);
        EXPECT_NE(table, nullptr) << name;
        std::vector<std::string> records;
        if (table == nullptr) return records;
        char buffer[200];
        while (metafile.tableReader().readNextRecord(table, buffer, keepSpaces) == 1)
            records.emplace_back(buffer);
        metafile.tableReader().close(table);
        return records;
    }

    TempMetafiles files;
    TMetaFile metafile;
};

TEST_F(EmbeddedTables, ReadsTableFileRecordsIncludingDeletedOnes) {
    vetra::t_dbfFile* table = metafile.OpenMetaTable("sites.dbf.code");
    ASSERT_NE(table, nullptr);
    EXPECT_STREQ(table->name, "SITES.DBF.CO");
    EXPECT_EQ(table->kind, vetra::kDbfTable);
    EXPECT_EQ(table->recordCount, 3);
    EXPECT_EQ(table->fieldCount, 3);
    EXPECT_EQ(table->headerLength, 32 + 3 * 32 + 1);
    EXPECT_EQ(table->fld[1].offset, 5);
    EXPECT_EQ(table->fld[2].offset, 25);
    EXPECT_EQ(table->fld[2].type, 'M');
    metafile.tableReader().close(table);

    auto records = readAll("SITES.DBF");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].substr(0, 13), "C001Lower lip");
    EXPECT_EQ(readAll("EMPTY.DBF").size(), 0u);
}

TEST_F(EmbeddedTables, FindsMemoContentThroughTheBlockNumber) {
    vetra::DirectoryEntry entry{};
    ASSERT_EQ(metafile.VTi_locMetaTbl(&entry, "SITES.DBF"), 1);
    auto records = readAll("SITES.DBF");
    std::string blockText = records[2].substr(24, 10);
    int64_t position =
        vetra::TableReader::memoPosition(entry.memoPosition, entry.memoBlockSize, blockText);
    ASSERT_GT(position, 0);
    auto length = metafile.stream().bytesAt(position - 4, 4);
    ASSERT_EQ(length.size(), 4u);
    EXPECT_EQ(length[3], std::strlen("Base of tongue"));
    auto text = metafile.stream().bytesAt(position, 14);
    EXPECT_EQ(std::string(text.begin(), text.end()), "Base of tongue");
    EXPECT_EQ(vetra::TableReader::memoPosition(entry.memoPosition, 64, records[1].substr(24, 10)),
              0);
}

TEST_F(EmbeddedTables, ReadsTextTablesLineByLine) {
    auto trimmed = readAll("CODES.ASC");
    EXPECT_EQ(trimmed, (std::vector<std::string>{"10  first", "20\tsecond", "30 third"}));
    auto kept = readAll("CODES.ASC", true);
    EXPECT_EQ(kept[0], "10  first   \n");
    EXPECT_TRUE(readAll("NOTHING.ASC").empty());
    EXPECT_EQ(readAll("GAPS.ASC"), (std::vector<std::string>{"A", "", "", "B"}));
}

TEST_F(EmbeddedTables, BinaryTablesHaveNoRecordsToRead) {
    vetra::t_dbfFile* table = metafile.OpenMetaTable("BITS.BIN");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->kind, vetra::kBinaryTable);
    EXPECT_EQ(table->recordCount, 8); // the element type
    EXPECT_EQ(table->recordLength, 2);
    char buffer[8];
    EXPECT_EQ(metafile.tableReader().readNextRecord(table, buffer, false), 0);
    metafile.tableReader().close(table);
    EXPECT_EQ(metafile.OpenMetaTable("MISSING.DBF"), nullptr);
}

TEST_F(EmbeddedTables, ColumnPositionNeedsAColumnAndAnIndexedTable) {
    EXPECT_EQ(metafile.lookupTables().columnPosition("C000", "SITES.DBF"), -1);
    EXPECT_EQ(metafile.lookupTables().columnPosition("C000", "SITES.DBF."), -1);
    EXPECT_EQ(metafile.lookupTables().columnPosition("C000", "SITES.DBF.CODE"), 0);
    EXPECT_EQ(metafile.lookupTables().columnPosition("C000", "NONE.DBF.CODE"), 0);
}

TEST(TableNames, KindComesFromTheExtension) {
    EXPECT_EQ(vetra::tableKindOf("A.DBF"), vetra::kDbfTable);
    EXPECT_EQ(vetra::tableKindOf("A.DBF.CODE"), vetra::kDbfTable);
    EXPECT_EQ(vetra::tableKindOf("A.ASC"), vetra::kTextTable);
    EXPECT_EQ(vetra::tableKindOf("A.BIN"), vetra::kBinaryTable);
    EXPECT_EQ(vetra::tableKindOf("A.dbf"), vetra::kOtherTable);
    EXPECT_EQ(vetra::tableKindOf("A"), vetra::kOtherTable);
}

TEST(DecimalText, ReadsLikeTheStoredNumbersAreWritten) {
    EXPECT_EQ(vetra::parseDecimalText("     42"), 42);
    EXPECT_EQ(vetra::parseDecimalText(" -7x9"), -7);
    EXPECT_EQ(vetra::parseDecimalText("abc"), 0);
    EXPECT_EQ(vetra::parseDecimalText(""), 0);
    EXPECT_EQ(vetra::parseDecimalText("99999999999999999999"), INT32_MAX);
}

} // namespace
