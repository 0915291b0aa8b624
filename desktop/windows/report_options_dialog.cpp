#include "desktop/windows/report_options_dialog.h"

#include "ui_report_options_dialog.h"

#include <QCloseEvent>
#include <QKeySequence>
#include <QSignalBlocker>
#include <algorithm>
#include <limits>

namespace vetra::desktop {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

} // namespace

TFormReportOptions::TFormReportOptions(const ReportDialogLayers& layers, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TFormReportOptions>()),
      options_(layers.messages, layers.shell, *this),
      viewer_(layers.messages, layers.printer, this) {
    ui_->setupUi(this);
    ui_->linesPerPage->setRange(ReportOptions::kMinimumLinesPerPage,
                                ReportOptions::kMaximumLinesPerPage);
    ui_->linesPerPage->setValue(options_.linesPerPage());
    // The arrows set the number; the field only shows it.
    if (auto* field = ui_->linesPerPage->findChild<QLineEdit*>()) field->setReadOnly(true);
    connectChoices();
}

TFormReportOptions::~TFormReportOptions() = default;

void TFormReportOptions::connectChoices() {
    connect(ui_->reportTitle, &QLineEdit::textEdited, this,
            [this](const QString& value) { options_.setTitle(value.toStdString()); });
    connect(ui_->reportSubtitle, &QLineEdit::textEdited, this,
            [this](const QString& value) { options_.setSubtitle(value.toStdString()); });
    connect(ui_->reportFileName, &QLineEdit::textEdited, this,
            [this](const QString& value) { options_.setReportFileName(value.toStdString()); });
    const std::pair<QRadioButton*, ReportFormat> formats[] = {{ui_->formatText, ReportFormat::Text},
                                                              {ui_->formatCsv, ReportFormat::Csv}};
    for (const auto& [button, format] : formats)
        connect(button, &QRadioButton::toggled, this, [this, chosen = format](bool on) {
            if (!on) return;
            options_.setFormat(chosen);
            showFileName();
        });
    const std::pair<QRadioButton*, ReportStyle> styles[] = {
        {ui_->styleDetailed, ReportStyle::Detailed},
        {ui_->styleSummary, ReportStyle::Summary},
        {ui_->styleCombined, ReportStyle::Combined},
        {ui_->styleOverview, ReportStyle::Overview}};
    for (const auto& [button, style] : styles)
        connect(button, &QRadioButton::toggled, this, [this, chosen = style](bool on) {
            if (!on) return;
            options_.setStyle(chosen);
            showFileName();
        });
    const std::pair<QRadioButton*, PageMode> modes[] = {{ui_->everyRecord, PageMode::EveryRecord},
                                                        {ui_->everyEdit, PageMode::EveryEdit},
                                                        {ui_->pageFilled, PageMode::PageFilled}};
    for (const auto& [button, mode] : modes)
        connect(button, &QRadioButton::toggled, this, [this, chosen = mode](bool on) {
            if (on) options_.setPageMode(chosen);
        });
    connect(ui_->linesPerPage, &QSpinBox::valueChanged, this,
            [this](int lines) { options_.setLinesPerPage(lines); });
    connect(ui_->omitZeroCounts, &QCheckBox::toggled, this,
            [this](bool on) { options_.setOmitZeroCounts(on); });
    connect(ui_->generate, &QPushButton::clicked, this, &TFormReportOptions::generate);
    // A key for the button without changing its caption.
    ui_->generate->setShortcut(QKeySequence("Alt+G"));
    ui_->generate->setToolTip("Write the report (Alt+G)");
    connect(ui_->closeButton, &QPushButton::clicked, this, &TFormReportOptions::closeOrHalt);
}

std::string TFormReportOptions::showAfterRun(const MainWindowReportTexts& texts,
                                             const ReportInputs& mainWindow) {
    mainWindow_ = mainWindow;
    options_.shown(texts);
    showChoices();
    ui_->progress->setValue(0);
    exec();
    return options_.texts().reportFileName;
}

void TFormReportOptions::showChoices() {
    const MainWindowReportTexts& texts = options_.texts();
    ui_->reportTitle->setText(text(texts.title));
    ui_->reportSubtitle->setText(text(texts.subtitle));
    ui_->exceptionRecords->setText(text(texts.exceptionRecords));
    ui_->totalExceptions->setText(text(texts.totalExceptions));
    // The dialog already made the shown style's file name; the buttons only follow it.
    const QSignalBlocker detailed(ui_->styleDetailed);
    const QSignalBlocker summary(ui_->styleSummary);
    const QSignalBlocker combined(ui_->styleCombined);
    const QSignalBlocker overview(ui_->styleOverview);
    ui_->styleDetailed->setChecked(options_.style() == ReportStyle::Detailed);
    ui_->styleSummary->setChecked(options_.style() == ReportStyle::Summary);
    ui_->styleCombined->setChecked(options_.style() == ReportStyle::Combined);
    ui_->styleOverview->setChecked(options_.style() == ReportStyle::Overview);
    showFileName();
}

void TFormReportOptions::showFileName() {
    ui_->reportFileName->setText(text(options_.texts().reportFileName));
}

// While a report is written only Halt works: the other controls would change or restart the
// report under the loop that writes it.
void TFormReportOptions::generate() {
    const bool halts = options_.haltsWhileGenerating();
    const bool combined = halts && options_.style() == ReportStyle::Combined;
    setChoicesEnabled(false);
    if (halts) {
        ui_->closeButton->setText("Halt");
        ui_->closeButton->setFocus();
    }
    const ReportOptions::Generated generated = options_.generate(mainWindow_);
    ui_->closeButton->setText("Close");
    setChoicesEnabled(true);
    if (generated == ReportOptions::Generated::ShowViewer)
        viewer_.showReport(options_.generatedFile(), options_.pageMode() == PageMode::PageFilled);
    if (combined) ui_->closeButton->setFocus();
}

void TFormReportOptions::setChoicesEnabled(bool enabled) {
    const std::initializer_list<QWidget*> choices{
        ui_->reportFormats, ui_->formfeedOptions, ui_->reportStyles,
        ui_->reportTitle,   ui_->reportSubtitle,  ui_->reportFileName,
        ui_->linesPerPage,  ui_->omitZeroCounts,  ui_->generate};
    for (QWidget* control : choices)
        control->setEnabled(enabled);
}

// "Halt" stops the report being written and keeps the dialog; "Close" closes it.
void TFormReportOptions::closeOrHalt() {
    if (options_.generating()) {
        options_.requestHalt();
        return;
    }
    accept();
}

void TFormReportOptions::reject() {
    if (options_.generating()) {
        options_.requestHalt();
        return;
    }
    QDialog::reject();
}

void TFormReportOptions::closeEvent(QCloseEvent* event) {
    if (options_.generating()) {
        options_.requestHalt();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TFormReportOptions::start(std::int64_t maximum) {
    ui_->progress->setMaximum(
        static_cast<int>(std::clamp<std::int64_t>(maximum, 0, std::numeric_limits<int>::max())));
    ui_->progress->setValue(0);
}

void TFormReportOptions::advance(std::int64_t by) {
    ui_->progress->setValue(static_cast<int>(
        std::min<std::int64_t>(ui_->progress->value() + by, ui_->progress->maximum())));
}

void TFormReportOptions::finish() {
    ui_->progress->setValue(ui_->progress->maximum());
}

void TFormReportOptions::processPendingEvents() {
    QCoreApplication::processEvents();
}

} // namespace vetra::desktop
