// The CSV report: one line per failing record, failed edit, message and field, the header with
// and without identification columns, and the quoting that keeps a spreadsheet's columns
// whole.
#include "tests/desktop/reports/report_fixture.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using vetra::desktop::csv_report;
using vetra::desktop::csvField;
using vetra::desktop::csvQuoted;
using vetra::testing::testRecord;

using CsvReport = vetra::testing::ReportFixture;

const std::string kHeader =
    "Record Number,Edit Name,Message Type,Reason for Failure,Field Name,Field Value\n";

// The lines of the report metafile's edits on a record with code AB, registry 1, sex F.
std::string sexCheckLine(const std::string& prefix) {
    return prefix + ",\"Sex Check\",E,\"Sex F at (4) is wrong in Sex Check\",Sex (4),[F]\n";
}
std::string twoMessagesLines(const std::string& prefix) {
    std::string lines;
    for (const char* message : {"Check Code", "Code AB with registry 1"})
        for (const char* field : {"Code (1),[AB]", "Registry (3),[1]", "Sex (4),[F]"})
            lines += prefix + ",\"Two Messages\",E,\"" + message + "\"," + field + "\n";
    return lines;
}

// Two messages and three fields make six lines, each message with every field; the edit
// without fields makes none.
TEST_F(CsvReport, WithoutIdentificationFieldsEachLineHasSixColumns) {
    runReportEdits({testRecord("AB", "1", "F", "C999"), testRecord("CD", "1", "M")}, {"Main"});
    ASSERT_EQ(csv_.write(inputs()), csv_report::kWritten);
    EXPECT_EQ(csvText(), kHeader + sexCheckLine("1") + twoMessagesLines("1"));
    EXPECT_TRUE(reportMessages_.shown().empty());
    EXPECT_EQ(reportProgress_.maximum(), 1);
    EXPECT_EQ(reportProgress_.position(), 1);
}

TEST_F(CsvReport, TwoIdentificationFieldsAddTwoColumnsAfterTheRecordNumber) {
    runReportEdits({testRecord("CD", "2", "F"), testRecord("AB", "1", "F")}, {"Main"},
                   {"Code", "Registry"});
    auto inputs = this->inputs();
    inputs.sortFields = {"Code"};
    ASSERT_EQ(csv_.write(inputs), csv_report::kWritten);
    EXPECT_EQ(csvText(),
              "Record Number,Code,Registry,Edit Name,Message Type,Reason for Failure,Field "
              "Name,Field Value\n" +
                  sexCheckLine("2,AB,1") + twoMessagesLines("2,AB,1") + sexCheckLine("1,CD,2"));
}

TEST_F(CsvReport, ARecordFailingInTwoEditSetsWritesItsLinesTwice) {
    runReportEdits({testRecord("AB", "1", "F")}, {"Main", "Second"});
    ASSERT_EQ(csv_.write(inputs()), csv_report::kWritten);
    const std::string record = sexCheckLine("1") + twoMessagesLines("1") + sexCheckLine("1");
    EXPECT_EQ(csvText(), kHeader + record + record);
}

TEST_F(CsvReport, TheReportTakesTheReportFileNameWithTheExtensionCsv) {
    runReportEdits({testRecord("CD", "1", "F")}, {"Second"});
    auto inputs = this->inputs();
    inputs.reportFileName = (scratch_.path() / "out.rpt").string();
    ASSERT_EQ(csv_.write(inputs), csv_report::kWritten);
    EXPECT_TRUE(std::filesystem::exists(scratch_.path() / "out.csv"));
    EXPECT_FALSE(std::filesystem::exists(scratch_.path() / "out.rpt"));

    EXPECT_EQ(csv_report::csvFileName("/reports/out.rpt"), "/reports/out.csv");
    EXPECT_EQ(csv_report::csvFileName("/reports/out"), "/reports/out.csv");
    EXPECT_EQ(csv_report::csvFileName("/reports.v2/out"), "/reports.v2/out.csv");
    EXPECT_EQ(csv_report::csvFileName("/reports/out.2024.txt"), "/reports/out.2024.csv");
}

// The names come from the selected fields when no record row holds them.
TEST_F(CsvReport, WithoutFailuresOnlyTheHeaderIsWritten) {
    runReportEdits({testRecord("CD", "1", "M")}, {"Main"}, {"Code", "Sex"});
    ASSERT_EQ(csv_.write(inputs()), csv_report::kWritten);
    EXPECT_EQ(csvText(), "Record Number,Code,Sex,Edit Name,Message Type,Reason for Failure,Field "
                         "Name,Field Value\n");
}

