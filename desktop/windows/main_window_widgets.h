// Showing the main workflow's texts and lists in the main window's widgets, shared by the
// window's source files.
#pragma once

#include "desktop/workflow/main_workflow.h"

#include <QLineEdit>
#include <QListView>
#include <QStandardItemModel>
#include <QString>
#include <QStringListModel>
#include <cstdint>
#include <string>
#include <vector>

namespace vetra::desktop {

QString text(const std::string& value);
// Sets a field's text only when it differs, so that the user's cursor stays where it was.
void setFieldText(QLineEdit* field, const std::string& value);
// The highlighted row of a list, -1 for none.
int currentRow(const QListView* view);
void setCurrentRow(QListView* view, int row);
// The names in the list, the highlight kept on its row or the last one.
void showNames(QListView* view, QStringListModel* model, const std::vector<std::string>& names);
// Ticks change in place while the names stay the same, so that a tick the user just made
// does not rebuild the list under the mouse.
void showCheckList(QListView* view, QStandardItemModel* model, const CheckList& checks);
QString countText(std::int64_t count);

} // namespace vetra::desktop
