// The report file name as the report options dialog rewrites it when the user picks a style or
// a format: "MyReport.rpt" becomes "MyReport_summary.rpt" for the summary style, then
// "MyReport_combined.rpt", and "MyReport_combined.csv" for the CSV format.
#pragma once

#include <string>

namespace vetra::desktop {

// The name without its last extension, with the last occurrence of the previous style suffix
// and everything after it removed, then the new suffix and ".csv" or ".rpt". Only the file's
// own name is searched, so a dot or a suffix in a folder name is left alone.
std::string styledReportFileName(const std::string& name, const std::string& previousSuffix,
                                 const std::string& newSuffix, bool csv);

// The name with its extension replaced by ".csv" or ".rpt", or with it appended when the file's
// name has no dot.
std::string reportFileNameForFormat(const std::string& name, bool csv);

} // namespace vetra::desktop
