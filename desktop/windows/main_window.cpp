#include "desktop/windows/main_window.h"

#include "desktop/workflow/help_topics.h"
#include "platform/file_services.h"
#include "ui_main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QStringListModel>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <algorithm>
#include <exception>
#include <limits>
#include <utility>

namespace vetra::desktop {

namespace {

constexpr int kEditNameWidth = 300;
// NAACCR XML and gzip-compressed files are read as well as fixed-width ones.
constexpr const char* kDataFileFilter =
    "All Files|*.*|Data Files (.dat, .xcd, .t01)|*.dat;*.xcd;*.t01|Text Files (.txt)|*.txt|"
    "NAACCR XML (.xml, .xml.gz)|*.xml;*.xml.gz|Compressed Files (.gz)|*.gz";
constexpr const char* kReportFileFilter = "Text Reports (.rpt)|*.rpt|All Files|*.*";

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

// Sets a field's text only when it differs, so that the user's cursor stays where it was.
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

// Ticks change in place while the names stay the same, so that a tick the user just made
// does not rebuild the list under the mouse.
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

// The run's progress bar and counters; the window handles its events every 11 records, which
// is where a Halt click reaches the workflow.
class WindowRunProgress : public RunProgress {
public:
    WindowRunProgress(QProgressBar* bar, QLineEdit* processed, QLineEdit* exceptionRecords,
                      QLineEdit* exceptions)
        : bar_(bar), processed_(processed), exceptionRecords_(exceptionRecords),
          exceptions_(exceptions) {}

