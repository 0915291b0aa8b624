// The per-edit option grid: one row per distinct edit name of the ticked edit sets, five
// option columns, and the edit option list the grid stands for (name and code per edit that
// does not keep its edit set's options).
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

class EditOptionGrid {
public:
    // One row per distinct name, sorted, each keeping the marks it had when it was a row
    // before, new rows marked "Use Edit Set Options".
    void rebuild(std::vector<std::string> editNames);
    void clear() { rows_.clear(); }
    // Marks the rows named in the list by their codes: 8 Suppress Edit, 0 No Skips, otherwise
    // Skip Empty for bit 1 and Skip Fail for bit 2.
    void apply(const EditOptionList& options);
    // A click on a cell of an edit row (row counted from 0), with the exclusions of each column.
    void click(std::size_t row, int column);
    // Every edit row gets only the column's mark.
    void markAll(int column);

    // One entry per row not marked "Use Edit Set Options" (rows without a mark give code 0).
    EditOptionList optionList() const;
    int columnTotal(int column) const;
    const std::vector<EditOptionRow>& rows() const { return rows_; }

    // The option code of a row: 8, 0, or 1, 2, 3 for the skips; 512 for "Use Edit Set Options".
    static int rowCode(const EditOptionRow& row);
    // The run log's label for a row that does not keep its edit set's options.
    static const char* rowLabel(const EditOptionRow& row);

private:
    std::vector<EditOptionRow> rows_;
};

} // namespace vetra::desktop
