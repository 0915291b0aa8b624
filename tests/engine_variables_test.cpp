#include "engine/interp/engine_variables.h"
#include "tests/support/open_metafile.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using vetra::EngineVariables;

class EngineVariablesTest : public ::testing::Test {
protected:
    std::string get(const char* name, int32_t expectedStatus = 0) {
        char value[512] = "untouched";
        EXPECT_EQ(VTx_GetVar(metafile.id(), name, value), expectedStatus) << name;
        return value;
    }
    vetra::testing::OpenMetafile metafile;
};

TEST(EngineVariableKeys, AreTrimmedUpperCaseAndIndexed) {
    EXPECT_EQ(EngineVariables::normaliseKey("  \tblankFirstMonthDigit \r\n"),
              "BLANKFIRSTMONTHDIGIT");
    EXPECT_EQ(EngineVariables::normaliseKey(" a [ 3 ]"), "A[3]");
    EXPECT_EQ(EngineVariables::normaliseKey("a[x]"), "A[0]");
    EXPECT_EQ(EngineVariables::indexedName(std::string(80, 'v'), 12),
              std::string(75, 'v') + "[12]");
}

TEST_F(EngineVariablesTest, NamesAreComparedWithoutRegardToCase) {
    EXPECT_EQ(VTx_SetVar(metafile.id(), "switch", "yes  \r\n"), 0);
    EXPECT_EQ(get("SWITCH"), "yes");
    EXPECT_EQ(get("unknown", 1001), "");
    ASSERT_EQ(metafile.id(), 0);
    char value[512];
    EXPECT_EQ(VT_GetVar("switch", value), 0);
    EXPECT_STREQ(value, "yes");
}

TEST_F(EngineVariablesTest, ABlankValueDeletesTheVariable) {
    VTx_SetVar(metafile.id(), "GONE", "x");
    EXPECT_EQ(VTx_SetVar(metafile.id(), "gone", "   "), 0);
    get("GONE", 1001);
}

TEST_F(EngineVariablesTest, IndexedFormsAddressTheSameElements) {
    EXPECT_EQ(VTx_SetVarIndex(metafile.id(), "A", "three", 3), 0);
    EXPECT_EQ(get("a[3]"), "three");
    char value[512];
    EXPECT_EQ(VTx_GetVarIndex(metafile.id(), "a", 3, value), 0);
    EXPECT_STREQ(value, "three");

    VTx_SetVarIndex(metafile.id(), "ARR", "x", 2);
    VTx_SetVarIndex(metafile.id(), "ARR", "y", 7);
    int32_t size = -1;
    EXPECT_EQ(VTx_GetVarSize(metafile.id(), "arr[1]", &size), 0);
    EXPECT_EQ(size, 7);
    EXPECT_EQ(VTx_GetVarSize(metafile.id(), "ARRAY", &size), 1003);
    EXPECT_EQ(size, 0);

    // Clearing the base deletes one element per call.
    VTx_SetVar(metafile.id(), "ARR", "");
    VTx_SetVar(metafile.id(), "ARR", "");
    EXPECT_EQ(VTx_GetVarSize(metafile.id(), "ARR", &size), 1003);
}

TEST_F(EngineVariablesTest, LongValuesAreCutAndReplacedInPlace) {
    std::string longValue(700, 'z');
    VTx_SetVar(metafile.id(), "LONG", longValue.c_str());
    EXPECT_EQ(get("LONG"), std::string(511, 'z'));
    VTx_SetVar(metafile.id(), "LONG", "short");
    EXPECT_EQ(get("LONG"), "short");
}

// Clearing a base without an index deletes whichever of the variable and its elements was
// created first.
TEST_F(EngineVariablesTest, ClearingABaseDeletesTheOldestOfItsVariablesFirst) {
    VTx_SetVarIndex(metafile.id(), "B", "element", 2);
    VTx_SetVar(metafile.id(), "B", "itself");
    VTx_SetVar(metafile.id(), "B", "");
    get("B[2]", 1001);
    EXPECT_EQ(get("B"), "itself");
    VTx_SetVar(metafile.id(), "B", "");
    get("B", 1001);
}

TEST_F(EngineVariablesTest, AnInstanceHoldsABoundedNumberOfVariables) {
    for (size_t i = 0; i < EngineVariables::kMaxVariables; ++i)
        ASSERT_EQ(VTx_SetVarIndex(metafile.id(), "V", "x", static_cast<int32_t>(i)), 0) << i;
    EXPECT_EQ(VTx_SetVar(metafile.id(), "ONE MORE", "x"), 449);
    char type[2] = "", text[200];
    EXPECT_EQ(VTx_GetMessageText(metafile.id(), type, -1, text, sizeof text), 0);
    EXPECT_STREQ(text, "In VTi_SetVar: an instance holds at most 65536 engine variables");
    EXPECT_EQ(VTx_SetVar(metafile.id(), "V[7]", "replaced"), 0);
    EXPECT_EQ(get("V[7]"), "replaced");
    EXPECT_EQ(VTx_SetVar(metafile.id(), "V[7]", ""), 0);
    EXPECT_EQ(VTx_SetVar(metafile.id(), "ONE MORE", "x"), 0);
    int32_t size = 0;
    EXPECT_EQ(VTx_GetVarSize(metafile.id(), "V", &size), 0);
    EXPECT_EQ(size, static_cast<int32_t>(EngineVariables::kMaxVariables) - 1);
}

} // namespace
