#include "desktop/windows/print_dialog.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>
#include <algorithm>

namespace vetra::desktop::qt {

bool printWidget(QWidget& content, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    // The widget is drawn at the screen's resolution; the printer's is higher.
    const double dotsPerPixel = printer.resolution() / static_cast<double>(content.logicalDpiX());
    const double fit = std::min(page.width() / (content.width() * dotsPerPixel),
                                page.height() / (content.height() * dotsPerPixel));
    const double scale = dotsPerPixel * std::min(1.0, fit);
    painter.scale(scale, scale);
    content.render(&painter);
    return painter.end();
}

bool QtPrintDialog::print(QWidget& content) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent_);
    if (dialog.exec() != QDialog::Accepted) return false;
    return printWidget(content, printer);
}

} // namespace vetra::desktop::qt
