// TForm1, each tab's widgets wired to the workflow and showing what the workflow holds.
#include "desktop/windows/main_window.h"
#include "desktop/windows/main_window_widgets.h"
#include "ui_main_window.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>

namespace vetra::desktop {

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

} // namespace vetra::desktop
