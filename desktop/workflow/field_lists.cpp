#include "desktop/workflow/field_lists.h"

#include <algorithm>

namespace vetra::desktop {

namespace {

bool contains(const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

bool validRow(const std::vector<std::string>& list, int row) {
    return row >= 0 && static_cast<std::size_t>(row) < list.size();
}

// The same row, or the last one when the list has become shorter.
int keptRow(const std::vector<std::string>& list, int row) {
    return std::min(row, static_cast<int>(list.size()) - 1);
}

} // namespace

void FieldLists::reset(const std::vector<std::string>& layoutFields) {
    available_ = layoutFields;
    std::sort(available_.begin(), available_.end());
    selected_.clear();
    sort_.clear();
}

void FieldLists::select(const std::vector<std::string>& identification,
                        const std::vector<std::string>& sort) {
    for (const auto& field : identification) {
        const auto found = std::find(available_.begin(), available_.end(), field);
        if (found == available_.end() || selected_.size() == kMaximumSelected) continue;
        selected_.push_back(field);
        available_.erase(found);
    }
    for (const auto& field : sort)
        if (contains(selected_, field) && !contains(sort_, field) && sort_.size() < kMaximumSort)
            sort_.push_back(field);
}

void FieldLists::makeAvailable(const std::string& field) {
    available_.insert(std::lower_bound(available_.begin(), available_.end(), field), field);
}

bool FieldLists::addToSelected(int& availableRow) {
    if (selected_.size() >= kMaximumSelected || !validRow(available_, availableRow)) return false;
    selected_.push_back(available_[static_cast<std::size_t>(availableRow)]);
    available_.erase(available_.begin() + availableRow);
    availableRow = keptRow(available_, availableRow);
    return true;
}

bool FieldLists::removeFromSelected(int& selectedRow) {
    if (!validRow(selected_, selectedRow)) return false;
    const std::string field = selected_[static_cast<std::size_t>(selectedRow)];
    selected_.erase(selected_.begin() + selectedRow);
    sort_.erase(std::remove(sort_.begin(), sort_.end(), field), sort_.end());
    makeAvailable(field);
    selectedRow = keptRow(selected_, selectedRow);
    return true;
}

bool FieldLists::addToSort(int selectedRow) {
    if (sort_.size() >= kMaximumSort || !validRow(selected_, selectedRow)) return false;
    const std::string& field = selected_[static_cast<std::size_t>(selectedRow)];
    if (contains(sort_, field)) return false;
    sort_.push_back(field);
    return true;
}

bool FieldLists::removeFromSort(int& sortRow) {
    if (!validRow(sort_, sortRow)) return false;
    sort_.erase(sort_.begin() + sortRow);
    sortRow = keptRow(sort_, sortRow);
    return true;
}

void FieldLists::moveUp(std::vector<std::string>& list, int& row) {
    if (!validRow(list, row) || list.size() < 2) return;
    if (row == 0) {
        std::rotate(list.begin(), list.begin() + 1, list.end());
        row = static_cast<int>(list.size()) - 1;
        return;
    }
    std::swap(list[static_cast<std::size_t>(row)], list[static_cast<std::size_t>(row) - 1]);
    --row;
}

void FieldLists::moveDown(std::vector<std::string>& list, int& row) {
    if (!validRow(list, row) || list.size() < 2) return;
    if (static_cast<std::size_t>(row) == list.size() - 1) {
        std::rotate(list.rbegin(), list.rbegin() + 1, list.rend());
        row = 0;
        return;
    }
    std::swap(list[static_cast<std::size_t>(row)], list[static_cast<std::size_t>(row) + 1]);
    ++row;
}

} // namespace vetra::desktop
