// Choosing a data file: the messages the user sees, the file date, and the proposed report
// file name.
#include "desktop/data/open_data_file.h"
#include "tests/support/scratch_directory.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vetra::desktop {
namespace {

// Answers every box with Ok and remembers what it showed.
class RecordingMessageBoxes : public platform::MessageBoxes {
public:
    struct Shown {
        std::string text;
        std::string caption;
    };

    platform::MessageAnswer show(const std::string& text, const std::string& caption,
                                 platform::MessageButtons) override {
        shown.push_back({text, caption});
        return platform::MessageAnswer::Ok;
    }

    std::vector<Shown> shown;
};

class OpenDataFile : public ::testing::Test {
protected:
    int open(const std::filesystem::path& path) {
        return openDataFile(path.string(), messages, info, fileDate);
    }

    testing::ScratchDirectory scratch;
    RecordingMessageBoxes messages;
    DataFileInfo info;
    std::string fileDate = "earlier date";
};

TEST_F(OpenDataFile, InspectsAnExistingFileWithoutAMessage) {
    const std::string record = "I               180 \n";
    EXPECT_EQ(open(scratch.write("data.txt", record + record)), 0);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(info.naaccrVersion, "180");
    EXPECT_EQ(info.recordCount, 2);
    EXPECT_NE(fileDate, "earlier date");
    EXPECT_FALSE(fileDate.empty());
}

TEST_F(OpenDataFile, TellsWhenTheFileDoesNotExist) {
    info.recordCount = 7;
    EXPECT_EQ(open(scratch.path() / "missing.txt"), -1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Datafile does not exist.");
    EXPECT_EQ(messages.shown[0].caption, "Problem With Data File");
    EXPECT_EQ(info.recordCount, 7); // not inspected
    EXPECT_EQ(fileDate, "earlier date");
}

TEST_F(OpenDataFile, ShowsWhyTheInspectionFailed) {
    EXPECT_EQ(open(scratch.write("short.txt", "I short\n")), -1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Datafile too short to contain version number.");
    EXPECT_EQ(messages.shown[0].caption, "Problem With Data File");
    EXPECT_NE(fileDate, "earlier date"); // the date is taken before the inspection
}

TEST_F(OpenDataFile, TreatsAFolderAsNotExisting) {
    EXPECT_EQ(open(scratch.path()), -1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Datafile does not exist.");
}

class ProposedReportFileName : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (scratch.path() / name).string(); }

    testing::ScratchDirectory scratch;
};

TEST_F(ProposedReportFileName, TakesTheDataFilesNameInTheReportsFolder) {
    std::filesystem::create_directory(scratch.path() / "reports");
    const auto data = scratch.write("abc.dat", "");
    EXPECT_EQ(proposedReportFileName(path("reports/old.rpt"), data.string()),
              path("reports/abc.rpt"));
}

TEST_F(ProposedReportFileName, DropsOnlyTheLastExtension) {
    const auto data = scratch.write("abc.2024.txt", "");
    EXPECT_EQ(proposedReportFileName(path("old.rpt"), data.string()), path("abc.2024.rpt"));
}

TEST_F(ProposedReportFileName, KeepsTheNameWhenTheDataFileHasNoExtension) {
    std::filesystem::create_directory(scratch.path() / "data.d");
    const auto data = scratch.write("data.d/abc", "");
    EXPECT_EQ(proposedReportFileName(path("old.rpt"), data.string()), path("old.rpt"));
}

TEST_F(ProposedReportFileName, KeepsTheNameWhenTheReportsFolderIsMissing) {
    const auto data = scratch.write("abc.dat", "");
    EXPECT_EQ(proposedReportFileName(path("gone/old.rpt"), data.string()), path("gone/old.rpt"));
    EXPECT_EQ(proposedReportFileName("old.rpt", data.string()), "old.rpt");
}

TEST_F(ProposedReportFileName, KeepsTheNameWhenTheDataFileIsMissing) {
    EXPECT_EQ(proposedReportFileName(path("old.rpt"), path("abc.dat")), path("old.rpt"));
}

} // namespace
} // namespace vetra::desktop
