// Field reads and writes by type code through a bound layout, the record written flag, and a
// layout imported from the NAACCR data dictionary reading real-shaped records.
#include "engine/api/engine_process.h"
#include "tests/support/open_metafile.h"
#include "tools/metafile_writer/naaccr_dictionary.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace writer = vetra::writer;

writer::MetafileBuilder typedFields() {
    writer::MetafileBuilder builder;
    struct Field {
        long local;
        const char* type;
        int length;
    };
    const Field fields[] = {
        {1, "C", 5},    {2, "R", 5},   {3, "S", 5},   {4, "T", 5},   {5, "Z", 5},   {6, "I", 4},
        {7, "L", 4},    {11, "D1", 8}, {12, "D2", 4}, {13, "D3", 6}, {14, "D4", 4}, {15, "D5", 8},
        {16, "D6", 10}, {17, "D7", 6}, {18, "D8", 8}, {19, "D9", 6}, {20, "DA", 4}, {21, "c", 3}};
    writer::RecordLayout layout{7, "Typed", "", {}};
    int column = 1;
    for (const Field& f : fields) {
        writer::DictionaryEntry entry;
        entry.localNumber = f.local;
        entry.shortName = "Field " + std::to_string(f.local);
        entry.typeCode = f.type;
        entry.length = f.length;
        builder.addDictionaryEntry(entry);
        layout.fields.push_back({f.local, f.type, column, f.length, ' '});
        column += f.length + 1; // one separating column keeps neighbours apart
    }
    builder.addLayout(layout);
    return builder;
}

class FieldValues : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VTx_AllocRecord(id(), 200, &record), 0);
        ASSERT_EQ(VTx_InitRecordLayout(id(), record, "Typed"), 0);
        VTx_UpdateRecord(id(), record, "");
    }
    int32_t id() const { return metafile.id(); }
    TMetaFile& instance() { return *vetra::engineProcess().metafiles().find(id()); }
    vetra::FieldReadFacts& facts() { return instance().fieldAccess().facts(); }
    int32_t field(int32_t local) { return VTx_FieldHandleByLocal(id(), local, nullptr); }
    std::string read(int32_t local) {
        const char* text = instance().fieldAccess().VTi_FldAccess(field(local));
        return text != nullptr ? text : "<absent>";
    }
    void write(int32_t local, const char* value, const char* format = "") {
        ASSERT_EQ(VTx_UpdateField(id(), field(local), value, format), 0);
    }
    // The characters of a field as stored in the record.
    std::string stored(int32_t local) {
        std::string text(200, '\0');
        VTx_RetrieveRecord(id(), record, text.data());
        const vetra::FieldSlot& slot =
            instance().fieldTable().slots()[static_cast<size_t>(field(local))];
        return text.substr(static_cast<size_t>(slot.firstColumn - 1),
                           static_cast<size_t>(slot.length + 1));
    }

    vetra::testing::OpenMetafile metafile{typedFields()};
    int32_t record = -1;
};

TEST_F(FieldValues, TextTypesAreJustifiedAsTheirCodesSay) {
    write(2, "  ABC  ");
    EXPECT_EQ(stored(2), "  ABC ");
    write(3, "ABC");
    EXPECT_EQ(stored(3), "ABC   ");
    write(1, "XYZ");
    EXPECT_EQ(stored(1), "X     ");
    write(1, "QRSTU");
    EXPECT_EQ(stored(1), "Q     "); // only the first character; the rest keep what they held
    write(4, "ABCDEFG");
    EXPECT_EQ(stored(4), std::string("ABCDE\0", 6));
    write(5, "AB");
    EXPECT_EQ(stored(5), std::string("AB\0\0\0\0", 6));
    write(21, "abc");
    EXPECT_EQ(stored(21), "    ");
    EXPECT_EQ(read(2), "  ABC");
}

TEST_F(FieldValues, IntegerFieldsHoldThirtyTwoBitBinaryValues) {
    write(7, "20051231");
    EXPECT_EQ(stored(7), std::string("\x1F\xF5\x31\x01 ", 5));
    EXPECT_EQ(read(7), "20051231");
    write(6, "-5");
    EXPECT_EQ(read(6), "-5");
}

TEST_F(FieldValues, DatesReadAsValuesOrAsTheirOwnCharacters) {
    write(11, "20051231");
    EXPECT_EQ(read(11), "20051231");
    EXPECT_EQ(facts().lastDateFormat, '1');
    EXPECT_EQ(facts().dateStatus, 0);
    write(11, "2005  15");
    EXPECT_EQ(read(11), "2005  15");
    EXPECT_EQ(facts().dateStatus, 8);
    facts().dateStatus = 0;
    write(11, "        ");
    EXPECT_EQ(read(11), "        ");
    EXPECT_TRUE(facts().dateEmpty);
    EXPECT_EQ(facts().emptyIndicator, 1);
    EXPECT_EQ(read(1), "     ");
    EXPECT_FALSE(facts().dateEmpty);
    EXPECT_EQ(facts().lastDateFormat, ' ');
}

