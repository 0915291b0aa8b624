#include "engine/api/caller_buffer.h"
#include "engine/api/last_engine_error.h"
#include "engine/api/vetra40.h"

#include <cstring>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

TEST(EngineVersion, NeedsRoomForTheTextAndItsTerminator) {
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(VTx_GetVersion(buffer, 7), 37);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(VTx_GetVersion(buffer, 8), 0);
    EXPECT_STREQ(buffer, "4.0.1.8");
    EXPECT_EQ(VTx_GetVersion(buffer, 12), 0);
    EXPECT_STREQ(buffer, "4.0.1.8");
}

// A text the engine does not have is an empty view whose data may be null; the caller still
// gets an empty, terminated text.
TEST(CallerBuffer, AnEmptyTextLeavesATerminatorOnly) {
    char buffer[4] = "xyz";
    vetra::copyToCaller(buffer, sizeof buffer, std::string_view());
    EXPECT_STREQ(buffer, "");
    std::memcpy(buffer, "xyz", sizeof buffer);
    vetra::copyToCaller(buffer, 2, "abc");
    EXPECT_STREQ(buffer, "a");
}

TEST(InstanceTable, ListsNothingBeforeAnyOpen) {
    int32_t ids[25];
    std::memset(ids, 0x55, sizeof ids);
    ASSERT_EQ(VTx_GetmfIDList(ids, 25), 0);
    for (int32_t id : ids)
        EXPECT_EQ(id, -1);

    const char* names[25];
    for (auto& name : names)
        name = "stale";
    ASSERT_EQ(VTx_GetOpenFileList(names, 25), 0);
    for (const char* name : names)
        EXPECT_EQ(name, nullptr);
}

TEST(InstanceTable, CallsNamingNoOpenMetafileGiveMinusTwo) {
    for (int32_t id : {-1, 0, 19, 20, 10000}) {
        int32_t count = 0;
        char byte = 0;
        EXPECT_EQ(VTx_GetLastEngineError(id), -2);
        EXPECT_EQ(VTx_GetShowEditName(id, &byte), -2);
        EXPECT_EQ(VTx_SetShowEditName(id, 1), -2);
        EXPECT_EQ(VTx_SetEditsMessagesCallback(id, 0, nullptr), -2);
        EXPECT_EQ(VTx_GetRecordLayoutCount(id, &count), -2);
        EXPECT_EQ(VTx_ClearAllFlags(id), -2);
        EXPECT_EQ(VTx_Exit(id), 0);
    }
    int32_t count = 0;
    EXPECT_EQ(VT_GetEditSetCount(&count), -2);
    EXPECT_EQ(VT_RunBatch(1, 0, &count), -2);
    EXPECT_EQ(VT_Exit(), 0);
    EXPECT_EQ(VT_GetRecordPtr(7), 0);
}

TEST(InstanceTable, FailedOpenLeavesTheIdAtMinusOneAndTakesNoSlot) {
    int32_t id = 5;
    char version[8] = "keep";
    EXPECT_EQ(VTx_Init(&id, "/nonexistent/folder/none.rmf", version, 0, nullptr), 713);
    EXPECT_EQ(id, -1);
    EXPECT_STREQ(version, "keep");
    EXPECT_EQ(VT_Init(nullptr, nullptr), 713);
    EXPECT_EQ(VTx_GetLastEngineError(0), -2);
    EXPECT_EQ(VTx_Init(nullptr, "x.rmf", nullptr, 0, nullptr), -3);
}

TEST(LastEngineError, RecordsCatalogueCodesWithTheirTexts) {
    vetra::LastEngineError error;
    EXPECT_EQ(error.code(), 0);
    error.record(602);
    EXPECT_EQ(error.code(), 602);
    EXPECT_EQ(error.text(), "bufrecfound == 0");
    error.record(706); // not in the catalogue
    EXPECT_EQ(error.code(), -1);
    EXPECT_EQ(error.text(), "bufrecfound == 0");
    error.record(-1); // the same code again changes nothing
    EXPECT_EQ(error.code(), -1);
}

TEST(LastEngineError, InnermostPreciseCodeWinsOverOuterOperations) {
    vetra::LastEngineError error;
    auto inner = [&] { error.fail(602, "VTi_InitRecordLayout"); };
    try {
        error.guard(469, "VTi_InitRecordLayout", [&] { error.guard(431, "inner", inner); });
        FAIL() << "no failure raised";
    } catch (const vetra::EngineFailure& failure) {
        EXPECT_STREQ(failure.what(), "VTi_InitRecordLayout");
    }
    EXPECT_EQ(error.code(), 602);
}

TEST(LastEngineError, OperationRecordsItsOwnCodeForForeignFailures) {
    vetra::LastEngineError error;
    EXPECT_THROW(error.guard(453, "VTi_UpdateRecord", [] { throw std::out_of_range("x"); }),
                 vetra::EngineFailure);
    EXPECT_EQ(error.code(), 453);
    EXPECT_EQ(error.text(), "Failure in VTi_UpdateRecord");
    // Never reset: a later failure elsewhere keeps the first code.
    EXPECT_THROW(error.guard(452, "VTi_UpdateField", [] { throw std::bad_alloc(); }),
                 vetra::EngineFailure);
    EXPECT_EQ(error.code(), 453);
    EXPECT_EQ(error.guard(452, "VTi_UpdateField", [] { return 7; }), 7);
}

} // namespace
