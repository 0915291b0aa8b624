// TForm1, the main window (its widgets, captions and hints are in main_window.ui): five tabs of
// controls that show the main workflow's state and forward every event to it. The window holds
// widgets and wiring only; what an event does is MainWorkflow's. The platform services it uses come
// in as layers, so tests can script them. Its source is in parts: main_window.cpp (construction,
// menus, help, closing), main_window_tabs.cpp (each tab's wiring and display) and
// main_window_actions.cpp (files chosen, the run, the report options after it).
#pragma once

#include "desktop/data/record_display.h"
#include "desktop/reports/report_printer.h"
#include "desktop/windows/edit_option_grid_model.h"
#include "desktop/windows/file_dialogs.h"
#include "desktop/windows/help_viewer.h"
#include "desktop/windows/print_dialog.h"
#include "desktop/windows/record_fields_model.h"
#include "desktop/windows/report_options_dialog.h"
#include "desktop/workflow/about_box.h"
#include "desktop/workflow/main_workflow.h"
#include "platform/message_boxes.h"
#include "platform/shell_open.h"

#include <QMainWindow>
#include <memory>
#include <string>

class QStandardItemModel;
class QStringListModel;

namespace Ui {
class TForm1;
}

namespace vetra::desktop {

struct MainWindowLayers {
    platform::MessageBoxes& messages;
    qt::FileDialogs& files;
    qt::HelpViewer& help;
    qt::PrintDialog& printer;
    platform::ShellOpen& shell;   // hands a CSV report to the spreadsheet program
    ReportPrinter& reportPrinter; // prints from the report viewer
};

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    // `workflow` has started; the window shows what it listed.
    TForm1(MainWorkflow& workflow, const MainWindowLayers& layers, UsedVersions versions,
           std::string sharedFolder, QWidget* parent = nullptr);
    ~TForm1() override;

    // The tabs in their fixed order; hidden tabs keep their index.
    enum Tab { kRunTab, kReportTab, kMetafileTab, kAdvancedTab, kDisplayTab };

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void completeWidgets();
    void completeGrid();
    void connectMenus();
    void connectRunTab();
    void connectReportTab();
    void connectMetafileTab();
    void connectAdvancedTab();
    void connectDisplayTab();
    void tabChanged(int index);

    void showWorkflow();
    void showRunTab();
    void showReportTab();
    void showMetafileTab();
    void showAdvancedTab();
    void showGrid();
    void showDisplay();

    void openDataFile();
    void selectMetafile();
    void selectConfiguration();
    void saveConfigurationAs();
    void runEdits();
    void chooseReportFile();
    void showHelp(const std::string& page);
    // The window's size and place, kept between sessions.
    void restoreWindowGeometry();
    void saveWindowGeometry();
    void showReportOptions();
    void setRunning(bool running);
    void clearCounters();
    void showAbout();
    void showContextHelp();
    void showProgramHelp();

    MainWorkflow& workflow_;
    MainWindowLayers layers_;
    UsedVersions versions_;
    std::string sharedFolder_; // holds the help

    std::unique_ptr<Ui::TForm1> ui_;
    QStringListModel* availableModel_ = nullptr;
    QStringListModel* selectedModel_ = nullptr;
    QStringListModel* sortModel_ = nullptr;
    QStandardItemModel* layoutModel_ = nullptr;
    QStandardItemModel* editSetModel_ = nullptr;
    qt::EditOptionGridModel* gridModel_ = nullptr;
    Ravdisp display_; // the "Display" tab's record browser
    TFormReportOptions reportOptions_;
    qt::RecordFieldsModel* recordFieldsModel_ = nullptr;
    int shownTab_ = kRunTab;
    bool showing_ = false; // the check lists are being filled, not ticked by the user
};

} // namespace vetra::desktop
