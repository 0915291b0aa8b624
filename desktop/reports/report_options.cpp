#include "desktop/reports/report_options.h"

#include "desktop/reports/report_file_names.h"

#include <algorithm>

namespace vetra::desktop {

namespace {

constexpr const char* kNoNameText =
    "A report cannot be created until a full pathname is entered in the Report File Name field.";
constexpr const char* kNoNameCaption = "No report name specified";

const char* styleWord(ReportStyle style) {
    switch (style) {
    case ReportStyle::Detailed:
        return "detailed";
    case ReportStyle::Summary:
        return "summary";
    case ReportStyle::Combined:
        return "combined";
    case ReportStyle::Overview:
        return "overview";
    case ReportStyle::None:
        break;
    }
    return "";
}

// The report is on disk whatever the hand-over did, so the message says where first.
std::string csvNotOpenedText(const std::string& path, int result) {
    const std::string written =
        result == platform::kShellNoAssociation
            ? "The CSV report was written to " + path + "; no program is set to open .csv files."
            : "The CSV report was written to " + path + "; no program could open it.";
    return written + "\n\nError " + std::to_string(result) +
           ": Unable to open .csv report file.  Open it from a spreadsheet program, or set one "
           "to open .csv files.";
}

// Clears the generating flag however the report ends.
struct GeneratingFlag {
    explicit GeneratingFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~GeneratingFlag() { flag_ = false; }
    GeneratingFlag(const GeneratingFlag&) = delete;
    GeneratingFlag& operator=(const GeneratingFlag&) = delete;
    bool& flag_;
};

} // namespace

ReportOptions::ReportOptions(platform::MessageBoxes& messages, platform::ShellOpen& shell,
                             ReportProgress& progress)
    : messages_(messages), shell_(shell), query_(messages, progress), csv_(messages, progress),
      overview_(messages) {}

void ReportOptions::shown(const MainWindowReportTexts& texts) {
    texts_ = texts;
    setStyle(ReportStyle::Detailed);
}

void ReportOptions::setStyle(ReportStyle style) {
    if (style == style_ || style == ReportStyle::None) return;
    style_ = style;
    const std::string suffix = std::string("_") + styleWord(style);
    texts_.reportFileName =
        styledReportFileName(texts_.reportFileName, styleSuffix_, suffix, fileExtension());
    styleSuffix_ = suffix;
}

bool ReportOptions::setFormat(ReportFormat format) {
    format_ = format;
    if (nameMissing()) return false;
    texts_.reportFileName = reportFileNameWithExtension(texts_.reportFileName, fileExtension());
    return true;
}

const char* ReportOptions::fileExtension() const {
    if (style_ == ReportStyle::Overview) return ".html";
    return format_ == ReportFormat::Csv ? ".csv" : ".rpt";
}

void ReportOptions::setLinesPerPage(int lines) {
    linesPerPage_ = std::clamp(lines, kMinimumLinesPerPage, kMaximumLinesPerPage);
}

bool ReportOptions::nameMissing() {
    if (!texts_.reportFileName.empty()) return false;
    messages_.show(kNoNameText, kNoNameCaption);
    return true;
}

bool ReportOptions::haltsWhileGenerating() const {
    return format_ == ReportFormat::Text &&
           (style_ == ReportStyle::Detailed || style_ == ReportStyle::Combined);
}

void ReportOptions::requestHalt() {
    if (generating_) query_.requestHalt();
}

ReportOptions::Generated ReportOptions::generate(const ReportInputs& mainWindow) {
    if (nameMissing()) return Generated::Nothing;
    ReportInputs inputs = mainWindow;
    inputs.reportFileName = texts_.reportFileName;
    inputs.title = texts_.title;
    inputs.subtitle = texts_.subtitle;
    inputs.pageMode = pageMode_;
    inputs.linesPerPage = linesPerPage_;
    inputs.omitZeroCounts = omitZeroCounts_;
    if (style_ == ReportStyle::Overview) return generateOverview(inputs);
    if (format_ == ReportFormat::Text) return generateText(inputs);

    generatedFile_ = csv_report::csvFileName(inputs.reportFileName);
    if (csv_.write(inputs) != csv_report::kWritten) return Generated::Nothing;
    const int result = shell_.open(generatedFile_);
    if (result < 32) messages_.show(csvNotOpenedText(generatedFile_, result), "");
    return Generated::Nothing;
}

// The page opens in the desktop's browser, through the same hand-off as a CSV report.
ReportOptions::Generated ReportOptions::generateOverview(const ReportInputs& inputs) {
    generatedFile_ = overview_report::overviewFileName(inputs.reportFileName);
    if (overview_.write(inputs) != overview_report::kWritten) return Generated::Nothing;
    if (shell_.open(generatedFile_) < 32)
        messages_.show("The overview report was written to " + generatedFile_ +
                           "; no program is set to open .html files",
                       "");
    return Generated::Nothing;
}

// A report that could not be written has told the user why and gets no viewer; a combined
// report the user stopped is shown as far as it got.
ReportOptions::Generated ReportOptions::generateText(const ReportInputs& inputs) {
    generatedFile_ = inputs.reportFileName;
    const GeneratingFlag flag(generating_);
    switch (style_) {
    case ReportStyle::Detailed:
        return query_.detailedReport(inputs) == RAVquery::kWritten ? Generated::ShowViewer
                                                                   : Generated::Nothing;
    case ReportStyle::Summary:
        return query_.summaryReport(inputs) == RAVquery::kSummaryFailed ? Generated::Nothing
                                                                        : Generated::ShowViewer;
    case ReportStyle::Combined: {
        const int result = query_.combinedReport(inputs);
        return result == RAVquery::kWritten || result == RAVquery::kStopped ? Generated::ShowViewer
                                                                            : Generated::Nothing;
    }
    case ReportStyle::Overview:
    case ReportStyle::None:
        break;
    }
    return Generated::Nothing;
}

} // namespace vetra::desktop
