#include "desktop/batch/batch_reports.h"

#include "desktop/batch/console_layers.h"
#include "desktop/reports/csv_report.h"
#include "desktop/reports/overview_report.h"
#include "desktop/reports/text_reports.h"

#include <cstdio>

namespace vetra::desktop::batch {

std::string reportPathFor(const std::string& style, const std::string& reportFile, bool exactName) {
    if (exactName) {
        if (style == "csv") return csv_report::csvFileName(reportFile);
        if (style == "overview") return overview_report::overviewFileName(reportFile);
        return reportFile;
    }
    const auto slash = reportFile.find_last_of('/');
    const auto dot = reportFile.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string base = hasExtension ? reportFile.substr(0, dot) : reportFile;
    if (style == "csv") return base + ".csv";
    return base + "_" + style + (style == "overview" ? ".html" : ".rpt");
}

bool writeBatchReports(const BatchOptions& options, ReportInputs inputs,
                       platform::MessageBoxes& messages) {
    const std::string reportFile = inputs.reportFileName;
    const bool exactName = options.reportFile.has_value() && options.reports.size() == 1;
    ConsoleReportProgress progress;
    RAVquery query(messages, progress);
    progress.haltOnInterrupt(query);
    csv_report csv(messages, progress);
    overview_report overview(messages);
    bool allWritten = true;
    for (const auto& style : options.reports) {
        inputs.reportFileName = reportPathFor(style, reportFile, exactName);
        bool written = false;
        if (style == "detailed")
            written = query.detailedReport(inputs) == RAVquery::kWritten;
        else if (style == "summary")
            written = query.summaryReport(inputs) != RAVquery::kSummaryFailed;
        else if (style == "combined")
            written = query.combinedReport(inputs) == RAVquery::kWritten;
        else if (style == "overview")
            written = overview.write(inputs) == overview_report::kWritten;
        else
            written = csv.write(inputs) == csv_report::kWritten;
        if (written)
            std::printf("%-26s%s\n", (style + " report:").c_str(), inputs.reportFileName.c_str());
        allWritten = allWritten && written;
    }
    return allWritten;
}

} // namespace vetra::desktop::batch
