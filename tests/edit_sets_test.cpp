// Edit sets written into the internal tables, loaded and read through the exported calls.
#include "engine/api/engine_process.h"
#include "engine/edits/text_formatter.h"
#include "tests/support/open_metafile.h"
#include "tools/metafile_writer/edit_tables.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace writer = vetra::writer;

writer::DictionaryEntry entry(long local, std::string name, std::string type, int length) {
    writer::DictionaryEntry e;
    e.localNumber = local;
    e.shortName = name;
    e.longName = name + " Long";
    e.thirdName = name + " Third";
    e.typeCode = std::move(type);
    e.length = length;
    return e;
}

// Layout "Test" has Sex (220) at column 12 and Date of Diagnosis (390) at 2; Laterality (410)
// is in the dictionary only.
writer::MetafileBuilder editSetBuilder() {
    writer::MetafileBuilder builder;
    builder.addDictionaryEntry(entry(220, "Sex", "C", 1));
    builder.addDictionaryEntry(entry(390, "Date of Diagnosis", "D1", 8));
    builder.addDictionaryEntry(entry(410, "Laterality", "C", 1));
    builder.addLayout(
        writer::RecordLayout{1, "Test", "", {{390, "D1", 2, 8, ' '}, {220, "C", 12, 1, ' '}}});
    std::vector<writer::EditDefinition> edits = {
        {"Sex, Valid", 1001, {220}, "@F0004(#220E'9)\nDQ;\nR", "Sex must be coded.", "Help text"},
        {"Date Valid", 1002, {390}, "@DQ;", "", ""},
        {"Laterality", 1003, {410, 220}, "@R", "Needs laterality.", ""},
    };
    std::vector<writer::EditSetDefinition> sets = {
        {"Basic Set", "The basic checks", {"Sex, Valid", "Date Valid"}},
        {"Full Set", "", {"Date Valid", "Laterality", "Sex, Valid"}},
    };
    writer::EditTableRows rows = writer::editTableRows(edits, sets);
    for (auto& row : rows.compiledEdits)
        builder.addInternalRow("_RE_CEDI.DBF", row);
    for (auto& row : rows.editSets)
        builder.addInternalRow("_RE_EDSE.DBF", row);
    for (auto& row : rows.catalogue)
        builder.addInternalRow("_RE_COMP.DBF", row);
    return builder;
}

class EditSets : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VTx_AllocRecord(id(), 20, &record), 0);
        ASSERT_EQ(VTx_InitRecordLayout(id(), record, "Test"), 0);
        VTx_UpdateRecord(id(), record, " 20051231  ");
    }
    int32_t id() const { return metafile.id(); }
    TMetaFile& instance() { return *vetra::engineProcess().metafiles().find(id()); }
    int32_t load(const char* name, int32_t option = 1, int32_t* status = nullptr) {
        int32_t handle = 0, loadStatus = -1;
        EXPECT_EQ(VTx_LoadEditSet(id(), &handle, name, &loadStatus, option), 0) << name;
        if (status != nullptr) *status = loadStatus;
        return handle;
    }
    std::string editName(int32_t set, int32_t index) {
        char name[80] = "";
        EXPECT_EQ(VTx_GetEditName(id(), set, index, name), 0);
        return name;
    }

    vetra::testing::OpenMetafile metafile{editSetBuilder()};
    int32_t record = -1;
};

