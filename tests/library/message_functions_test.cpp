// The built-ins that raise flags and messages and choose the message of a failing edit, run
// through edit sets on a bound record (Sex "F" at column 4, Code "AB").
#include "tests/runs/run_metafile.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using vetra::testing::BoundRecord;
using vetra::testing::TestEdit;
using Messages = std::vector<std::string>;

class MessageFunctions : public ::testing::Test {
protected:
    // Runs the edits, one set holding them in order; the messages of the run, or the run's
    // engine error as "error N".
    Messages run(const std::vector<TestEdit>& edits, int32_t flags = 0) {
        vetra::writer::EditSetDefinition set{"Set", "", {}};
        for (const TestEdit& edit : edits)
            set.members.push_back(edit.name);
        record = std::make_unique<BoundRecord>(vetra::testing::runMetafile(edits, {set}),
                                               "AB1F20051231C509");
        int32_t count = 0;
        int32_t status = VTx_RunBatch(record->id(), record->load("Set"), flags, &count, 0, nullptr);
        if (status != 0) return {"error " + std::to_string(status)};
        return record->messages();
    }
    int32_t flag(int32_t number) {
        int32_t value = 0;
        VTx_CheckFlag(record->id(), &value, number);
        return value;
    }

    std::unique_ptr<BoundRecord> record;
};

TEST_F(MessageFunctions, SetErrorRaisesFlagsAndAddsMessagesWithTheEditsFields) {
    EXPECT_EQ(run({{"Raise", 100, {220}, "set_error(100, 101); return pass;"}}),
              (Messages{"E:Sex F at (4) is wrong in Raise", "E:Code F with registry <BLANK>"}));
    EXPECT_EQ(flag(100), 1);
    EXPECT_EQ(flag(101), 1);
}

TEST_F(MessageFunctions, SaveTextAddsTextWithoutAFlag) {
    EXPECT_EQ(run({{"Note", 100, {220}, "save_error_text(103); save_text(\"Seen %E\");"}}),
              (Messages{"E:Values: F", "M:Seen Note"}));
    EXPECT_EQ(flag(103), 0);
}

TEST_F(MessageFunctions, WarningsAreSkippedUnevaluatedWhenSuppressed) {
    std::vector<TestEdit> edits = {{"Warn", 102, {220}, "set_warning(102, 1 / 0); return pass;"}};
    EXPECT_EQ(run(edits, 0x80), Messages{});
    EXPECT_EQ(run(edits, 0), Messages{"error 474"});
    EXPECT_EQ(run({{"Warn", 102, {220}, "save_warning_text(102);"}}),
              Messages{"W:Check Sex (Sex Title)"});
}

TEST_F(MessageFunctions, TheOverridesChooseTheMessageOfAFailingEdit) {
    EXPECT_EQ(run({{"By Number", 100, {220}, "error_msg(103); return fail;"}}),
              Messages{"E:Values: F"});
    EXPECT_EQ(flag(103), 1);
    EXPECT_EQ(flag(100), 0);
    EXPECT_EQ(run({{"By Text", 100, {220}, "error_text(\"Custom %V1\"); return fail;"}}),
              Messages{"E:Custom F"});
}

TEST_F(MessageFunctions, TheNumberOverrideEndsWithItsEdit) {
    EXPECT_EQ(run({{"Chooses", 100, {220}, "error_msg(103); return pass;"},
                   {"Fails", 100, {220}, "return fail;"}}),
              Messages{"E:Sex F at (4) is wrong in Fails"});
}

TEST_F(MessageFunctions, FlagsAreSetCheckedAndCounted) {
    EXPECT_EQ(run({{"Flags",
                    100,
                    {220},
                    "set_flag(7, 3); set_flag(\"8\", \"5\"); increment_flag(9, 9);\n"
                    "if (check_flag(5, 7) != -1 || check_flag(5) != 0) return fail;\n"
                    "if (check_flag(2000) != -1) return fail;\n"
                    "return pass;"}}),
              Messages{});
    EXPECT_EQ(flag(7), 3);
    EXPECT_EQ(flag(8), 5);
    EXPECT_EQ(flag(9), 2);
    EXPECT_EQ(run({{"Clear", 100, {220}, "set_flag(7, 3); clear_all_flags(); return pass;"}}),
              Messages{});
    EXPECT_EQ(flag(7), 0);
    EXPECT_EQ(run({{"Bad", 100, {220}, "check_flag(\"x\");"}}), Messages{"error 2025"});
}

TEST_F(MessageFunctions, UserSlotsTwoAndFourRaiseAndCheck) {
    EXPECT_EQ(run({{"Slots",
                    100,
                    {220},
                    "if (usr4(100, 101) != 0) return fail;\n"
                    "usr2(100, 0, 101);\n"
                    "if (usr4(7, 100) != 1) return fail;\n"
                    "return pass;"}}),
              Messages{"E:Sex F at (4) is wrong in Slots"});
    EXPECT_EQ(flag(100), 1);
    EXPECT_EQ(flag(101), 0); // the raise stops at the first 0 after the first number
    EXPECT_EQ(run({{"Empty Slot", 100, {220}, "usr1(1);"}}), Messages{"error 2054"});
    EXPECT_EQ(run({{"Six", 100, {220}, "usr2(1, 2, 3, 4, 5, 6);"}}), Messages{"error 2052"});
}

TEST_F(MessageFunctions, TheDateStatusReachesTheMessage) {
    EXPECT_EQ(run({{"Diagnosis",
                    104,
                    {390},
                    "if (valid_date(20051301) != dt_valid) return fail; return pass;"}}),
              Messages{"E:Date Title is invalid as to month"});
    EXPECT_EQ(run({{"Diagnosis",
                    104,
                    {390},
                    "if (valid_date(#S\"Date\") != dt_valid) return fail; return pass;"}}),
              Messages{});
}

TEST_F(MessageFunctions, ConsoleFunctionsDoNothing) {
    EXPECT_EQ(run({{"Console",
                    100,
                    {220},
                    "print(\"x\"); print(); puts(\"y\"); show(3); show();\n"
                    "if (getche() != 0 || getnum() != 0 || putch(65) != 65) return fail;\n"
                    "return pass;"}}),
              Messages{});
    EXPECT_EQ(run({{"Use", 100, {220}, "use();"}}), Messages{"error 522"});
    EXPECT_EQ(run({{"Read", 100, {220}, "read();"}}), Messages{"error 523"});
}

} // namespace
