// The report options dialog's behaviour without its widgets: the file name each style and
// format gives, the texts copied from the main window, and generating every format and style
// from the results of a real run, with the viewer or the spreadsheet program as the outcome.
#include "desktop/reports/report_file_names.h"
#include "desktop/reports/report_options.h"
#include "tests/desktop/reports/report_fixture.h"

#include <gtest/gtest.h>

namespace {

using vetra::desktop::MainWindowReportTexts;
using vetra::desktop::PageMode;
using vetra::desktop::reportFileNameWithExtension;
using vetra::desktop::ReportFormat;
using vetra::desktop::ReportOptions;
using vetra::desktop::ReportStyle;
using vetra::desktop::styledReportFileName;
using vetra::testing::fileContents;
using vetra::testing::testRecord;
using Generated = ReportOptions::Generated;

TEST(ReportFileName, StylesAndFormatsRewriteTheNameInItsFolder) {
    EXPECT_EQ(styledReportFileName("/r/MyReport.rpt", "", "_summary", ".rpt"),
              "/r/MyReport_summary.rpt");
    EXPECT_EQ(styledReportFileName("/r/MyReport_summary.rpt", "_summary", "_combined", ".rpt"),
              "/r/MyReport_combined.rpt");
    EXPECT_EQ(reportFileNameWithExtension("/r/MyReport_combined.rpt", ".csv"),
              "/r/MyReport_combined.csv");
    EXPECT_EQ(styledReportFileName("/r/MyReport_combined.csv", "_combined", "_detailed", ".csv"),
              "/r/MyReport_detailed.csv");
    // The last occurrence of the suffix goes, with all after it.
    EXPECT_EQ(
        styledReportFileName("/r/a_detailed_x_detailed_old.rpt", "_detailed", "_summary", ".rpt"),
        "/r/a_detailed_x_summary.rpt");
    // A name the user typed without the suffix keeps all of itself.
    EXPECT_EQ(styledReportFileName("/r/mine.txt", "_detailed", "_summary", ".rpt"),
              "/r/mine_summary.rpt");
    EXPECT_EQ(reportFileNameWithExtension("/r/plain", ".rpt"), "/r/plain.rpt");
    // Dots and suffixes in folder names are not the file's.
    EXPECT_EQ(reportFileNameWithExtension("/r.2024/plain", ".csv"), "/r.2024/plain.csv");
    EXPECT_EQ(styledReportFileName("/x_summary/plain", "_summary", "_detailed", ".rpt"),
              "/x_summary/plain_detailed.rpt");
}

class RecordingShell : public vetra::platform::ShellOpen {
public:
    int open(const std::string& documentPath) override {
        opened.push_back(documentPath);
        return result;
    }
    std::vector<std::string> opened;
    int result = vetra::platform::kShellOpened;
};

class ReportOptionsDialog : public vetra::testing::ReportFixture {
protected:
    MainWindowReportTexts mainWindowTexts() const {
        return {"Quarterly", "Second quarter", reportPath(), "2", "5"};
    }

