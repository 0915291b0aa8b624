// Runs of edit sets on a bound record: which edits run, skip or stay suppressed, how their
// results are judged, the messages and flags they leave, and the message list's limit.
#include "tests/runs/run_metafile.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using vetra::testing::BoundRecord;
using vetra::testing::TestEdit;
namespace writer = vetra::writer;

const std::string kRecord = "AB1F20051231C509";

std::vector<TestEdit> basicEdits() {
    return {
        {"Sex Fails", 100, {220}, "return fail;"},
        {"Code Pair", 101, {10, 485}, "return fail;"},
        {"Sex Warns", 102, {220}, "return warn;"},
        {"Odd Result", 103, {390}, "return 7;"},
        {"Sex Passes", 100, {220}, "return pass;"},
        {"Sex And Code", 101, {220, 10}, "return fail;"},
        {"Date Values", 103, {390}, "return fail;"},
    };
}

writer::MetafileBuilder basicMetafile() {
    return vetra::testing::runMetafile(
        basicEdits(),
        {{"Basic", "", {"Sex Fails", "Code Pair", "Sex Warns", "Odd Result", "Sex Passes"}},
         {"Failed Fields", "", {"Sex Fails", "Sex And Code"}},
         {"Passing", "", {"Sex Passes"}},
         {"Dates", "", {"Date Values"}}});
}

struct Callbacks {
    std::vector<std::string> texts;
    static void record(intptr_t owner, const char* text) {
        reinterpret_cast<Callbacks*>(owner)->texts.push_back(text);
    }
};

class EditRuns : public ::testing::Test {
protected:
    int32_t run(int32_t set, int32_t flags, int32_t* count = nullptr) {
        int32_t messages = -1;
        int32_t status = VTx_RunBatch(id(), set, flags, &messages, 0, nullptr);
        if (count != nullptr) *count = messages;
        return status;
    }
    int32_t id() const { return record.id(); }

    BoundRecord record{basicMetafile(), kRecord};
};

TEST_F(EditRuns, ABatchJudgesEveryResultAndExpandsTheMessages) {
    int32_t set = record.load("Basic");
    int32_t count = 0;
    ASSERT_EQ(run(set, 0, &count), 0);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(record.messages(),
              (std::vector<std::string>{"E:Sex F at (4) is wrong in Sex Fails",
                                        "E:Code AB with registry 1", "W:Check Sex (Sex Title)"}));
    EXPECT_EQ(record.status(set, 0), 0x02);
    EXPECT_EQ(record.status(set, 1), 0x02);
    EXPECT_EQ(record.status(set, 2), 0x04);
    EXPECT_EQ(record.status(set, 3), 0); // neither pass, fail nor warning
    EXPECT_EQ(record.status(set, 4), 0x01);
    int32_t flag = 0, flags = 0, sum = 0;
    EXPECT_EQ(VTx_CheckFlag(id(), &flag, 100), 0);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(VTx_CountFlags(id(), &flags), 0);
    EXPECT_EQ(flags, 3);
    ASSERT_EQ(run(set, 0), 0); // flags are the host's to clear
    EXPECT_EQ(VTx_SumFlags(id(), &sum), 0);
    EXPECT_EQ(sum, 6);
}

TEST_F(EditRuns, MessagesLeadBackToTheirEdits) {
    int32_t set = record.load("Basic");
    ASSERT_EQ(run(set, 0), 0);
    int32_t handle = 0, index = -1;
    EXPECT_EQ(VTx_GetEditSetHandle(id(), 2, &handle, &index), 0);
    EXPECT_EQ(handle, set);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(VTx_GetEditSetHandle(id(), 0, &handle, &index), 314);
    EXPECT_EQ(VTx_GetEditSetHandle(id(), 4, &handle, &index), 313);
    char type[2], text[100], name[51];
    int32_t number = 0, fields = 0;
    EXPECT_EQ(VTx_GetMessageTextEx(id(), type, 3, text, sizeof text, &number, &handle, &index, name,
                                   &fields),
              0);
    EXPECT_STREQ(type, "W");
    EXPECT_EQ(number, 102);
    EXPECT_EQ(index, 2);
    EXPECT_STREQ(name, "Sex Warns");
    EXPECT_EQ(fields, 1);
}

