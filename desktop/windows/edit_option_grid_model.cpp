#include "desktop/windows/edit_option_grid_model.h"

namespace vetra::desktop::qt {

namespace {

// The texts the grid has always shown; stored configurations do not depend on them, users'
// eyes do.
constexpr const char* kTotalsText =
    "                                             Column Totals -->";
constexpr const char* kMarkText = "        yes";
constexpr int kColumns = 6;

} // namespace

int EditOptionGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(grid_.rows().size()) + 1;
}

int EditOptionGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant EditOptionGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const int column = index.column();
    if (index.row() == kTotalsRow)
        return column == 0 ? QString(kTotalsText) : QString::number(grid_.columnTotal(column));
    const EditOptionRow& row = grid_.rows()[static_cast<std::size_t>(index.row() - 1)];
    if (column == 0) return QString::fromStdString(row.editName);
    return row.marked[static_cast<std::size_t>(column)] ? QString(kMarkText) : QString();
}

QVariant EditOptionGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const kLabels[kColumns] = {"Edit Name",     "Use Edit Set Options",
                                                  "Suppress Edit", "Skip Empty*",
                                                  "Skip Fail*",    "No Skips"};
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= kColumns)
        return {};
    return QString(kLabels[section]);
}

Qt::ItemFlags EditOptionGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

void EditOptionGridModel::refresh() {
    if (rowCount() != shownRows_) {
        beginResetModel();
        shownRows_ = rowCount();
        endResetModel();
        return;
    }
    emit dataChanged(index(0, 0), index(shownRows_ - 1, kColumns - 1), {Qt::DisplayRole});
}

} // namespace vetra::desktop::qt
