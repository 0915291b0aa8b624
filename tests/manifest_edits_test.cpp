// A whole metafile built from a manifest with edits, edit sets and messages, then opened,
// bound and loaded by the engine.
#include "engine/api/engine_process.h"
#include "engine/api/vetra40.h"
#include "tests/support/temp_metafiles.h"
#include "tools/metafile_writer/manifest_reader.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(ManifestEdits, BuildAMetafileWhoseEditSetsLoadAndRender) {
    vetra::testing::TempMetafiles files;
    std::string path =
        files.write("edits.rmf", vetra::writer::readManifest(MANIFEST_EDITS_DATA "/edits.toml"));
    int32_t id = -1;
    ASSERT_EQ(VTx_Init(&id, path.c_str(), nullptr, 0, nullptr), 0);
    int32_t record = -1, set = 0, status = -1;
    ASSERT_EQ(VTx_AllocRecord(id, 9, &record), 0);
    ASSERT_EQ(VTx_InitRecordLayout(id, record, "Small"), 0);
    ASSERT_EQ(VTx_LoadEditSet(id, &set, "Small Set", &status, 1), 0);
    EXPECT_EQ(status, 0);
    int32_t count = 0;
    VTx_GetEditSetSize(id, set, &count);
    ASSERT_EQ(count, 2);
    char name[64];
    VTx_GetEditName(id, set, 1, name);
    EXPECT_STREQ(name, "Sex, Valid");
    char logic[200];
    int32_t length = 0;
    ASSERT_EQ(VTx_GetEditLogic(id, set, 1, sizeof logic, "|", &length, logic), 0);
    EXPECT_STREQ(logic,
                 "if ( ! inlist ( #S\"Sex\" , \"1,2,9\" ) ) |return fail ; |return pass ; |");
    char text[64];
    EXPECT_EQ(VTx_GetEditDescript(id, set, 1, 80, sizeof text, &length, text, 2), 0);
    EXPECT_STREQ(text, "Sex must be 1, 2 or 9.");

    TMetaFile& instance = *vetra::engineProcess().metafiles().find(id);
    EXPECT_GT(instance.lookupTables().VTi_StrLookUp("1001", "_RE_ERMS.DBF.NUM"), 0);
    EXPECT_GT(instance.lookupTables().VTi_StrLookUp("SEX, VALID", "_RE_CEDI.DBF.EDIT_NAME"), 0);
    EXPECT_EQ(VTx_Exit(id), 0);
}

TEST(ManifestEdits, CompileErrorsNameTheEditSource) {
    try {
        vetra::writer::readManifest(MANIFEST_EDITS_DATA "/broken.toml");
        FAIL() << "the broken edit compiled";
    } catch (const std::exception& error) {
        EXPECT_NE(std::string(error.what()).find("broken.edit:1:"), std::string::npos)
            << error.what();
    }
}

} // namespace