    // A maximum of 0 would turn the bar into a busy indicator that never stops.
    void start(std::int64_t maximum) override {
        bar_->setMaximum(static_cast<int>(
            std::clamp<std::int64_t>(maximum, 1, std::numeric_limits<int>::max())));
        bar_->setValue(0);
    }
    void advance(std::int64_t by) override {
        bar_->setValue(
            static_cast<int>(std::min<std::int64_t>(bar_->value() + by, bar_->maximum())));
    }
    void showCounters(std::int64_t shownRecord, const RunCounters& counters) override {
        processed_->setText(countText(shownRecord));
        exceptionRecords_->setText(countText(counters.exceptionRecords));
        exceptions_->setText(countText(counters.messagesReported));
    }
    void processPendingEvents() override { QCoreApplication::processEvents(); }

private:
    QProgressBar* bar_;
    QLineEdit* processed_;
    QLineEdit* exceptionRecords_;
    QLineEdit* exceptions_;
};

} // namespace

TForm1::TForm1(MainWorkflow& workflow, const MainWindowLayers& layers, UsedVersions versions,
               std::string sharedFolder, QWidget* parent)
    : QMainWindow(parent), workflow_(workflow), layers_(layers), versions_(std::move(versions)),
      sharedFolder_(std::move(sharedFolder)), ui_(std::make_unique<Ui::TForm1>()),
      display_(layers.messages),
      reportOptions_({layers.messages, layers.shell, layers.reportPrinter}, this) {
    ui_->setupUi(this);
    completeWidgets();
    connectMenus();
    connectRunTab();
    connectReportTab();
    connectMetafileTab();
    connectAdvancedTab();
    connectDisplayTab();

    const MasterConfiguration& master = workflow_.master();
    setWindowTitle(text(master.caption));
    ui_->tabs->setTabVisible(kReportTab, !master.reportTabHidden);
    ui_->tabs->setTabVisible(kMetafileTab, !master.metafileTabHidden);
    ui_->tabs->setTabVisible(kAdvancedTab, !master.advancedTabHidden);
    showWorkflow();
    showDisplay();
    ui_->tabs->setCurrentIndex(kRunTab);
    resize(sizeHint().expandedTo(QSize(960, 640)));
    restoreWindowGeometry();
}

TForm1::~TForm1() = default;

// What the form cannot say: the lists' models, the grid's (see completeGrid), the logo's
// picture, and the Halt button that only a run shows.
void TForm1::completeWidgets() {
    availableModel_ = new QStringListModel(this);
    ui_->availableFields->setModel(availableModel_);
    selectedModel_ = new QStringListModel(this);
    ui_->selectedFields->setModel(selectedModel_);
    sortModel_ = new QStringListModel(this);
    ui_->sortFields->setModel(sortModel_);
    layoutModel_ = new QStandardItemModel(this);
    ui_->layouts->setModel(layoutModel_);
    editSetModel_ = new QStandardItemModel(this);
    ui_->editSets->setModel(editSetModel_);
    completeGrid();
    recordFieldsModel_ = new qt::RecordFieldsModel(display_.rows(), this);
    ui_->recordFields->setModel(recordFieldsModel_);
    ui_->recordFields->verticalHeader()->hide();
    // Rows a line high, so a layout's fields fill the list rather than a few spaced rows.
    ui_->recordFields->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    ui_->recordFields->horizontalHeader()->setSectionsClickable(true);
    const int fieldWidths[] = {200, 50, 50, 50, 300};
    for (int column = 0; column < qt::RecordFieldsModel::kColumnCount; ++column)
        ui_->recordFields->setColumnWidth(column, fieldWidths[column]);
    ui_->recordFields->horizontalHeader()->setMaximumSectionSize(400);
    ui_->logo->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    ui_->halt->hide();
    ui_->halt->setEnabled(false);
    // Keys for the buttons without changing their captions.
    ui_->run->setShortcut(QKeySequence("Alt+R"));
    ui_->halt->setShortcut(QKeySequence("Alt+H"));
    ui_->exit->setShortcut(QKeySequence("Alt+X"));
    // Tab moves between the controls the user can change; the read-only fields still take a
    // click, to select and copy what they show.
    for (QLineEdit* field : findChildren<QLineEdit*>())
        if (field->isReadOnly()) field->setFocusPolicy(Qt::ClickFocus);
}

// The totals row stays in view above the edits: the top view shows the column titles and the
// model's first row, the grid below it shows the edits and scrolls beneath them.
void TForm1::completeGrid() {
    gridModel_ = new qt::EditOptionGridModel(workflow_.grid(), this);
    for (QTableView* view : {ui_->gridTotals, ui_->grid}) {
        view->setModel(gridModel_);
        view->verticalHeader()->hide();
        view->setSelectionMode(QAbstractItemView::NoSelection);
    }
    ui_->grid->horizontalHeader()->hide();
    QHeaderView* titles = ui_->gridTotals->horizontalHeader();
    connect(titles, &QHeaderView::sectionResized, this,
            [this](int column, int, int width) { ui_->grid->setColumnWidth(column, width); });
    connect(ui_->grid->horizontalScrollBar(), &QScrollBar::valueChanged,
            ui_->gridTotals->horizontalScrollBar(), &QScrollBar::setValue);
    titles->setSectionResizeMode(0, QHeaderView::Fixed);
    ui_->gridTotals->setColumnWidth(0, kEditNameWidth);
    for (int column = kUseEditSetOptions; column <= kNoSkips; ++column)
        titles->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    ui_->gridTotals->setFixedHeight(titles->sizeHint().height() +
                                    ui_->gridTotals->verticalHeader()->defaultSectionSize() +
                                    2 * ui_->gridTotals->frameWidth());
}

void TForm1::connectMenus() {
    connect(ui_->actionOpenDataFile, &QAction::triggered, this, &TForm1::openDataFile);
    connect(ui_->actionSaveConfigAs, &QAction::triggered, this, &TForm1::saveConfigurationAs);
    connect(ui_->actionPrint, &QAction::triggered, this,
            [this] { layers_.printer.print(*ui_->tabs->currentWidget()); });
    connect(ui_->actionExit, &QAction::triggered, this, &QWidget::close);
    connect(ui_->actionRaveloHelp, &QAction::triggered, this, &TForm1::showProgramHelp);
    connect(ui_->actionAbout, &QAction::triggered, this, &TForm1::showAbout);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &TForm1::showContextHelp);
    connect(ui_->tabs, &QTabWidget::currentChanged, this, &TForm1::tabChanged);
}

