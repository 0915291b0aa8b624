#include "desktop/shell/Unit1.h"

#include "desktop/shell/help_topics.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <utility>

namespace vetra::desktop {

namespace {

constexpr const char* kTopRowText =
    "                                             Column Totals -->";
constexpr const char* kMarkText = "        yes";
constexpr int kEditNameWidth = 300;
constexpr int kOptionColumnWidth = 120;
constexpr const char* kDataFileFilter =
    "All Files|*.*|Data Files (.dat, .xcd, .t01)|*.dat;*.xcd;*.t01|Text Files (.txt)|*.txt";

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

// The short hint shows beside the mouse, the long one in the status bar.
template <typename Widget>
Widget* hinted(Widget* widget, const char* shortHint, const char* longHint) {
    widget->setToolTip(QString::fromUtf8(shortHint));
    widget->setStatusTip(QString::fromUtf8(longHint));
    return widget;
}

QLineEdit* readOnlyField(const char* name, const char* shortHint, const char* longHint) {
    auto* field = hinted(new QLineEdit, shortHint, longHint);
    field->setObjectName(QString::fromUtf8(name));
    field->setReadOnly(true);
    return field;
}

QToolButton* arrowButton(const char* name, Qt::ArrowType arrow, const char* shortHint,
                         const char* longHint) {
    auto* button = hinted(new QToolButton, shortHint, longHint);
    button->setObjectName(QString::fromUtf8(name));
    button->setArrowType(arrow);
    return button;
}

// Sets a field's text only when it differs, so that the user's cursor stays where it was.
void setFieldText(QLineEdit* field, const std::string& value) {
    if (field->text() != text(value)) field->setText(text(value));
}

void showNames(QListWidget* list, const std::vector<std::string>& names) {
    const QSignalBlocker blocker(list);
    const int row = list->currentRow();
    list->clear();
    for (const auto& name : names)
        list->addItem(text(name));
    list->setCurrentRow(std::min(row, list->count() - 1));
}

void showCheckList(QListWidget* list, const CheckList& checks) {
    const QSignalBlocker blocker(list);
    const int row = list->currentRow();
    list->clear();
    for (std::size_t i = 0; i < checks.names.size(); ++i) {
        auto* item = new QListWidgetItem(text(checks.names[i]), list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(checks.ticked[i] ? Qt::Checked : Qt::Unchecked);
    }
    list->setCurrentRow(std::min(row, list->count() - 1));
}

void setCell(QTableWidget* table, int row, int column, const QString& value) {
    QTableWidgetItem* item = table->item(row, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        table->setItem(row, column, item);
    }
    if (item->text() != value) item->setText(value);
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

    void start(std::int64_t maximum) override {
        bar_->setMaximum(static_cast<int>(std::clamp<std::int64_t>(maximum, 0, INT32_MAX)));
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
               std::string programFolder, QWidget* parent)
    : QMainWindow(parent), workflow_(workflow), layers_(layers), versions_(std::move(versions)),
      programFolder_(std::move(programFolder)) {
    setObjectName("Form1");
    tabs_ = new QTabWidget;
    tabs_->setObjectName("tabs");
    tabs_->addTab(createRunTab(), "Select File and Run");
    tabs_->addTab(createReportTab(), "&Report Configuration");
    tabs_->addTab(createMetafileTab(), "&Metafile Selections");
    tabs_->addTab(createAdvancedTab(), "&Advanced Configuration");
    tabs_->addTab(createDisplayTab(), "Display");
    setCentralWidget(tabs_);
    createMenus();
    statusBar();
    connectRunTab();
    connectReportTab();
    connectMetafileTab();
    connectAdvancedTab();
    // Leaving the first tab is refused while a run goes on.
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (workflow_.runInProgress() && index != kRunTab) tabs_->setCurrentIndex(kRunTab);
    });
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &TForm1::showContextHelp);

