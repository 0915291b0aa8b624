// The main window's report layers for window tests: a shell that records what it was asked to
// open, and a printer whose print dialog is always cancelled.
#pragma once

#include "desktop/reports/report_printer.h"
#include "platform/shell_open.h"

#include <string>
#include <vector>

namespace vetra::testing {

class RecordingShell : public platform::ShellOpen {
public:
    int open(const std::string& documentPath) override {
        opened.push_back(documentPath);
        return platform::kShellOpened;
    }
    std::vector<std::string> opened;
};

class CancelledReportPrinter : public desktop::ReportPrinter {
public:
    bool begin() override { return false; }
    void printPage(const std::vector<std::string>&) override {}
    void end() override {}
};

} // namespace vetra::testing