void TForm1::connectRunTab() {
    connect(ui_->browse, &QPushButton::clicked, this, &TForm1::openDataFile);
    connect(ui_->run, &QPushButton::clicked, this, &TForm1::runEdits);
    connect(ui_->halt, &QPushButton::clicked, this, [this] { workflow_.haltRequest(); });
    connect(ui_->exit, &QPushButton::clicked, this, &QWidget::close);
    connect(ui_->logo, &QToolButton::clicked, this, &TForm1::showAbout);
}

void TForm1::connectReportTab() {
    connect(ui_->addSelected, &QToolButton::clicked, this, [this] {
        int row = currentRow(ui_->availableFields);
        workflow_.addIdentificationField(row);
        showReportTab();
        setCurrentRow(ui_->availableFields, row);
    });
    connect(ui_->removeSelected, &QToolButton::clicked, this, [this] {
        int row = currentRow(ui_->selectedFields);
        workflow_.removeIdentificationField(row);
        showReportTab();
        setCurrentRow(ui_->selectedFields, row);
    });
    connect(ui_->addSort, &QToolButton::clicked, this, [this] {
        workflow_.addSortField(currentRow(ui_->selectedFields));
        showReportTab();
    });
    connect(ui_->removeSort, &QToolButton::clicked, this, [this] {
        int row = currentRow(ui_->sortFields);
        workflow_.removeSortField(row);
        showReportTab();
        setCurrentRow(ui_->sortFields, row);
    });
    auto mover = [this](QListView* list, bool sort, bool up) {
        return [this, list, sort, up] {
            int row = currentRow(list);
            if (sort)
                workflow_.moveSortField(row, up);
            else
                workflow_.moveIdentificationField(row, up);
            showReportTab();
            setCurrentRow(list, row);
        };
    };
    connect(ui_->selectedUp, &QToolButton::clicked, this, mover(ui_->selectedFields, false, true));
    connect(ui_->selectedDown, &QToolButton::clicked, this,
            mover(ui_->selectedFields, false, false));
    connect(ui_->sortUp, &QToolButton::clicked, this, mover(ui_->sortFields, true, true));
    connect(ui_->sortDown, &QToolButton::clicked, this, mover(ui_->sortFields, true, false));
    connect(ui_->reportFileName, &QLineEdit::textEdited, this,
            [this](const QString& value) { workflow_.setReportFileName(value.toStdString()); });
    connect(ui_->chooseReportFile, &QPushButton::clicked, this, &TForm1::chooseReportFile);
    connect(ui_->reportTitle, &QLineEdit::textEdited, this,
            [this](const QString& value) { workflow_.setReportTitle(value.toStdString()); });
    connect(ui_->reportSubtitle, &QLineEdit::textEdited, this,
            [this](const QString& value) { workflow_.setReportSubtitle(value.toStdString()); });
}

void TForm1::connectMetafileTab() {
    connect(ui_->selectConfiguration, &QPushButton::clicked, this, &TForm1::selectConfiguration);
    connect(ui_->selectMetafile, &QPushButton::clicked, this, &TForm1::selectMetafile);
    connect(layoutModel_, &QStandardItemModel::itemChanged, this, [this](QStandardItem* item) {
        if (showing_) return;
        workflow_.setLayoutTicked(static_cast<std::size_t>(item->row()),
                                  item->checkState() == Qt::Checked);
        showWorkflow();
    });
    connect(editSetModel_, &QStandardItemModel::itemChanged, this, [this](QStandardItem* item) {
        if (showing_) return;
        workflow_.setEditSetTicked(static_cast<std::size_t>(item->row()),
                                   item->checkState() == Qt::Checked);
        showWorkflow();
    });
    connect(ui_->skipEmpty, &QCheckBox::clicked, this,
            [this](bool on) { workflow_.setSkipEmpty(on); });
    connect(ui_->skipFailed, &QCheckBox::clicked, this,
            [this](bool on) { workflow_.setSkipFailed(on); });
    connect(ui_->suppressWarnings, &QCheckBox::clicked, this,
            [this](bool on) { workflow_.setSuppressWarnings(on); });
    connect(ui_->countsOnly, &QCheckBox::clicked, this,
            [this](bool on) { workflow_.setCountsOnly(on); });
    connect(ui_->startRecord, &QLineEdit::editingFinished, this, [this] {
        workflow_.setStartRecord(ui_->startRecord->text().toStdString());
        showMetafileTab();
    });
    connect(ui_->recordsToEdit, &QLineEdit::editingFinished, this, [this] {
        workflow_.setRecordsToEdit(ui_->recordsToEdit->text().toStdString());
        showMetafileTab();
    });
}

