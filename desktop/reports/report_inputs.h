// What every report takes from the main window and the report options dialog.
#pragma once

#include <string>
#include <vector>

namespace vetra::desktop {

enum class PageMode { EveryRecord = 1, EveryEdit = 2, PageFilled = 3 };

struct ReportInputs {
    std::string reportFileName;
    std::string title;
    std::string subtitle;
    std::string resultsFolder; // ends with a separator; holds errors.db and summary.txt
    std::vector<std::string> selectedFields; // the identification fields, in the window's order
    std::vector<std::string> sortFields;     // each one of the selected fields
    PageMode pageMode = PageMode::PageFilled;
    int linesPerPage = 52;      // 30 or more
    bool omitZeroCounts = true; // "Omit Zero Counts from Summary"
};

// "id%dval," for each sort field's position among the selected fields, then "recnum"; a sort
// field that is not selected is left out.
std::string reportSortOrder(const std::vector<std::string>& selectedFields,
                            const std::vector<std::string>& sortFields);

} // namespace vetra::desktop
