#include "engine/api/caller_buffer.h"
#include "engine/api/last_engine_error.h"
#include "engine/api/vetra40.h"
#include "tests/support/open_metafile.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <iterator>
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

// Caller storage filled with a sentinel, to show that a call wrote none of it.
struct SentinelOutputs {
    static constexpr int32_t kNumber = 0x5EED;
    static constexpr char kFill = 'x';

    SentinelOutputs() {
        std::fill(std::begin(numbers), std::end(numbers), kNumber);
        for (auto& text : texts) {
            std::fill(std::begin(text), std::end(text), kFill);
            text[sizeof text - 1] = '\0';
        }
        std::fill(std::begin(widths), std::end(widths), static_cast<unsigned char>(kFill));
    }
    int32_t* number(size_t n) { return &numbers[n]; }
    char* text(size_t n) { return texts[n]; }
    bool untouched() const {
        SentinelOutputs fresh;
        return std::equal(std::begin(numbers), std::end(numbers), std::begin(fresh.numbers)) &&
               std::memcmp(texts, fresh.texts, sizeof texts) == 0 &&
               std::memcmp(widths, fresh.widths, sizeof widths) == 0;
    }

    int32_t numbers[6];
    char texts[6][64];
    unsigned char widths[16];
};

void noFieldReport(intptr_t owner, int32_t, const char*, const char*) {
    ++*reinterpret_cast<int*>(owner);
}

// Every call that names a metafile and hands back results, with an id that names none:
// -2, and the caller's storage is left as it was.
TEST(InstanceTable, CallsNamingNoOpenMetafileWriteNothing) {
    int32_t closedId = -1;
    {
        vetra::testing::OpenMetafile metafile;
        closedId = metafile.id();
    }
    for (int32_t id : {-1, closedId, 10000}) {
        SentinelOutputs out;
        int32_t* n0 = out.number(0);
        int32_t* n1 = out.number(1);
        int32_t* n2 = out.number(2);
        int32_t* n3 = out.number(3);
        int32_t* n4 = out.number(4);
        int32_t* n5 = out.number(5);
        char* t0 = out.text(0);
        char* t1 = out.text(1);
        char* t2 = out.text(2);
        char* t3 = out.text(3);
        int32_t size = sizeof out.texts[0];
        int reports = 0;
        SCOPED_TRACE(id);

        EXPECT_EQ(VTx_GetShowEditName(id, t0), -2);
        EXPECT_EQ(VTx_AllocRecord(id, 20, n0), -2);
        EXPECT_EQ(VTx_RetrieveRecord(id, 0, t0), -2);
        EXPECT_EQ(VTx_RecWritten(id, "Layout", n0), -2);
        EXPECT_EQ(VTx_GetRecordLayoutCount(id, n0), -2);
        EXPECT_EQ(VTx_GetRecordLayoutName(id, 1, t0, n0), -2);
        EXPECT_EQ(VTx_GetRecordLayoutDescript(id, "Layout", size, n0, t0), -2);
        EXPECT_EQ(VTx_GetRecordLayoutInit(id, "Layout", n0), -2);
        EXPECT_EQ(VTx_GetRecordLayoutField(id, n0, n1, t0, t1, t2, t3, n2, n3), -2);
        EXPECT_EQ(VTx_RecordLayoutOptions(id, "Layout", n0), -2);
        EXPECT_EQ(VTx_FieldName(id, 0, "S", t0), -2);
        EXPECT_EQ(VTx_FieldOptions(id, 0, n0), -2);
        EXPECT_EQ(VTx_CheckEditSetAgainstLayout(id, 1, reinterpret_cast<intptr_t>(&reports),
                                                noFieldReport),
                  -2);
        EXPECT_EQ(VTx_GetEditSetCount(id, n0), -2);
        EXPECT_EQ(VTx_GetEditSetName(id, 1, t0), -2);
        EXPECT_EQ(VTx_GetEditSetDescript(id, "Set", size, n0, t0), -2);
        EXPECT_EQ(VTx_LoadEditSet(id, n0, "Set", n1, 1), -2);
        EXPECT_EQ(VTx_GetEditSetSize(id, 1, n0), -2);
        EXPECT_EQ(VTx_GetEditSetInfo(id, 1, t0, n0, n1, n2), -2);
        EXPECT_EQ(VTx_GetEditHandle(id, 1, n0, "Edit"), -2);
        EXPECT_EQ(VTx_GetEditName(id, 1, 0, t0), -2);
        EXPECT_EQ(VTx_GetEditInfo(id, 1, 0, "%E", t0, size), -2);
        EXPECT_EQ(VTx_GetEditInfoEx(id, 1, 0, t0, n0, n1, n2, n3, n4, n5), -2);
        EXPECT_EQ(VTx_GetEditCounts(id, 1, 0, n0, n1, n2, n3), -2);
        EXPECT_EQ(VTx_GetEditDescript(id, 1, 0, 80, size, n0, t0, 2), -2);
        EXPECT_EQ(VTx_GetEditHelp(id, 1, 0, 80, size, n0, t0, 1), -2);
        EXPECT_EQ(VTx_GetMemoSize(id, 1, "Edit", n0), -2);
        EXPECT_EQ(VTx_GetEditLogic(id, 1, 0, size, "|", n0, t0), -2);
        EXPECT_EQ(VTx_GetEncodedEdit(id, 1, 0, t0, size, t1, size), -2);
        EXPECT_EQ(VTx_InitChoices(id, "TABLE", "", out.widths, n0, n1), -2);
        EXPECT_EQ(VTx_InitFieldChoices(id, 220, "", out.widths, n0, n1), -2);
        EXPECT_EQ(VTx_GetChoices(id, t0, 1, 1, n0), -2);
        EXPECT_EQ(VTx_GetVar(id, "NAME", t0), -2);
        EXPECT_EQ(VTx_GetVarIndex(id, "NAME", 1, t0), -2);
        EXPECT_EQ(VTx_GetVarSize(id, "NAME", n0), -2);

        EXPECT_TRUE(out.untouched());
        EXPECT_EQ(reports, 0);
    }
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