    const MasterConfiguration& master = workflow_.master();
    setWindowTitle(text(master.caption));
    tabs_->setTabVisible(kReportTab, !master.reportTabHidden);
    tabs_->setTabVisible(kMetafileTab, !master.metafileTabHidden);
    tabs_->setTabVisible(kAdvancedTab, !master.advancedTabHidden);
    showWorkflow();
    tabs_->setCurrentIndex(kRunTab);
    resize(sizeHint().expandedTo(QSize(960, 640)));
}

QWidget* TForm1::createRunTab() {
    metafileName_ = readOnlyField("metafileName", "Metafile in use",
                                  "The metafile whose edits are run; change it on the Metafile "
                                  "Selections tab");
    recordLayout_ = readOnlyField("recordLayout", "Record layout in use",
                                  "The record layout that describes the data file's records");
    editSetsShown_ = readOnlyField("editSetsShown", "Edit sets in use",
                                   "The edit sets whose edits are run on every record");
    dataFileName_ = readOnlyField("dataFileName", "Data file to check",
                                  "The NAACCR data file whose records are checked; choose it "
                                  "with Browse");
    browse_ = hinted(new QPushButton("&Browse"), "Choose the data file",
                     "Choose the NAACCR data file whose records are to be checked");
    browse_->setObjectName("browse");
    recordType_ = readOnlyField("recordType", "Record type", "The record type of the data file");
    naaccrVersion_ = readOnlyField("naaccrVersion", "NAACCR version",
                                   "The NAACCR version of the data file's first record");
    fileDate_ = readOnlyField("fileDate", "File date", "When the data file was last changed");
    fileSize_ = readOnlyField("fileSize", "File size", "The data file's size in bytes");
    recordCount_ =
        readOnlyField("recordCount", "Record count", "The number of records in the data file");
    recordLength_ = readOnlyField("recordLength", "Record length",
                                  "The length of one record, its line end included");
    progress_ =
        hinted(new QProgressBar, "Run progress", "How much of the data file has been checked");
    progress_->setObjectName("progress");
    progress_->setValue(0);
    recordsProcessed_ = readOnlyField("recordsProcessed", "Records processed",
                                      "The number of the record checked last");
    exceptionRecords_ = readOnlyField("exceptionRecords", "Records with exceptions",
                                      "How many records failed at least one edit");
    exceptionsReported_ = readOnlyField("exceptionsReported", "Exceptions reported",
                                        "How many messages the edits reported");
    run_ = hinted(new QPushButton("Run VETRA"), "Run the edits",
                  "Run the chosen edit sets on the records of the data file");
    run_->setObjectName("run");
    halt_ = hinted(new QPushButton("Halt"), "Stop the run",
                   "Stop the run after the record being checked; the results so far are kept");
    halt_->setObjectName("halt");
    halt_->hide();
    halt_->setEnabled(false);
    exit_ = hinted(new QPushButton("Exit"), "Exit Ravelo", "Close Ravelo");
    exit_->setObjectName("exit");
    logo_ =
        hinted(new QToolButton, "About Ravelo", "Show the versions of Ravelo and its libraries");
    logo_->setObjectName("logo");
    logo_->setText("Ravelo");
    logo_->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    logo_->setIconSize(QSize(48, 48));
    logo_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    logo_->setAutoRaise(true);

    auto* form = new QFormLayout;
    form->addRow("Metafile Name", metafileName_);
    form->addRow("Record Layout", recordLayout_);
    form->addRow("Edit Sets", editSetsShown_);
    auto* dataRow = new QHBoxLayout;
    dataRow->addWidget(dataFileName_);
    dataRow->addWidget(browse_);
    form->addRow("Datafile Name", dataRow);

    auto* info = new QGridLayout;
    const std::pair<const char*, QLineEdit*> infoFields[] = {
        {"Record Type", recordType_},   {"NAACCR Version", naaccrVersion_},
        {"File Date", fileDate_},       {"File Size", fileSize_},
        {"Record Count", recordCount_}, {"Record Length", recordLength_}};
    for (int i = 0; i < 6; ++i) {
        info->addWidget(new QLabel(infoFields[i].first), i / 2, (i % 2) * 2);
        info->addWidget(infoFields[i].second, i / 2, (i % 2) * 2 + 1);
    }

    auto* counters = new QFormLayout;
    counters->addRow("Records Processed", recordsProcessed_);
    counters->addRow("Records with Exceptions", exceptionRecords_);
    counters->addRow("Exceptions Reported", exceptionsReported_);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(run_);
    buttons->addWidget(halt_);
    buttons->addWidget(exit_);
    buttons->addStretch();
    buttons->addWidget(logo_);

    auto* tab = new QWidget;
    auto* column = new QVBoxLayout(tab);
    column->addLayout(form);
    column->addLayout(info);
    column->addWidget(progress_);
    column->addLayout(counters);
    column->addStretch();
    column->addLayout(buttons);
    return tab;
}

QWidget* TForm1::createReportTab() {
    availableFields_ = hinted(new QListWidget, "Fields of the record layout",
                              "Fields that can identify a record in the error reports");
    availableFields_->setObjectName("availableFields");
    availableFields_->setSortingEnabled(true);
    selectedFields_ = hinted(new QListWidget, "Identification fields",
                             "Up to 8 fields printed with every record in the error reports");
    selectedFields_->setObjectName("selectedFields");
    sortFields_ = hinted(new QListWidget, "Sort fields",
                         "Up to 4 of the identification fields by which the reports are sorted");
    sortFields_->setObjectName("sortFields");
    addSelected_ = arrowButton("addSelected", Qt::RightArrow, "Add field",
                               "Add the highlighted field to the identification fields");
    removeSelected_ = arrowButton("removeSelected", Qt::LeftArrow, "Remove field",
                                  "Remove the highlighted identification field");
    selectedUp_ = arrowButton("selectedUp", Qt::UpArrow, "Move up",
                              "Move the highlighted identification field up");
    selectedDown_ = arrowButton("selectedDown", Qt::DownArrow, "Move down",
                                "Move the highlighted identification field down");
    addSort_ = arrowButton("addSort", Qt::RightArrow, "Add sort field",
                           "Sort the reports also by the highlighted identification field");
    removeSort_ = arrowButton("removeSort", Qt::LeftArrow, "Remove sort field",
                              "Do not sort by the highlighted sort field");
    sortUp_ = arrowButton("sortUp", Qt::UpArrow, "Move up", "Move the highlighted sort field up");
    sortDown_ =
        arrowButton("sortDown", Qt::DownArrow, "Move down", "Move the highlighted sort field down");
    reportFileName_ =
        hinted(new QLineEdit, "Report file", "The file the text report is written to");
    reportFileName_->setObjectName("reportFileName");
    reportTitle_ = hinted(new QLineEdit, "Report title", "The title printed on every report page");
    reportTitle_->setObjectName("reportTitle");
    reportSubtitle_ =
        hinted(new QLineEdit, "Report subtitle", "The subtitle printed on every report page");
    reportSubtitle_->setObjectName("reportSubtitle");

    auto buttonColumn = [](QToolButton* first, QToolButton* second) {
        auto* box = new QVBoxLayout;
        box->addStretch();
        box->addWidget(first);
        box->addWidget(second);
        box->addStretch();
        return box;
    };
    auto* lists = new QGridLayout;
    auto caption = [](const char* words) {
        auto* label = new QLabel(words);
        label->setWordWrap(true);
        return label;
    };
    lists->addWidget(caption("Fields Available for Record Identification in Error Reports"), 0, 0);
    lists->addWidget(caption("Fields Selected for Record Identification in Error Reports"), 0, 2);
    lists->addWidget(caption("Fields Selected for Sorting the Output"), 0, 5);
    lists->addWidget(availableFields_, 1, 0);
    lists->addLayout(buttonColumn(addSelected_, removeSelected_), 1, 1);
    lists->addWidget(selectedFields_, 1, 2);
    lists->addLayout(buttonColumn(selectedUp_, selectedDown_), 1, 3);
    lists->addLayout(buttonColumn(addSort_, removeSort_), 1, 4);
    lists->addWidget(sortFields_, 1, 5);
    lists->addLayout(buttonColumn(sortUp_, sortDown_), 1, 6);

    auto* form = new QFormLayout;
    form->addRow("Report File Name", reportFileName_);
    form->addRow("Report Title", reportTitle_);
    form->addRow("Report Subtitle", reportSubtitle_);

    auto* tab = new QWidget;
    auto* column = new QVBoxLayout(tab);
    column->addLayout(lists);
    column->addLayout(form);
    return tab;
}

QWidget* TForm1::createMetafileTab() {
    configurationFile_ = readOnlyField("configurationFile", "Configuration file",
                                       "The configuration file loaded at start and saved on "
                                       "closing");
    selectConfiguration_ = hinted(new QPushButton("Select Configuration"), "Load a configuration",
                                  "Load the metafile, layout, edit sets and options of another "
                                  "configuration file");
    selectConfiguration_->setObjectName("selectConfiguration");
    metafilePath_ = readOnlyField("metafilePath", "Metafile", "The metafile whose edits are run");
    selectMetafile_ = hinted(new QPushButton("Select Metafile"), "Choose a metafile",
                             "Choose another metafile; choices it also has are kept");
    selectMetafile_->setObjectName("selectMetafile");
    layouts_ = hinted(new QListWidget, "Record layouts",
                      "Tick the record layout of the data file (one only)");
    layouts_->setObjectName("layouts");
    editSets_ = hinted(new QListWidget, "Edit sets", "Tick the edit sets to run on every record");
    editSets_->setObjectName("editSets");
    skipEmpty_ = hinted(new QCheckBox("Skip Empty"), "Skip empty fields",
                        "Skip the edits whose fields are all empty");
    skipEmpty_->setObjectName("skipEmpty");
    skipFailed_ = hinted(new QCheckBox("Skip Failed"), "Skip after failures",
                         "Skip the edits that use a field an earlier edit failed on");
    skipFailed_->setObjectName("skipFailed");
    suppressWarnings_ = hinted(new QCheckBox("Suppress Warnings"), "Suppress warnings",
                               "Do not report the warnings of the edits");
    suppressWarnings_->setObjectName("suppressWarnings");
    recordsToEdit_ = hinted(new QLineEdit, "Number of records",
                            "How many records to check, from the start record on");
    recordsToEdit_->setObjectName("recordsToEdit");
    startRecord_ = hinted(new QLineEdit, "First record", "The number of the first record to check");
    startRecord_->setObjectName("startRecord");
    countsOnly_ = hinted(new QCheckBox("Report Counts Only"), "Counts only",
                         "Count the failures without storing each one for the detailed reports");
    countsOnly_->setObjectName("countsOnly");

    auto* files = new QGridLayout;
    files->addWidget(new QLabel("Current Configuration File"), 0, 0);
    files->addWidget(configurationFile_, 0, 1);
    files->addWidget(selectConfiguration_, 0, 2);
    files->addWidget(new QLabel("Metafile"), 1, 0);
    files->addWidget(metafilePath_, 1, 1);
    files->addWidget(selectMetafile_, 1, 2);

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel("Record Layouts"), 0, 0);
    lists->addWidget(new QLabel("Edit Sets"), 0, 1);
    lists->addWidget(layouts_, 1, 0);
    lists->addWidget(editSets_, 1, 1);

