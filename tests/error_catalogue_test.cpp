#include "engine/api/error_catalogue.h"
#include "engine/api/vetra40.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

std::string lookUp(int32_t code, int32_t* status, std::string* function = nullptr) {
    char message[200] = "untouched";
    char functionText[60] = "untouched";
    *status = VTerr_GetEngineErrorMessage(code, message, sizeof message, functionText,
                                          sizeof functionText);
    if (function != nullptr) *function = functionText;
    return message;
}

std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(ErrorCatalogue, HoldsItsRowsInCatalogueOrder) {
    auto rows = vetra::errorCatalogue();
    ASSERT_EQ(rows.size(), 327u);
    EXPECT_EQ(rows[0].code, 0);
    EXPECT_EQ(rows[1].code, -1);
    EXPECT_EQ(rows[2].code, -2);
    EXPECT_EQ(rows[3].code, -3);
    std::set<int32_t> codes;
    for (size_t i = 4; i < rows.size(); ++i) {
        EXPECT_LT(rows[i - 1].code, rows[i].code) << "row " << i;
        EXPECT_LE(std::strlen(rows[i].function), 49u);
        EXPECT_LE(std::strlen(rows[i].message), 101u);
        EXPECT_EQ(std::strchr(rows[i].message, '"'), nullptr);
    }
    EXPECT_EQ(rows.back().code, 9999);
    EXPECT_STREQ(rows.back().message, "End-of-list placeholder");
}

TEST(ErrorCatalogue, LooksUpMessagesAndFunctions) {
    int32_t status = -99;
    std::string function;
    EXPECT_EQ(lookUp(0, &status, &function), "No error; this is the default initialization value.");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(function, "none");

    EXPECT_EQ(lookUp(705, &status, &function), "Couldn't open _RE_BUFF.DBF");
    EXPECT_EQ(function, "VTi_Init");

    EXPECT_EQ(lookUp(9999, &status), "End-of-list placeholder");
    EXPECT_EQ(status, 0);

    EXPECT_EQ(lookUp(2097, &status, &function), "SOURCE_OVERRUN error");
    EXPECT_EQ(function, "VTi_GetHardToken");
}

TEST(ErrorCatalogue, UnknownCodeLeavesBuffersUntouched) {
    int32_t status = 0;
    std::string function;
    EXPECT_EQ(lookUp(706, &status, &function), "untouched");
    EXPECT_EQ(status, 1000);
    EXPECT_EQ(function, "untouched");
}

TEST(ErrorCatalogue, ShortBuffersAreCutAndTerminated) {
    char message[10];
    std::memset(message, 'x', sizeof message);
    EXPECT_EQ(VTerr_GetEngineErrorMessage(705, message, 10, nullptr, 0), 0);
    EXPECT_STREQ(message, "Couldn't ");

    char one[1] = {'x'};
    EXPECT_EQ(VTi_GetEngineErrorMessage(705, one, 1, nullptr, 0), 0);
    EXPECT_EQ(one[0], '\0');
    EXPECT_EQ(VTi_GetEngineErrorMessage(705, nullptr, 0, nullptr, 0), 0);
}

class ErrorListExport : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ =
            std::filesystem::temp_directory_path() /
            ("vetra-export-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(directory_);
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }
    std::filesystem::path directory_;
};

TEST_F(ErrorListExport, WritesEveryRowButThePlaceholder) {
    std::string path = (directory_ / "errors.csv").string();
    {
        std::ofstream previous(path);
        previous << "old content that must go\n";
    }
    ASSERT_EQ(VTerr_ExportErrorList(path.c_str()), 0);
    auto lines = readLines(path);
    ASSERT_EQ(lines.size(), 326u);
    EXPECT_EQ(lines.front(), "0,\"none\",\"No error; this is the default initialization value.\"");
    EXPECT_EQ(lines[1], "-1,\"VTi_SetLastEngineError\",\"An invalid error code was used by the "
                        "engine programmer.\"");
    EXPECT_EQ(lines.back(),
              "9000,\"VTi_ExportErrorList\",\"Failure to export list of engine errors\"");

    auto rows = vetra::errorCatalogue();
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string expected = std::to_string(rows[i].code) + ",\"" + rows[i].function + "\",\"" +
                               rows[i].message + "\"";
        EXPECT_EQ(lines[i], expected) << "line " << i + 1;
    }
}

TEST_F(ErrorListExport, DefaultsToEditErrsCsvInTheCurrentDirectory) {
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(directory_);
    int32_t status = VTi_ExportErrorList(nullptr);
    std::filesystem::current_path(previous);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(readLines((directory_ / "EditErrs.csv").string()).size(), 326u);
}

TEST_F(ErrorListExport, ReportsAFileThatCannotBeWritten) {
    std::string path = (directory_ / "missing-folder" / "errors.csv").string();
    EXPECT_EQ(VTerr_ExportErrorList(path.c_str()), 9000);
}

} // namespace
