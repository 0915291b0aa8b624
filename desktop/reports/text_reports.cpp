#include "desktop/reports/text_reports.h"

#include "desktop/reports/results_reader.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <initializer_list>
#include <locale>
#include <sstream>
#include <stdio_ext.h>

namespace vetra::desktop {

namespace {

constexpr std::size_t kTitleLineLimit = 199;
constexpr std::size_t kSummaryTitleLimit = 127;
constexpr std::size_t kSummaryEntryLimit = 30000;
constexpr std::size_t kSummaryLineLimit = 99;
constexpr int kSummaryRowsPerPage = 56;
constexpr int kProgressStep = 11;
constexpr std::size_t kOutputBufferSize = 1 << 16;

const std::string kUnderline = std::string(72, '_') + "\n";
const std::string kDashLine(72, '-');
const std::string kDashLineText = kDashLine + "\n";
const char* const kDashLineEnded = kDashLineText.c_str();
// Six blanks, then a field title right-aligned in 32 columns: the indent for a title of n
// characters (n below 32) starts at kFieldIndent + n.
const char* const kFieldIndent = "                                      ";

constexpr const char* kCannotCreate = "Unable to create report file.  Make sure the directory "
                                      "exists and the file, if it exists, is not locked.";

std::string shortDateText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::ostringstream text;
    try {
        text.imbue(std::locale(""));
    } catch (const std::runtime_error&) {
        // An environment that names a locale the system lacks gets the classic one.
    }
    std::use_facet<std::time_put<char>>(text.getloc()).put(text, text, ' ', &local, 'x');
    return text.str();
}

std::string cut(const std::string& text, std::size_t limit) {
    return text.substr(0, limit);
}

} // namespace

// The detailed report's body: counts lines, breaks pages by the page mode, numbers them.
class RAVquery::DetailedWriter {
public:
    DetailedWriter(RAVquery& query, const ReportInputs& inputs, const std::string& title)
        : query_(query), inputs_(inputs), title_(title) {}

    void firstTitleBlock() {
        std::fprintf(query_.output_, "%-57s  %s\n", title_.c_str(), query_.dateText_.c_str());
        writeOtherTitleLines();
    }

    void record(const RecordRow& row, ResultsReader& results) {
        const PageMode mode = inputs_.pageMode;
        if (mode != PageMode::EveryEdit) {
            inHead_ = true;
            if (mode == PageMode::PageFilled) {
                line({"\n"});
                line({kDashLineEnded});
            }
            recordHead(row);
            inHead_ = false;
            breakFilledPage();
        }
        results.forEachFailedEdit(row.recordNumber, [&](std::int64_t id, const char* name) {
            if (mode == PageMode::EveryEdit) recordHead(row);
            line({"  Edit: ", name, "\n"});
            results.forEachMessage(id, [&](const char* type, const char* text) {
                line({"    ", type, ": ", text, "\n"});
            });
            results.forEachField(id, [&](const char* title, const char* value) {
                const std::size_t width = std::strlen(title);
                line({kFieldIndent + (width < 32 ? width : 32), title, " ", value, "\n"});
            });
            line({kDashLineEnded});
            if (mode == PageMode::EveryRecord) line({"\n"});
            if (mode == PageMode::EveryEdit) {
                line({"\n"});
                newPage();
            }
            return true;
        });
        if (mode == PageMode::EveryRecord) newPage();
    }

    int page() const { return page_; }

private:
    void writeOtherTitleLines() {
        for (std::size_t i = 1; i < query_.titleBlock_.size(); ++i)
            std::fprintf(query_.output_, "%s\n", query_.titleBlock_[i].c_str());
        lines_ = static_cast<int>(query_.titleBlock_.size());
    }

    void newPage() {
        ++page_;
        std::fprintf(query_.output_, "\n\f%-50s page %d  %s\n", title_.c_str(), page_,
                     query_.dateText_.c_str());
        writeOtherTitleLines();
    }