    auto* options = new QGroupBox("Edit Set Options");
    auto* optionRow = new QHBoxLayout(options);
    optionRow->addWidget(skipEmpty_);
    optionRow->addWidget(skipFailed_);
    optionRow->addWidget(suppressWarnings_);

    auto* range = new QFormLayout;
    range->addRow("Number of Records to Edit", recordsToEdit_);
    range->addRow("Start Editing at Record", startRecord_);
    range->addRow(countsOnly_);

    auto* tab = new QWidget;
    auto* column = new QVBoxLayout(tab);
    column->addLayout(files);
    column->addLayout(lists);
    column->addWidget(options);
    column->addLayout(range);
    return tab;
}

QWidget* TForm1::createAdvancedTab() {
    grid_ = hinted(new QTableWidget(1, 6), "Options of each edit",
                   "Click a cell to set an edit's options; double-click the first edit's cell to "
                   "set a column for every edit");
    grid_->setObjectName("grid");
    grid_->setHorizontalHeaderLabels({"Edit Name", "Use Edit Set Options", "Suppress Edit",
                                      "Skip Empty*", "Skip Fail*", "No Skips"});
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    grid_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    grid_->setColumnWidth(0, kEditNameWidth);
    for (int column = kUseEditSetOptions; column <= kNoSkips; ++column)
        grid_->setColumnWidth(column, kOptionColumnWidth);
    setCell(grid_, 0, 0, kTopRowText);

    auto* tab = new QWidget;
    auto* column = new QVBoxLayout(tab);
    column->addWidget(grid_);
    column->addWidget(new QLabel("(* Options may be combined)"));
    return tab;
}

