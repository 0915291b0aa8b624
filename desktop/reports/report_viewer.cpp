#include "desktop/reports/report_viewer.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace vetra::desktop {

namespace {

constexpr const char* kNoticeCaption = "Ravelo Notice";

// One line as the viewer shows and prints it: without its line end, form feeds as blanks.
std::string shownLine(const char* line, std::size_t length) {
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r'))
        --length;
    std::string text(line, length);
    std::replace(text.begin(), text.end(), '\f', ' ');
    return text;
}

// A page number as typed: an optional minus and digits; larger numbers saturate.
bool parsePageNumber(const std::string& text, std::int64_t& number) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::size_t first = negative ? 1 : 0;
    if (text.size() == first) return false;
    std::int64_t value = 0;
    for (std::size_t i = first; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value =
            std::min<std::int64_t>(value * 10 + (text[i] - '0'), std::numeric_limits<int>::max());
    }
    number = negative ? -value : value;
    return true;
}

} // namespace

bool ReportViewer::open(const std::string& path, bool pageFilled) {
    close();
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr || !index()) {
        messages_.show("Unable to open the report file " + path + ": " + std::strerror(errno) + ".",
                       kNoticeCaption);
        close();
        return false;
    }
    path_ = path;
    const int pageStarts = static_cast<int>(pages_.size()) - 1;
    // Page 0, the text before the first form feed, is there even in a report without one.
    pageCount_ = std::max(1, pageStarts + (pageFilled ? 1 : 0));
    // A report that ends with a form feed would end on a page with nothing to read or print.
    while (pageCount_ > 1 && blankPage(pageCount_ - 1))
        --pageCount_;
    showPage(0);
    return true;
}

bool ReportViewer::index() {
    pages_.assign(1, PageStart{0, 0});
    char* line = nullptr;
    std::size_t capacity = 0;
    std::int64_t offset = 0;
    bool limited = false;
    for (ssize_t length; (length = getline(&line, &capacity, file_)) > 0; offset += length) {
        if (line[0] == '\f') {
            if (pages_.size() > kMaximumPageStarts) {
                limited = true;
                break;
            }
            pages_.push_back({offset, 0});
        }
        ++pages_.back().lines;
    }
    std::free(line);
    if (std::ferror(file_)) return false;
    if (limited)
        messages_.show("The internal viewer is limited to slightly less than 20,000 pages.  "
                       "However, your full report is stored on disk in the Reports sub-folder in "
                       "the Ravelo folder.",
                       kNoticeCaption);
    return true;
}

void ReportViewer::close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    pages_.clear();
    pageCount_ = 0;
    current_ = 0;
    shown_.clear();
}

std::vector<std::string> ReportViewer::readPage(int page) {
    std::vector<std::string> lines;
    if (file_ == nullptr || page < 0 || page >= static_cast<int>(pages_.size())) return lines;
    const PageStart& start = pages_[static_cast<std::size_t>(page)];
    if (fseeko(file_, static_cast<off_t>(start.offset), SEEK_SET) != 0) return lines;
    char* line = nullptr;
    std::size_t capacity = 0;
    // A report changed since it was indexed gives what it now holds there.
    for (std::int64_t i = 0; i < start.lines; ++i) {
        const ssize_t length = getline(&line, &capacity, file_);
        if (length <= 0) break;
        lines.push_back(shownLine(line, static_cast<std::size_t>(length)));
    }
    std::free(line);
    std::clearerr(file_);
    return lines;
}

bool ReportViewer::blankPage(int page) {
    const auto lines = readPage(page);
    return std::all_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find_first_not_of(' ') == std::string::npos;
    });
}

std::string ReportViewer::shownText() const {
    std::string text;
    for (const auto& line : shown_) {
        if (!text.empty()) text += '\n';
        text += line;
    }
    return text;
}

void ReportViewer::showPage(int page) {
    if (file_ == nullptr) return;
    current_ = std::clamp(page, 0, pageCount_ - 1);
    shown_ = readPage(current_);
}

void ReportViewer::nextPage() {
    if (canGoForward()) showPage(current_ + 1);
}

void ReportViewer::previousPage() {
    if (canGoBack()) showPage(current_ - 1);
}

void ReportViewer::firstPage() {
    showPage(0);
}

void ReportViewer::lastPage() {
    showPage(pageCount_ - 1);
}

std::string ReportViewer::pageNumberChanged(const std::string& text) {
    std::int64_t number = 0;
    if (!parsePageNumber(text, number)) return text;
    showPage(static_cast<int>(number));
    return std::to_string(current_);
}

void ReportViewer::printShownPage(ReportPrinter& printer) {
    if (!printer.begin()) return;
    printer.printPage(shown_);
    printer.end();
}

void ReportViewer::printReport(ReportPrinter& printer) {
    if (pageCount_ > kPagesPrintedWithoutAsking &&
        messages_.show("Are you sure you want to print more than 500 pages?", kNoticeCaption,
                       platform::MessageButtons::YesNo) != platform::MessageAnswer::Yes)
        return;
    if (!printer.begin()) return;
    for (int page = 0; page < pageCount_; ++page)
        printer.printPage(readPage(page));
    printer.end();
}

} // namespace vetra::desktop
