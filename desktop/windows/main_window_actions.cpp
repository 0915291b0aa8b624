// TForm1, what the user's choices of files and the run do: the file dialogs, the run with its
// progress and Halt, and the report options dialog after it.
#include "desktop/windows/main_window.h"
#include "desktop/windows/main_window_widgets.h"
#include "platform/file_services.h"
#include "ui_main_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <algorithm>
#include <exception>
#include <limits>

namespace vetra::desktop {

namespace {

// NAACCR XML and gzip-compressed files are read as well as fixed-width ones.
constexpr const char* kDataFileFilter =
    "All Files|*.*|Data Files (.dat, .xcd, .t01)|*.dat;*.xcd;*.t01|Text Files (.txt)|*.txt|"
    "NAACCR XML (.xml, .xml.gz)|*.xml;*.xml.gz|Compressed Files (.gz)|*.gz";
constexpr const char* kReportFileFilter = "Text Reports (.rpt)|*.rpt|All Files|*.*";

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

} // namespace vetra::desktop
