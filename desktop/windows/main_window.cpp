#include "desktop/windows/main_window.h"

#include "desktop/windows/main_window_widgets.h"
#include "desktop/workflow/help_topics.h"
#include "ui_main_window.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTabWidget>
#include <QTableView>
#include <utility>

namespace vetra::desktop {

namespace {

constexpr int kEditNameWidth = 300;

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
