// The "Display" tab of the main window on Qt's offscreen platform: a generated data file browsed
// through the layout "Test" with every control the tab has, its header clicks, and what the
// user is told when the data file is missing or has changed since it was opened.
#include "desktop/run/engine_binding.h"
#include "desktop/windows/main_window.h"
#include "desktop/workflow/about_box.h"
#include "desktop/workflow/main_workflow.h"
#include "tests/desktop/run/run_fixture.h"
#include "tests/desktop/scripted_message_boxes.h"
#include "tests/desktop/windows/report_layers.h"
#include "tests/support/scratch_directory.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <utility>

namespace vetra::testing {
namespace {

using desktop::TForm1;

// Every dialog answers with the next scripted path, or is cancelled.
class ScriptedOpenDialogs : public desktop::qt::FileDialogs {
public:
    std::string next;
    std::string openFile(const desktop::qt::FileDialogRequest&) override {
        return std::exchange(next, {});
    }
    std::string saveFile(const desktop::qt::FileDialogRequest&) override { return {}; }
};

class NoHelp : public desktop::qt::HelpViewer {
public:
    bool show(const std::string&) override { return false; }
};

class NoPrinter : public desktop::qt::PrintDialog {
public:
    bool print(QWidget&) override { return false; }
};

// Record n carries n in its code (columns 1-2) and its name (columns 17-96).
std::string recordNumbered(int n) {
    const std::string code = std::to_string(n / 10 % 10) + std::to_string(n % 10);
    return testRecord(code, "1", n % 2 == 0 ? "M" : "F", "C509", "Record " + std::to_string(n));
}

std::string recordsNumbered(int count) {
    std::string contents;
    for (int n = 1; n <= count; ++n)
        contents += recordNumbered(n) + "\n";
    return contents;
}

// The open descriptors of this process that name `path`.
int openDescriptorsOf(const std::filesystem::path& path) {
    int count = 0;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ignored))
        if (std::filesystem::read_symlink(entry.path(), ignored) == path) ++count;
    return count;
}

class DisplayTabTest : public ::testing::Test {
protected:
    DisplayTabTest() : folder_(scratch_.path().string() + "/"), engine_(VETRA40_LIBRARY_PATH) {
        const writer::Bytes bytes =
            runTestMetafile({{"Pass", 100, {220}, "return pass;"}}, {{"Main", "", {"Pass"}}})
                .build();
        scratch_.write("first.rmf", std::string(bytes.begin(), bytes.end()));
        scratch_.write("runtime.ini", "[Metafiles]\nMetafile=first.rmf\n[RecordLayouts]\n"
                                      "RecordLayout1=Test\n[EditSets]\nEditSet1=Main\n");
        scratch_.write("ravelo.ini", "[Path]\nMetafile=" + folder_ + "\nConfig=" + folder_ +
                                         "\nDatafile=" + folder_ + "\n");
        workflow_ = std::make_unique<desktop::MainWorkflow>(
            engine_, messages_, platform::ProgramFolders{folder_, folder_, folder_});
        EXPECT_TRUE(workflow_->start());
        window_ = std::make_unique<TForm1>(
            *workflow_,
            desktop::MainWindowLayers{messages_, files_, help_, printer_, shell_, reportPrinter_},
            desktop::UsedVersions{"test", "kz, test", "", "3"}, folder_);
        window_->show();
        tabs_ = child<QTabWidget>("tabs");
        fields_ = child<QTableView>("recordFields");
        number_ = child<QLineEdit>("recordNumber");
        slider_ = child<QSlider>("recordSlider");
    }

