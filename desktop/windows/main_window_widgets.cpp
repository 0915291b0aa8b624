#include "desktop/windows/main_window_widgets.h"

#include <algorithm>

namespace vetra::desktop {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

void setFieldText(QLineEdit* field, const std::string& value) {
    if (field->text() != text(value)) field->setText(text(value));
}

int currentRow(const QListView* view) {
    return view->currentIndex().isValid() ? view->currentIndex().row() : -1;
}

void setCurrentRow(QListView* view, int row) {
    view->setCurrentIndex(view->model()->index(row, 0));
}

void showNames(QListView* view, QStringListModel* model, const std::vector<std::string>& names) {
    const int row = currentRow(view);
    QStringList shown;
    for (const auto& name : names)
        shown.append(text(name));
    model->setStringList(shown);
    setCurrentRow(view, std::min(row, model->rowCount() - 1));
}

void showCheckList(QListView* view, QStandardItemModel* model, const CheckList& checks) {
    bool sameNames = model->rowCount() == static_cast<int>(checks.names.size());
    for (int i = 0; sameNames && i < model->rowCount(); ++i)
        sameNames = model->item(i)->text() == text(checks.names[static_cast<std::size_t>(i)]);
    if (!sameNames) {
        const int row = currentRow(view);
        model->clear();
        for (const auto& name : checks.names) {
            auto* item = new QStandardItem(text(name));
            item->setCheckable(true);
            item->setEditable(false);
            model->appendRow(item);
        }
        setCurrentRow(view, std::min(row, model->rowCount() - 1));
    }
    for (int i = 0; i < model->rowCount(); ++i) {
        const Qt::CheckState state =
            checks.ticked[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked;
        if (model->item(i)->checkState() != state) model->item(i)->setCheckState(state);
    }
}

QString countText(std::int64_t count) {
    return QString::number(count);
}

} // namespace vetra::desktop
