// The per-edit option grid: one row per distinct edit name of the ticked edit sets, five
// option columns, and the edit option list the grid stands for (name and code per edit that
// does not keep its edit set's options).
#pragma once

#include "desktop/run/edit_options.h"

#include <string>
#include <vector>

namespace vetra::desktop {

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

private:
    std::vector<EditOptionRow> rows_;
};

} // namespace vetra::desktop
