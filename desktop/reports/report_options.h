// What the report options dialog does after a run, without its widgets: the texts it copies
// from the main window, the format, style and page options the user picks, the file name those
// choices rewrite, and generating the chosen report. A text report is then shown by the
// viewer; a CSV report and the overview are handed to the program the desktop opens their kind
// of file with.
#pragma once

#include "desktop/reports/csv_report.h"
#include "desktop/reports/overview_report.h"
#include "desktop/reports/report_inputs.h"
#include "desktop/reports/report_progress.h"
#include "desktop/reports/text_reports.h"
#include "platform/message_boxes.h"
#include "platform/shell_open.h"

#include <string>

namespace vetra::desktop {

enum class ReportFormat { Text, Csv };
// The overview is an HTML page whatever the format: the format chooses between the text and CSV
// forms of the other styles.
enum class ReportStyle { None, Detailed, Summary, Combined, Overview };

// What the dialog copies from the main window each time it is shown.
struct MainWindowReportTexts {
    std::string title;
    std::string subtitle;
    std::string reportFileName;
    std::string exceptionRecords;
    std::string totalExceptions;
};

class ReportOptions {
public:
    static constexpr int kMinimumLinesPerPage = 30;
    static constexpr int kMaximumLinesPerPage = 100000;
    static constexpr int kFirstLinesPerPage = 52;

    ReportOptions(platform::MessageBoxes& messages, platform::ShellOpen& shell,
                  ReportProgress& progress);

    // The dialog is shown: the main window's texts, and the style "Detailed".
    void shown(const MainWindowReportTexts& texts);

    void setStyle(ReportStyle style);
    // False when the file name is empty (the user has been told); the format changes anyway.
    bool setFormat(ReportFormat format);
    void setReportFileName(const std::string& name) { texts_.reportFileName = name; }
    void setTitle(const std::string& title) { texts_.title = title; }
    void setSubtitle(const std::string& subtitle) { texts_.subtitle = subtitle; }
    void setLinesPerPage(int lines);
    void setPageMode(PageMode mode) { pageMode_ = mode; }
    void setOmitZeroCounts(bool omit) { omitZeroCounts_ = omit; }

    enum class Generated { Nothing, ShowViewer };
    // "Generate Report" with the main window's results folder and field lists; the dialog's
    // texts and options fill in the rest.
    Generated generate(const ReportInputs& mainWindow);
    // While a detailed or combined report is written, "Close" reads "Halt".
    bool haltsWhileGenerating() const;
    bool generating() const { return generating_; }
    // "Halt", or closing the dialog, while a report is written.
    void requestHalt();

    const MainWindowReportTexts& texts() const { return texts_; }
    ReportFormat format() const { return format_; }
    ReportStyle style() const { return style_; }
    int linesPerPage() const { return linesPerPage_; }
    PageMode pageMode() const { return pageMode_; }
    bool omitZeroCounts() const { return omitZeroCounts_; }
    // The file the last report went to: the CSV name for a CSV report, the HTML name for the
    // overview.
    const std::string& generatedFile() const { return generatedFile_; }

private:
    bool nameMissing();
    Generated generateText(const ReportInputs& inputs);
    Generated generateOverview(const ReportInputs& inputs);
    const char* fileExtension() const;

    platform::MessageBoxes& messages_;
    platform::ShellOpen& shell_;
    RAVquery query_;
    csv_report csv_;
    overview_report overview_;
    MainWindowReportTexts texts_;
    ReportFormat format_ = ReportFormat::Text;
    ReportStyle style_ = ReportStyle::None;
    std::string styleSuffix_; // the "_" and style word last added to the file name
    int linesPerPage_ = kFirstLinesPerPage;
    PageMode pageMode_ = PageMode::PageFilled;
    bool omitZeroCounts_ = true;
    bool generating_ = false;
    std::string generatedFile_;
};

} // namespace vetra::desktop
