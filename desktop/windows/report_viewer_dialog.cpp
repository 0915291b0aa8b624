#include "desktop/windows/report_viewer_dialog.h"

#include "ui_report_viewer_dialog.h"

#include <QFontDatabase>
#include <QKeyEvent>

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
    // Enter in the page field goes to the page typed there: no button is the default.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(ui_->pageNumber, &QLineEdit::returnPressed, this, [this] {
        viewer_.pageNumberChanged(ui_->pageNumber->text().toStdString());
        showPage();
    });
    ui_->reportText->installEventFilter(this);
    ui_->pageNumber->installEventFilter(this);
}

// The paging keys move between pages wherever the focus is; Home and End stay the page
// field's own while it has the focus.
bool TEditReportDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool control = key->modifiers().testFlag(Qt::ControlModifier);
    const bool inPageField = watched == ui_->pageNumber;
    switch (key->key()) {
    case Qt::Key_PageUp:
        viewer_.previousPage();
        break;
    case Qt::Key_PageDown:
        viewer_.nextPage();
        break;
    case Qt::Key_Home:
        if (inPageField && !control) return false;
        viewer_.firstPage();
        break;
    case Qt::Key_End:
        if (inPageField && !control) return false;
        viewer_.lastPage();
        break;
    default:
        return QDialog::eventFilter(watched, event);
    }
    showPage();
    return true;
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
