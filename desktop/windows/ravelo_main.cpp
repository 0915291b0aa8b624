// ravelo: the desktop program. It loads the engine and the file-information library, reads
// the master configuration, lists the current configuration's metafile and shows the main
// window.
#include "desktop/data/file_information_binding.h"
#include "desktop/run/engine_binding.h"
#include "desktop/run/run_log.h"
#include "desktop/windows/file_dialogs.h"
#include "desktop/windows/help_viewer.h"
#include "desktop/windows/main_window.h"
#include "desktop/windows/message_boxes.h"
#include "desktop/windows/print_dialog.h"
#include "desktop/windows/qt_report_printer.h"
#include "desktop/windows/shell_open.h"
#include "desktop/workflow/about_box.h"
#include "desktop/workflow/help_topics.h"
#include "desktop/workflow/main_workflow.h"
#include "desktop/workflow/program_version.h"
#include "desktop/workflow/staging_library.h"
#include "desktop/workflow/startup_checks.h"
#include "platform/dynamic_library.h"
#include "platform/file_services.h"
#include "platform/program_folders.h"

#include <QApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>

namespace {

constexpr const char* kUsage =
    "Usage: ravelo [--help | --version]\n"
    "\n"
    "Checks NAACCR data files against the edits of a metafile, in a window.\n"
    "The configuration ravelo.ini, the folders it names and the results are kept in the\n"
    "folder named by RAVELO_HOME; else, when installed, ravelo.ini in ~/.config/ravelo\n"
    "and the rest in ~/.local/share/ravelo (XDG_CONFIG_HOME, XDG_DATA_HOME); else in the\n"
    "program's own folder.\n"
    "Runs without a window: ravelo-batch --help.\n";

} // namespace

int main(int argc, char** argv) {
    using namespace vetra;
    using namespace vetra::desktop;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("ravelo %s\n", kProgramVersion);
            return 0;
        }
    }
    QApplication application(argc, argv);
    qt::QtMessageBoxes dialogs;
    platform::MessageBoxes& messages = dialogs;
    RAVfilecheck fileCheck;
    RAVengine engine;
    if (const auto missing = missingLibraryText(engine.loaded(), fileCheck.loaded())) {
        messages.show(*missing, "");
        return 1;
    }
    const platform::ProgramFolders folders = platform::programFolders();
    MainWorkflow workflow(engine, messages, folders);
    if (!workflow.start()) return 1;

    const std::string runLog = workflow.master().reportsFolder + "run_log.txt";
    if (!createRunLog(runLog, {kProgramVersion, kBuildDate, kBuildTime, engine.versionText(),
                               platform::processorCount(), platform::processorArchitecture()}))
        messages.show(runLogProblemText(runLog, errno), "Unable to open log file in TForm1()");
    const std::string helpFile = helpFilePath(folders.shared);
    if (!platform::fileExists(helpFile)) messages.show(helpMissingText(helpFile), "");
    const UsedVersions versions{
        engine.versionNumber(), fileCheck.dllInfoText(),
        stagingLibraryVersion(platform::sharedLibraryFileName(kStagingLibraryName)),
        sqlite3_libversion()};

    qt::QtFileDialogs files;
    qt::HelpWindow help(helpFilePath(folders.shared));
    qt::QtPrintDialog printer;
    qt::DesktopShellOpen shell;
    qt::QtReportPrinter reportPrinter(messages);
    TForm1 window(workflow, {messages, files, help, printer, shell, reportPrinter}, versions,
                  folders.shared);
    dialogs.setParent(&window);
    files.setParent(&window);
    printer.setParent(&window);
    help.setParent(&window);
    reportPrinter.setParent(&window);
    window.show();
    return application.exec();
}
