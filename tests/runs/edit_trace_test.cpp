// Tracing an edit: VTx_SetDebug's checks, and a traced set run of an edit with a loop and an
// if, checked line by line.
#include "engine/interp/edit_tracer.h"
#include "tests/runs/run_metafile.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using vetra::testing::BoundRecord;
using vetra::testing::TestEdit;
using Texts = std::vector<std::string>;

struct Trace {
    Texts fields, lines, variables, messages;
};

void onVariable(intptr_t owner, const char* text, int32_t iteration) {
    reinterpret_cast<Trace*>(owner)->variables.push_back(std::string(text) + " @" +
                                                         std::to_string(iteration));
}
void onField(intptr_t owner, const char* text) {
    reinterpret_cast<Trace*>(owner)->fields.push_back(text);
}
void onLine(intptr_t owner, const char* text) {
    std::string line(text);
    for (char& c : line)
        if (c == '\xBB') c = '>';
    reinterpret_cast<Trace*>(owner)->lines.push_back(line);
}
void onMessage(intptr_t owner, const char* text) {
    reinterpret_cast<Trace*>(owner)->messages.push_back(text);
}

class EditTrace : public ::testing::Test {
protected:
    Trace run(const std::string& source, const char* traced = "Traced") {
        std::vector<TestEdit> edits = {{"Traced", 100, {220}, source},
                                       {"Other", 101, {10}, "return fail;"}};
        vetra::writer::EditSetDefinition set{"Set", "", {"Traced", "Other"}};
        record = std::make_unique<BoundRecord>(vetra::testing::runMetafile(edits, {set}),
                                               "AB1F20051231C509");
        Trace trace;
        EXPECT_EQ(VTx_SetDebug(record->id(), traced, reinterpret_cast<intptr_t>(&trace), onVariable,
                               onField, onLine, onMessage),
                  0);
        int32_t count = 0;
        EXPECT_EQ(VTx_RunBatch(record->id(), record->load("Set"), 0, &count, 0, nullptr), 0);
        return trace;
    }
    std::unique_ptr<BoundRecord> record;
};

const char* kLoopAndIf = "int i;\nint n;\nn = 0;\nfor (i = 0; i < 3; i = i + 1)\n"
                         "    n = n + 1;\nif (n > 5)\n    n = 9;\nelse\n    n = 4;\n"
                         "while (n > 2) {\n    n = n - 1;\n}\nset_error(101);\nreturn fail;\n";

TEST_F(EditTrace, LinesAreReportedInExecutionOrderLoopsOnTheirFirstPass) {
    Trace trace = run(kLoopAndIf);
    EXPECT_EQ(trace.fields, Texts{"Sex Title == F"});
    EXPECT_EQ(trace.lines,
              (Texts{"  1: >int i ; ", "  2: >int n ; ", "  3: >n = 0 ; ",
                     "  4: >for ( i = 0 ; i < 3 ; i = i + 1 ) ", "  5: >n = n + 1 ; ",
                     "  6: >if ( n > 5 ) ", "  7:  n = 9 ; ", "  8: >else ", "  9: >n = 4 ; ",
                     " 10: >while ( n > 2 ) { ", " 11: >n = n - 1 ; ", " 12: >} ",
                     " 13: >set_error ( 101 ) ; ", " 14: >return fail ; "}));
    // The messages of the traced edit only: its set_error and its own failure.
    EXPECT_EQ(trace.messages,
              (Texts{"Code F with registry <BLANK>", "Sex F at (4) is wrong in Traced"}));
}

