// The report file name as the report options dialog rewrites it when the user picks a style or
// a format: "MyReport.rpt" becomes "MyReport_summary.rpt" for the summary style, then
// "MyReport_combined.rpt", and "MyReport_combined.csv" for the CSV format; the overview style
// gives "MyReport_overview.html" in either format.
#pragma once

#include <string>

namespace vetra::desktop {

// The name without its last extension, with the last occurrence of the previous style suffix
// and everything after it removed, then the new suffix and the extension (".rpt", ".csv" or
// ".html"). Only the file's own name is searched, so a dot or a suffix in a folder name is left
// alone.
std::string styledReportFileName(const std::string& name, const std::string& previousSuffix,
                                 const std::string& newSuffix, const char* extension);

// The name with its extension replaced by the given one (".csv", ".rpt"), or with it appended
// when the file's name has no dot.
std::string reportFileNameWithExtension(const std::string& name, const char* extension);

} // namespace vetra::desktop