void TForm1::connectAdvancedTab() {
    connect(
        ui_->externalLibraryFolders, &QLineEdit::textEdited, this,
        [this](const QString& value) { workflow_.setExternalLibraryFolders(value.toStdString()); });
    // Row 0 is the totals row; the edits start below it.
    connect(ui_->grid, &QTableView::clicked, this, [this](const QModelIndex& cell) {
        if (cell.row() < 1 || cell.column() < kUseEditSetOptions) return;
        workflow_.clickGridCell(static_cast<std::size_t>(cell.row() - 1), cell.column());
        showGrid();
    });
    connect(ui_->grid, &QTableView::doubleClicked, this, [this](const QModelIndex& cell) {
        if (cell.row() != 1 || cell.column() < kUseEditSetOptions) return;
        workflow_.doubleClickTopCell(cell.column());
        showGrid();
    });
}

void TForm1::connectDisplayTab() {
    connect(ui_->recordFields->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) {
                display_.sortBy(column);
                showDisplay();
            });
    QPushButton* const steps[] = {ui_->backBy1,      ui_->backBy10,     ui_->backBy100,
                                  ui_->backBy1000,   ui_->forwardBy1,   ui_->forwardBy10,
                                  ui_->forwardBy100, ui_->forwardBy1000};
    static_assert(std::size(steps) == Ravdisp::kStepTags.size());
    for (std::size_t i = 0; i < std::size(steps); ++i)
        connect(steps[i], &QPushButton::clicked, this, [this, move = Ravdisp::kStepTags[i]] {
            display_.step(move);
            showDisplay();
        });
    connect(ui_->recordSlider, &QSlider::valueChanged, this, [this](int position) {
        display_.sliderMoved(position);
        showDisplay();
    });
    connect(ui_->recordNumber, &QLineEdit::editingFinished, this, [this] {
        display_.recordNumberTyped(ui_->recordNumber->text().toStdString());
        showDisplay();
    });
}

// Leaving the first tab is refused while a run goes on. The "Display" tab holds the data file
// open only while it is shown.
void TForm1::tabChanged(int index) {
    if (workflow_.runInProgress() && index != kRunTab) {
        ui_->tabs->setCurrentIndex(kRunTab);
        return;
    }
    if (index == kDisplayTab) {
        // After a failed inspection the information still describes the file chosen before.
        const DataFileInfo& inspected = workflow_.dataFile();
        const bool known = inspected.fileName == workflow_.dataFileName();
        display_.enter(known ? inspected : DataFileInfo{}, workflow_.layoutFields());
    } else if (shownTab_ == kDisplayTab) {
        display_.leave();
    }
    shownTab_ = index;
    showDisplay();
}

void TForm1::showWorkflow() {
    showRunTab();
    showReportTab();
    showMetafileTab();
    showAdvancedTab();
}

void TForm1::showRunTab() {
    setFieldText(ui_->metafileName, workflow_.metafileShown());
    setFieldText(ui_->recordLayout, workflow_.recordLayoutShown());
    setFieldText(ui_->editSetsShown, workflow_.editSetsShown());
    setFieldText(ui_->dataFileName, workflow_.dataFileName());
    const DataFileInfo& dataFile = workflow_.dataFile();
    const bool inspected = !dataFile.fileName.empty();
    auto number = [inspected](auto value) {
        return inspected ? std::to_string(value) : std::string();
    };
    setFieldText(ui_->recordType, inspected && dataFile.recordType != '\0'
                                      ? std::string(1, dataFile.recordType)
                                      : "");
    setFieldText(ui_->naaccrVersion, inspected ? dataFile.naaccrVersion : "");
    setFieldText(ui_->fileDate, workflow_.fileDateText());
    setFieldText(ui_->fileSize, number(dataFile.fileSize));
    setFieldText(ui_->recordCount, number(dataFile.recordCount));
    setFieldText(ui_->recordLength, number(dataFile.recordLength));
    ui_->run->setEnabled(workflow_.runEnabled() && !workflow_.runInProgress());
}

