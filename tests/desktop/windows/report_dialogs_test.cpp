// The report options dialog and the report viewer on Qt's offscreen platform, over the results
// of real runs: the controls and their defaults, generating each style and the CSV report, the
// Halt button, paging through the viewer, and printing a page and the whole report to PDF,
// read back with pdftotext.
#include "desktop/windows/qt_report_printer.h"
#include "desktop/windows/report_options_dialog.h"
#include "desktop/windows/report_viewer_dialog.h"
#include "desktop/windows/shell_open.h"
#include "tests/desktop/reports/report_fixture.h"
#include "tests/desktop/windows/modal_dialogs.h"
#include "tests/desktop/windows/report_layers.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QUrl>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>

namespace vetra::testing {
namespace {

using desktop::MainWindowReportTexts;
using desktop::TEditReportDialog;
using desktop::TFormReportOptions;

// The print dialog answered as a user who prints to a PDF file.
class PdfReportPrinter : public desktop::qt::QtReportPrinter {
public:
    PdfReportPrinter(platform::MessageBoxes& messages, std::string path)
        : QtReportPrinter(messages), path_(std::move(path)) {}
    int dialogs = 0;

protected:
    bool confirm(QPrinter& printer) override {
        ++dialogs;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(path_));
        return true;
    }

private:
    std::string path_;
};

// A line as pdftotext gives it back: its words, one blank between them.
std::string words(const std::string& line) {
    std::istringstream stream(line);
    std::string result;
    for (std::string word; stream >> word;)
        result += (result.empty() ? "" : " ") + word;
    return result;
}

// The words of each line of each page of a PDF file, blank lines left out.
std::vector<std::vector<std::string>> pdfPages(const std::string& path) {
    std::vector<std::vector<std::string>> pages;
    FILE* pipe = popen(("pdftotext -layout '" + path + "' - 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return pages;
    std::string text;
    char buffer[4096];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, read);
    pclose(pipe);
    std::vector<std::string> page;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        for (auto formFeed = line.find('\f'); formFeed != std::string::npos;
             formFeed = line.find('\f')) {
            pages.push_back(page);
            page.clear();
            line.erase(0, formFeed + 1);
        }
        if (!words(line).empty()) page.push_back(words(line));
    }
    return pages;
}

// A viewer's lines as pdftotext gives them back.
std::vector<std::string> printedForm(const QString& shown) {
    std::vector<std::string> lines;
    for (const QString& line : shown.split('\n'))
        if (!words(line.toStdString()).empty()) lines.push_back(words(line.toStdString()));
    return lines;
}

template <typename Widget> Widget* part(QWidget& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

class ReportDialogs : public ReportFixture {
protected:
    ReportDialogs() : printer_(reportMessages_, (scratch_.path() / "printed.pdf").string()) {}

    TFormReportOptions& dialog() {
        if (!dialog_)
            dialog_ = std::make_unique<TFormReportOptions>(
                desktop::ReportDialogLayers{reportMessages_, shell_, printer_});
        return *dialog_;
    }
    MainWindowReportTexts texts() const {
        return {"Quarterly", "Second quarter", reportPath(), "20", "25"};
    }
    std::string printed() const { return (scratch_.path() / "printed.pdf").string(); }

    RecordingShell shell_;
    PdfReportPrinter printer_;
    ModalDialogScript modal_;
    std::unique_ptr<TFormReportOptions> dialog_;
};

TEST_F(ReportDialogs, TheDialogShowsTheMainWindowsTextsAndItsDefaults) {
    bool checked = false;
    modal_.whenShown<TFormReportOptions>([&](TFormReportOptions& shown) {
        EXPECT_EQ(shown.windowTitle(), "Report Options");
        EXPECT_EQ(part<QPushButton>(shown, "generate")->shortcut(), QKeySequence("Alt+G"));
        EXPECT_EQ(part<QLineEdit>(shown, "reportTitle")->text(), "Quarterly");
        EXPECT_EQ(part<QLineEdit>(shown, "reportSubtitle")->text(), "Second quarter");
        auto* fileName = part<QLineEdit>(shown, "reportFileName");
        EXPECT_EQ(fileName->text().toStdString(),
                  (scratch_.path() / "report_detailed.rpt").string());
        EXPECT_EQ(part<QLineEdit>(shown, "exceptionRecords")->text(), "20");
        EXPECT_EQ(part<QLineEdit>(shown, "totalExceptions")->text(), "25");
        EXPECT_TRUE(part<QRadioButton>(shown, "formatText")->isChecked());
        EXPECT_TRUE(part<QRadioButton>(shown, "styleDetailed")->isChecked());
        EXPECT_TRUE(part<QRadioButton>(shown, "pageFilled")->isChecked());
        EXPECT_TRUE(part<QCheckBox>(shown, "omitZeroCounts")->isChecked());
        EXPECT_EQ(part<QCheckBox>(shown, "omitZeroCounts")->text(),
                  "Omit Zero Counts from Summary");
        auto* lines = part<QSpinBox>(shown, "linesPerPage");
        EXPECT_EQ(lines->value(), 52);
        EXPECT_EQ(lines->minimum(), 30);
        lines->stepDown();
        EXPECT_EQ(lines->value(), 51);
        EXPECT_EQ(part<QPushButton>(shown, "generate")->text(), "Generate Report");
        EXPECT_EQ(part<QPushButton>(shown, "closeButton")->text(), "Close");

        part<QRadioButton>(shown, "styleSummary")->click();
        EXPECT_EQ(fileName->text().toStdString(),
                  (scratch_.path() / "report_summary.rpt").string());
        part<QRadioButton>(shown, "styleCombined")->click();
        part<QRadioButton>(shown, "formatCsv")->click();
        EXPECT_EQ(fileName->text().toStdString(),
                  (scratch_.path() / "report_combined.csv").string());
        fileName->setText("");
        emit fileName->textEdited("");
        part<QPushButton>(shown, "generate")->click();
        EXPECT_EQ(reportMessages_.shown().back().caption, "No report name specified");
        fileName->setText("/elsewhere/mine.csv");
        emit fileName->textEdited("/elsewhere/mine.csv");
        checked = true;
        part<QPushButton>(shown, "closeButton")->click();
    });
    EXPECT_EQ(dialog().showAfterRun(texts(), inputs()), "/elsewhere/mine.csv");
    EXPECT_TRUE(checked);
}

TEST_F(ReportDialogs, ADetailedReportIsPagedAndPrintedPageByPage) {
    runReportEdits(std::vector<std::string>(12, testRecord("AB", "1", "F")), {"Main"}, {"Sex"});
    QString firstPage;
    std::vector<std::string> pageTwo;
    modal_.whenShown<TEditReportDialog>([&](TEditReportDialog& viewer) {
        EXPECT_EQ(viewer.windowTitle(), "View Edit Report");
        auto* text = part<QPlainTextEdit>(viewer, "reportText");
        auto* page = part<QLineEdit>(viewer, "pageNumber");
        auto* previous = part<QPushButton>(viewer, "previousPage");
        auto* next = part<QPushButton>(viewer, "nextPage");
        EXPECT_EQ(page->text(), "0");
        EXPECT_TRUE(text->toPlainText().contains("Cover Page"));
        EXPECT_FALSE(previous->isEnabled());
        // Every Record: the cover, one page per record, and the text after the last one.
        EXPECT_EQ(part<QLabel>(viewer, "lastPage")->text(), "of 13");
        next->click();
        firstPage = text->toPlainText();
        EXPECT_EQ(page->text(), "1");
        EXPECT_TRUE(previous->isEnabled());
        next->click();
        pageTwo = printedForm(text->toPlainText());
        part<QPushButton>(viewer, "printPage")->click();
        const auto printedPage = pdfPages(printed());
        EXPECT_EQ(printedPage, std::vector<std::vector<std::string>>{pageTwo});

        page->setText("9999");
        emit page->textEdited("9999");
        EXPECT_EQ(page->text(), "13");
        EXPECT_FALSE(next->isEnabled());
        page->setText("x");
        emit page->textEdited("x");
        EXPECT_EQ(page->text(), "x");

        part<QPushButton>(viewer, "printReport")->click();
        const auto printedReport = pdfPages(printed());
        ASSERT_EQ(printedReport.size(), 14u);
        EXPECT_EQ(printedReport[2], pageTwo);
        EXPECT_EQ(printedReport[1], printedForm(firstPage));
        EXPECT_EQ(part<QPushButton>(viewer, "printReport")->text(), " Print The Report");
        part<QPushButton>(viewer, "done")->click();
    });
    modal_.whenShown<TFormReportOptions>([&](TFormReportOptions& shown) {
        part<QRadioButton>(shown, "everyRecord")->click();
        part<QPushButton>(shown, "generate")->click();
        EXPECT_EQ(part<QProgressBar>(shown, "progress")->value(), 12);
        part<QPushButton>(shown, "closeButton")->click();
    });
    dialog().showAfterRun(texts(), inputs());
    EXPECT_TRUE(firstPage.startsWith(" Quarterly"));
    EXPECT_TRUE(firstPage.contains("#1\nSex: F\n"));
    EXPECT_EQ(printer_.dialogs, 2);
    EXPECT_TRUE(reportMessages_.shown().empty());
}

void press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &event);
}

