#include "desktop/reports/edrptdlg.h"

#include "ui_edrptdlg.h"

#include <QFontDatabase>

namespace vetra::desktop {

TEditReportDialog::TEditReportDialog(platform::MessageBoxes& messages, ReportPrinter& printer,
                                     QWidget* parent)
    : QDialog(parent), viewer_(messages), printer_(printer),
      ui_(std::make_unique<Ui::TEditReportDialog>()) {
    ui_->setupUi(this);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(kReportTextPointSize);
    ui_->reportText->setFont(font);

    connect(ui_->previousPage, &QPushButton::clicked, this, [this] {
        viewer_.previousPage();
        showPage();
    });
    connect(ui_->nextPage, &QPushButton::clicked, this, [this] {
        viewer_.nextPage();
        showPage();
    });
    connect(ui_->pageNumber, &QLineEdit::textEdited, this, [this](const QString& typed) {
        const std::string shown = viewer_.pageNumberChanged(typed.toStdString());
        showText();
        if (ui_->pageNumber->text() != QString::fromStdString(shown))
            ui_->pageNumber->setText(QString::fromStdString(shown));
    });
    connect(ui_->printPage, &QPushButton::clicked, this,
            [this] { viewer_.printShownPage(printer_); });
    connect(ui_->printReport, &QPushButton::clicked, this,
            [this] { viewer_.printReport(printer_); });
    connect(ui_->done, &QPushButton::clicked, this, &QDialog::accept);
}

TEditReportDialog::~TEditReportDialog() = default;

void TEditReportDialog::showReport(const std::string& path, bool pageFilled) {
    if (!viewer_.open(path, pageFilled)) return;
    ui_->lastPage->setText(QString::fromStdString(viewer_.lastPageText()));
    showPage();
    exec();
}

void TEditReportDialog::showPage() {
    showText();
    ui_->pageNumber->setText(QString::number(viewer_.currentPage()));
}

// The page without touching the page-number field, which may hold what the user is typing.
void TEditReportDialog::showText() {
    ui_->reportText->setPlainText(QString::fromStdString(viewer_.shownText()));
    ui_->previousPage->setEnabled(viewer_.canGoBack());
    ui_->nextPage->setEnabled(viewer_.canGoForward());
}

void TEditReportDialog::done(int result) {
    viewer_.close();
    QDialog::done(result);
}

} // namespace vetra::desktop
