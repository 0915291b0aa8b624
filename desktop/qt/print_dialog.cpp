#include "desktop/qt/print_dialog.h"

#include <QPrintDialog>
#include <QPrinter>

namespace vetra::desktop::qt {

void QtPrintDialog::show() {
    QPrinter printer;
    QPrintDialog dialog(&printer, parent_);
    dialog.exec();
}

} // namespace vetra::desktop::qt