    // Writes one line; a filled page breaks as soon as it holds more than the lines per page,
    // but a record's head stays whole: its break comes after it.
    void line(std::initializer_list<const char*> pieces) {
        for (const char* piece : pieces)
            std::fputs(piece, query_.output_);
        ++lines_;
        if (!inHead_) breakFilledPage();
    }

    void breakFilledPage() {
        if (inputs_.pageMode == PageMode::PageFilled && lines_ > inputs_.linesPerPage) newPage();
    }

    void recordHead(const RecordRow& row) {
        char number[32];
        std::snprintf(number, sizeof number, "#%lld\n", static_cast<long long>(row.recordNumber));
        line({number});
        const std::size_t shown = std::min<std::size_t>(inputs_.selectedFields.size(), 10);
        for (std::size_t i = 0; i < shown; ++i)
            line({row.identification[2 * i], ": ", row.identification[2 * i + 1], "\n"});
        line({kDashLineEnded});
    }

    RAVquery& query_;
    const ReportInputs& inputs_;
    const std::string& title_;
    int page_ = 1;
    int lines_ = 0;
    bool inHead_ = false;
};

RAVquery::RAVquery(platform::MessageBoxes& messages, ReportProgress& progress)
    : messages_(messages), progress_(progress), dateText_(shortDateText()) {}

RAVquery::~RAVquery() {
    closeReportFile();
}

bool RAVquery::createReportFile(const std::string& path) {
    closeReportFile();
    output_ = std::fopen(path.c_str(), "w");
    if (output_ == nullptr) return false;
    std::setvbuf(output_, nullptr, _IOFBF, kOutputBufferSize);
    __fsetlocking(output_, FSETLOCKING_BYCALLER); // one thread writes the report

    return true;
}

void RAVquery::closeReportFile() {
    if (output_ != nullptr) std::fclose(output_);
    output_ = nullptr;
}

void RAVquery::buildTitleBlock(const std::string& title, const std::string& subtitle) {
    titleBlock_.clear();
    titleBlock_.push_back(cut(title, kTitleLineLimit));
    if (!subtitle.empty()) titleBlock_.push_back(cut(" " + subtitle, kTitleLineLimit));
    titleBlock_.push_back(kUnderline);
}

void RAVquery::writeCoverPage(ResultsReader* results) {
    std::fprintf(output_, "%-55s Cover Page  %s\n", titleBlock_.front().c_str(), dateText_.c_str());
    if (titleBlock_.size() > 2) std::fprintf(output_, "%-80s\n", titleBlock_[1].c_str() + 1);
    std::fputs(kUnderline.c_str(), output_);
    if (results != nullptr)
        results->forEachRunRecordRow([&](const char* key, const char* value) {
            std::fprintf(output_, "%25s - %s\n", key, value);
        });
    std::fputc('\f', output_);
}

int RAVquery::detailedReport(const ReportInputs& inputs, bool continuing) {
    haltRequested_ = false;
    if (!continuing && !createReportFile(inputs.reportFileName)) {
        messages_.show(kCannotCreate, "");
        return kFileNotCreated;
    }
    if (output_ == nullptr) return kFileNotCreated;
    ResultsReader results;
    if (!results.open(inputs.resultsFolder + "errors.db") ||
        !results.beginRecords(reportSortOrder(inputs.selectedFields, inputs.sortFields))) {
        messages_.show("Unable to read the results database " + inputs.resultsFolder +
                           "errors.db: " + results.errorText(),
                       "");
        closeReportFile();
        return kResultsUnreadable;
    }
    buildTitleBlock(inputs.title, inputs.subtitle);
    if (!continuing) writeCoverPage(&results);

    DetailedWriter writer(*this, inputs, titleBlock_.front());
    writer.firstTitleBlock();
    progress_.start(results.recordRowCount());
    results.beginTransaction();
    int outcome = kWritten;
    RecordRow row;
    while (results.nextRecord(row)) {
        writer.record(row, results);
        if (writer.page() % kProgressStep != 0) continue;
        progress_.advance(kProgressStep);
        progress_.processPendingEvents();
        if (!haltRequested_) continue;
        if (messages_.show("Click OK to stop the building of this report.\nClick Cancel to "
                           "continue.",
                           "Halt Requested",
                           platform::MessageButtons::OkCancel) == platform::MessageAnswer::Ok) {
            std::fputs("*** REPORT INTERRUPTED ***", output_);
            outcome = kStopped;
            break;
        }
        haltRequested_ = false;
    }
    results.endTransaction();
    std::fputs("\f*** END OF REPORT ***\f", output_);
    progress_.finish();
    closeReportFile();
    return outcome;
}

