// TEditReportDialog, "View Edit Report" (its widgets are in report_viewer_dialog.ui): a text report
// page by page, with the page-number field, "<" and ">", and printing of the page shown or of the
// whole report. The paging and printing are ReportViewer's; the dialog wires its widgets to it.
#pragma once

#include "desktop/reports/report_printer.h"
#include "desktop/reports/report_viewer.h"
#include "platform/message_boxes.h"

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class TEditReportDialog;
}

namespace vetra::desktop {

class TEditReportDialog : public QDialog {
    Q_OBJECT

public:
    TEditReportDialog(platform::MessageBoxes& messages, ReportPrinter& printer,
                      QWidget* parent = nullptr);
    ~TEditReportDialog() override;

    // Shows the report modally until "Done"; returns at once when it cannot be read.
    void showReport(const std::string& path, bool pageFilled);

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPage();
    void showText();

    ReportViewer viewer_;
    ReportPrinter& printer_;
    std::unique_ptr<Ui::TEditReportDialog> ui_;
};

} // namespace vetra::desktop
