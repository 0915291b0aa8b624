#include "desktop/windows/qt_report_printer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

namespace vetra::desktop::qt {

QtReportPrinter::QtReportPrinter(platform::MessageBoxes& messages, QWidget* parent)
    : messages_(messages), parent_(parent), font_("Courier New", kReportTextPointSize),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    // Where Courier New is not installed, the nearest fixed-pitch font keeps the columns.
    font_.setStyleHint(QFont::TypeWriter);
    font_.setFixedPitch(true);
}

QtReportPrinter::~QtReportPrinter() {
    end();
}

bool QtReportPrinter::confirm(QPrinter& printer) {
    QPrintDialog dialog(&printer, parent_);
    return dialog.exec() == QDialog::Accepted;
}

bool QtReportPrinter::begin() {
    end();
    if (!confirm(*printer_)) return false;
    printer_->setResolution(kResolution);
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get())) {
        painter_.reset();
        messages_.show("The printer could not be started; nothing was printed.", "");
        return false;
    }
    painter_->setFont(font_);
    sheetUsed_ = false;
    return true;
}

void QtReportPrinter::startSheet() {
    if (sheetUsed_) printer_->newPage();
    sheetUsed_ = true;
    nextLineTop_ = kMargin;
}

// A report page longer than a sheet goes on over the next sheet rather than off its edge, and
// a line wider than the sheet goes on in the next printed line: no text is lost on paper.
void QtReportPrinter::printPage(const std::vector<std::string>& lines) {
    if (!painter_) return;
    startSheet();
    const QFontMetrics metrics(painter_->font(), printer_.get());
    const int sheetBottom = printer_->height() - kMargin;
    const int characterWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
    const qsizetype perLine = std::max(1, (printer_->width() - 2 * kMargin) / characterWidth);
    for (const std::string& line : lines) {
        QString text = QString::fromStdString(line);
        for (QChar& character : text)
            if (character.unicode() < 0x20) character = u' ';
        qsizetype from = 0;
        do {
            if (nextLineTop_ + metrics.height() > sheetBottom && nextLineTop_ > kMargin)
                startSheet();
            painter_->drawText(kMargin, nextLineTop_ + metrics.ascent(), text.mid(from, perLine));
            nextLineTop_ += metrics.height();
            from += perLine;
        } while (from < text.size());
    }
}

void QtReportPrinter::end() {
    if (!painter_) return;
    painter_->end();
    painter_.reset();
}

} // namespace vetra::desktop::qt
