// Report pages printed through Qt Print Support: the platform's print dialog (which can also
// print to a PDF file), "Courier New" at the viewer's text size, one report page per sheet.
// Positions are printer units of 1/600 inch, the resolution the printer is set to, so a page
// looks the same on every printer: lines start 200 units from the left and the top edge.
#pragma once

#include "desktop/reports/report_printer.h"
#include "platform/message_boxes.h"

#include <QFont>
#include <memory>

class QPainter;
class QPrinter;
class QWidget;

namespace vetra::desktop::qt {

class QtReportPrinter : public ReportPrinter {
public:
    static constexpr int kResolution = 600;
    static constexpr int kMargin = 200;

    explicit QtReportPrinter(platform::MessageBoxes& messages, QWidget* parent = nullptr);
    ~QtReportPrinter() override;
    QtReportPrinter(const QtReportPrinter&) = delete;
    QtReportPrinter& operator=(const QtReportPrinter&) = delete;

    void setParent(QWidget* parent) { parent_ = parent; }

    bool begin() override;
    void printPage(const std::vector<std::string>& lines) override;
    void end() override;

protected:
    // The print dialog over `printer`; true when the user confirmed it.
    virtual bool confirm(QPrinter& printer);

private:
    void startSheet();

    platform::MessageBoxes& messages_;
    QWidget* parent_;
    QFont font_;
    std::unique_ptr<QPrinter> printer_; // kept, so the dialog offers the last choices again
    std::unique_ptr<QPainter> painter_;
    bool sheetUsed_ = false;
    int nextLineTop_ = kMargin;
};

} // namespace vetra::desktop::qt