// The viewer is worked from the keyboard: Enter in the page field goes to the page typed there,
// the paging keys move wherever the focus is; a report that ends with a form feed shows no
// empty last page; a line wider than the sheet is printed whole over two printed lines.
TEST_F(ReportDialogs, TheViewerPagesByKeyAndPrintsLongLinesWhole) {
    const std::string longLine = "Message " + std::string(150, 'x') + " END-OF-LINE";
    std::string report = "cover\n";
    for (int page = 1; page <= 5; ++page)
        report += "\fpage " + std::to_string(page) + "\n" + (page == 2 ? longLine + "\n" : "");
    report += "\f\n"; // the trailing form feed of a filled report
    const std::string path = scratch_.write("keys.rpt", report).string();
    TEditReportDialog viewer(reportMessages_, printer_);
    modal_.whenShown<TEditReportDialog>([&](TEditReportDialog& shown) {
        auto* page = part<QLineEdit>(shown, "pageNumber");
        auto* text = part<QPlainTextEdit>(shown, "reportText");
        EXPECT_EQ(part<QLabel>(shown, "lastPage")->text(), "of 5") << "no empty page at the end";
        page->setText("3");
        press(page, Qt::Key_Return);
        EXPECT_EQ(page->text(), "3");
        EXPECT_TRUE(shown.isVisible()) << "Enter pressed no button";
        press(text, Qt::Key_PageDown);
        EXPECT_EQ(page->text(), "4");
        press(text, Qt::Key_PageUp);
        press(text, Qt::Key_PageUp);
        EXPECT_EQ(page->text(), "2");
        press(text, Qt::Key_End);
        EXPECT_EQ(page->text(), "5");
        press(text, Qt::Key_Home);
        EXPECT_EQ(page->text(), "0");
        press(page, Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(page->text(), "5");
        press(page, Qt::Key_Home, Qt::ControlModifier);
        EXPECT_EQ(page->text(), "0");

        page->setText("2");
        press(page, Qt::Key_Enter);
        EXPECT_TRUE(text->toPlainText().contains("END-OF-LINE"));
        part<QPushButton>(shown, "printPage")->click();
        const auto printedPage = pdfPages(printed());
        ASSERT_EQ(printedPage.size(), 1u);
        // Blanks aside, the printed lines after "page 2" hold the long line, in more than one.
        ASSERT_EQ(printedPage[0].front(), "page 2");
        std::string joined;
        for (std::size_t line = 1; line < printedPage[0].size(); ++line)
            joined += printedPage[0][line];
        std::erase(joined, ' ');
        EXPECT_EQ(joined, "Message" + std::string(150, 'x') + "END-OF-LINE");
        EXPECT_EQ(printedPage[0].size(), 3u) << "the long line takes two printed lines";
        part<QPushButton>(shown, "done")->click();
    });
    viewer.showReport(path, true);
}

TEST_F(ReportDialogs, HaltStopsADetailedReportAndKeepsTheDialog) {
    runReportEdits(std::vector<std::string>(40, testRecord("AB", "1", "F")), {"Main"});
    bool viewerShown = false;
    modal_.whenShown<TEditReportDialog>([&](TEditReportDialog& viewer) {
        viewerShown = true;
        viewer.reject();
    });
    QString haltCaption;
    modal_.whenShown<TFormReportOptions>([&](TFormReportOptions& shown) {
        auto* close = part<QPushButton>(shown, "closeButton");
        part<QRadioButton>(shown, "everyEdit")->click();
        // At the first moment the report lets the dialog handle its events.
        QTimer::singleShot(0, &shown, [&] {
            haltCaption = close->text();
            EXPECT_FALSE(part<QPushButton>(shown, "generate")->isEnabled());
            close->click();
        });
        reportMessages_.answerNext(platform::MessageAnswer::Ok);
        part<QPushButton>(shown, "generate")->click();
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(close->text(), "Close");
        close->click();
    });
    dialog().showAfterRun(texts(), inputs());
    EXPECT_EQ(haltCaption, "Halt");
    ASSERT_EQ(reportMessages_.shown().size(), 1u);
    EXPECT_EQ(reportMessages_.shown()[0].caption, "Halt Requested");
    EXPECT_FALSE(viewerShown);
    EXPECT_NE(
        fileContents(scratch_.path() / "report_detailed.rpt").find("*** REPORT INTERRUPTED ***"),
        std::string::npos);
}

TEST_F(ReportDialogs, SummaryAndCombinedReportsOpenTheViewerAndCsvGoesToTheSpreadsheet) {
    runReportEdits({testRecord("AB", "1", "F")}, {"Main"});
    std::vector<QString> viewed;
    for (int shown = 0; shown < 2; ++shown)
        modal_.whenShown<TEditReportDialog>([&](TEditReportDialog& viewer) {
            viewed.push_back(part<QPlainTextEdit>(viewer, "reportText")->toPlainText());
            part<QPushButton>(viewer, "done")->click();
        });
    modal_.whenShown<TFormReportOptions>([&](TFormReportOptions& shown) {
        part<QRadioButton>(shown, "styleSummary")->click();
        part<QPushButton>(shown, "generate")->click();
        part<QRadioButton>(shown, "styleCombined")->click();
        part<QPushButton>(shown, "generate")->click();
        part<QRadioButton>(shown, "formatCsv")->click();
        part<QPushButton>(shown, "generate")->click();
        part<QPushButton>(shown, "closeButton")->click();
    });
    dialog().showAfterRun(texts(), inputs());
    ASSERT_EQ(viewed.size(), 2u);
    EXPECT_TRUE(viewed[0].contains("Cover Page"));
    EXPECT_TRUE(viewed[1].contains("Cover Page"));
    EXPECT_EQ(shell_.opened,
              std::vector<std::string>{(scratch_.path() / "report_combined.csv").string()});
}

// The overview is one HTML page in either format: it goes to the desktop's browser, never to
// the viewer.
TEST_F(ReportDialogs, TheOverviewGoesToTheBrowser) {
    runReportEdits({testRecord("AB", "1", "F")}, {"Main"});
    const std::string page = (scratch_.path() / "report_overview.html").string();
    modal_.whenShown<TFormReportOptions>([&](TFormReportOptions& shown) {
        auto* fileName = part<QLineEdit>(shown, "reportFileName");
        EXPECT_EQ(part<QRadioButton>(shown, "styleOverview")->text(), "Overview");
        part<QRadioButton>(shown, "styleOverview")->click();
        EXPECT_EQ(fileName->text().toStdString(), page);
        part<QRadioButton>(shown, "formatCsv")->click();
        EXPECT_EQ(fileName->text().toStdString(), page);
        part<QPushButton>(shown, "generate")->click();
        part<QPushButton>(shown, "closeButton")->click();
    });
    dialog().showAfterRun(texts(), inputs());
    EXPECT_EQ(shell_.opened, std::vector<std::string>{page});
    EXPECT_TRUE(reportMessages_.shown().empty());
}

class UrlReceiver : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }
};