    RecordingShell shell_;
    ReportOptions options_{reportMessages_, shell_, reportProgress_};
};

TEST_F(ReportOptionsDialog, ShowingCopiesTheMainWindowAndSelectsTheDetailedStyle) {
    options_.shown(mainWindowTexts());
    EXPECT_EQ(options_.style(), ReportStyle::Detailed);
    EXPECT_EQ(options_.texts().reportFileName, (scratch_.path() / "report_detailed.rpt").string());
    EXPECT_EQ(options_.texts().title, "Quarterly");
    EXPECT_EQ(options_.texts().exceptionRecords, "2");
    EXPECT_EQ(options_.texts().totalExceptions, "5");
    EXPECT_EQ(options_.linesPerPage(), 52);
    EXPECT_EQ(options_.pageMode(), PageMode::PageFilled);
    EXPECT_TRUE(options_.omitZeroCounts());

    options_.setStyle(ReportStyle::Summary);
    options_.setStyle(ReportStyle::Combined);
    ASSERT_TRUE(options_.setFormat(ReportFormat::Csv));
    EXPECT_EQ(options_.texts().reportFileName, (scratch_.path() / "report_combined.csv").string());

    // Shown again after the next run with the name it gave back: the style goes back to
    // "Detailed" and the name follows.
    auto texts = mainWindowTexts();
    texts.reportFileName = options_.texts().reportFileName;
    options_.shown(texts);
    EXPECT_EQ(options_.texts().reportFileName, (scratch_.path() / "report_detailed.csv").string());

    options_.setLinesPerPage(12);
    EXPECT_EQ(options_.linesPerPage(), 30);
}

TEST_F(ReportOptionsDialog, AnEmptyFileNameIsRefusedWithItsMessage) {
    auto texts = mainWindowTexts();
    texts.reportFileName.clear();
    options_.shown(texts);
    options_.setReportFileName("");
    EXPECT_FALSE(options_.setFormat(ReportFormat::Csv));
    EXPECT_EQ(options_.generate(inputs()), Generated::Nothing);
    ASSERT_EQ(reportMessages_.shown().size(), 2u);
    for (const auto& shown : reportMessages_.shown()) {
        EXPECT_EQ(shown.text, "A report cannot be created until a full pathname is entered in "
                              "the Report File Name field.");
        EXPECT_EQ(shown.caption, "No report name specified");
    }
}

TEST_F(ReportOptionsDialog, EachTextStyleIsWrittenUnderItsNameAndShownByTheViewer) {
    runReportEdits({testRecord("AB", "1", "F"), testRecord("CD", "1", "M")}, {"Main"}, {"Sex"});
    options_.shown(mainWindowTexts());
    options_.setPageMode(PageMode::EveryRecord);
    options_.setLinesPerPage(40);
    ASSERT_EQ(options_.generate(inputs()), Generated::ShowViewer);
    const std::string detailed = (scratch_.path() / "report_detailed.rpt").string();
    EXPECT_EQ(options_.generatedFile(), detailed);

    // The dialog's texts and options are the ones the report was written with.
    auto expected = inputs("Quarterly", "Second quarter");
    expected.reportFileName = (scratch_.path() / "expected.rpt").string();
    expected.pageMode = PageMode::EveryRecord;
    expected.linesPerPage = 40;
    ASSERT_EQ(query_.detailedReport(expected), vetra::desktop::RAVquery::kWritten);
    EXPECT_EQ(fileContents(detailed), fileContents(expected.reportFileName));

    options_.setStyle(ReportStyle::Summary);
    EXPECT_EQ(options_.generate(inputs()), Generated::ShowViewer);
    EXPECT_NE(fileContents(scratch_.path() / "report_summary.rpt").find("Summary by Edit"),
              std::string::npos);
    options_.setStyle(ReportStyle::Combined);
    EXPECT_EQ(options_.generate(inputs()), Generated::ShowViewer);
    EXPECT_NE(fileContents(scratch_.path() / "report_combined.rpt").find("*** END OF REPORT ***"),
              std::string::npos);
    EXPECT_TRUE(reportMessages_.shown().empty());
    EXPECT_TRUE(shell_.opened.empty());
    EXPECT_FALSE(options_.generating());
}

TEST_F(ReportOptionsDialog, AReportThatCannotBeWrittenGetsNoViewer) {
    runReportEdits({testRecord("AB", "1", "F")}, {"Main"});
    auto texts = mainWindowTexts();
    texts.reportFileName = (scratch_.path() / "missing" / "report.rpt").string();
    options_.shown(texts);
    for (const ReportStyle style :
         {ReportStyle::Detailed, ReportStyle::Summary, ReportStyle::Combined}) {
        options_.setStyle(style);
        EXPECT_EQ(options_.generate(inputs()), Generated::Nothing);
    }
    EXPECT_EQ(reportMessages_.shown().size(), 3u);
}

// Asks the dialog's report to halt whenever the report lets pending events through, as a
// click on "Halt" would.
class HaltClickingProgress : public vetra::desktop::ReportProgress {
public:
    void start(std::int64_t) override {}
    void advance(std::int64_t) override {}
    void finish() override {}
    void processPendingEvents() override { options->requestHalt(); }
    ReportOptions* options = nullptr;
};

TEST_F(ReportOptionsDialog, AStoppedCombinedReportIsShownAsFarAsItGot) {
    runReportEdits(std::vector<std::string>(30, testRecord("AB", "1", "F")), {"Main"});
    HaltClickingProgress halt;
    ReportOptions options(reportMessages_, shell_, halt);
    halt.options = &options;
    options.shown(mainWindowTexts());
    options.setStyle(ReportStyle::Combined);
    options.setPageMode(PageMode::EveryEdit);
    EXPECT_TRUE(options.haltsWhileGenerating());
    reportMessages_.answerNext(vetra::platform::MessageAnswer::Ok);
    EXPECT_EQ(options.generate(inputs()), Generated::ShowViewer);
    ASSERT_EQ(reportMessages_.shown().size(), 1u);
    EXPECT_EQ(reportMessages_.shown()[0].caption, "Halt Requested");
    const std::string report = fileContents(scratch_.path() / "report_combined.rpt");
    EXPECT_NE(report.find("*** REPORT INTERRUPTED ***"), std::string::npos);
    EXPECT_FALSE(options.generating());
    options.setStyle(ReportStyle::Summary);
    EXPECT_FALSE(options.haltsWhileGenerating());
}

TEST_F(ReportOptionsDialog, ACsvReportIsHandedToTheSpreadsheetProgram) {
    runReportEdits({testRecord("AB", "1", "F")}, {"Main"}, {"Sex"});
    options_.shown(mainWindowTexts());
    ASSERT_TRUE(options_.setFormat(ReportFormat::Csv));
    EXPECT_EQ(options_.generate(inputs()), Generated::Nothing);
    const std::string csv = (scratch_.path() / "report_detailed.csv").string();
    ASSERT_EQ(shell_.opened, std::vector<std::string>{csv});
    EXPECT_EQ(fileContents(csv).substr(0, 21), "Record Number,Sex,Edi");
    EXPECT_TRUE(reportMessages_.shown().empty());

    shell_.result = vetra::platform::kShellNoAssociation;
    EXPECT_EQ(options_.generate(inputs()), Generated::Nothing);
    ASSERT_EQ(reportMessages_.shown().size(), 1u);
    // Where the file was written comes first: it is there whatever the desktop could do.
    EXPECT_EQ(reportMessages_.shown()[0].text,
              "The CSV report was written to " + csv +
                  "; no program is set to open .csv files.\n\nError 31: Unable to open .csv "
                  "report file.  Open it from a spreadsheet program, or set one to open .csv "
                  "files.");
    EXPECT_EQ(reportMessages_.shown()[0].caption, "");

    // A CSV file that could not be written is not handed on.
    options_.setReportFileName((scratch_.path() / "missing" / "x.csv").string());
    EXPECT_EQ(options_.generate(inputs()), Generated::Nothing);
    EXPECT_EQ(shell_.opened.size(), 2u);
}

// The overview is an HTML page in either format, handed to the desktop's browser; when nothing
// opens it the user learns where it is.
TEST_F(ReportOptionsDialog, TheOverviewIsHandedToTheBrowser) {
    runReportEdits({testRecord("AB", "1", "F")}, {"Main"});
    options_.shown(mainWindowTexts());
    options_.setStyle(ReportStyle::Overview);
    const std::string page = (scratch_.path() / "report_overview.html").string();
    EXPECT_EQ(options_.texts().reportFileName, page);
    ASSERT_TRUE(options_.setFormat(ReportFormat::Csv));
    EXPECT_EQ(options_.texts().reportFileName, page);
    EXPECT_FALSE(options_.haltsWhileGenerating());
    EXPECT_EQ(options_.generate(inputs()), Generated::Nothing);
    EXPECT_EQ(options_.generatedFile(), page);
    ASSERT_EQ(shell_.opened, std::vector<std::string>{page});
    EXPECT_EQ(fileContents(page).substr(0, 15), "<!DOCTYPE html>");
    EXPECT_TRUE(reportMessages_.shown().empty());

    shell_.result = vetra::platform::kShellNoAssociation;
    EXPECT_EQ(options_.generate(inputs()), Generated::Nothing);
    ASSERT_EQ(reportMessages_.shown().size(), 1u);
    EXPECT_EQ(reportMessages_.shown()[0].text, "The overview report was written to " + page +
                                                   "; no program is set to open .html files");

    options_.setStyle(ReportStyle::Detailed);
    EXPECT_EQ(options_.texts().reportFileName, (scratch_.path() / "report_detailed.csv").string());
}

} // namespace
