// Inspecting data files: what the first record tells, and the files that are refused.
#include "desktop/data/data_file_inspection.h"
#include "tests/support/scratch_directory.h"

#include <gtest/gtest.h>
#include <string>

namespace vetra::desktop {
namespace {

// A record of `length` characters in all: type 'I', version "180" in columns 17 to 19, padding,
// then `terminator`.
std::string record(std::size_t length, const std::string& terminator = "\n") {
    std::string text = "I               180";
    text.resize(length - terminator.size(), ' ');
    return text + terminator;
}

class DataFileInspection : public ::testing::Test {
protected:
    int inspect(const std::string& contents) {
        return inspectDataFile(scratch.write("data.txt", contents).string(), info);
    }

    testing::ScratchDirectory scratch;
    DataFileInfo info;
};

TEST_F(DataFileInspection, ReadsTypeVersionLengthAndCountFromTheFirstRecord) {
    const std::string contents = record(30) + record(30) + record(30);
    ASSERT_EQ(inspect(contents), 0);
    EXPECT_EQ(info.fileName, (scratch.path() / "data.txt").string());
    EXPECT_EQ(info.recordType, 'I');
    EXPECT_EQ(info.naaccrVersion, "180");
    EXPECT_EQ(info.recordLength, 30);
    EXPECT_EQ(info.recordCount, 3);
    EXPECT_EQ(info.fileSize, 90u);
    EXPECT_EQ(info.errorText, "");
}

TEST_F(DataFileInspection, CountsALastRecordWithoutTerminatorByRoundingUp) {
    const std::string lastRecord = record(24, "\r\n").substr(0, 22);
    const std::string contents = record(24, "\r\n") + record(24, "\r\n") + lastRecord;
    ASSERT_EQ(contents.size(), 70u);
    ASSERT_EQ(inspect(contents), 0);
    EXPECT_EQ(info.recordLength, 24);
    EXPECT_EQ(info.recordCount, 3);
}

TEST_F(DataFileInspection, RejectsAFirstLineOf18Characters) {
    EXPECT_EQ(inspect(std::string(17, 'C') + "\n" + record(30)), -1);
    EXPECT_EQ(info.errorText, "Datafile too short to contain version number.");
    EXPECT_EQ(info.naaccrVersion, "");
    EXPECT_EQ(info.recordType, 'C');
    EXPECT_EQ(info.recordLength, 18); // still measured, though never shown
}

TEST_F(DataFileInspection, AcceptsAFirstLineOf19CharactersWithItsLineFeedAsVersion) {
    ASSERT_EQ(inspect(std::string(16, 'A') + "18\n" + record(30)), 0);
    EXPECT_EQ(info.naaccrVersion, "18\n");
    EXPECT_EQ(info.recordLength, 19);
    EXPECT_EQ(info.recordCount, 3); // 49 bytes over 19
}

TEST_F(DataFileInspection, GivesABlankVersionWhenColumns17To19AreBlank) {
    ASSERT_EQ(inspect("M" + std::string(19, ' ')), 0);
    EXPECT_EQ(info.recordType, 'M');
    EXPECT_EQ(info.naaccrVersion, "   ");
    EXPECT_EQ(info.recordLength, 19); // the read stops one short of the file's 20 bytes
    EXPECT_EQ(info.recordCount, 2);
}

TEST_F(DataFileInspection, RejectsAFileOf19BytesWithoutLineFeed) {
    EXPECT_EQ(inspect(record(19, "")), -1);
    EXPECT_EQ(info.recordLength, 18);
}

TEST_F(DataFileInspection, RejectsAnEmptyFileAsTooShort) {
    EXPECT_EQ(inspect(""), -1);
    EXPECT_EQ(info.errorText, "Datafile too short to contain version number.");
    EXPECT_EQ(info.fileSize, 0u);
    EXPECT_EQ(info.recordType, '\0');
    EXPECT_EQ(info.recordLength, 0);
    EXPECT_EQ(info.recordCount, 0);
}

TEST_F(DataFileInspection, CutsAFirstLineLongerThanTheReadLimit) {
    ASSERT_EQ(inspect(record(250000)), 0);
    EXPECT_EQ(info.recordLength, 199999);
    EXPECT_EQ(info.recordCount, 2);
}

TEST_F(DataFileInspection, CutsAFileOfExactly200000BytesWithoutLineFeed) {
    ASSERT_EQ(inspect(record(200000, "")), 0);
    EXPECT_EQ(info.recordLength, 199999);
    EXPECT_EQ(info.recordCount, 2);
}

TEST_F(DataFileInspection, ReadsAFirstLineOfExactly199999CharactersWhole) {
    ASSERT_EQ(inspect(record(199999) + record(199999)), 0);
    EXPECT_EQ(info.recordLength, 199999);
    EXPECT_EQ(info.recordCount, 2);
}

TEST_F(DataFileInspection, RefusesAMissingFile) {
    EXPECT_EQ(inspectDataFile((scratch.path() / "missing.txt").string(), info), -1);
    EXPECT_EQ(info.errorText, "Unable to open datafile.");
    EXPECT_EQ(info.fileName, (scratch.path() / "missing.txt").string());
}

TEST_F(DataFileInspection, RefusesAFolder) {
    EXPECT_EQ(inspectDataFile(scratch.path().string(), info), -1);
    EXPECT_EQ(info.errorText, "Unable to open datafile.");
}

TEST_F(DataFileInspection, ClearsWhatThePreviousInspectionFound) {
    ASSERT_EQ(inspect(record(30)), 0);
    EXPECT_EQ(inspect(""), -1);
    EXPECT_EQ(info.naaccrVersion, "");
    EXPECT_EQ(info.recordType, '\0');
    ASSERT_EQ(inspect(record(30)), 0);
    EXPECT_EQ(info.errorText, "");
}

TEST(SyntheticNaaccrRecords, AreTenIncidenceRecordsOfVersion18) {
    const std::string path = NAACCR_SYNTHETIC_RECORDS;
    if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is not there";
    DataFileInfo info;
    ASSERT_EQ(inspectDataFile(path, info), 0);
    EXPECT_EQ(info.recordType, 'I');
    EXPECT_EQ(info.naaccrVersion, "180");
    EXPECT_EQ(info.recordLength, 4049); // 4048 characters and a line feed
    EXPECT_EQ(info.recordCount, 10);
    EXPECT_EQ(info.fileSize, 40490u);
}

} // namespace
} // namespace vetra::desktop
