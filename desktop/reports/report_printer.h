// How the report viewer prints: the platform's print dialog, then report pages, each on its own
// sheet. The desktop program prints through Qt Print Support; tests print to PDF files.
#pragma once

#include <string>
#include <vector>

namespace vetra::desktop {

// The size in points of a report's text in the viewer and on paper.
inline constexpr int kReportTextPointSize = 10;

class ReportPrinter {
public:
    virtual ~ReportPrinter() = default;
    // Shows the print dialog; false when the user cancelled it, and nothing is printed.
    virtual bool begin() = 0;
    // One report page, line by line from the top of a new sheet.
    virtual void printPage(const std::vector<std::string>& lines) = 0;
    // Sends the job to the printer.
    virtual void end() = 0;
};

} // namespace vetra::desktop