QWidget* TForm1::createDisplayTab() {
    auto* tab = new QWidget;
    tab->setObjectName("displayTab");
    return tab;
}

void TForm1::createMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    openDataFileAction_ = file->addAction("&Open Data File", this, &TForm1::openDataFile);
    file->addAction("Save Config &As", this, &TForm1::saveConfigurationAs);
    file->addAction("&Print...", QKeySequence(Qt::CTRL | Qt::Key_P), this,
                    [this] { layers_.printer.show(); });
    file->addAction("E&xit", this, &QWidget::close);

    QMenu* help = menuBar()->addMenu("&Help");
    for (const char* unused : {"&Help", "&Contents", "&VETRA Help"})
        help->addAction(unused)->setEnabled(false);
    help->addAction("&Ravelo Help", this, &TForm1::showProgramHelp);
    help->addAction("&About...", this, &TForm1::showAbout);
}

void TForm1::connectRunTab() {
    connect(browse_, &QPushButton::clicked, this, &TForm1::openDataFile);
    connect(run_, &QPushButton::clicked, this, &TForm1::runEdits);
    connect(halt_, &QPushButton::clicked, this, [this] { workflow_.haltRequest(); });
    connect(exit_, &QPushButton::clicked, this, &QWidget::close);
    connect(logo_, &QToolButton::clicked, this, &TForm1::showAbout);
}

