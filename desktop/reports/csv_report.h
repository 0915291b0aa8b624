// The CSV report: one line per failing record, failed edit, message and field of the last
// run, for a spreadsheet program.
#pragma once

#include "desktop/reports/report_inputs.h"
#include "desktop/reports/report_progress.h"
#include "platform/message_boxes.h"

#include <string>

namespace vetra::desktop {

class csv_report {
public:
    static constexpr int kWritten = 0;
    static constexpr int kFileNotCreated = 1;
    static constexpr int kResultsUnreadable = 3;

    csv_report(platform::MessageBoxes& messages, ReportProgress& progress)
        : messages_(messages), progress_(progress) {}

    // Writes the report into the report file name with its extension replaced by ".csv".
    int write(const ReportInputs& inputs);

    // "out.rpt" -> "out.csv"; a name without an extension gets one.
    static std::string csvFileName(const std::string& reportFileName);

private:
    platform::MessageBoxes& messages_;
    ReportProgress& progress_;
};

// A value as a CSV field: written as it is unless it holds a comma, a double quote or a line
// end, which would shift or merge the spreadsheet's columns; then it is quoted, its quotes
// doubled. The values come from data files and metafiles that anyone may have written, and a
// spreadsheet reads a cell that starts with '=', '+', '-', '@', a tab or a carriage return as
// a formula, quoted or not: such a value first gets a leading "'", which the spreadsheet shows
// as text. A plain number ("-5", "+3.25", blank-padded as fixed-width fields are) is no
// formula and stays as it is.
std::string csvField(const char* value);
// A value that is always quoted (the edit name and the message text), its quotes doubled; it
// is kept from being a formula as csvField keeps its values.
std::string csvQuoted(const char* value);

} // namespace vetra::desktop
