// TFormReportOptions, "Report Options" (its widgets are in report_options_dialog.ui): opens after
// every run, lets the user pick the report's format, style and page options, generates the report
// and shows it in the viewer. What the choices do is ReportOptions'; the dialog wires its widgets
// to it and is the report's progress bar and the place where a Halt click is heard.
#pragma once

#include "desktop/reports/report_options.h"
#include "desktop/reports/report_printer.h"
#include "desktop/reports/report_progress.h"
#include "desktop/windows/report_viewer_dialog.h"
#include "platform/message_boxes.h"
#include "platform/shell_open.h"

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class TFormReportOptions;
}

namespace vetra::desktop {

struct ReportDialogLayers {
    platform::MessageBoxes& messages;
    platform::ShellOpen& shell;
    ReportPrinter& printer;
};

class TFormReportOptions : public QDialog, private ReportProgress {
    Q_OBJECT

public:
    explicit TFormReportOptions(const ReportDialogLayers& layers, QWidget* parent = nullptr);
    ~TFormReportOptions() override;

    // Shown modally after a run with the main window's texts, results folder and field lists.
    // Returns the report file name, which goes back to the main window.
    std::string showAfterRun(const MainWindowReportTexts& texts, const ReportInputs& mainWindow);

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void connectChoices();
    void showChoices();
    void showFileName();
    void generate();
    void setChoicesEnabled(bool enabled);
    void closeOrHalt();

    void start(std::int64_t maximum) override;
    void advance(std::int64_t by) override;
    void finish() override;
    void processPendingEvents() override;

    std::unique_ptr<Ui::TFormReportOptions> ui_;
    ReportOptions options_;
    TEditReportDialog viewer_;
    ReportInputs mainWindow_;
};

} // namespace vetra::desktop