void TForm1::connectReportTab() {
    connect(addSelected_, &QToolButton::clicked, this, [this] {
        int row = availableFields_->currentRow();
        workflow_.addIdentificationField(row);
        showReportTab();
        availableFields_->setCurrentRow(row);
    });
    connect(removeSelected_, &QToolButton::clicked, this, [this] {
        int row = selectedFields_->currentRow();
        workflow_.removeIdentificationField(row);
        showReportTab();
        selectedFields_->setCurrentRow(row);
    });
    connect(addSort_, &QToolButton::clicked, this, [this] {
        workflow_.addSortField(selectedFields_->currentRow());
        showReportTab();
    });
    connect(removeSort_, &QToolButton::clicked, this, [this] {
        int row = sortFields_->currentRow();
        workflow_.removeSortField(row);
        showReportTab();
        sortFields_->setCurrentRow(row);
    });
    auto mover = [this](QListWidget* list, bool sort, bool up) {
        return [this, list, sort, up] {
            int row = list->currentRow();
            if (sort)
                workflow_.moveSortField(row, up);
            else
                workflow_.moveIdentificationField(row, up);
            showReportTab();
            list->setCurrentRow(row);
        };
    };
    connect(selectedUp_, &QToolButton::clicked, this, mover(selectedFields_, false, true));
    connect(selectedDown_, &QToolButton::clicked, this, mover(selectedFields_, false, false));
    connect(sortUp_, &QToolButton::clicked, this, mover(sortFields_, true, true));
    connect(sortDown_, &QToolButton::clicked, this, mover(sortFields_, true, false));
    connect(reportFileName_, &QLineEdit::textEdited, this,
            [this](const QString& value) { workflow_.setReportFileName(value.toStdString()); });
    connect(reportTitle_, &QLineEdit::textEdited, this,
            [this](const QString& value) { workflow_.setReportTitle(value.toStdString()); });
    connect(reportSubtitle_, &QLineEdit::textEdited, this,
            [this](const QString& value) { workflow_.setReportSubtitle(value.toStdString()); });
}