void TForm1::showReportTab() {
    const FieldLists& fields = workflow_.fields();
    showNames(ui_->availableFields, availableModel_, fields.available());
    showNames(ui_->selectedFields, selectedModel_, fields.selected());
    showNames(ui_->sortFields, sortModel_, fields.sort());
    setFieldText(ui_->reportFileName, workflow_.reportFileName());
    setFieldText(ui_->reportTitle, workflow_.reportTitle());
    setFieldText(ui_->reportSubtitle, workflow_.reportSubtitle());
}

void TForm1::showMetafileTab() {
    setFieldText(ui_->configurationFile, workflow_.currentConfigurationPath());
    setFieldText(ui_->metafilePath, workflow_.metafilePath());
    showing_ = true;
    showCheckList(ui_->layouts, layoutModel_, workflow_.layouts());
    showCheckList(ui_->editSets, editSetModel_, workflow_.editSets());
    showing_ = false;
    ui_->skipEmpty->setChecked(workflow_.skipEmpty());
    ui_->skipFailed->setChecked(workflow_.skipFailed());
    ui_->suppressWarnings->setChecked(workflow_.suppressWarnings());
    ui_->countsOnly->setChecked(workflow_.countsOnly());
    setFieldText(ui_->startRecord, workflow_.range().start);
    setFieldText(ui_->recordsToEdit, workflow_.range().count);
    ui_->startRecord->setEnabled(workflow_.rangeEnabled());
    ui_->recordsToEdit->setEnabled(workflow_.rangeEnabled());
}

void TForm1::showAdvancedTab() {
    setFieldText(ui_->externalLibraryFolders, workflow_.externalLibraryFolders());
    showGrid();
}

void TForm1::showGrid() {
    gridModel_->refresh();
    ui_->grid->setRowHidden(qt::EditOptionGridModel::kTotalsRow, true);
}

void TForm1::showDisplay() {
    recordFieldsModel_->refresh();
    {
        const QSignalBlocker blocker(ui_->recordSlider);
        ui_->recordSlider->setRange(0, static_cast<int>(display_.sliderMaximum()));
        ui_->recordSlider->setValue(static_cast<int>(display_.sliderPosition()));
    }
    setFieldText(ui_->recordNumber, display_.recordNumberText());
}

// Cancelling the dialog changes nothing.
void TForm1::openDataFile() {
    const std::string path = layers_.files.openFile(
        {"Open NAACCR datafile", kDataFileFilter, workflow_.master().dataFolder, "", ""});
    if (path.empty()) return;
    display_.leave();
    workflow_.chooseDataFile(path);
    clearCounters();
    showWorkflow();
    showDisplay();
}

void TForm1::selectMetafile() {
    const std::string path = layers_.files.openFile(
        {"Open Metafile", "Runtime Metafile|*.rmf", workflow_.master().metafileFolder, "rmf", ""});
    if (path.empty()) return;
    workflow_.selectMetafile(path);
    showWorkflow();
}

void TForm1::selectConfiguration() {
    const std::string path =
        layers_.files.openFile({"Open Configuration File", "Initialization Files (*.ini)|*.ini",
                                workflow_.master().configFolder, "ini", ""});
    if (path.empty()) return;
    workflow_.selectConfiguration(path);
    showWorkflow();
}

