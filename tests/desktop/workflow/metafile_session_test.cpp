// The metafile opened for one operation, with the real engine: the folders edit logic may load
// external libraries from are the engine's as soon as the metafile is open, and without any
// the engine is told nothing.
#include "desktop/workflow/metafile_session.h"
#include "tests/desktop/run/run_fixture.h"

#include <gtest/gtest.h>

namespace {

namespace desktop = vetra::desktop;

class MetafileSessionTest : public vetra::testing::RunFixture {
protected:
    void SetUp() override {
        metafile_ = writeMetafile({{"Sex Check", 100, {220}, "return pass;"}},
                                  {{"Main", "", {"Sex Check"}}});
    }

    // The engine's value of _EXTERNALDLL_FOLDERS on the open instance, and its status.
    std::pair<int, std::string> libraryFolders(const desktop::MetafileSession& session) const {
        char value[512] = "unread";
        const int status = engine_.api().VTx_GetVar(session.mfID(), "_EXTERNALDLL_FOLDERS", value);
        return {status, value};
    }

    std::string metafile_;
};

TEST_F(MetafileSessionTest, TheEngineHoldsTheExternalLibraryFoldersTheSessionWasGiven) {
    desktop::MetafileSession session(engine_, messages_, "/opt/registry/lib:/srv/edits/lib");
    ASSERT_TRUE(session.open(metafile_));
    EXPECT_EQ(libraryFolders(session),
              std::make_pair(0, std::string("/opt/registry/lib:/srv/edits/lib")));
    EXPECT_TRUE(messages_.shown().empty());

    // Opened again, the new instance is given them too.
    ASSERT_TRUE(session.open(metafile_));
    EXPECT_EQ(libraryFolders(session).second, "/opt/registry/lib:/srv/edits/lib");
}

TEST_F(MetafileSessionTest, WithoutExternalLibraryFoldersTheVariableStaysUnset) {
    desktop::MetafileSession session(engine_, messages_, "");
    ASSERT_TRUE(session.open(metafile_));
    EXPECT_EQ(libraryFolders(session), std::make_pair(1001, std::string()));
}

} // namespace
