// What the report viewer does, without its widgets: it indexes a text report by its pages
// (a line that begins with a form feed begins a page), shows one page at a time, moves between
// pages, and prints a page or the whole report. Only the page index is kept in memory; a page's
// lines are read from the file when it is shown or printed, so a report of any size opens at
// once.
#pragma once

#include "desktop/reports/report_printer.h"
#include "platform/message_boxes.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vetra::desktop {

class ReportViewer {
public:
    // Page starts beyond this are not indexed; the report stays whole on disk.
    static constexpr int kMaximumPageStarts = 19980;
    // Printing more pages than this asks first.
    static constexpr int kPagesPrintedWithoutAsking = 500;

    explicit ReportViewer(platform::MessageBoxes& messages) : messages_(messages) {}
    ~ReportViewer() { close(); }
    ReportViewer(const ReportViewer&) = delete;
    ReportViewer& operator=(const ReportViewer&) = delete;

    // Indexes the report and shows page 0. `pageFilled` (the report's pages were filled to the
    // lines per page) adds the text after the last form-feed line as a last page. False, after
    // a message naming the file, when the report cannot be read.
    bool open(const std::string& path, bool pageFilled);
    // "Done": the report file is closed.
    void close();
    bool isOpen() const { return file_ != nullptr; }

    int pageCount() const { return pageCount_; }
    int currentPage() const { return current_; }
    // "of " and the last page's number.
    std::string lastPageText() const { return "of " + std::to_string(pageCount_ - 1); }
    // The lines of the page shown; the form feed that begins a page shows as a blank.
    const std::vector<std::string>& shownLines() const { return shown_; }
    std::string shownText() const;

    void showPage(int page);
    void nextPage();
    void previousPage();
    void firstPage();
    void lastPage();
    bool canGoBack() const { return current_ > 0; }
    bool canGoForward() const { return current_ < pageCount_ - 1; }
    // The page-number field after the user changed it: a non-number keeps the page shown,
    // other numbers are kept within the report. Returns the page-number text to show.
    std::string pageNumberChanged(const std::string& text);

    // "Print This Page" and " Print The Report" (which keeps the page shown).
    void printShownPage(ReportPrinter& printer);
    void printReport(ReportPrinter& printer);

private:
    struct PageStart {
        std::int64_t offset;
        std::int64_t lines;
    };

    bool index();
    bool blankPage(int page);
    std::vector<std::string> readPage(int page);

    platform::MessageBoxes& messages_;
    std::FILE* file_ = nullptr;
    std::string path_;
    std::vector<PageStart> pages_; // page 0 starts at the file's start
    int pageCount_ = 0;
    int current_ = 0;
    std::vector<std::string> shown_;
};

} // namespace vetra::desktop