TEST_F(EditTrace, VariablesFollowEachExecutedLineWithTheLoopIteration) {
    Trace trace = run(kLoopAndIf);
    Texts expected = {"  1: i == 0 @-1", "  2: i == 0 @-1", "  2: n == 0 @-1"};
    for (int pass = 0; pass < 3; ++pass)
        for (int line : {4, 5})
            for (std::string name : {"i", "n"})
                expected.push_back("  " + std::to_string(line) + ": " + name +
                                   " == " + std::to_string(name == "i" ? pass : pass + 1) + " @" +
                                   std::to_string(pass));
    Texts tail = {"  6: i == 3 @-1", "  6: n == 3 @-1", "  8: i == 3 @-1", "  8: n == 4 @-1",
                  "  9: i == 3 @-1", "  9: n == 4 @-1", " 10: i == 3 @0",  " 10: n == 4 @0",
                  " 11: i == 3 @0",  " 11: n == 3 @0",  " 12: i == 3 @0",  " 12: n == 3 @0",
                  " 10: i == 3 @1",  " 10: n == 3 @1",  " 11: i == 3 @1",  " 11: n == 2 @1",
                  " 12: i == 3 @1",  " 12: n == 2 @1",  " 13: i == 3 @-1", " 13: n == 2 @-1",
                  " 14: i == 3 @-1", " 14: n == 2 @-1"};
    expected.insert(expected.begin() + 3, {"  3: i == 0 @-1", "  3: n == 0 @-1"});
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(trace.variables, expected);
}

TEST_F(EditTrace, LinesAfterTheReturnThatEndsTheRunArePassedOver) {
    Trace trace = run("int n;\nn = 1;\nif (n == 1)\n    return fail;\nreturn pass;\n");
    EXPECT_EQ(trace.lines, (Texts{"  1: >int n ; ", "  2: >n = 1 ; ", "  3: >if ( n == 1 ) ",
                                  "  4: >return fail ; ", "  5:  return pass ; "}));
    EXPECT_EQ(trace.variables.back(), "  4: n == 1 @-1");
}

TEST_F(EditTrace, AFunctionsLinesAreTracedWhereTheyStandWhenCalled) {
    Trace trace = run("int n;\nn = twice(4);\nreturn pass;\n\nfunction twice(int x)\n{\n"
                      "    return x + x;\n}\n");
    EXPECT_EQ(trace.lines, (Texts{"  1: >int n ; ", "  5: >funcdecl_A ( int x ) ", "  6: >{ ",
                                  "  7: >return x + x ; ", "  2: >n = funccall_A ( 4 ) ; ",
                                  "  3: >return pass ; ", "  5:  funcdecl_A ( int x ) ", "  6:  { ",
                                  "  7:  return x + x ; ", "  8:  } "}));
}

TEST_F(EditTrace, OnlyTheNamedEditIsTraced) {
    EXPECT_EQ(run(kLoopAndIf, "traced").lines, Texts{}); // the name is compared exactly
    Trace trace = run(kLoopAndIf, "Other");
    EXPECT_EQ(trace.fields, Texts{"Code Title == AB"});
    EXPECT_EQ(trace.lines, Texts{"  1: >return fail ; "});
}

TEST_F(EditTrace, SetDebugNeedsACallbackAndAnOwner) {
    record = std::make_unique<BoundRecord>(vetra::testing::runMetafile({}, {}), "AB");
    int32_t id = record->id();
    EXPECT_EQ(VTx_SetDebug(id, "Edit", 1, nullptr, nullptr, onLine, nullptr), 0);
    EXPECT_EQ(VTx_SetDebug(id, "Edit", 1, nullptr, nullptr, nullptr, nullptr), 931);
    EXPECT_EQ(VTx_SetDebug(id, "Edit", 0, nullptr, nullptr, onLine, nullptr), 932);
    EXPECT_EQ(VTx_SetDebug(id, "", 0, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(VTx_SetDebug(-7, "", 0, nullptr, nullptr, nullptr, nullptr), -2);
}

TEST(TracedValue, DateConstantsByNameOtherValuesAsNumbers) {
    vetra::TextAddressSpace addresses;
    vetra::VariableRecord variable;
    variable.type = vetra::kIntType;
    auto shown = [&](int32_t value) {
        variable.value = value;
        return vetra::tracedValue(variable, addresses);
    };
    EXPECT_EQ(shown(0x3FFFFFFF), "DT_EMPTY");
    EXPECT_EQ(shown(0x7FFFFFFF), "DT_UNKNOWN");
    EXPECT_EQ(shown(0x10000000), "268435456");
    EXPECT_EQ(shown(-5), "-5");
    EXPECT_EQ(shown(0x20000000), "WHOOPS");
}

} // namespace
