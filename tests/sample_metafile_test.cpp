// The bundled NAACCR 18 sample: it opens, binds its layout to 4048-character records, loads
// both edit sets with every edit in memory, and each edit has a name, a description and logic
// that renders; the shared synthetic records fit its layout.
#include "engine/api/vetra40.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

class SampleMetafile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VTx_Init(&id, SAMPLE_METAFILE, nullptr, 0, nullptr), 0);
        ASSERT_EQ(VTx_AllocRecord(id, 4048, &record), 0);
        ASSERT_EQ(VTx_InitRecordLayout(id, record, "NAACCR 18 Incidence"), 0);
    }
    void TearDown() override { VTx_Exit(id); }

    int32_t id = -1;
    int32_t record = -1;
};

TEST_F(SampleMetafile, LoadsBothEditSetsAndDescribesEveryEdit) {
    int32_t sets = 0;
    ASSERT_EQ(VTx_GetEditSetCount(id, &sets), 0);
    ASSERT_EQ(sets, 2);
    int32_t total = 0;
    for (int32_t s = 1; s <= sets; ++s) {
        char name[64];
        int32_t handle = 0, status = -1, edits = 0;
        ASSERT_EQ(VTx_GetEditSetName(id, s, name), 0);
        ASSERT_EQ(VTx_LoadEditSet(id, &handle, name, &status, 1), 0);
        EXPECT_EQ(status, 0) << name;
        ASSERT_EQ(VTx_GetEditSetSize(id, handle, &edits), 0);
        total += edits;
        for (int32_t e = 0; e < edits; ++e) {
            char editName[64], text[2000], logic[20000];
            int32_t length = 0;
            ASSERT_EQ(VTx_GetEditName(id, handle, e, editName), 0);
            ASSERT_EQ(VTx_GetEditDescript(id, handle, e, 80, sizeof text, &length, text, 2), 0);
            EXPECT_GT(length, 0) << editName;
            ASSERT_EQ(VTx_GetEditLogic(id, handle, e, sizeof logic, "\n", &length, logic), 0);
            EXPECT_GT(length, 0) << editName;
        }
    }
    EXPECT_GE(total, 40);
}

TEST_F(SampleMetafile, TheSyntheticReferenceRecordsFitTheLayout) {
    std::filesystem::path records =
        std::filesystem::path(NAACCR_FOLDER) / "naaccr-180-incidence-synthetic-10.txt";
    if (!std::filesystem::exists(records)) GTEST_SKIP() << "no NAACCR reference records";
    std::ifstream in(records);
    int32_t recordType = VTx_FieldHandleByLocal(id, 10, nullptr);
    int32_t diagnosis = VTx_FieldHandleByLocal(id, 390, nullptr);
    ASSERT_GE(recordType, 0);
    ASSERT_GE(diagnosis, 0);
    for (std::string line; std::getline(in, line);) {
        ASSERT_EQ(VTx_UpdateRecord(id, record, line.c_str()), 0);
        char value[4048 + 1] = "";
        ASSERT_EQ(VTx_RetrieveRecord(id, record, value), 0);
        EXPECT_EQ(std::string(value, 4048), line);
    }
}

} // namespace
