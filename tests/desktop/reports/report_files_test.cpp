// Every report style and page mode, compared whole with a file written by hand from the
// reports' formats (tests/data/reports). Three records of the report metafile's "Main" set,
// identified by Code: record 1 (code AB, sex F) fails "Sex Check" and "Two Messages", record
// 2 passes, record 3 (sex F) fails "Sex Check". In the expected files @DATE@ stands for the
// report's date, and @START@, @END@, @ELAPSED@, @DATA@ and @METAFILE@ for the run record's
// values that change from run to run.
#include "tests/desktop/reports/report_fixture.h"

#include <gtest/gtest.h>

namespace {

using vetra::desktop::PageMode;
using vetra::desktop::RAVquery;
using vetra::testing::fileContents;
using vetra::testing::testRecord;

class ReportFiles : public vetra::testing::ReportFixture {
protected:
    void SetUp() override {
        runReportEdits(
            {testRecord("AB", "1", "F"), testRecord("CD", "1", "M"), testRecord("CD", "1", "F")},
            {"Main"}, {"Code"});
    }

    // The expected file with its placeholders filled in from this run.
    std::string expected(const std::string& name) const {
        std::string text = fileContents(std::filesystem::path(REPORT_FILES) / name);
        const auto value = [this](const std::string& key) {
            for (const auto& [k, v] : runRecord())
                if (k == key) return v;
            return std::string("(no " + key + ")");
        };
        const std::pair<std::string, std::string> fills[] = {
            {"@DATE@", date()},
            {"@START@", value("Start of Run")},
            {"@END@", value("End of Run")},
            {"@ELAPSED@", value("Elapsed Time")},
            {"@DATA@", value("Data File")},
            {"@METAFILE@", value("Metafile")},
        };
        for (const auto& [placeholder, fill] : fills)
            for (std::size_t at; (at = text.find(placeholder)) != std::string::npos;)
                text.replace(at, placeholder.size(), fill);
        return text;
    }

    vetra::desktop::ReportInputs detailed(PageMode mode, int linesPerPage = 52) const {
        auto inputs = this->inputs("Test Report", "Pages");
        inputs.pageMode = mode;
        inputs.linesPerPage = linesPerPage;
        return inputs;
    }
};

TEST_F(ReportFiles, DetailedPageFilled) {
    ASSERT_EQ(query_.detailedReport(detailed(PageMode::PageFilled, 30)), RAVquery::kWritten);
    EXPECT_EQ(reportText(), expected("detailed_page_filled.rpt"));
}

TEST_F(ReportFiles, DetailedEveryRecord) {
    ASSERT_EQ(query_.detailedReport(detailed(PageMode::EveryRecord)), RAVquery::kWritten);
    EXPECT_EQ(reportText(), expected("detailed_every_record.rpt"));
}

TEST_F(ReportFiles, DetailedEveryEdit) {
    ASSERT_EQ(query_.detailedReport(detailed(PageMode::EveryEdit)), RAVquery::kWritten);
    EXPECT_EQ(reportText(), expected("detailed_every_edit.rpt"));
}

TEST_F(ReportFiles, Summary) {
    ASSERT_GE(query_.summaryReport(inputs("Test Report", "Pages")), 1);
    EXPECT_EQ(reportText(), expected("summary.rpt"));
}

TEST_F(ReportFiles, Combined) {
    ASSERT_EQ(query_.combinedReport(detailed(PageMode::PageFilled)), RAVquery::kWritten);
    EXPECT_EQ(reportText(), expected("combined.rpt"));
}

TEST_F(ReportFiles, Csv) {
    ASSERT_EQ(csv_.write(inputs("Test Report", "Pages")), vetra::desktop::csv_report::kWritten);
    EXPECT_EQ(csvText(), expected("report.csv"));
}

} // namespace
