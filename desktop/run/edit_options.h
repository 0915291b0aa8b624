// Per-edit options as a run takes them: the option list the configuration file and the
// advanced configuration's grid keep (edit name and option code text), and one grid row with its
// marks, which the run log names.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace vetra::desktop {

// Edit name and option code text, as the configuration file and the grid keep them.
using EditOptionList = std::vector<std::pair<std::string, std::string>>;

enum EditOptionColumn {
    kUseEditSetOptions = 1,
    kSuppressEdit = 2,
    kSkipEmpty = 3,
    kSkipFail = 4,
    kNoSkips = 5,
};

struct EditOptionRow {
    std::string editName;
    std::array<bool, 6> marked{}; // columns 1 to 5; column 0 holds the name
};

// The option code of a row: 8, 0, or 1, 2, 3 for the skips; 512 for "Use Edit Set Options".
int optionCodeOfRow(const EditOptionRow& row);
// The run log's label for a row that does not keep its edit set's options.
const char* runLogLabelOfRow(const EditOptionRow& row);

} // namespace vetra::desktop
