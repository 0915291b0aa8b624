// Profile files that are not what they should be: every one reads as a profile, the
// configuration readers take their defaults from it, and nothing crashes or hangs.
#include "desktop/workflow/configuration_files.h"
#include "platform/profile_file.h"
#include "tests/desktop/scripted_message_boxes.h"
#include "tests/support/scratch_directory.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using vetra::desktop::loadConfiguration;
using vetra::platform::ProfileFile;

void expectDefaults(const vetra::desktop::RunConfiguration& configuration) {
    EXPECT_EQ(configuration.metafileName, "");
    EXPECT_FALSE(configuration.skipEmpty);
    EXPECT_TRUE(configuration.skipFailed);
    EXPECT_TRUE(configuration.suppressWarnings);
    EXPECT_TRUE(configuration.layouts.empty());
    EXPECT_TRUE(configuration.editSets.empty());
    EXPECT_TRUE(configuration.editOptions.empty());
    EXPECT_TRUE(configuration.fieldsSelected.empty());
    EXPECT_TRUE(configuration.fieldsSort.empty());
}

std::string binaryBytes() {
    std::string bytes;
    for (int i = 0; i < 4096; ++i)
        bytes += static_cast<char>((i * 131 + 7) % 256);
    return bytes + std::string("\0[Metafiles]\0SkipFailed=0\0", 26);
}

class BrokenProfile : public ::testing::Test {
protected:
    vetra::testing::ScratchDirectory scratch;
};

TEST_F(BrokenProfile, BinaryBytesAndNulsReadAsDefaults) {
    const auto path = scratch.write("binary.ini", binaryBytes());
    EXPECT_EQ(ProfileFile(path.string()).readString("Metafiles", "SkipFailed", "d"), "d");
    expectDefaults(loadConfiguration(path.string()));
}

TEST_F(BrokenProfile, NulBytesInsideALineAreOrdinaryCharacters) {
    const auto profile =
        ProfileFile::fromText(std::string("[S]\nk\0ey=1\nkey=a\0b\n[T\0]\nx=1\n", 27));
    EXPECT_EQ(profile.readString("S", "key"), std::string("a\0b", 3));
    EXPECT_EQ(profile.readString("S", "k", "none"), "none");
    EXPECT_TRUE(profile.sectionExists(std::string("T\0", 2)));
}

TEST_F(BrokenProfile, AFileWithoutSectionsReadsAsDefaults) {
    const auto path = scratch.write("plain.ini", "SkipEmpty=1\nMetafile=x.rmf\nEditSet1=A\n");
    expectDefaults(loadConfiguration(path.string()));
}

TEST_F(BrokenProfile, AnEndlessLineIsReadWithoutLosingTheLinesAroundIt) {
    const std::string endless(3 * 1024 * 1024, 'x');
    const auto path = scratch.write("endless.ini", "[Metafiles]\nSkipEmpty=1\n" + endless + "=" +
                                                       endless + "\nMetafile=m.rmf");
    const auto configuration = loadConfiguration(path.string());
    EXPECT_TRUE(configuration.skipEmpty);
    EXPECT_EQ(configuration.metafileName, "m.rmf");
    expectDefaults(loadConfiguration(scratch.write("only.ini", endless).string()));
}

TEST_F(BrokenProfile, AFileLargerThanAnyConfigurationIsNeitherReadNorOverwritten) {
    const std::string huge =
        "[Metafiles]\nSkipEmpty=1\n" + std::string(ProfileFile::kMaxFileSize, '\n');
    const auto path = scratch.write("huge.ini", huge);
    ProfileFile profile(path.string());
    EXPECT_FALSE(profile.sectionExists("Metafiles"));
    profile.writeString("Metafiles", "SkipEmpty", "0");
    EXPECT_FALSE(profile.save());
    EXPECT_EQ(std::filesystem::file_size(path), huge.size());
}

TEST_F(BrokenProfile, AMissingFileIsAnEmptyProfile) {
    const auto path = scratch.path() / "missing.ini";
    EXPECT_TRUE(ProfileFile(path.string()).lines().empty());
    expectDefaults(loadConfiguration(path.string()));
    expectDefaults(loadConfiguration(""));
}

TEST_F(BrokenProfile, ADirectoryIsAnEmptyProfileThatIsNotSaved) {
    ProfileFile profile(scratch.path().string());
    EXPECT_TRUE(profile.lines().empty());
    profile.writeString("S", "k", "v");
    EXPECT_FALSE(profile.save());
    expectDefaults(loadConfiguration(scratch.path().string()));
}

TEST_F(BrokenProfile, ADeviceIsNotReadSoAnEndlessOneCannotHang) {
    expectDefaults(loadConfiguration("/dev/zero"));
}

TEST_F(BrokenProfile, ABrokenMasterFileGivesTheDefaults) {
    const std::string program = (scratch.path() / "program").string() + "/";
    std::filesystem::create_directories(program);
    scratch.write("program/ravelo.ini", binaryBytes());
    vetra::testing::ScriptedMessageBoxes boxes;
    vetra::desktop::MasterConfiguration master;
    ASSERT_EQ(vetra::desktop::readMasterConfiguration(program + "ravelo.ini", program, "1.2.8",
                                                      boxes, master),
              0);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(master.caption, "Ravelo  (1.2.8) ");
    EXPECT_FALSE(master.reportTabHidden || master.metafileTabHidden || master.advancedTabHidden);
    EXPECT_EQ(master.reportsFolder, program + "reports/");
    EXPECT_EQ(master.currentConfigurationPath, program + "config/runtime.ini");
}

} // namespace