TEST_F(FieldValues, EveryDateFormatStoresAndReadsBack) {
    struct Case {
        int32_t local;
        const char* stored;
        const char* read;
    };
    const Case cases[] = {{12, "\x1F\xF5\x31\x01", "20051231"}, {13, "051231", "19051231"},
                          {15, "12/31/05", "19051231"},         {16, "12/31/2005", "20051231"},
                          {17, "123105", "19051231"},           {18, "12312005", "20051231"},
                          {19, "122005", "20051201"},           {20, "1205", "19051201"}};
    for (const Case& c : cases) {
        std::string value = c.local == 13 || c.local == 15 || c.local == 17 || c.local == 20
                                ? "19051231"
                                : "20051231";
        write(c.local, value.c_str());
        EXPECT_EQ(stored(c.local).substr(0, std::strlen(c.stored)), c.stored) << c.local;
        EXPECT_EQ(read(c.local), c.read) << c.local;
    }
}

TEST_F(FieldValues, UpdatesWithAFormatConvertBetweenFormats) {
    write(11, "122005", "D9");
    EXPECT_EQ(stored(11).substr(0, 8), "20051299");
    write(20, "122005", "D9");
    EXPECT_EQ(stored(20).substr(0, 4), "1205");
    write(16, "123199", "D7");
    EXPECT_EQ(stored(16).substr(0, 10), "12/31/1999");
    write(11, "", "D1");
    EXPECT_EQ(stored(11).substr(0, 8), "        ");
    write(11, "20051231", "XX"); // not a date format: taken as CCYYMMDD
    EXPECT_EQ(stored(11).substr(0, 8), "20051231");
    EXPECT_EQ(VTx_UpdateField(id(), 5000, "x", ""), -1);
    EXPECT_EQ(VTx_UpdateField(id(), 150, "x", ""), -1);
}

TEST_F(FieldValues, AbsentFieldsAreReportedOnce) {
    EXPECT_EQ(instance().fieldAccess().VTi_FldAccess(5000), nullptr);
    EXPECT_EQ(facts().emptyIndicator, 2);
    write(1, "A");
    read(1);
    EXPECT_EQ(facts().emptyIndicator, 2); // the first fact wins until the runner resets it
}

TEST_F(FieldValues, RecordWrittenFlagIsAnEngineVariablePerLayout) {
    int32_t written = -1;
    EXPECT_EQ(VTx_RecWritten(id(), "Typed", &written), 1001);
    EXPECT_EQ(written, 0);
    VTx_SetVar(id(), "_BUFDIRTY[7]", "Y");
    EXPECT_EQ(VTx_RecWritten(id(), "typed", &written), 0);
    EXPECT_EQ(written, 1);
    EXPECT_EQ(VTx_RecWriteClear(id(), "Typed"), 0);
    VTx_RecWritten(id(), "Typed", &written);
    EXPECT_EQ(written, 0);
}

std::filesystem::path sharedNaaccrFolder() {
    return std::filesystem::path(NAACCR_DICTIONARY).parent_path();
}

TEST(NaaccrLayout, BindsTheVersion18DictionaryAndReadsTheSyntheticRecords) {
    auto dictionary = sharedNaaccrFolder() / "naaccr-dictionary-180.xml";
    auto records = sharedNaaccrFolder() / "naaccr-180-incidence-synthetic-10.txt";
    if (!std::filesystem::exists(dictionary) || !std::filesystem::exists(records))
        GTEST_SKIP() << "no NAACCR reference files beside the project";
    writer::NaaccrLayout imported = writer::readNaaccrDictionary(dictionary, {});
    writer::MetafileBuilder builder;
    for (const auto& entry : imported.dictionary)
        builder.addDictionaryEntry(entry);
    builder.addLayout(writer::RecordLayout{1, "NAACCR 18 Incidence", "", imported.fields});
    vetra::testing::OpenMetafile metafile(builder);
    int32_t id = metafile.id();

    int32_t record = -1;
    ASSERT_EQ(VTx_AllocRecord(id, 4048, &record), 0);
    ASSERT_EQ(VTx_InitRecordLayout(id, record, "NAACCR 18 Incidence"), 0);
    TMetaFile& instance = *vetra::engineProcess().metafiles().find(id);
    int32_t recordType = VTx_FieldHandle(id, "Record Type", "S", "");
    int32_t version = VTx_FieldHandleByLocal(id, 50, nullptr);
    int32_t diagnosis = VTx_FieldHandle(id, "dateOfDiagnosis", "T", "");
    ASSERT_GE(recordType, 0);
    ASSERT_GE(version, 0);
    ASSERT_GE(diagnosis, 0);

    std::ifstream in(records);
    int count = 0;
    for (std::string line; std::getline(in, line); ++count) {
        ASSERT_EQ(line.size(), 4048u);
        ASSERT_EQ(VTx_UpdateRecord(id, record, line.c_str()), 0);
        EXPECT_STREQ(instance.fieldAccess().VTi_FldAccess(recordType), "I");
        EXPECT_STREQ(instance.fieldAccess().VTi_FldAccess(version), "180");
        std::string date = instance.fieldAccess().VTi_FldAccess(diagnosis);
        EXPECT_EQ(date, line.substr(543, 8));
    }
    EXPECT_EQ(count, 10);
}

} // namespace
