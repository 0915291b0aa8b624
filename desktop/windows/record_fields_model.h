// The "Display" tab's list as a table model over the record browser's rows: each field's name,
// start column, length, item number and its value in the current record.
#pragma once

#include "desktop/data/field_description.h"

#include <QAbstractTableModel>

namespace vetra::desktop::qt {

class RecordFieldsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kName, kColumn, kLength, kItem, kValue, kColumnCount };

    explicit RecordFieldsModel(const LayoutFieldList& rows, QObject* parent = nullptr)
        : QAbstractTableModel(parent), rows_(rows) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // After the browser moved to another record, sorted its rows, or filled or emptied them.
    void refresh();

private:
    const LayoutFieldList& rows_;
    int shownRows_ = 0;
};

} // namespace vetra::desktop::qt
