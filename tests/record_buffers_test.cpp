#include "tests/support/open_metafile.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class RecordBuffers : public ::testing::Test {
protected:
    int32_t allocate(int32_t length) {
        int32_t handle = -1;
        EXPECT_EQ(VTx_AllocRecord(metafile.id(), length, &handle), 0);
        return handle;
    }
    std::string contents(int32_t handle, size_t length) {
        std::string text(length, '\0');
        EXPECT_EQ(VTx_RetrieveRecord(metafile.id(), handle, text.data()), 0);
        return text;
    }
    vetra::testing::OpenMetafile metafile;
};

TEST_F(RecordBuffers, TwoHundredFiftySixSlotsReusedLowestFirst) {
    for (int32_t expected = 0; expected < 256; ++expected)
        ASSERT_EQ(allocate(10), expected);
    int32_t handle = 99;
    EXPECT_EQ(VTx_AllocRecord(metafile.id(), 10, &handle), -1);
    EXPECT_EQ(handle, 99);
    EXPECT_EQ(VTx_FreeRecord(metafile.id(), 17), 0);
    EXPECT_EQ(VTx_FreeRecord(metafile.id(), 17), -1);
    EXPECT_EQ(allocate(10), 17);
    EXPECT_EQ(VTx_FreeRecord(metafile.id(), 256), -1);
    EXPECT_EQ(VTx_FreeRecord(metafile.id(), -1), -1);
}

TEST_F(RecordBuffers, UpdatesFillWithBlanksAndCutToTheRecord) {
    int32_t handle = allocate(8);
    EXPECT_EQ(VTx_UpdateRecord(metafile.id(), handle, "ABCDEFGHIJK"), 0);
    EXPECT_EQ(contents(handle, 8), "ABCDEFGH");
    EXPECT_EQ(VTx_UpdateRecord(metafile.id(), handle, "XY"), 0);
    EXPECT_EQ(contents(handle, 8), "XY      ");
    EXPECT_EQ(VTx_UpdateRecordEx(metafile.id(), handle, "123456", 3, 4), 0);
    EXPECT_EQ(contents(handle, 8), "XY1234  ");
    EXPECT_EQ(VTx_UpdateRecordEx(metafile.id(), handle, "whole", 1, 8), 0);
    EXPECT_EQ(contents(handle, 8), "whole   ");
    EXPECT_EQ(VTx_UpdateRecordEx(metafile.id(), handle, "bad", 0, 3), -2);
    EXPECT_EQ(VTx_UpdateRecordEx(metafile.id(), handle, "bad", 7, 3), -2);
    EXPECT_EQ(VTx_UpdateRecordEx(metafile.id(), handle, "bad", 1, 0), -2);
    EXPECT_EQ(contents(handle, 8), "whole   ");
    EXPECT_EQ(VTx_UpdateRecordEx(metafile.id(), 200, "bad", 1, 1), -1);
    EXPECT_EQ(VTx_SetRecord(metafile.id(), handle, '*'), 0);
    EXPECT_EQ(contents(handle, 8), "********");
    EXPECT_EQ(VTx_SetRecord(metafile.id(), 200, '*'), 447);
    EXPECT_EQ(VTx_UpdateRecord(metafile.id(), 200, "x"), -1);
    EXPECT_EQ(VTx_GetLastEngineError(metafile.id()), 0); // plain results record nothing
}

TEST_F(RecordBuffers, AZeroLengthSlotIsTakenButAcceptsNothing) {
    int32_t handle = allocate(0);
    EXPECT_EQ(VTx_UpdateRecord(metafile.id(), handle, "x"), -1);
    EXPECT_EQ(VTx_FreeRecord(metafile.id(), handle), 0);
}

} // namespace
