// The per-edit option grid as a table model over the workflow's grid: a totals row on top,
// then one row per edit with its name and a "yes" in each marked option column.
#pragma once

#include "desktop/workflow/edit_option_grid.h"

#include <QAbstractTableModel>

namespace vetra::desktop::qt {

class EditOptionGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kTotalsRow = 0;

    explicit EditOptionGridModel(const EditOptionGrid& grid, QObject* parent = nullptr)
        : QAbstractTableModel(parent), grid_(grid) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // After the workflow changed the grid. A grid of the same shape keeps the view's scroll
    // position, so that clicking down a long list of edits does not jump back to the top.
    void refresh();

private:
    const EditOptionGrid& grid_;
    int shownRows_ = 0;
};

} // namespace vetra::desktop::qt