    template <typename Widget> Widget* child(const char* name) {
        auto* widget = window_->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    std::filesystem::path chooseDataFile(const std::string& contents,
                                         const std::string& name = "records.dat") {
        const auto path = scratch_.write(name, contents);
        files_.next = path.string();
        child<QPushButton>("browse")->click();
        return path;
    }

    void showTab(int tab) { tabs_->setCurrentIndex(tab); }

    QStringList column(int section) const {
        QStringList texts;
        for (int row = 0; row < fields_->model()->rowCount(); ++row)
            texts.append(fields_->model()->index(row, section).data().toString());
        return texts;
    }

    QString value(const QString& fieldName) const {
        const auto row = column(0).indexOf(fieldName);
        return fields_->model()->index(static_cast<int>(row), 4).data().toString();
    }

    // The record the tab shows, as the list, the field and the slider each tell it.
    void expectRecord(int n) {
        EXPECT_EQ(value("Name").trimmed(), "Record " + QString::number(n));
        EXPECT_EQ(number_->text(), QString::number(n));
        EXPECT_EQ(slider_->value(), n - 1);
    }

    void clickHeader(int section) {
        QHeaderView* header = fields_->horizontalHeader();
        const QPointF at(header->sectionViewportPosition(section) +
                             header->sectionSize(section) / 2,
                         header->height() / 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, header->viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, header->viewport()->mapToGlobal(at),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(header->viewport(), &press);
        QApplication::sendEvent(header->viewport(), &release);
    }

    // Types `text` into "Record Number" over what it held, then Return.
    void typeRecordNumber(const QString& text) {
        number_->selectAll();
        for (const QChar character : text) {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
            QApplication::sendEvent(number_, &key);
        }
        if (text.isEmpty()) number_->del();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(number_, &enter);
    }

    ScratchDirectory scratch_;
    std::string folder_;
    desktop::RAVengine engine_;
    ScriptedMessageBoxes messages_;
    ScriptedOpenDialogs files_;
    NoHelp help_;
    NoPrinter printer_;
    RecordingShell shell_;
    CancelledReportPrinter reportPrinter_;
    std::unique_ptr<desktop::MainWorkflow> workflow_;
    std::unique_ptr<TForm1> window_;
    QTabWidget* tabs_ = nullptr;
    QTableView* fields_ = nullptr;
    QLineEdit* number_ = nullptr;
    QSlider* slider_ = nullptr;
};

const QStringList kByColumn = {"Code", "Registry",       "Sex",  "Date", "Site",
                               "Name", "Over-ride Site", "Extra"};

TEST_F(DisplayTabTest, ListsTheFieldsOfRecordOneInAReadOnlyGrid) {
    chooseDataFile(recordsNumbered(30));
    showTab(TForm1::kDisplayTab);
    QStringList titles;
    for (int section = 0; section < fields_->model()->columnCount(); ++section)
        titles.append(fields_->model()->headerData(section, Qt::Horizontal).toString());
    EXPECT_EQ(titles, (QStringList{"Field Name", "Column", "Length", "Item #", "Field Value"}));
    const int widths[] = {200, 50, 50, 50, 300};
    for (int section = 0; section < 5; ++section)
        EXPECT_EQ(fields_->columnWidth(section), widths[section]) << section;
    fields_->setColumnWidth(4, 600);
    EXPECT_LE(fields_->columnWidth(4), 400);
    EXPECT_TRUE(fields_->showGrid());
    EXPECT_EQ(fields_->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(fields_->model()->flags(fields_->model()->index(0, 4)) & Qt::ItemIsEditable);

    EXPECT_EQ(column(0), kByColumn);
    EXPECT_EQ(column(1), (QStringList{"1", "3", "4", "5", "13", "17", "97", "98"}));
    EXPECT_EQ(column(2), (QStringList{"2", "1", "1", "8", "4", "80", "1", "1"}));
    EXPECT_EQ(column(3), (QStringList{"10", "485", "220", "390", "400", "2230", "1990", "1991"}));
    EXPECT_EQ(value("Code"), "01");
    EXPECT_EQ(value("Sex"), "F");
    EXPECT_EQ(value("Date"), "20051231");
    expectRecord(1);
    EXPECT_EQ(slider_->minimum(), 0);
    EXPECT_EQ(slider_->maximum(), 29);
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(DisplayTabTest, EveryStepButtonMovesByItsTagWithinTheFile) {
    chooseDataFile(recordsNumbered(2500));
    showTab(TForm1::kDisplayTab);
    struct Step {
        const char* button;
        const char* text;
        int shows;
    };
    const Step steps[] = {{"forwardBy1", ">", 2},     {"forwardBy10", "X", 12},
                          {"forwardBy100", "C", 112}, {"forwardBy1000", "M", 1112},
                          {"backBy1", "<", 1111},     {"backBy10", "X", 1101},
                          {"backBy100", "C", 1001},   {"backBy1000", "M", 1}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.button);
        auto* button = child<QPushButton>(step.button);
        EXPECT_EQ(button->text(), step.text);
        button->click();
        expectRecord(step.shows);
    }
    child<QPushButton>("backBy1")->click();
    expectRecord(1);
    for (int click = 0; click < 3; ++click)
        child<QPushButton>("forwardBy1000")->click();
    expectRecord(2500);
    child<QPushButton>("forwardBy1")->click();
    expectRecord(2500);
}

TEST_F(DisplayTabTest, TheSliderAndATypedNumberJumpToARecord) {
    chooseDataFile(recordsNumbered(50));
    showTab(TForm1::kDisplayTab);
    slider_->setValue(41);
    expectRecord(42);
    slider_->triggerAction(QAbstractSlider::SliderToMaximum);
    expectRecord(50);
    slider_->triggerAction(QAbstractSlider::SliderSingleStepSub);
    expectRecord(49);

    typeRecordNumber("17");
    expectRecord(17);
    EXPECT_EQ(value("Code"), "17");
    for (const char* refused : {"0", "51", "12a", "", "-3"}) {
        SCOPED_TRACE(refused);
        typeRecordNumber(refused);
        expectRecord(17);
    }
    typeRecordNumber("50");
    expectRecord(50);
}

TEST_F(DisplayTabTest, HeaderClicksSortByTheFirstFourColumnsUntilTheTabIsShownAgain) {
    chooseDataFile(recordsNumbered(5));
    showTab(TForm1::kDisplayTab);
    child<QPushButton>("forwardBy1")->click();

    clickHeader(0);
    EXPECT_EQ(column(0), (QStringList{"Code", "Date", "Extra", "Name", "Over-ride Site", "Registry",
                                      "Sex", "Site"}));
    EXPECT_EQ(value("Sex"), "M"); // each row keeps its value
    clickHeader(3);
    EXPECT_EQ(column(0), (QStringList{"Code", "Sex", "Date", "Site", "Registry", "Over-ride Site",
                                      "Extra", "Name"}));
    clickHeader(1);
    EXPECT_EQ(column(0), kByColumn);
    clickHeader(2);
    EXPECT_EQ(column(2), (QStringList{"1", "1", "1", "1", "2", "4", "8", "80"}));
    const QStringList byLength = column(0);
    clickHeader(4);
    EXPECT_EQ(column(0), byLength);

    child<QPushButton>("forwardBy1")->click(); // moving keeps the order
    EXPECT_EQ(column(0), byLength);
    expectRecord(3);
    showTab(TForm1::kRunTab);
    showTab(TForm1::kDisplayTab);
    EXPECT_EQ(column(0), kByColumn);
}

TEST_F(DisplayTabTest, WithoutAnInspectedDataFileTheListStaysEmpty) {
    showTab(TForm1::kDisplayTab);
    EXPECT_EQ(fields_->model()->rowCount(), 0);
    EXPECT_EQ(number_->text(), "");
    child<QPushButton>("forwardBy1")->click();
    typeRecordNumber("1");
    EXPECT_EQ(fields_->model()->rowCount(), 0);
    EXPECT_EQ(number_->text(), "");
    showTab(TForm1::kRunTab);

    // A file chosen after this one fails its inspection: the display does not read it with
    // the record length of the file before.
    chooseDataFile(recordsNumbered(3));
    chooseDataFile("too short\n", "short.dat");
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "Datafile too short to contain version number.");
    showTab(TForm1::kDisplayTab);
    EXPECT_EQ(fields_->model()->rowCount(), 0);
    EXPECT_EQ(messages_.shown().size(), 1u);
}

TEST_F(DisplayTabTest, TheFileIsOpenOnlyWhileTheTabIsShown) {
    const auto path = chooseDataFile(recordsNumbered(3));
    EXPECT_EQ(openDescriptorsOf(path), 0);
    showTab(TForm1::kDisplayTab);
    EXPECT_EQ(openDescriptorsOf(path), 1);
    showTab(TForm1::kRunTab);
    EXPECT_EQ(openDescriptorsOf(path), 0);
    EXPECT_EQ(fields_->model()->rowCount(), 0);

    showTab(TForm1::kDisplayTab);
    files_.next.clear();
    QAction* open = nullptr;
    for (QAction* action : window_->findChildren<QAction*>())
        if (action->text() == "&Open Data File") open = action;
    ASSERT_NE(open, nullptr);
    open->trigger(); // cancelled: nothing changes
    EXPECT_EQ(openDescriptorsOf(path), 1);
    EXPECT_EQ(fields_->model()->rowCount(), 8);
    files_.next = (std::filesystem::path(path).parent_path() / "other.dat").string();
    std::filesystem::copy_file(path, files_.next);
    open->trigger(); // choosing a data file closes the one the tab holds
    EXPECT_EQ(openDescriptorsOf(path), 0);
}

TEST_F(DisplayTabTest, AVanishedOrChangedFileIsToldOnEachEntry) {
    const auto path = chooseDataFile(recordsNumbered(30));
    std::filesystem::remove(path);
    showTab(TForm1::kDisplayTab);
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text,
              "Unable to open datafile " + path.string() + ": No such file or directory.");
    EXPECT_EQ(fields_->model()->rowCount(), 0);
    showTab(TForm1::kRunTab);

    scratch_.write("records.dat", recordsNumbered(10));
    showTab(TForm1::kDisplayTab);
    ASSERT_EQ(messages_.shown().size(), 2u);
    EXPECT_EQ(messages_.shown()[1].text,
              "The data file " + path.string() +
                  " has changed since it was opened (it now holds 990 bytes, not 2970); open it "
                  "again to see its records as they are now.");
    EXPECT_EQ(messages_.shown()[1].caption, "");
    expectRecord(1);
    EXPECT_EQ(slider_->maximum(), 29); // the records counted when it was opened
    child<QPushButton>("forwardBy1000")->click();
    EXPECT_EQ(number_->text(), "30");
    EXPECT_EQ(value("Name"), "");
    EXPECT_EQ(messages_.shown().size(), 2u);

    chooseDataFile(recordsNumbered(10)); // opened again: as it is now
    showTab(TForm1::kRunTab);
    showTab(TForm1::kDisplayTab);
    EXPECT_EQ(slider_->maximum(), 9);
    EXPECT_EQ(messages_.shown().size(), 2u);
}

// The last record without its terminator and cut inside the name: what is there, then nothing.
TEST_F(DisplayTabTest, AShortLastRecordShowsWhatItHolds) {
    chooseDataFile(recordsNumbered(3) + recordNumbered(4).substr(0, 24));
    showTab(TForm1::kDisplayTab);
    EXPECT_EQ(slider_->maximum(), 3);
    child<QPushButton>("forwardBy1000")->click();
    EXPECT_EQ(number_->text(), "4");
    EXPECT_EQ(value("Code"), "04");
    EXPECT_EQ(value("Site"), "C509");
    EXPECT_EQ(value("Name"), "Record 4");
    EXPECT_EQ(value("Extra"), "");
    child<QPushButton>("backBy1")->click();
    expectRecord(3);
    EXPECT_EQ(value("Extra"), " ");
    EXPECT_TRUE(messages_.shown().empty());
}

} // namespace
} // namespace vetra::testing