void TForm1::connectMetafileTab() {
    connect(selectConfiguration_, &QPushButton::clicked, this, &TForm1::selectConfiguration);
    connect(selectMetafile_, &QPushButton::clicked, this, &TForm1::selectMetafile);
    connect(layouts_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        workflow_.setLayoutTicked(static_cast<std::size_t>(layouts_->row(item)),
                                  item->checkState() == Qt::Checked);
        showWorkflow();
    });
    connect(editSets_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        workflow_.setEditSetTicked(static_cast<std::size_t>(editSets_->row(item)),
                                   item->checkState() == Qt::Checked);
        showWorkflow();
    });
    connect(skipEmpty_, &QCheckBox::clicked, this, [this](bool on) { workflow_.setSkipEmpty(on); });
    connect(skipFailed_, &QCheckBox::clicked, this,
            [this](bool on) { workflow_.setSkipFailed(on); });
    connect(suppressWarnings_, &QCheckBox::clicked, this,
            [this](bool on) { workflow_.setSuppressWarnings(on); });
    connect(countsOnly_, &QCheckBox::clicked, this,
            [this](bool on) { workflow_.setCountsOnly(on); });
    connect(startRecord_, &QLineEdit::editingFinished, this, [this] {
        workflow_.setStartRecord(startRecord_->text().toStdString());
        showMetafileTab();
    });
    connect(recordsToEdit_, &QLineEdit::editingFinished, this, [this] {
        workflow_.setRecordsToEdit(recordsToEdit_->text().toStdString());
        showMetafileTab();
    });
}

void TForm1::connectAdvancedTab() {
    // Row 0 is the totals row; the edits start below it.
    connect(grid_, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (row < 1 || column < kUseEditSetOptions) return;
        workflow_.clickGridCell(static_cast<std::size_t>(row - 1), column);
        showGrid();
    });
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (row != 1 || column < kUseEditSetOptions) return;
        workflow_.doubleClickTopCell(column);
        showGrid();
    });
}

void TForm1::showWorkflow() {
    showRunTab();
    showReportTab();
    showMetafileTab();
    showGrid();
}

void TForm1::showRunTab() {
    setFieldText(metafileName_, workflow_.metafileShown());
    setFieldText(recordLayout_, workflow_.recordLayoutShown());
    setFieldText(editSetsShown_, workflow_.editSetsShown());
    setFieldText(dataFileName_, workflow_.dataFileName());
    const DataFileInfo& dataFile = workflow_.dataFile();
    const bool inspected = !dataFile.fileName.empty();
    auto number = [inspected](auto value) {
        return inspected ? std::to_string(value) : std::string();
    };
    setFieldText(recordType_, inspected && dataFile.recordType != '\0'
                                  ? std::string(1, dataFile.recordType)
                                  : "");
    setFieldText(naaccrVersion_, inspected ? dataFile.naaccrVersion : "");
    setFieldText(fileDate_, workflow_.fileDateText());
    setFieldText(fileSize_, number(dataFile.fileSize));
    setFieldText(recordCount_, number(dataFile.recordCount));
    setFieldText(recordLength_, number(dataFile.recordLength));
    run_->setEnabled(workflow_.runEnabled() && !workflow_.runInProgress());
}

