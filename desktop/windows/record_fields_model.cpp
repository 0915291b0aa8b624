#include "desktop/windows/record_fields_model.h"

namespace vetra::desktop::qt {

int RecordFieldsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RecordFieldsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant RecordFieldsModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const fld_desc& field = rows_[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
    case kName:
        return QString::fromStdString(field.name);
    case kColumn:
        return field.startColumn;
    case kLength:
        return field.length;
    case kItem:
        return field.itemNumber;
    default:
        return QString::fromLatin1(field.value.data(), static_cast<qsizetype>(field.value.size()));
    }
}

QVariant RecordFieldsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const kLabels[kColumnCount] = {"Field Name", "Column", "Length", "Item #",
                                                      "Field Value"};
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= kColumnCount)
        return {};
    return QString(kLabels[section]);
}

void RecordFieldsModel::refresh() {
    if (rowCount() != shownRows_) {
        beginResetModel();
        shownRows_ = rowCount();
        endResetModel();
        return;
    }
    if (shownRows_ > 0)
        emit dataChanged(index(0, 0), index(shownRows_ - 1, kColumnCount - 1), {Qt::DisplayRole});
}

} // namespace vetra::desktop::qt
