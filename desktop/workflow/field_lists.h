// The three field lists of the "&Report Configuration" tab: the layout's fields available for
// record identification (kept sorted), the fields selected for identification (at most 8, in
// the user's order) and the fields selected for sorting the output (at most 4, each a selected
// field). Operations take the highlighted row of the list they act on and give the row to
// highlight afterwards (-1 for none).
#pragma once

#include <string>
#include <vector>

namespace vetra::desktop {

class FieldLists {
public:
    static constexpr std::size_t kMaximumSelected = 8;
    static constexpr std::size_t kMaximumSort = 4;

    // Every field of the layout available, nothing selected.
    void reset(const std::vector<std::string>& layoutFields);
    // Moves the configured identification fields the layout has, in configured order, to the
    // selected list, and copies the configured sort fields that are selected.
    void select(const std::vector<std::string>& identification,
                const std::vector<std::string>& sort);

    // False when refused (8 selected, nothing highlighted).
    bool addToSelected(int& availableRow);
    bool removeFromSelected(int& selectedRow);
    // False when refused (4 sort fields, the field already sorts, nothing highlighted).
    bool addToSort(int selectedRow);
    bool removeFromSort(int& sortRow);
    // The first row moved up goes last, the last moved down goes first.
    static void moveUp(std::vector<std::string>& list, int& row);
    static void moveDown(std::vector<std::string>& list, int& row);

    const std::vector<std::string>& available() const { return available_; }
    const std::vector<std::string>& selected() const { return selected_; }
    const std::vector<std::string>& sort() const { return sort_; }
    std::vector<std::string>& selectedForMoving() { return selected_; }
    std::vector<std::string>& sortForMoving() { return sort_; }

private:
    void makeAvailable(const std::string& field);

    std::vector<std::string> available_;
    std::vector<std::string> selected_;
    std::vector<std::string> sort_;
};

} // namespace vetra::desktop