void TForm1::showReportTab() {
    const FieldLists& fields = workflow_.fields();
    showNames(availableFields_, fields.available());
    showNames(selectedFields_, fields.selected());
    showNames(sortFields_, fields.sort());
    setFieldText(reportFileName_, workflow_.reportFileName());
    setFieldText(reportTitle_, workflow_.reportTitle());
    setFieldText(reportSubtitle_, workflow_.reportSubtitle());
}

void TForm1::showMetafileTab() {
    setFieldText(configurationFile_, workflow_.currentConfigurationPath());
    setFieldText(metafilePath_, workflow_.metafilePath());
    showCheckList(layouts_, workflow_.layouts());
    showCheckList(editSets_, workflow_.editSets());
    skipEmpty_->setChecked(workflow_.skipEmpty());
    skipFailed_->setChecked(workflow_.skipFailed());
    suppressWarnings_->setChecked(workflow_.suppressWarnings());
    countsOnly_->setChecked(workflow_.countsOnly());
    setFieldText(startRecord_, workflow_.range().start);
    setFieldText(recordsToEdit_, workflow_.range().count);
    startRecord_->setEnabled(workflow_.rangeEnabled());
    recordsToEdit_->setEnabled(workflow_.rangeEnabled());
}

void TForm1::showGrid() {
    const EditOptionGrid& grid = workflow_.grid();
    const auto& rows = grid.rows();
    grid_->setRowCount(static_cast<int>(rows.size()) + 1);
    for (int column = kUseEditSetOptions; column <= kNoSkips; ++column)
        setCell(grid_, 0, column, QString::number(grid.columnTotal(column)));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        setCell(grid_, row, 0, text(rows[i].editName));
        for (int column = kUseEditSetOptions; column <= kNoSkips; ++column)
            setCell(grid_, row, column,
                    rows[i].marked[static_cast<std::size_t>(column)] ? kMarkText : "");
    }
}

void TForm1::openDataFile() {
    const std::string path = layers_.files.openFile(
        {"Open NAACCR datafile", kDataFileFilter, workflow_.master().dataFolder, "", ""});
    workflow_.chooseDataFile(path);
    clearCounters();
    showWorkflow();
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
    const std::string current = workflow_.currentConfigurationPath();
    const std::string path = layers_.files.saveFile(
        {"Save Configuration File As", "Config Files (.ini)|*.ini", workflow_.master().configFolder,
         "ini", current.substr(current.find_last_of('/') + 1)});
    workflow_.saveConfigurationAs(path);
    showMetafileTab();
}

void TForm1::runEdits() {
    setRunning(true);
    WindowRunProgress progress(progress_, recordsProcessed_, exceptionRecords_,
                               exceptionsReported_);
    try {
        workflow_.runEdits(progress);
    } catch (const std::exception& error) {
        layers_.messages.show(error.what(), "");
    }
    setRunning(false);
    showWorkflow();
}

void TForm1::setRunning(bool running) {
    for (int tab : {kReportTab, kMetafileTab, kAdvancedTab, kDisplayTab})
        tabs_->setTabEnabled(tab, !running);
    browse_->setEnabled(!running);
    openDataFileAction_->setEnabled(!running);
    run_->setVisible(!running);
    run_->setEnabled(!running && workflow_.runEnabled());
    halt_->setVisible(running);
    halt_->setEnabled(running);
}

void TForm1::clearCounters() {
    recordsProcessed_->clear();
    exceptionRecords_->clear();
    exceptionsReported_->clear();
    progress_->setValue(0);
}

void TForm1::showAbout() {
    layers_.messages.show(aboutText(versions_), aboutCaption());
}

void TForm1::showContextHelp() {
    layers_.help.show(helpTopicPath(programFolder_, helpContextOfTab(tabs_->currentIndex())));
}

void TForm1::showProgramHelp() {
    layers_.help.show(helpFilePath(programFolder_));
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A run ends first: the Halt is seen at the next record the run lets the window in.
    if (workflow_.runInProgress()) {
        workflow_.haltRequest();
        event->ignore();
        return;
    }
    workflow_.close();
    event->accept();
}

} // namespace vetra::desktop
