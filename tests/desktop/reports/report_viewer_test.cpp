// The report viewer's paging and printing without its widgets, over report files written
// here: which lines make a page, the last page with and without filled pages, moving and
// typing page numbers, the page limit, and what reaches the printer.
#include "desktop/reports/report_viewer.h"
#include "tests/desktop/scripted_message_boxes.h"
#include "tests/support/scratch_directory.h"

#include <gtest/gtest.h>

namespace {

using vetra::desktop::ReportViewer;
using vetra::platform::MessageAnswer;
using vetra::platform::MessageButtons;
using Lines = std::vector<std::string>;

class RecordingPrinter : public vetra::desktop::ReportPrinter {
public:
    bool begin() override {
        ++jobs;
        return confirms;
    }
    void printPage(const Lines& lines) override { pages.push_back(lines); }
    void end() override { ++ended; }

    bool confirms = true;
    int jobs = 0;
    int ended = 0;
    std::vector<Lines> pages;
};

// A report of `pages` pages after a title page, each "\fPage n" and one more line, ended as
// the text reports end.
std::string reportOfPages(int pages) {
    std::string text = "Cover\nRun record\n";
    for (int page = 1; page <= pages; ++page)
        text += "\fPage " + std::to_string(page) + "\nline of page " + std::to_string(page) + "\n";
    return text + "\f*** END OF REPORT ***\f";
}

class ReportViewerTest : public ::testing::Test {
protected:
    std::string write(const std::string& text) {
        return scratch_.write("report.rpt", text).string();
    }

