// Record layouts written by the writer, bound and read through the exported interface.
#include "engine/api/engine_process.h"
#include "tests/support/open_metafile.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace writer = vetra::writer;

writer::DictionaryEntry entry(long local, std::string shortName, std::string type, int length,
                              std::string longName = "", std::string thirdName = "") {
    writer::DictionaryEntry e;
    e.localNumber = local;
    e.shortName = std::move(shortName);
    e.longName = std::move(longName);
    e.thirdName = std::move(thirdName);
    e.typeCode = std::move(type);
    e.length = length;
    return e;
}

// Layout 1 "Test Layout" covers columns 1 to 400; every type code has a field.
writer::MetafileBuilder layoutBuilder() {
    writer::MetafileBuilder builder;
    struct Field {
        long local;
        const char* name;
        const char* type;
        int column;
        int length;
    };
    const Field fields[] = {{10, "Record Type", "C", 1, 1},
                            {390, "Date of Diagnosis", "D1", 2, 8},
                            {20, "Right", "R", 10, 5},
                            {21, "Spaced", "S", 15, 5},
                            {22, "Terminated", "T", 20, 5},
                            {23, "Zeroed", "Z", 25, 5},
                            {24, "Count", "I", 30, 4},
                            {25, "Total", "L", 34, 4},
                            {26, "Slashed Long", "D6", 38, 10},
                            {27, "Month Year Long", "D9", 48, 6},
                            {28, "Month Year", "DA", 54, 4},
                            {29, "Slashed", "D5", 58, 8},
                            {30, "Binary Date", "D2", 66, 4},
                            {31, "Short Date", "D3", 70, 6},
                            {32, "Binary Short", "D4", 76, 4},
                            {33, "Month Day Year", "D7", 80, 6},
                            {34, "Month Day Century", "D8", 86, 8},
                            {40, "Far Away", "C", 391, 10}};
    writer::RecordLayout layout{1, "Test Layout", "A layout for tests", {}};
    for (const Field& f : fields) {
        builder.addDictionaryEntry(
            entry(f.local, f.name, f.type, f.length, std::string(f.name) + " Long", f.name));
        layout.fields.push_back({f.local, f.type, f.column, f.length, ' '});
    }
    builder.addLayout(layout);
    builder.addLayout(
        writer::RecordLayout{2, "Alternate", "", {{390, "D1", 11, 8, ' '}, {10, "C", 1, 1, ' '}}});
    builder.addLayout(writer::RecordLayout{3, "Only Diagnosis", "", {{390, "D1", 2, 8, ' '}}});
    return builder;
}

class RecordLayouts : public ::testing::Test {
protected:
    int32_t id() const { return metafile.id(); }
    int32_t allocate(int32_t length) {
        int32_t handle = -1;
        EXPECT_EQ(VTx_AllocRecord(id(), length, &handle), 0);
        return handle;
    }
    TMetaFile& instance() { return *vetra::engineProcess().metafiles().find(id()); }
    int32_t handleOf(const char* name, const char* kind = "S", const char* layout = "") {
        return VTx_FieldHandle(id(), name, kind, layout);
    }
    std::string read(int32_t handle) {
        const char* text = instance().fieldAccess().VTi_FldAccess(handle);
        return text != nullptr ? text : "<absent>";
    }
    std::string contents(int32_t record, size_t length) {
        std::string text(length, '\0');
        EXPECT_EQ(VTx_RetrieveRecord(id(), record, text.data()), 0);
        return text;
    }

    vetra::testing::OpenMetafile metafile{layoutBuilder()};
};

