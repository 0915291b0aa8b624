// Where the programs keep their files: beside a copy in the build tree, in the user's XDG
// folders for an installed copy, and in RAVELO_HOME's folder whenever it is set.
#include "platform/program_folders.h"
#include "tests/support/scratch_directory.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace {

namespace fs = std::filesystem;
using vetra::platform::EnvironmentLookup;
using vetra::platform::programFoldersOf;

// An environment of the test's own, so that the machine's settings do not leak in.
EnvironmentLookup environmentOf(std::map<std::string, std::string> variables) {
    return [variables = std::move(variables)](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    };
}

class ProgramFolders : public ::testing::Test {
protected:
    // A prefix with bin/ and share/ravelo/, as an installation lays them out.
    std::string installedBin() const {
        fs::create_directories(scratch.path() / "usr/bin");
        fs::create_directories(scratch.path() / "usr/share/ravelo/help");
        return (scratch.path() / "usr/bin").string();
    }
    std::string buildFolder() const {
        fs::create_directories(scratch.path() / "build/desktop");
        return (scratch.path() / "build/desktop").string();
    }

    vetra::testing::ScratchDirectory scratch;
};

TEST_F(ProgramFolders, ABuildTreeCopyKeepsEverythingBesideItself) {
    const auto folders = programFoldersOf(buildFolder(), environmentOf({{"HOME", "/home/ann"}}));
    const std::string beside = buildFolder() + "/";
    EXPECT_EQ(folders.configuration, beside);
    EXPECT_EQ(folders.data, beside);
    EXPECT_EQ(folders.shared, beside);
}

TEST_F(ProgramFolders, AnInstalledCopyUsesTheXdgDefaultsUnderHome) {
    const auto folders = programFoldersOf(installedBin(), environmentOf({{"HOME", "/home/ann"}}));
    EXPECT_EQ(folders.configuration, "/home/ann/.config/ravelo/");
    EXPECT_EQ(folders.data, "/home/ann/.local/share/ravelo/");
    EXPECT_EQ(fs::canonical(folders.shared), fs::canonical(scratch.path() / "usr/share/ravelo"));
}

TEST_F(ProgramFolders, AnInstalledCopyFollowsTheXdgSettings) {
    const auto folders =
        programFoldersOf(installedBin(), environmentOf({{"HOME", "/home/ann"},
                                                        {"XDG_CONFIG_HOME", "/etc/ann"},
                                                        {"XDG_DATA_HOME", "/srv/ann/"}}));
    EXPECT_EQ(folders.configuration, "/etc/ann/ravelo/");
    EXPECT_EQ(folders.data, "/srv/ann/ravelo/");
}

TEST_F(ProgramFolders, ARelativeXdgSettingIsIgnored) {
    const auto folders = programFoldersOf(
        installedBin(), environmentOf({{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", "config"}}));
    EXPECT_EQ(folders.configuration, "/home/ann/.config/ravelo/");
}

TEST_F(ProgramFolders, RaveloHomeHoldsTheUsersFilesButNotTheHelp) {
    const auto installed = programFoldersOf(
        installedBin(), environmentOf({{"HOME", "/home/ann"}, {"RAVELO_HOME", "/tmp/run"}}));
    EXPECT_EQ(installed.configuration, "/tmp/run/");
    EXPECT_EQ(installed.data, "/tmp/run/");
    EXPECT_EQ(fs::canonical(installed.shared), fs::canonical(scratch.path() / "usr/share/ravelo"));

    const auto built =
        programFoldersOf(buildFolder(), environmentOf({{"RAVELO_HOME", "/tmp/run"}}));
    EXPECT_EQ(built.configuration, "/tmp/run/");
    EXPECT_EQ(built.shared, buildFolder() + "/");
}

} // namespace