bool RAVquery::readSummaryEntries(const std::string& path) {
    summary_.clear();
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bool exceeded = false;
    for (std::string text; std::getline(file, text);) {
        if (summary_.size() == kSummaryEntryLimit) {
            exceeded = true;
            break;
        }
        text.resize(std::min(text.size(), kSummaryLineLimit));
        SummaryEntry entry;
        const char* cursor = text.c_str();
        long* counts[] = {&entry.errors, &entry.warnings, &entry.skips};
        for (long* count : counts) {
            *count = std::strtol(cursor, nullptr, 10);
            const char* comma = std::strchr(cursor, ',');
            cursor = comma != nullptr ? comma + 1 : cursor + std::strlen(cursor);
        }
        const char* end = cursor;
        while (*end != '\0' && !std::iscntrl(static_cast<unsigned char>(*end)))
            ++end;
        entry.editName.assign(cursor, end);
        summary_.push_back(std::move(entry));
    }
    if (exceeded)
        messages_.show(std::string("The message buffer for 'summary.txt' has been exceeded.  ") +
                           "A summary report has been generated, but some summary counts have "
                           "been omitted.  " +
                           "To address this issue, reduce the number of selected edit sets.  " +
                           "The edit sets can be processed in smaller batches if needed.",
                       "");
    return true;
}

void RAVquery::writeSummaryPageHead(int page) {
    std::fprintf(output_, "%-60s page %d\n", titleBlock_.front().c_str(), page);
    for (std::size_t i = 1; i < titleBlock_.size(); ++i)
        std::fprintf(output_, "%s\n", titleBlock_[i].c_str());
    std::fprintf(output_, "%52s - %7s  %7s   %7s\n\n", "Edit", "Errors", "Warnings", "Skips");
}

int RAVquery::summaryReport(const ReportInputs& inputs, bool combined) {
    const std::string summaryPath = inputs.resultsFolder + "summary.txt";
    if (!readSummaryEntries(summaryPath)) {
        messages_.show("Unable to open " + summaryPath + ".  Make sure a run has completed.", "");
        return kSummaryFailed;
    }
    if (!createReportFile(inputs.reportFileName)) {
        messages_.show(kCannotCreate, "");
        return kSummaryFailed;
    }
    const std::string title =
        cut(cut(inputs.title, kSummaryTitleLimit) + " Summary by Edit", kSummaryTitleLimit);
    buildTitleBlock(title, inputs.subtitle);
    {
        ResultsReader results;
        // A database that cannot be read leaves the cover page without the run record.
        writeCoverPage(results.open(inputs.resultsFolder + "errors.db") ? &results : nullptr);
    }
    int page = 1;
    writeSummaryPageHead(page);
    int rows = 0;
    for (const SummaryEntry& entry : summary_) {
        if (inputs.omitZeroCounts && entry.errors == 0 && entry.warnings == 0 && entry.skips == 0)
            continue;
        std::fprintf(output_, "%52s - %7ld   %7ld   %7ld\n", entry.editName.c_str(), entry.errors,
                     entry.warnings, entry.skips);
        if (++rows < kSummaryRowsPerPage) continue;
        std::fputc('\f', output_);
        writeSummaryPageHead(++page);
        rows = 0;
    }
    std::fputs("\n\f", output_);
    if (!combined) {
        std::fputc('\n', output_);
        closeReportFile();
    }
    return page;
}

int RAVquery::combinedReport(const ReportInputs& inputs) {
    if (summaryReport(inputs, true) == kSummaryFailed) return kFileNotCreated;
    return detailedReport(inputs, true);
}

} // namespace vetra::desktop