TEST_F(RecordLayouts, CatalogueListsLayoutsWithRecordLengthsAndDescriptions) {
    int32_t count = 0;
    EXPECT_EQ(VTx_GetRecordLayoutCount(id(), &count), 0);
    EXPECT_EQ(count, 3);
    char name[80] = "";
    int32_t length = 0;
    EXPECT_EQ(VTx_GetRecordLayoutName(id(), 1, name, &length), 0);
    EXPECT_STREQ(name, "Test Layout");
    EXPECT_EQ(length, 400);
    EXPECT_EQ(VTx_GetRecordLayoutName(id(), 2, name, &length), 0);
    EXPECT_STREQ(name, "Alternate");
    EXPECT_EQ(VTx_GetRecordLayoutName(id(), 4, name, &length), -1);
    EXPECT_STREQ(name, "Alternate");

    char text[10];
    int32_t textLength = -1;
    EXPECT_EQ(VTx_GetRecordLayoutDescript(id(), "test layout", sizeof text, &textLength, text), 0);
    EXPECT_STREQ(text, "A layout ");
    EXPECT_EQ(textLength, 9);
    textLength = -1;
    EXPECT_EQ(VTx_GetRecordLayoutDescript(id(), "Alternate", sizeof text, &textLength, text), 0);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(textLength, -1);

    EXPECT_EQ(VTx_GetEditSetCount(id(), &count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(VTx_GetEditSetName(id(), 1, name), 417);
}

TEST_F(RecordLayouts, ComponentsBeyondTheRecordGetNoField) {
    int32_t record = allocate(300);
    ASSERT_EQ(VTx_InitRecordLayout(id(), record, "TEST LAYOUT"), 0);
    int32_t fieldCount = 0;
    ASSERT_EQ(VTx_GetRecordLayoutInit(id(), "test layout", &fieldCount), 0);
    EXPECT_EQ(fieldCount, 18);
    std::vector<int32_t> locals;
    int32_t column, local, length, handle;
    char shortName[80], longName[80], type[80], thirdName[80];
    while (VTx_GetRecordLayoutField(id(), &column, &local, shortName, longName, type, thirdName,
                                    &length, &handle) == 0) {
        locals.push_back(local);
        if (local == 390) {
            EXPECT_EQ(column, 2);
            EXPECT_STREQ(shortName, "Date of Diagnosis");
            EXPECT_STREQ(longName, "Date of Diagnosis Long");
            EXPECT_STREQ(thirdName, "Date of Diagnosis");
            EXPECT_STREQ(type, "D1");
            EXPECT_EQ(length, 8);
        }
    }
    EXPECT_EQ(locals.size(), 17u);
    EXPECT_EQ(std::count(locals.begin(), locals.end(), 40), 0);
    EXPECT_EQ(VTx_FieldHandleByLocal(id(), 40, nullptr), -1);
    char name[80];
    int32_t length400 = 0;
    VTx_GetRecordLayoutName(id(), 1, name, &length400);
    EXPECT_EQ(length400, 400);
}

TEST_F(RecordLayouts, FieldsAreFoundByEachKindOfNameAndByLocalNumber) {
    int32_t record = allocate(400);
    ASSERT_EQ(VTx_InitRecordLayout(id(), record, "Test Layout"), 0);
    int32_t diagnosis = handleOf("date of diagnosis");
    ASSERT_GE(diagnosis, 0);
    EXPECT_EQ(handleOf("DATE OF DIAGNOSIS LONG", "L"), diagnosis);
    EXPECT_EQ(handleOf("Date of Diagnosis", "t", "Test Layout"), diagnosis);
    EXPECT_EQ(handleOf("Date of Diagnosis", "S", "Alternate"), -1);
    EXPECT_EQ(handleOf("No Such Field"), -1);
    EXPECT_EQ(VTx_FieldHandleByLocal(id(), 390, nullptr), diagnosis);
    EXPECT_EQ(VTx_FieldHandleByLocal(id(), 390, "test layout"), diagnosis);
    EXPECT_EQ(VTx_FieldHandleByLocal(id(), 390, ""), -1);
    EXPECT_EQ(VTx_LocalNumFromHnd(id(), diagnosis), 390);
    EXPECT_EQ(VTx_LocalNumFromHnd(id(), 5000), -1);
    char name[80];
    EXPECT_EQ(VTx_FieldName(id(), diagnosis, "L", name), 0);
    EXPECT_STREQ(name, "Date of Diagnosis Long");
    EXPECT_EQ(VTx_FieldName(id(), 5000, "S", name), -1);
    EXPECT_EQ(VTx_FieldName(id(), 19, "S", name), -1); // a free slot
}

TEST_F(RecordLayouts, RebindingMovesTheFieldsToTheNewBuffer) {
    int32_t first = allocate(400), second = allocate(400);
    ASSERT_EQ(VTx_InitRecordLayout(id(), first, "Test Layout"), 0);
    int32_t kind = handleOf("Record Type");
    ASSERT_EQ(VTx_InitRecordLayout(id(), second, "test layout"), 0);
    EXPECT_EQ(handleOf("Record Type"), kind);
    VTx_UpdateRecord(id(), first, "A");
    VTx_UpdateRecord(id(), second, "I");
    EXPECT_EQ(read(kind), "I");
    int32_t fieldCount = 0;
    EXPECT_EQ(VTx_GetRecordLayoutInit(id(), "Test Layout", &fieldCount), 0);
}

TEST_F(RecordLayouts, RebindingToAShorterBufferLeavesNoFieldOutside) {
    int32_t wide = allocate(400), narrow = allocate(20);
    ASSERT_EQ(VTx_InitRecordLayout(id(), wide, "Test Layout"), 0);
    ASSERT_EQ(VTx_InitRecordLayout(id(), narrow, "Test Layout"), 0);
    EXPECT_EQ(read(handleOf("Zeroed")), "<absent>");
    VTx_UpdateRecord(id(), narrow, "I");
    EXPECT_EQ(read(handleOf("Record Type")), "I");
    EXPECT_EQ(VTx_UpdateField(id(), handleOf("Zeroed"), "x", ""), 0); // writes nothing
}

TEST_F(RecordLayouts, FreedRecordBuffersAreNoLongerRead) {
    int32_t record = allocate(400);
    ASSERT_EQ(VTx_InitRecordLayout(id(), record, "Test Layout"), 0);
    int32_t kind = handleOf("Record Type");
    ASSERT_EQ(VTx_FreeRecord(id(), record), 0);
    EXPECT_EQ(read(kind), "<absent>");
}

TEST_F(RecordLayouts, UnknownLayoutsFailWithoutBinding) {
    int32_t record = allocate(400);
    EXPECT_EQ(VTx_InitRecordLayout(id(), record, "No Such Layout"), 602);
    EXPECT_EQ(VTx_FreeRecordLayout(id(), "No Such Layout"), 605);
    EXPECT_EQ(VTx_InitRecordLayout(id(), 77, "Test Layout"), -1);
    EXPECT_EQ(VTx_GetLastEngineError(id()), 602);
    ASSERT_EQ(VTx_InitRecordLayout(id(), record, "Test Layout"), 0);
    EXPECT_EQ(VTx_GetLastEngineError(id()), 602); // never reset by success
    int32_t count = 0;
    EXPECT_EQ(VTx_GetRecordLayoutInit(id(), "Only Diagnosis", &count), 605);
}

TEST_F(RecordLayouts, FreeingALayoutReleasesItsFieldsForReuse) {
    int32_t record = allocate(400);
    ASSERT_EQ(VTx_InitRecordLayout(id(), record, "Test Layout"), 0);
    int32_t handle = handleOf("Record Type");
    EXPECT_EQ(VTx_FreeRecordLayout(id(), "test layout"), 0);
    EXPECT_EQ(handleOf("Record Type"), -1);
    EXPECT_EQ(VTx_LocalNumFromHnd(id(), handle), -1);
    EXPECT_EQ(VTx_FreeRecordLayout(id(), "test layout"), 605);
    ASSERT_EQ(VTx_InitRecordLayout(id(), record, "Only Diagnosis"), 0);
    EXPECT_EQ(handleOf("Date of Diagnosis"), handle); // the lowest free slot again
}

TEST_F(RecordLayouts, AlternateFieldsAreFoundOnlyWithoutAnOrdinaryOne) {
    int32_t record = allocate(400), other = allocate(400);
    ASSERT_EQ(VTx_InitAltRecordLayout(id(), record, "Alternate"), 0);
    int32_t alternate = VTx_FieldHandleByLocal(id(), 390, nullptr);
    EXPECT_GE(alternate, 0);
    EXPECT_EQ(instance().layouts().fieldForLocal(390), -2);
    EXPECT_EQ(instance().layouts().fieldForLocalValue(390), -1);
    ASSERT_EQ(VTx_InitRecordLayout(id(), other, "Only Diagnosis"), 0);
    int32_t ordinary = VTx_FieldHandleByLocal(id(), 390, nullptr);
    EXPECT_NE(ordinary, alternate);
    EXPECT_EQ(instance().layouts().fieldForLocal(-390), ordinary);
    EXPECT_EQ(VTx_FieldHandleByLocal(id(), 390, "Alternate"), alternate);
    EXPECT_EQ(instance().layouts().fieldForLocalInLayout(390, 2), alternate);
}

TEST_F(RecordLayouts, OptionWordsSetAndClearBothFlags) {
    int32_t record = allocate(400);
    ASSERT_EQ(VTx_InitRecordLayout(id(), record, "Test Layout"), 0);
    int32_t handle = handleOf("Record Type");
    auto flags = [&] { return instance().fieldTable().slots()[static_cast<size_t>(handle)].flags; };
    int32_t both = 12, none = 0, skip = 8;
    EXPECT_EQ(VTx_FieldOptions(id(), handle, &both), 0);
    EXPECT_EQ(flags() & 0x06, 0x06);
    EXPECT_EQ(VTx_FieldOptions(id(), handle, &skip), 0);
    EXPECT_EQ(flags() & 0x06, 0x02);
    EXPECT_EQ(VTx_RecordLayoutOptions(id(), "Test Layout", &none), 0);
    EXPECT_EQ(flags() & 0x06, 0);
    EXPECT_EQ(VTx_FieldOptions(id(), 5000, &both), 606);
    EXPECT_EQ(VTx_RecordLayoutOptions(id(), "Alternate", &both), 605);
}

TEST(RecordLayoutTable, TheEleventhBindingGrowsTheTableByTwo) {
    writer::MetafileBuilder builder;
    builder.addDictionaryEntry(entry(10, "Record Type", "C", 1));
    for (int n = 1; n <= 11; ++n)
        builder.addLayout(
            writer::RecordLayout{n, "Layout " + std::to_string(n), "", {{10, "C", 1, 1, ' '}}});
    vetra::testing::OpenMetafile metafile(builder);
    int32_t record = -1;
    ASSERT_EQ(VTx_AllocRecord(metafile.id(), 10, &record), 0);
    for (int n = 1; n <= 11; ++n)
        ASSERT_EQ(
            VTx_InitRecordLayout(metafile.id(), record, ("layout " + std::to_string(n)).c_str()),
            0);
    int32_t count = 0;
    EXPECT_EQ(VTx_GetRecordLayoutInit(metafile.id(), "Layout 11", &count), 0);
    EXPECT_EQ(count, 1);
}

// A layout is looked up by the first 30 characters of a name padded with blanks, a bound entry
// by the whole name, so "Sites" and "Sites " bind two entries of one layout. The second's name
// block is reserved for its two fields but is offered all four with that layout number; it
// names as many as fit whole and leaves the others with empty names.
TEST(RecordLayoutTable, OneLayoutBoundUnderTwoNamesKeepsItsNamesInsideItsBlock) {
    writer::MetafileBuilder builder;
    builder.addDictionaryEntry(
        entry(10, "Primary Site Code S", "C", 4, "Primary Site Code L", "Primary Site Code T"));
    builder.addDictionaryEntry(
        entry(11, "Laterality Code S", "C", 1, "Laterality Code L", "Laterality Code T"));
    builder.addLayout(
        writer::RecordLayout{1, "Sites", "", {{10, "C", 1, 4, ' '}, {11, "C", 5, 1, ' '}}});
    vetra::testing::OpenMetafile metafile(builder);
    int32_t record = -1;
    ASSERT_EQ(VTx_AllocRecord(metafile.id(), 5, &record), 0);
    ASSERT_EQ(VTx_InitRecordLayout(metafile.id(), record, "Sites"), 0);
    ASSERT_EQ(VTx_InitRecordLayout(metafile.id(), record, "Sites "), 0);

    char name[80] = "";
    EXPECT_EQ(VTx_FieldName(metafile.id(), 0, "T", name), 0);
    EXPECT_STREQ(name, "Primary Site Code T");
    EXPECT_EQ(VTx_FieldName(metafile.id(), 1, "L", name), 0);
    EXPECT_STREQ(name, "Laterality Code L");
    EXPECT_EQ(VTx_FieldName(metafile.id(), 2, "S", name), 0);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(VTx_LocalNumFromHnd(metafile.id(), 3), 11);
}

TEST_F(RecordLayouts, EditSetChecksNeedOwnerCallbackAndABoundLayout) {
    auto callback = [](intptr_t, int32_t, const char*, const char*) {};
    EXPECT_EQ(VTx_CheckEditSetAgainstLayout(id(), 1, 0, callback), 621);
    EXPECT_EQ(VTx_CheckEditSetAgainstLayout(id(), 1, 5, nullptr), 622);
    EXPECT_EQ(VTx_CheckEditSetAgainstLayout(id(), 1, 5, callback), 620);
    ASSERT_EQ(VTx_InitRecordLayout(id(), allocate(400), "Test Layout"), 0);
    EXPECT_EQ(VTx_CheckEditSetAgainstLayout(id(), 1, 5, callback), 623);
}

} // namespace
