// TForm1, the main window: five tabs of controls that show the main workflow's state and
// forward every event to it. The window holds widgets and wiring only; what an event does is
// MainWorkflow's. The platform services it uses come in as layers, so tests can script them.
#pragma once

#include "desktop/qt/file_dialogs.h"
#include "desktop/qt/help_viewer.h"
#include "desktop/qt/print_dialog.h"
#include "desktop/shell/about_box.h"
#include "desktop/shell/main_workflow.h"
#include "platform/message_boxes.h"

#include <QMainWindow>
#include <string>

class QAction;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QToolButton;

namespace vetra::desktop {

struct MainWindowLayers {
    platform::MessageBoxes& messages;
    qt::FileDialogs& files;
    qt::HelpViewer& help;
    qt::PrintDialog& printer;
};

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    // `workflow` has started; the window shows what it listed.
    TForm1(MainWorkflow& workflow, const MainWindowLayers& layers, UsedVersions versions,
           std::string programFolder, QWidget* parent = nullptr);

    // The tabs in their fixed order; hidden tabs keep their index.
    enum Tab { kRunTab, kReportTab, kMetafileTab, kAdvancedTab, kDisplayTab };

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* createRunTab();
    QWidget* createReportTab();
    QWidget* createMetafileTab();
    QWidget* createAdvancedTab();
    QWidget* createDisplayTab();
    void createMenus();
    void connectRunTab();
    void connectReportTab();
    void connectMetafileTab();
    void connectAdvancedTab();

    void showWorkflow();
    void showRunTab();
    void showReportTab();
    void showMetafileTab();
    void showGrid();

    void openDataFile();
    void selectMetafile();
    void selectConfiguration();
    void saveConfigurationAs();
    void runEdits();
    void setRunning(bool running);
    void clearCounters();
    void showAbout();
    void showContextHelp();
    void showProgramHelp();

    MainWorkflow& workflow_;
    MainWindowLayers layers_;
    UsedVersions versions_;
    std::string programFolder_;

    QTabWidget* tabs_ = nullptr;

    // "Select File and Run"
    QLineEdit* metafileName_ = nullptr;
    QLineEdit* recordLayout_ = nullptr;
    QLineEdit* editSetsShown_ = nullptr;
    QLineEdit* dataFileName_ = nullptr;
    QPushButton* browse_ = nullptr;
    QLineEdit* recordType_ = nullptr;
    QLineEdit* naaccrVersion_ = nullptr;
    QLineEdit* fileDate_ = nullptr;
    QLineEdit* fileSize_ = nullptr;
    QLineEdit* recordCount_ = nullptr;
    QLineEdit* recordLength_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLineEdit* recordsProcessed_ = nullptr;
    QLineEdit* exceptionRecords_ = nullptr;
    QLineEdit* exceptionsReported_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* halt_ = nullptr;
    QPushButton* exit_ = nullptr;
    QToolButton* logo_ = nullptr;

    // "&Report Configuration"
    QListWidget* availableFields_ = nullptr;
    QListWidget* selectedFields_ = nullptr;
    QListWidget* sortFields_ = nullptr;
    QToolButton* addSelected_ = nullptr;
    QToolButton* removeSelected_ = nullptr;
    QToolButton* selectedUp_ = nullptr;
    QToolButton* selectedDown_ = nullptr;
    QToolButton* addSort_ = nullptr;
    QToolButton* removeSort_ = nullptr;
    QToolButton* sortUp_ = nullptr;
    QToolButton* sortDown_ = nullptr;
    QLineEdit* reportFileName_ = nullptr;
    QLineEdit* reportTitle_ = nullptr;
    QLineEdit* reportSubtitle_ = nullptr;

    // "&Metafile Selections"
    QLineEdit* configurationFile_ = nullptr;
    QPushButton* selectConfiguration_ = nullptr;
    QLineEdit* metafilePath_ = nullptr;
    QPushButton* selectMetafile_ = nullptr;
    QListWidget* layouts_ = nullptr;
    QListWidget* editSets_ = nullptr;
    QCheckBox* skipEmpty_ = nullptr;
    QCheckBox* skipFailed_ = nullptr;
    QCheckBox* suppressWarnings_ = nullptr;
    QLineEdit* recordsToEdit_ = nullptr;
    QLineEdit* startRecord_ = nullptr;
    QCheckBox* countsOnly_ = nullptr;

    // "&Advanced Configuration"
    QTableWidget* grid_ = nullptr;

    QAction* openDataFileAction_ = nullptr;
};

} // namespace vetra::desktop
