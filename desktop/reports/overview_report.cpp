#include "desktop/reports/overview_report.h"

#include "desktop/reports/overview_figures.h"

#include <ctime>
#include <fstream>

namespace vetra::desktop {

namespace {

std::string localTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

} // namespace

std::string overview_report::overviewFileName(const std::string& reportFileName) {
    const auto slash = reportFileName.find_last_of('/');
    const auto dot = reportFileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return reportFileName + ".html";
    return reportFileName.substr(0, dot) + ".html";
}

// The figures are read before the file is created, so results that cannot be read leave no
// half-written page behind.
int overview_report::write(const ReportInputs& inputs) {
    OverviewFigures figures;
    std::string error;
    if (!readOverviewFigures(inputs.resultsFolder, figures, error)) {
        messages_.show("Unable to read the results database " + inputs.resultsFolder +
                           "errors.db: " + error,
                       "");
        return kResultsUnreadable;
    }
    const std::string page = overviewPage(figures, inputs, localTimeText());
    std::ofstream file(overviewFileName(inputs.reportFileName), std::ios::binary);
    if (file) file.write(page.data(), static_cast<std::streamsize>(page.size()));
    if (file) file.close();
    if (!file) {
        messages_.show("Unable to create report file.  Make sure the directory exists and the "
                       "file, if it exists, is not locked.",
                       "");
        return kFileNotCreated;
    }
    return kWritten;
}

} // namespace vetra::desktop
