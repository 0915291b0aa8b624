#include "desktop/workflow/edit_option_grid.h"

#include "desktop/run/edit_option_codes.h"

#include <algorithm>
#include <map>

namespace vetra::desktop {

namespace {

void markOnly(EditOptionRow& row, int column) {
    row.marked.fill(false);
    row.marked[static_cast<std::size_t>(column)] = true;
}

} // namespace

void EditOptionGrid::rebuild(std::vector<std::string> editNames) {
    std::sort(editNames.begin(), editNames.end());
    editNames.erase(std::unique(editNames.begin(), editNames.end()), editNames.end());
    std::map<std::string, EditOptionRow> previous;
    for (auto& row : rows_)
        previous.emplace(row.editName, row);
    std::vector<EditOptionRow> rows;
    rows.reserve(editNames.size());
    for (auto& name : editNames) {
        if (auto found = previous.find(name); found != previous.end()) {
            rows.push_back(found->second);
            continue;
        }
        EditOptionRow row{name, {}};
        row.marked[kUseEditSetOptions] = true;
        rows.push_back(std::move(row));
    }
    rows_ = std::move(rows);
}

void EditOptionGrid::apply(const EditOptionList& options) {
    for (const auto& [name, codeText] : options) {
        auto row = std::find_if(rows_.begin(), rows_.end(),
                                [&](const EditOptionRow& r) { return r.editName == name; });
        if (row == rows_.end()) continue;
        const auto code = editOptionCode(codeText);
        row->marked.fill(false);
        if (!code) continue;
        if (*code == 8) {
            row->marked[kSuppressEdit] = true;
        } else if (*code == 0) {
            row->marked[kNoSkips] = true;
        } else {
            row->marked[kSkipEmpty] = (*code & 1) != 0;
            row->marked[kSkipFail] = (*code & 2) != 0;
        }
    }
}

void EditOptionGrid::click(std::size_t row, int column) {
    if (row >= rows_.size() || column < kUseEditSetOptions || column > kNoSkips) return;
    auto& marked = rows_[row].marked;
    if (column == kSkipEmpty || column == kSkipFail) {
        marked[kUseEditSetOptions] = marked[kSuppressEdit] = marked[kNoSkips] = false;
        marked[static_cast<std::size_t>(column)] = true;
        return;
    }
    markOnly(rows_[row], column);
}

void EditOptionGrid::markAll(int column) {
    if (column < kUseEditSetOptions || column > kNoSkips) return;
    for (auto& row : rows_)
        markOnly(row, column);
}

EditOptionList EditOptionGrid::optionList() const {
    EditOptionList list;
    for (const auto& row : rows_) {
        if (row.editName.empty() || row.marked[kUseEditSetOptions]) continue;
        list.emplace_back(row.editName, std::to_string(optionCodeOfRow(row)));
    }
    return list;
}

int EditOptionGrid::columnTotal(int column) const {
    if (column < kUseEditSetOptions || column > kNoSkips) return 0;
    return static_cast<int>(std::count_if(rows_.begin(), rows_.end(), [&](const auto& row) {
        return row.marked[static_cast<std::size_t>(column)];
    }));
}

} // namespace vetra::desktop