TEST_F(EditRuns, SuppressedWarningsAddNoMessage) {
    int32_t set = record.load("Basic");
    int32_t count = 0;
    ASSERT_EQ(run(set, 0x80, &count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(record.status(set, 2), 0x44);
}

TEST_F(EditRuns, ASuppressedEditNeverRuns) {
    int32_t set = record.load("Basic");
    int32_t options = 8;
    ASSERT_EQ(VTx_EditOptions(id(), set, 0, &options), 0);
    options = -1;
    ASSERT_EQ(VTx_EditOptions(id(), set, 0, &options), 0);
    EXPECT_EQ(options, 8);
    int32_t count = 0;
    ASSERT_EQ(run(set, 0, &count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(record.status(set, 0), 0x200);
    EXPECT_EQ(VTx_EditOptions(id(), set, 5, &options), 308);
    EXPECT_EQ(VTx_EditOptions(id(), set + 1000, 0, &options), 307);
}

TEST_F(EditRuns, SkipEmptyTestsEveryFieldButTheExemptOnes) {
    int32_t set = record.load("Basic");
    record.setText("AB F20051231C509"); // registry 485 blank: exempt in a two-field edit
    ASSERT_EQ(run(set, 0x01), 0);
    EXPECT_EQ(record.status(set, 1), 0x02);
    record.setText("  1F20051231C509"); // code blank
    ASSERT_EQ(run(set, 0x01), 0);
    EXPECT_EQ(record.status(set, 1), 0x02 | 0x10);
    int32_t skips = 0, fields = 0, errors = 0, warnings = 0;
    EXPECT_EQ(VTx_GetEditCounts(id(), set, 1, &fields, &errors, &warnings, &skips), 0);
    EXPECT_EQ(skips, 1);
}

TEST_F(EditRuns, AnOverrideFieldIsNotTestedForEmptiness) {
    int32_t set = record.load("Basic");
    int32_t code = VTx_FieldHandleByLocal(id(), 10, "Test");
    int32_t override = 4;
    ASSERT_EQ(VTx_FieldOptions(id(), code, &override), 0);
    record.setText("  1F20051231C509");
    ASSERT_EQ(run(set, 0x01), 0);
    EXPECT_EQ(record.status(set, 1) & 0x10, 0);
}

TEST_F(EditRuns, OptionZeroTurnsTheSkipRulesOff) {
    int32_t set = record.load("Basic");
    int32_t none = 0;
    ASSERT_EQ(VTx_EditOptions(id(), set, 1, &none), 0);
    record.setText("  1F20051231C509");
    ASSERT_EQ(run(set, 0x01), 0);
    EXPECT_EQ(record.status(set, 1), 0x02);
}

TEST_F(EditRuns, SkipFailedPassesOverEditsOfAFieldThatFailedAlone) {
    int32_t set = record.load("Failed Fields");
    ASSERT_EQ(run(set, 0x02), 0);
    EXPECT_EQ(record.status(set, 1), 0x20);
    ASSERT_EQ(run(set, 0), 0);
    EXPECT_EQ(record.status(set, 1), 0x20 | 0x02);
}

TEST_F(EditRuns, ASingleFieldRunTakesTheEditsOfThatField) {
    int32_t set = record.load("Basic");
    int32_t count = 0;
    ASSERT_EQ(VTx_RunSingle(id(), set, 220, 0, &count, 0, nullptr), 0);
    EXPECT_EQ(count, 2); // the two-field edits are not on their own
    EXPECT_EQ(record.status(set, 1), 0);
    ASSERT_EQ(VTx_RunSingle(id(), set, 10, 0x04, &count, 0, nullptr), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(record.messages(), std::vector<std::string>{"E:Code AB with registry 1"});
    EXPECT_EQ(VTx_RunSingle(id(), set, 999, 0, &count, 0, nullptr), 312);
    EXPECT_EQ(VTx_RunSingle(id(), set + 1000, 220, 0, &count, 0, nullptr), 311);
}

TEST_F(EditRuns, LogicReadFromTheMetafileGivesTheSameResults) {
    int32_t inMemory = record.load("Basic", 1);
    ASSERT_EQ(run(inMemory, 0), 0);
    std::vector<std::string> expected = record.messages();
    int32_t stored = record.load("Basic", 0);
    ASSERT_EQ(run(stored, 0), 0);
    EXPECT_EQ(record.messages(), expected);
    EXPECT_EQ(record.status(stored, 3), 0);
}

TEST_F(EditRuns, AnEditRunsByItsName) {
    ASSERT_EQ(VTx_RunEditByName(id(), "sex fails", 0, nullptr), 0);
    EXPECT_EQ(record.messages(), std::vector<std::string>{"E:Sex F at (4) is wrong in Sex Fails"});
    EXPECT_EQ(VTx_RunEditByName(id(), "No Such Edit", 0, nullptr), 1);
}

TEST_F(EditRuns, TheCallbackOfOneRunIsRestoredAfterIt) {
    Callbacks opened, oneRun;
    VTx_SetEditsMessagesCallback(id(), reinterpret_cast<intptr_t>(&opened), &Callbacks::record);
    int32_t set = record.load("Basic");
    int32_t count = 0;
    ASSERT_EQ(
        VTx_RunBatch(id(), set, 0, &count, reinterpret_cast<intptr_t>(&oneRun), &Callbacks::record),
        0);
    EXPECT_EQ(oneRun.texts.size(), 3u);
    EXPECT_TRUE(opened.texts.empty());
    ASSERT_EQ(run(set, 0), 0);
    EXPECT_EQ(opened.texts.size(), 3u);
}

TEST_F(EditRuns, ShowEditNameAnnouncesEachEdit) {
    Callbacks seen;
    ASSERT_EQ(VTx_SetShowEditName(id(), '>'), 0);
    int32_t set = record.load("Passing");
    int32_t count = 0;
    ASSERT_EQ(
        VTx_RunBatch(id(), set, 0, &count, reinterpret_cast<intptr_t>(&seen), &Callbacks::record),
        0);
    EXPECT_EQ(seen.texts, std::vector<std::string>{">Sex Passes"});
}

TEST_F(EditRuns, AValueThatReproducesItsPlaceholderEndsItsExpansion) {
    record.setText("AB1F%V1     C509");
    ASSERT_EQ(run(record.load("Dates"), 0), 0);
    EXPECT_EQ(record.messages(), std::vector<std::string>{"E:Values: %V1"});
}

TEST_F(EditRuns, AnEmptyListReportsTheLastEngineError) {
    int32_t set = record.load("Passing");
    ASSERT_EQ(run(set, 0), 0);
    char type[2] = "?", text[100] = "";
    EXPECT_EQ(VTx_GetMessageText(id(), type, 1, text, sizeof text), 0);
    EXPECT_STREQ(text, "No error; this is the default initialization value.");
    EXPECT_EQ(run(set + 1000, 0), 307);
}

TEST_F(EditRuns, MessageMinusOneWithoutALastErrorTextIsBelowTheFirstMessage) {
    ASSERT_EQ(run(record.load("Basic"), 0), 0);
    record.load("Dates"); // a clean load empties the last engine error text
    char type[2] = "?", text[100] = "?";
    EXPECT_EQ(VTx_GetMessageText(id(), type, -1, text, sizeof text), 314);
    EXPECT_STREQ(type, "");
    EXPECT_STREQ(text, "");
}

TEST(Flags, HaveTheirBounds) {
    BoundRecord record{basicMetafile(), kRecord};
    int32_t value = 0;
    EXPECT_EQ(VTx_SetFlag(record.id(), 1001, 5), 0);
    EXPECT_EQ(VTx_CheckFlag(record.id(), &value, 1001), 320);
    EXPECT_EQ(value, INT32_MIN);
    EXPECT_EQ(VTx_SetFlag(record.id(), 0, 5), 322);
    EXPECT_EQ(VTx_SetFlag(record.id(), 1000, -7), 0);
    EXPECT_EQ(VTx_CheckFlag(record.id(), &value, 1000), 0);
    EXPECT_EQ(value, -7);
    EXPECT_EQ(VTx_CheckFlag(record.id(), &value, 0), 320);
    int32_t count = 0, sum = 0;
    EXPECT_EQ(VTx_CountFlags(record.id(), &count), 0);
    EXPECT_EQ(count, 1); // 1001 is not counted
    EXPECT_EQ(VTx_SumFlags(record.id(), &sum), 0);
    EXPECT_EQ(sum, -7);
    EXPECT_EQ(VTx_ClearAllFlags(record.id()), 0);
    EXPECT_EQ(VTx_CountFlags(record.id(), &count), 0);
    EXPECT_EQ(count, 0);
}

TEST(MessageList, KeepsThreeHundredNinetyNineMessagesAndANotice) {
    std::vector<TestEdit> edits;
    writer::EditSetDefinition flood{"Flood", "", {}};
    for (int i = 1; i <= 402; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "F%03d", i);
        edits.push_back({name, 103, {220}, "return fail;"});
        flood.members.push_back(name);
    }
    BoundRecord record{vetra::testing::runMetafile(edits, {flood}), kRecord};
    Callbacks seen;
    int32_t count = 0;
    ASSERT_EQ(VTx_RunBatch(record.id(), record.load("Flood"), 0, &count,
                           reinterpret_cast<intptr_t>(&seen), &Callbacks::record),
              0);
    EXPECT_EQ(count, 402);
    ASSERT_EQ(seen.texts.size(), 402u);
    EXPECT_EQ(seen.texts[399], "Vetra Message: MAXIMUM OF 399 ERRORS PER RECORD EXCEEDED.");
    EXPECT_EQ(seen.texts[401], "Values: F");
    std::vector<std::string> messages = record.messages();
    ASSERT_EQ(messages.size(), 400u);
    EXPECT_EQ(messages[398], "E:Values: F");
    EXPECT_EQ(messages[399], "E:Vetra Message: MAXIMUM OF 399 ERRORS PER RECORD EXCEEDED.");
    char type[2], text[100];
    EXPECT_EQ(VTx_GetMessageText(record.id(), type, 401, text, sizeof text), 313);
    int32_t flag = 0;
    EXPECT_EQ(VTx_CheckFlag(record.id(), &flag, 103), 0);
    EXPECT_EQ(flag, 402);
}

} // namespace