void TForm1::saveConfigurationAs() {
    const std::string path = layers_.files.saveFile(
        {"Save Configuration File As", "Config Files (.ini)|*.ini", workflow_.master().configFolder,
         "ini", platform::fileNameOf(workflow_.currentConfigurationPath())});
    workflow_.saveConfigurationAs(path);
    showMetafileTab();
}

void TForm1::chooseReportFile() {
    const std::string& current = workflow_.reportFileName();
    const std::string path =
        layers_.files.saveFile({"Report File Name", kReportFileFilter, platform::folderOf(current),
                                "rpt", platform::fileNameOf(current)});
    if (path.empty()) return;
    workflow_.setReportFileName(path);
    showReportTab();
}

// Reports are offered only for a run that wrote its results: after a run that stopped, the
// results folder holds nothing of it, and the previous run's results must not pass for it.
void TForm1::runEdits() {
    setRunning(true);
    WindowRunProgress progress(ui_->progress, ui_->recordsProcessed, ui_->exceptionRecords,
                               ui_->exceptionsReported);
    try {
        workflow_.runEdits(progress);
        setRunning(false);
        if (!workflow_.haltText().empty()) {
            statusBar()->showMessage(text(workflow_.haltText()));
            layers_.messages.show(workflow_.haltText() + ".", "Run Halted");
        }
        if (workflow_.resultsOfLastRun()) showReportOptions();
    } catch (const std::exception& error) {
        setRunning(false);
        layers_.messages.show(error.what(), "");
    }
    showWorkflow();
    if (ui_->run->isEnabled()) ui_->run->setFocus();
}

// The report file name comes back from the dialog; the other texts are the main window's.
void TForm1::showReportOptions() {
    const MainWindowReportTexts texts{
        workflow_.reportTitle(), workflow_.reportSubtitle(), workflow_.reportFileName(),
        ui_->exceptionRecords->text().toStdString(), ui_->exceptionsReported->text().toStdString()};
    workflow_.reportDialogClosed(reportOptions_.showAfterRun(texts, workflow_.reportInputs()));
}

// Run stays where it is, disabled, while Halt shows beside it: the second click of a
// double-click on Run lands on Run and does nothing, instead of halting the run it started.
void TForm1::setRunning(bool running) {
    for (int tab : {kReportTab, kMetafileTab, kAdvancedTab, kDisplayTab})
        ui_->tabs->setTabEnabled(tab, !running);
    ui_->browse->setEnabled(!running);
    ui_->actionOpenDataFile->setEnabled(!running);
    ui_->run->setEnabled(!running && workflow_.runEnabled());
    ui_->halt->setVisible(running);
    ui_->halt->setEnabled(running);
    if (running) statusBar()->clearMessage();
}

void TForm1::clearCounters() {
    ui_->recordsProcessed->clear();
    ui_->exceptionRecords->clear();
    ui_->exceptionsReported->clear();
    ui_->progress->setValue(0);
}

void TForm1::showAbout() {
    layers_.messages.show(aboutText(versions_), aboutCaption());
}

void TForm1::showContextHelp() {
    showHelp(helpTopicPath(sharedFolder_, helpContextOfTab(ui_->tabs->currentIndex())));
}

void TForm1::showProgramHelp() {
    showHelp(helpFilePath(sharedFolder_));
}

void TForm1::showHelp(const std::string& page) {
    if (!layers_.help.show(page)) layers_.messages.show(helpMissingText(page), "");
}

void TForm1::restoreWindowGeometry() {
    const QSettings saved(text(workflow_.windowStatePath()), QSettings::IniFormat);
    const QByteArray geometry = saved.value("Window/Geometry").toByteArray();
    if (!geometry.isEmpty()) restoreGeometry(geometry);
}

void TForm1::saveWindowGeometry() {
    QSettings saved(text(workflow_.windowStatePath()), QSettings::IniFormat);
    saved.setValue("Window/Geometry", saveGeometry());
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A run ends first: the Halt is seen at the next record the run lets the window in.
    if (workflow_.runInProgress()) {
        workflow_.haltRequest();
        event->ignore();
        return;
    }
    saveWindowGeometry();
    workflow_.close();
    event->accept();
}

} // namespace vetra::desktop