TEST_F(EditSets, CatalogueListsTheEditSets) {
    int32_t count = 0;
    EXPECT_EQ(VTx_GetEditSetCount(id(), &count), 0);
    EXPECT_EQ(count, 2);
    char name[80];
    EXPECT_EQ(VTx_GetEditSetName(id(), 2, name), 0);
    EXPECT_STREQ(name, "Full Set");
    char text[80];
    int32_t length = 0;
    EXPECT_EQ(VTx_GetEditSetDescript(id(), "basic set", sizeof text, &length, text), 0);
    EXPECT_STREQ(text, "The basic checks");
    int32_t size = 0;
    EXPECT_EQ(VTx_GetMemoSize(id(), 2, "Basic Set", &size), 0);
    EXPECT_EQ(size, 17);
    EXPECT_EQ(VTx_GetMemoSize(id(), 1, "sex, valid", &size), 0);
    EXPECT_EQ(size, 19);
    EXPECT_EQ(VTx_GetMemoSize(id(), 1, "Date Valid", &size), 0);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(VTx_GetMemoSize(id(), 4, "x", &size), 325);
}

TEST_F(EditSets, LoadsMembersInOrderAndFindsThemAgain) {
    int32_t status = -1;
    int32_t basic = load("Basic Set", 1, &status);
    EXPECT_EQ(status, 0);
    int32_t count = 0;
    EXPECT_EQ(VTx_GetEditSetSize(id(), basic, &count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(editName(basic, 0), "Sex, Valid");
    EXPECT_EQ(editName(basic, 1), "Date Valid");
    int32_t index = 99;
    EXPECT_EQ(VTx_GetEditHandle(id(), basic, &index, "DATE VALID"), 0);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(VTx_GetEditHandle(id(), basic, &index, "nothing"), 0);
    EXPECT_EQ(index, -1);

    char name[80];
    int32_t edits = 0, flags = 0, field = 0;
    EXPECT_EQ(VTx_GetEditSetInfo(id(), basic, name, &edits, &flags, &field), 0);
    EXPECT_STREQ(name, "Basic Set");
    EXPECT_EQ(flags, -1);
    EXPECT_EQ(field, -1);

    EXPECT_EQ(load("Basic Set"), basic);          // already loaded: the same handle
    EXPECT_EQ(load("basic set") == basic, false); // the register is case-sensitive
}

TEST_F(EditSets, AFieldMissingFromTheLayoutDisablesItsEdit) {
    int32_t status = -1;
    int32_t full = load("Full Set", 1, &status);
    EXPECT_EQ(status, 5);
    EXPECT_EQ(instance().lastError().text(), "Missing field \"Laterality\" in edit \"Laterality\"");
    char name[80];
    int32_t fields, bits, options, errors, warnings, skips;
    EXPECT_EQ(VTx_GetEditInfoEx(id(), full, 1, name, &fields, &bits, &options, &errors, &warnings,
                                &skips),
              0);
    EXPECT_STREQ(name, "Laterality");
    EXPECT_EQ(fields, 2);
    EXPECT_EQ(bits, 0x100);
    EXPECT_EQ(options, 512);
    EXPECT_EQ(skips, -410);
    EXPECT_EQ(VTx_GetEditCounts(id(), full, 1, &fields, &errors, &warnings, &skips), 0);
    EXPECT_EQ(skips, 0);
    EXPECT_EQ(VTx_GetEditCounts(id(), full, 3, &fields, &errors, &warnings, &skips), 323);
    EXPECT_EQ(VTx_GetEditInfoEx(id(), full, -1, name, &fields, &bits, &options, &errors, &warnings,
                                &skips),
              416);
}

// Edits keep only their missing-field bit when field options change, and those reading a
// field whose edits are to be skipped are marked, in every loaded set.
// Message -1 shows the last engine error text while there is one; once a clean load has
// emptied it, the number reads on as the last engine error while no run has left messages.
class LastErrorMessage : public EditSets {
protected:
    using Read = std::tuple<int32_t, std::string, std::string>; // status, type, text
    Read readMinusOne() {
        char type[2] = "?", text[200] = "?";
        int32_t status = VTx_GetMessageText(id(), type, -1, text, sizeof text);
        return {status, type, text};
    }
};

TEST_F(LastErrorMessage, ShowsTheTextOfALoadThatMissedAField) {
    load("Full Set");
    EXPECT_EQ(readMinusOne(), Read(0, "W", "Missing field \"Laterality\" in edit \"Laterality\""));
}

TEST_F(LastErrorMessage, AfterACleanLoadGivesTheLastEngineError) {
    load("Full Set");
    load("Basic Set");
    EXPECT_EQ(readMinusOne(), Read(0, "", "No error; this is the default initialization value."));
}

TEST_F(LastErrorMessage, AfterACleanLoadGivesARecordedCodeWithItsCatalogueText) {
    int32_t full = load("Full Set");
    auto ignore = [](intptr_t, int32_t, const char*, const char*) {};
    EXPECT_EQ(VTx_CheckEditSetAgainstLayout(id(), full, 0, ignore), 621);
    load("Basic Set");
    EXPECT_EQ(readMinusOne(), Read(621, "", "EditsOwner must be assigned"));
}

TEST_F(EditSets, FieldOptionsRemarkTheEditsOfEveryLoadedSet) {
    int32_t basic = load("Basic Set");
    int32_t full = load("Full Set");
    for (int32_t set : {basic, full})
        for (vetra::EditEntry& edit :
             instance().editSets().entries(*instance().editSets().find(set)))
            edit.status |= 0x2F7; // outcomes of earlier runs
    auto bits = [&](int32_t set, int32_t index) {
        char name[80];
        int32_t fields, status = -1, options, errors, warnings, skips;
        EXPECT_EQ(VTx_GetEditInfoEx(id(), set, index, name, &fields, &status, &options, &errors,
                                    &warnings, &skips),
                  0);
        return status;
    };
    int32_t sex = VTx_FieldHandle(id(), "Sex", "S", "Test");
    int32_t skip = 8, none = 0;

    EXPECT_EQ(VTx_FieldOptions(id(), 5000, &skip), 606); // a failed call marks nothing
    EXPECT_EQ(bits(basic, 0), 0x2F7);

    ASSERT_EQ(VTx_FieldOptions(id(), sex, &skip), 0);
    EXPECT_EQ(bits(basic, 0), 0x08); // Sex, Valid
    EXPECT_EQ(bits(basic, 1), 0);    // Date Valid
    EXPECT_EQ(bits(full, 0), 0);     // Date Valid
    EXPECT_EQ(bits(full, 1), 0x108); // Laterality: 410 is missing, 220 is Sex
    EXPECT_EQ(bits(full, 2), 0x08);  // Sex, Valid

    ASSERT_EQ(VTx_RecordLayoutOptions(id(), "Test", &none), 0);
    EXPECT_EQ(bits(basic, 0), 0);
    EXPECT_EQ(bits(full, 1), 0x100);
    EXPECT_EQ(bits(full, 2), 0);
}

TEST_F(EditSets, UnknownSetsAndHandlesAreReported) {
    int32_t handle = 0, status = 0;
    EXPECT_EQ(VTx_LoadEditSet(id(), &handle, "No Such Set", &status, 1), 462);
    int32_t count = 5;
    EXPECT_EQ(VTx_GetEditSetSize(id(), 1, &count), 315);
    EXPECT_EQ(count, 0);
    int32_t index = 0;
    EXPECT_EQ(VTx_GetEditHandle(id(), 1, &index, "x"), 307);
    EXPECT_EQ(VTx_FreeEditSet(id(), 12345), 0);
}

TEST_F(EditSets, LogicIsRenderedAndExportedWithOrWithoutMemory) {
    for (int32_t option : {1, 0}) {
        vetra::testing::OpenMetafile other{editSetBuilder()};
        int32_t slot = -1, handle = 0, status = 0;
        VTx_AllocRecord(other.id(), 20, &slot);
        VTx_InitRecordLayout(other.id(), slot, "Test");
        ASSERT_EQ(VTx_LoadEditSet(other.id(), &handle, "Basic Set", &status, option), 0);
        EXPECT_EQ(status, option == 1 ? 0 : 1);
        char text[200];
        int32_t length = -1;
        ASSERT_EQ(VTx_GetEditLogic(other.id(), handle, 0, sizeof text, "|", &length, text), 0);
        EXPECT_STREQ(text, "if ( #S\"Sex\" == '9' ) |return fail ; |pass |");
        EXPECT_EQ(length, 44);
        EXPECT_EQ(VTx_GetEditLogic(other.id(), handle, 0, 44, "|", &length, text), 0);
        EXPECT_EQ(length, 0);
        char logic[100], name[100];
        EXPECT_EQ(VTx_GetEncodedEdit(other.id(), handle, 1, logic, sizeof logic, name, sizeof name),
                  0);
        EXPECT_STREQ(logic, "@DQ;");
        EXPECT_STREQ(name, "Date Valid");
        EXPECT_EQ(VTx_GetEditLogic(other.id(), handle, 5, sizeof text, "|", &length, text), 69);
    }
}

TEST_F(EditSets, DescriptionsAndHelpAreWrappedOrCut) {
    int32_t basic = load("Basic Set");
    char text[80];
    int32_t length = 0;
    EXPECT_EQ(VTx_GetEditDescript(id(), basic, 0, 80, sizeof text, &length, text, 2), 0);
    EXPECT_STREQ(text, "Sex must be coded.");
    EXPECT_EQ(length, 18);
    EXPECT_EQ(VTx_GetEditDescript(id(), basic, 0, 9, sizeof text, &length, text, 1), 0);
    EXPECT_STREQ(text,
                 "Sex must\r\nbe \r\ncoded."); // a word that would end on the last column wraps
    EXPECT_EQ(VTx_GetEditHelp(id(), basic, 0, 80, 5, &length, text, 2), 0);
    EXPECT_STREQ(text, "Help");
    EXPECT_EQ(VTx_GetEditDescript(id(), 9999, 0, 80, sizeof text, &length, text, 2), -2);
}

TEST_F(EditSets, TextsOfAnEditBeyondTheSetLeaveTheOutputsAlone) {
    int32_t basic = load("Basic Set");
    for (int32_t index : {2, 9999}) {
        char text[16] = "keep";
        int32_t length = 77;
        EXPECT_EQ(VTx_GetEditDescript(id(), basic, index, 80, sizeof text, &length, text, 2), 0);
        EXPECT_STREQ(text, "keep");
        EXPECT_EQ(length, 77);
        EXPECT_EQ(VTx_GetEditHelp(id(), basic, index, 80, sizeof text, &length, text, 1), 0);
        EXPECT_STREQ(text, "keep");
        EXPECT_EQ(length, 77);
    }
}

TEST_F(EditSets, EditInformationExpandsTheEditsPlaceholders) {
    int32_t basic = load("Basic Set");
    char text[256];
    EXPECT_EQ(
        VTx_GetEditInfo(id(), basic, 0, "%S1 %C1 [%V1] %E %K %F1 %L1 %X1 %Z", text, sizeof text),
        0);
    EXPECT_STREQ(text, "Sex (12) [<BLANK>] Sex, Valid 0 Sex Third Sex Long  ");
    EXPECT_EQ(VTx_GetEditInfo(id(), basic, 1, "%V1|%N1|%W1|%D1", text, sizeof text), 0);
    EXPECT_STREQ(text, "Y:2005 M:12 D:31|Date of Diagnosis/Date of Diagnosis Long|"
                       "_ _ _ _ _ _ _ _ |Y:2005 M:12 D:31");
    EXPECT_EQ(VTx_GetEditInfo(id(), basic, 0, "%S1 and more", text, 6), 0);
    EXPECT_STREQ(text, "Sex a");
}

TEST_F(EditSets, SelfReproducingValuesStopExpanding) {
    int32_t basic = load("Basic Set");
    VTx_UpdateRecordEx(id(), record, "%", 12, 1);
    char text[256];
    EXPECT_EQ(VTx_GetEditInfo(id(), basic, 0, "%V1V1", text, sizeof text), 0);
    EXPECT_STREQ(text, "");
}

TEST_F(EditSets, ChecksTheSetAgainstTheBoundLayout) {
    int32_t full = load("Full Set");
    std::vector<std::string> reports;
    auto collect = [](intptr_t owner, int32_t local, const char* field, const char* edit) {
        reinterpret_cast<std::vector<std::string>*>(owner)->push_back(std::to_string(local) + " " +
                                                                      field + " " + edit);
    };
    EXPECT_EQ(
        VTx_CheckEditSetAgainstLayout(id(), full, reinterpret_cast<intptr_t>(&reports), collect),
        0);
    EXPECT_EQ(reports, std::vector<std::string>{"410 Laterality Laterality"});
}

TEST(EditSetSizes, LogicBeyondTheStoredSizeIsReadFromTheEditRecord) {
    writer::MetafileBuilder builder;
    builder.addDictionaryEntry(entry(220, "Sex", "C", 1));
    builder.addLayout(writer::RecordLayout{1, "Test", "", {{220, "C", 1, 1, ' '}}});
    std::vector<writer::EditDefinition> edits = {{"First", 1, {220}, "@DR;", "", ""},
                                                 {"Second", 2, {220}, "@DQ;", "", ""}};
    writer::EditTableRows rows = writer::editTableRows(edits, {{"Set", "", {"First", "Second"}}});
    // The catalogue claims room for the first edit's logic only.
    rows.catalogue[0].values[1].replace(8, 8, "       5");
    for (auto& row : rows.compiledEdits)
        builder.addInternalRow("_RE_CEDI.DBF", row);
    for (auto& row : rows.editSets)
        builder.addInternalRow("_RE_EDSE.DBF", row);
    for (auto& row : rows.catalogue)
        builder.addInternalRow("_RE_COMP.DBF", row);
    vetra::testing::OpenMetafile metafile(builder);
    int32_t record = -1, handle = 0, status = -1;
    VTx_AllocRecord(metafile.id(), 1, &record);
    VTx_InitRecordLayout(metafile.id(), record, "Test");
    ASSERT_EQ(VTx_LoadEditSet(metafile.id(), &handle, "Set", &status, 1), 0);
    EXPECT_EQ(status, 0);
    TMetaFile& instance = *vetra::engineProcess().metafiles().find(metafile.id());
    auto* set = instance.editSets().find(handle);
    auto entries = instance.editSets().entries(*set);
    EXPECT_EQ(entries[0].logicOffset, 0);
    EXPECT_EQ(entries[1].logicOffset, vetra::kLogicNotLoaded);
    char logic[64], name[64];
    int32_t length = 0;
    ASSERT_EQ(VTx_GetEditLogic(metafile.id(), handle, 1, sizeof logic, "|", &length, logic), 0);
    EXPECT_STREQ(logic, "return fail ; |");
    ASSERT_EQ(VTx_GetEncodedEdit(metafile.id(), handle, 1, logic, sizeof logic, name, sizeof name),
              0);
    EXPECT_STREQ(logic, "@DQ;");
}

TEST(TextFormatter, WrapsAtTheLineWidthAndIndentsAfterTabs) {
    EXPECT_EQ(vetra::fmttext(10, "one two three four", 100), "one two \r\nthree \r\nfour");
    EXPECT_EQ(vetra::fmttext(11, "one two three four", 100), "one two \r\nthree four");
    EXPECT_EQ(vetra::fmttext(12, "a\tbb cc dd ee", 100), "a   bb cc \r\n    dd ee");
    EXPECT_EQ(vetra::fmttext(80, "line\r\nnext\nlast", 100), "line\r\nnext\r\nlast");
    EXPECT_EQ(vetra::fmttext(80, "abcdef", 4), "abc");
    EXPECT_EQ(vetra::fmttext(3, "abcdef", 100), "abc\r\ndef\r\n");
}

} // namespace