    vetra::testing::ScratchDirectory scratch_;
    vetra::testing::ScriptedMessageBoxes messages_;
    ReportViewer viewer_{messages_};
};

TEST_F(ReportViewerTest, FormFeedLinesStartPagesAndTheLastPageDependsOnFilledPages) {
    ASSERT_TRUE(viewer_.open(write(reportOfPages(2)), false));
    // Page starts: "\fPage 1", "\fPage 2" and the end line; the text after the last one is
    // only a page of its own when pages were filled.
    EXPECT_EQ(viewer_.pageCount(), 3);
    EXPECT_EQ(viewer_.lastPageText(), "of 2");
    EXPECT_EQ(viewer_.currentPage(), 0);
    EXPECT_EQ(viewer_.shownLines(), (Lines{"Cover", "Run record"}));
    EXPECT_FALSE(viewer_.canGoBack());
    viewer_.nextPage();
    EXPECT_EQ(viewer_.shownLines(), (Lines{" Page 1", "line of page 1"}));
    EXPECT_EQ(viewer_.shownText(), " Page 1\nline of page 1");
    viewer_.nextPage();
    viewer_.nextPage(); // already on the last page
    EXPECT_EQ(viewer_.currentPage(), 2);
    EXPECT_FALSE(viewer_.canGoForward());
    viewer_.previousPage();
    EXPECT_EQ(viewer_.currentPage(), 1);

    ASSERT_TRUE(viewer_.open(write(reportOfPages(2)), true));
    EXPECT_EQ(viewer_.lastPageText(), "of 3");
    viewer_.showPage(3);
    EXPECT_EQ(viewer_.shownLines(), (Lines{" *** END OF REPORT *** "}));
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(ReportViewerTest, ATypedPageNumberIsKeptWithinTheReport) {
    ASSERT_TRUE(viewer_.open(write(reportOfPages(11)), false)); // 12 pages: 0 to 11
    EXPECT_EQ(viewer_.pageNumberChanged("9999"), "11");
    EXPECT_EQ(viewer_.shownLines()[0], " Page 11");
    EXPECT_EQ(viewer_.pageNumberChanged("4"), "4");
    EXPECT_EQ(viewer_.pageNumberChanged("x4"), "x4"); // not a number: the page stays
    EXPECT_EQ(viewer_.pageNumberChanged(""), "");
    EXPECT_EQ(viewer_.currentPage(), 4);
    EXPECT_EQ(viewer_.pageNumberChanged("-3"), "0");
    EXPECT_EQ(viewer_.pageNumberChanged("99999999999999999999999"), "11");
}

TEST_F(ReportViewerTest, LongLinesAndAReportWithoutPagesAreShownWhole) {
    const std::string longLine(5000, 'x');
    ASSERT_TRUE(viewer_.open(write(longLine + "\n\fnext"), false));
    EXPECT_EQ(viewer_.shownLines(), Lines{longLine});
    ASSERT_TRUE(viewer_.open(write(""), false));
    EXPECT_EQ(viewer_.pageCount(), 1);
    EXPECT_EQ(viewer_.lastPageText(), "of 0");
    EXPECT_TRUE(viewer_.shownLines().empty());
}

TEST_F(ReportViewerTest, AReportThatCannotBeReadIsNamedAndNotShown) {
    const std::string missing = (scratch_.path() / "none.rpt").string();
    EXPECT_FALSE(viewer_.open(missing, true));
    EXPECT_FALSE(viewer_.isOpen());
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_NE(messages_.shown()[0].text.find(missing), std::string::npos);
    EXPECT_FALSE(viewer_.open(scratch_.path().string(), true)); // a folder
}

TEST_F(ReportViewerTest, OnlyTheFirstPagesOfAHugeReportAreIndexed) {
    ASSERT_TRUE(viewer_.open(write(reportOfPages(ReportViewer::kMaximumPageStarts - 1)), false));
    EXPECT_TRUE(messages_.shown().empty()); // exactly the limit: nothing left out

    ASSERT_TRUE(viewer_.open(write(reportOfPages(ReportViewer::kMaximumPageStarts + 5)), false));
    EXPECT_EQ(viewer_.pageCount(), ReportViewer::kMaximumPageStarts);
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text,
              "The internal viewer is limited to slightly less than 20,000 pages.  However, your "
              "full report is stored on disk in the Reports sub-folder in the Ravelo folder.");
    EXPECT_EQ(messages_.shown()[0].caption, "Ravelo Notice");
    viewer_.showPage(ReportViewer::kMaximumPageStarts - 1);
    EXPECT_EQ(viewer_.shownLines()[0], " Page 19979");
}

TEST_F(ReportViewerTest, PrintingAPageOrTheWholeReport) {
    RecordingPrinter printer;
    ASSERT_TRUE(viewer_.open(write(reportOfPages(3)), false));
    viewer_.showPage(2);
    viewer_.printShownPage(printer);
    ASSERT_EQ(printer.pages.size(), 1u);
    EXPECT_EQ(printer.pages[0], (Lines{" Page 2", "line of page 2"}));

    printer.pages.clear();
    viewer_.printReport(printer);
    ASSERT_EQ(printer.pages.size(), 4u);
    EXPECT_EQ(printer.pages[0], (Lines{"Cover", "Run record"}));
    EXPECT_EQ(printer.pages[3], (Lines{" Page 3", "line of page 3"}));
    EXPECT_EQ(viewer_.currentPage(), 2);
    EXPECT_EQ(printer.ended, 2);

    printer.pages.clear();
    printer.confirms = false; // the print dialog cancelled
    viewer_.printReport(printer);
    viewer_.printShownPage(printer);
    EXPECT_TRUE(printer.pages.empty());
    EXPECT_EQ(printer.ended, 2);
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(ReportViewerTest, PrintingMoreThan500PagesAsksFirst) {
    RecordingPrinter printer;
    ASSERT_TRUE(viewer_.open(write(reportOfPages(499)), false)); // pages 0 to 499
    EXPECT_EQ(viewer_.pageCount(), 500);
    viewer_.printReport(printer);
    EXPECT_EQ(printer.pages.size(), 500u);
    EXPECT_TRUE(messages_.shown().empty());

    ASSERT_TRUE(viewer_.open(write(reportOfPages(500)), false));
    printer.pages.clear();
    viewer_.printReport(printer); // answered No
    EXPECT_TRUE(printer.pages.empty());
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "Are you sure you want to print more than 500 pages?");
    EXPECT_EQ(messages_.shown()[0].caption, "Ravelo Notice");
    EXPECT_EQ(messages_.shown()[0].buttons, MessageButtons::YesNo);
    messages_.answerNext(MessageAnswer::Yes);
    viewer_.printReport(printer);
    EXPECT_EQ(printer.pages.size(), 501u);
}

} // namespace
