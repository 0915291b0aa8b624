// The reports a batch invocation asks for, written from a results folder.
#pragma once

#include "desktop/batch/batch_options.h"
#include "desktop/reports/report_inputs.h"
#include "platform/message_boxes.h"

#include <string>

namespace vetra::desktop::batch {

// The file a report style goes to: the given report file as it is when it is the only report
// asked for (with ".csv" or ".html" for the CSV report and the overview); otherwise the name
// without its extension, then "_" and the style and ".rpt", or ".csv" for the CSV report, or
// "_overview.html" for the overview.
std::string reportPathFor(const std::string& style, const std::string& reportFile, bool exactName);

// Writes each requested report and prints its path; false when one could not be written.
bool writeBatchReports(const BatchOptions& options, ReportInputs inputs,
                       platform::MessageBoxes& messages);

} // namespace vetra::desktop::batch
