#include "desktop/reports/report_inputs.h"

#include <algorithm>

namespace vetra::desktop {

std::string reportSortOrder(const std::vector<std::string>& selectedFields,
                            const std::vector<std::string>& sortFields) {
    std::string order;
    for (const auto& field : sortFields) {
        const auto found = std::find(selectedFields.begin(), selectedFields.end(), field);
        const auto position = found - selectedFields.begin();
        if (found == selectedFields.end() || position >= 10) continue;
        order += "id" + std::to_string(position) + "val,";
    }
    return order + "recnum";
}

} // namespace vetra::desktop