// Quotes, commas and line ends inside a value no longer shift or split the columns.
TEST_F(CsvReport, ValuesHoldingCommasQuotesOrLineEndsAreQuoted) {
    runReportEdits({testRecord("QQ", "1", "M", "C509", "Smith, John")}, {"Quoting"}, {"Name"});
    ASSERT_EQ(csv_.write(inputs()), csv_report::kWritten);
    const std::string name = "Smith, John" + std::string(49, ' ');
    EXPECT_EQ(csvText(), "Record Number,Name,Edit Name,Message Type,Reason for Failure,Field "
                         "Name,Field Value\n1,\"" +
                             name +
                             "\",\"The \"\"Name, Please\"\" Edit\",E,\"Say \"\"yes, or "
                             "no\"\"\nto Smith, John\",Name (17),\"[Smith, John]\"\n");
}

// A record's values come from the data file: one that a spreadsheet would read as a formula
// is shown as text, and a negative number stays a number.
TEST_F(CsvReport, ValuesThatStartLikeFormulasAreKeptAsText) {
    const std::vector<std::string> names = {"=1+2", "@SUM(1+9)", "-5", "+x", "\tTabbed"};
    std::vector<std::string> records;
    for (const auto& name : names)
        records.push_back(testRecord("QQ", "1", "M", "C509", name));
    runReportEdits(records, {"Quoting"}, {"Name"});
    ASSERT_EQ(csv_.write(inputs()), csv_report::kWritten);
    const std::vector<std::string> shown = {"'=1+2", "'@SUM(1+9)", "-5", "'+x", "'\tTabbed"};
    std::string expected = "Record Number,Name,Edit Name,Message Type,Reason for Failure,Field "
                           "Name,Field Value\n";
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string cell = shown[i] + std::string(60 - names[i].size(), ' ');
        expected += std::to_string(i + 1) + "," + cell +
                    ",\"The \"\"Name, Please\"\" Edit\",E,\"Say \"\"yes, or no\"\"\nto " +
                    names[i] + "\",Name (17),[" + names[i] + "]\n";
    }
    EXPECT_EQ(csvText(), expected);
}

TEST(CsvFields, CellsThatWouldBeFormulasGetALeadingApostrophe) {
    EXPECT_EQ(csvField("=1+2"), "'=1+2");
    EXPECT_EQ(csvField("@SUM(1+9)"), "'@SUM(1+9)");
    EXPECT_EQ(csvField("+x"), "'+x");
    EXPECT_EQ(csvField("-"), "'-");
    EXPECT_EQ(csvField("-5."), "'-5.");
    EXPECT_EQ(csvField("-1e3"), "'-1e3");
    EXPECT_EQ(csvField("\tx"), "'\tx");
    EXPECT_EQ(csvField("\rx"), "\"'\rx\"");
    EXPECT_EQ(csvField("=HYPERLINK(\"http://x\",\"y\")"),
              "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"");
    EXPECT_EQ(csvQuoted("=cmd|' /C calc'!A0"), "\"'=cmd|' /C calc'!A0\"");
    EXPECT_EQ(csvQuoted("@x"), "\"'@x\"");

    EXPECT_EQ(csvField("-5"), "-5");
    EXPECT_EQ(csvField("+3.25"), "+3.25");
    EXPECT_EQ(csvField("-12   "), "-12   ");
    EXPECT_EQ(csvField("1-2"), "1-2");
    EXPECT_EQ(csvField(" =1"), " =1");
    EXPECT_EQ(csvQuoted("-5"), "\"-5\"");
}

TEST(CsvFields, OnlyValuesThatWouldBreakAColumnAreQuoted) {
    EXPECT_EQ(csvField(""), "");
    EXPECT_EQ(csvField("[C509]"), "[C509]");
    EXPECT_EQ(csvField("it's; fine"), "it's; fine");
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("say \"no\""), "\"say \"\"no\"\"\"");
    EXPECT_EQ(csvField("one\ntwo"), "\"one\ntwo\"");
    EXPECT_EQ(csvField("one\rtwo"), "\"one\rtwo\"");
    EXPECT_EQ(csvQuoted(""), "\"\"");
    EXPECT_EQ(csvQuoted("plain"), "\"plain\"");
    EXPECT_EQ(csvQuoted("\"quoted\""), "\"\"\"quoted\"\"\"");
}

TEST_F(CsvReport, AReportFileThatCannotBeCreatedIsReported) {
    runReportEdits({testRecord("CD", "1", "F")}, {"Second"});
    auto inputs = this->inputs();
    inputs.reportFileName = (scratch_.path() / "missing" / "report.rpt").string();
    EXPECT_EQ(csv_.write(inputs), csv_report::kFileNotCreated);
    ASSERT_EQ(reportMessages_.shown().size(), 1u);
    EXPECT_EQ(reportMessages_.shown()[0].text,
              "Unable to create report file.  Make sure the directory exists and the file, if it "
              "exists, is not locked.");
    EXPECT_EQ(reportMessages_.shown()[0].caption, "");
}

} // namespace