TEST(DesktopShellOpen, HandsTheFileToTheDesktopAndReportsAMissingOne) {
    ScratchDirectory scratch;
    const std::string csv = scratch.write("report.csv", "a,b\n").string();
    UrlReceiver receiver;
    QDesktopServices::setUrlHandler("file", &receiver, "open");
    std::vector<std::string> asked;
    desktop::qt::DesktopShellOpen shell([&asked](const std::string& mimeType) {
        asked.push_back(mimeType);
        return std::optional<std::string>("calc.desktop");
    });
    EXPECT_EQ(shell.open(csv), platform::kShellOpened);
    EXPECT_EQ(shell.open((scratch.path() / "none.csv").string()), platform::kShellFileNotFound);
    ASSERT_EQ(receiver.opened.size(), 1);
    EXPECT_EQ(receiver.opened[0].toLocalFile().toStdString(), csv);
    EXPECT_EQ(asked, std::vector<std::string>{"text/csv"});

    // A kind no program is set for is reported, and nothing is handed over; a desktop that
    // cannot be asked leaves it to the hand-over itself.
    desktop::qt::DesktopShellOpen unset([](const std::string&) { return std::string(); });
    EXPECT_EQ(unset.open(csv), platform::kShellNoAssociation);
    EXPECT_EQ(receiver.opened.size(), 1);
    desktop::qt::DesktopShellOpen unknown(
        [](const std::string&) { return std::optional<std::string>(); });
    EXPECT_EQ(unknown.open(csv), platform::kShellOpened);
    QDesktopServices::unsetUrlHandler("file");
}

} // namespace
} // namespace vetra::testing

#include "report_dialogs_test.moc"
