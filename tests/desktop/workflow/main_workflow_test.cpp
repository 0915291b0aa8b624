// The main window's workflow: start-up from the two configuration files, the listing with the
// user's ticks, selecting metafiles and configurations, the option grid, the report fields,
// the range, the data file, whole runs with Halt, and saving.
#include "desktop/data/data_file_fit.h"
#include "desktop/workflow/metafile_session.h"
#include "platform/profile_file.h"
#include "tests/desktop/run/run_fixture.h"
#include "tests/desktop/workflow/main_workflow_fixture.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <zlib.h>

namespace {

namespace desktop = vetra::desktop;
using Answer = vetra::platform::MessageAnswer;
using vetra::platform::MessageButtons;
using vetra::platform::ProfileFile;
using vetra::testing::HaltingProgress;
using vetra::testing::marks;
using vetra::testing::RecordingProgress;
using vetra::testing::ResultsFile;
using vetra::testing::Rows;
using vetra::testing::sorted;
using Names = std::vector<std::string>;

std::size_t indexOf(const desktop::CheckList& list, const std::string& name) {
    const auto found = std::find(list.names.begin(), list.names.end(), name);
    EXPECT_NE(found, list.names.end()) << name;
    return static_cast<std::size_t>(found - list.names.begin());
}

std::size_t rowOf(const desktop::EditOptionGrid& grid, const std::string& edit) {
    for (std::size_t row = 0; row < grid.rows().size(); ++row)
        if (grid.rows()[row].editName == edit) return row;
    ADD_FAILURE() << "no grid row " << edit;
    return 0;
}

// Each grid row as "name:marks", in grid order.
Names gridMarks(const desktop::EditOptionGrid& grid) {
    Names rows;
    for (const auto& row : grid.rows())
        rows.push_back(row.editName + ":" + marks(row));
    return rows;
}

std::vector<int> totals(const desktop::EditOptionGrid& grid) {
    std::vector<int> columns;
    for (int column = desktop::kUseEditSetOptions; column <= desktop::kNoSkips; ++column)
        columns.push_back(grid.columnTotal(column));
    return columns;
}

class MainWorkflowTest : public vetra::testing::MainWorkflowFixture {
protected:
    void SetUp() override { writeInstallation(); }
};

// --- Start-up ----------------------------------------------------------------------------

TEST_F(MainWorkflowTest, StartListsTheMetafileAndTicksWhatTheConfigurationNames) {
    const auto workflow = started();
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_EQ(workflow->metafileShown(), "first.rmf");
    EXPECT_EQ(workflow->metafilePath(), path("first.rmf"));
    EXPECT_EQ(workflow->currentConfigurationPath(), path("runtime.ini"));

    EXPECT_EQ(sorted(workflow->layouts().names), (Names{"Test", "Wide"}));
    EXPECT_EQ(workflow->layouts().tickedNames(), Names{"Test"});
    EXPECT_EQ(workflow->recordLayoutShown(), "Test");
    EXPECT_EQ(workflow->largestRecordLength(), vetra::testing::kTestRecordLength);
    EXPECT_EQ(workflow->layoutFields().size(), 8u);

    EXPECT_EQ(sorted(workflow->editSets().tickedNames()), (Names{"Extra", "Main"}));
    const std::string shown = workflow->editSetsShown();
    EXPECT_TRUE(shown == "Main + Extra" || shown == "Extra + Main") << shown;

    // The configured order of the identification fields is kept; "Name" sorts but is not
    // selected, so it is dropped.
    EXPECT_EQ(workflow->fields().selected(), (Names{"Sex", "Code", "Registry"}));
    EXPECT_EQ(workflow->fields().sort(), (Names{"Sex", "Registry"}));
    EXPECT_EQ(workflow->fields().available(),
              (Names{"Date", "Extra", "Name", "Over-ride Site", "Site"}));

    EXPECT_EQ(gridMarks(workflow->grid()),
              (Names{"Code Check:00001", "Sex Check:01000", "Site Check:00110"}));
    EXPECT_EQ(totals(workflow->grid()), (std::vector<int>{0, 1, 1, 1, 1}));

    EXPECT_TRUE(workflow->skipEmpty());
    EXPECT_FALSE(workflow->skipFailed());
    EXPECT_FALSE(workflow->suppressWarnings());
    EXPECT_EQ(workflow->globalOptions(), 1);

    EXPECT_FALSE(workflow->configurationChanged());
    EXPECT_FALSE(workflow->runEnabled()) << "no data file is chosen at start";
    EXPECT_EQ(workflow->reportFileName(), folder() + "reports/Ravelo.rpt");
    EXPECT_TRUE(std::filesystem::is_directory(folder() + "query"));
}

TEST_F(MainWorkflowTest, AMissingMetafileAtStartIsNamedAndNothingIsListed) {
    writeConfiguration("runtime.ini", "[Metafiles]\nMetafile=gone.rmf\n[EditSets]\nE1=Main\n");
    const auto workflow = started();
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, desktop::metafileMissingText(path("gone.rmf")));
    EXPECT_EQ(messages_.shown()[0].caption, "The Metafile Requested Was Not Found");
    EXPECT_TRUE(workflow->layouts().names.empty());
    EXPECT_TRUE(workflow->editSets().names.empty());
    EXPECT_EQ(workflow->recordLayoutShown(), "");
    EXPECT_EQ(workflow->editSetsShown(), "");

    workflow->chooseDataFile(writeDataFile("abc.dat", 3));
    EXPECT_FALSE(workflow->runEnabled());
}

// The metafile's name is joined to the metafile folder; one that would leave it is not used,
// even when the file it names exists.
TEST_F(MainWorkflowTest, AMetafileNameThatLeavesTheFolderIsToldAndNotUsed) {
    std::filesystem::create_directories(folder() + "drop");
    std::filesystem::copy_file(path("first.rmf"), path("drop/first.rmf"));
    writeConfiguration("elsewhere.ini",
                       "[Metafiles]\nMetafile=drop/first.rmf\n[EditSets]\nE1=Main\n");
    const std::string roundAbout =
        "../" + std::filesystem::path(folder()).parent_path().filename().string() + "/first.rmf";
    writeConfiguration("runtime.ini",
                       "[Metafiles]\nMetafile=" + roundAbout + "\n[EditSets]\nE1=Main\n");
    const auto workflow = started();
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].caption, "File Name Not Used");
    EXPECT_EQ(messages_.shown()[0].text,
              "The configuration file " + path("runtime.ini") + " names the metafile '" +
                  roundAbout +
                  "' under [Metafiles] Metafile; a name there must be a plain file name in the "
                  "metafile folder, without '/' and not '.' or '..'.");
    EXPECT_EQ(workflow->metafilePath(), "");
    EXPECT_EQ(workflow->metafileShown(), "");
    EXPECT_TRUE(workflow->editSets().names.empty());

    workflow->selectConfiguration(path("elsewhere.ini"));
    ASSERT_EQ(messages_.shown().size(), 2u);
    EXPECT_EQ(messages_.shown()[1].text,
              "The configuration file " + path("elsewhere.ini") +
                  " names the metafile 'drop/first.rmf' under [Metafiles] Metafile; a name there "
                  "must be a plain file name in the metafile folder, without '/' and not '.' or "
                  "'..'.");
    EXPECT_EQ(workflow->metafilePath(), "");
    EXPECT_TRUE(workflow->layouts().names.empty());

    // A metafile the user chose in the dialog may be anywhere.
    workflow->selectMetafile(path("drop/first.rmf"));
    EXPECT_EQ(workflow->metafilePath(), path("drop/first.rmf"));
    EXPECT_FALSE(workflow->layouts().names.empty());
}

TEST_F(MainWorkflowTest, MasterFileNamesThatLeaveTheirFoldersAreToldAndTheDefaultsUsed) {
    writeMaster("[Config]\nCurrent=/tmp/runtime.ini\n[Report]\nFilename=../Ravelo.rpt\n");
    const auto workflow = started();
    ASSERT_EQ(captionsShown(), (Names{"File Name Not Used", "File Name Not Used"}));
    EXPECT_NE(messages_.shown()[0].text.find("names the current configuration '/tmp/runtime.ini'"),
              std::string::npos);
    EXPECT_NE(messages_.shown()[1].text.find("names the report file '../Ravelo.rpt'"),
              std::string::npos);
    EXPECT_EQ(workflow->currentConfigurationPath(), path("runtime.ini"));
    EXPECT_EQ(workflow->reportFileName(), folder() + "reports/Ravelo.rpt");
    EXPECT_EQ(workflow->metafilePath(), path("first.rmf"));
}

TEST_F(MainWorkflowTest, AMissingConfigurationTicksNothingAndTakesTheDefaults) {
    std::filesystem::remove(path("runtime.ini"));
    const auto workflow = started();
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_EQ(workflow->metafilePath(), "");
    EXPECT_TRUE(workflow->layouts().names.empty());
    EXPECT_EQ(workflow->globalOptions(), 2 | 128);
}

// --- Layouts, metafiles and configurations -------------------------------------------------

TEST_F(MainWorkflowTest, TickingASecondLayoutUnticksTheFirstAndKeepsTheFieldsItHas) {
    const auto workflow = started();
    workflow->setLayoutTicked(indexOf(workflow->layouts(), "Wide"), true);
    EXPECT_EQ(workflow->layouts().tickedNames(), Names{"Wide"});
    EXPECT_EQ(workflow->recordLayoutShown(), "Wide");
    EXPECT_TRUE(workflow->configurationChanged());
    ASSERT_EQ(workflow->layoutFields().size(), 9u);
    const desktop::fld_desc& alpha = workflow->layoutFields()[3];
    EXPECT_EQ(alpha.name, "Alpha");
    EXPECT_EQ(alpha.startColumn, 8);
    EXPECT_EQ(alpha.length, 1);
    EXPECT_EQ(alpha.itemNumber, 501);
    // "Wide" has no Registry: it leaves the selected and the sort list and is not available.
    EXPECT_EQ(workflow->fields().selected(), (Names{"Sex", "Code"}));
    EXPECT_EQ(workflow->fields().sort(), Names{"Sex"});
    EXPECT_EQ(workflow->fields().available(),
              (Names{"Alpha", "Beta", "Delta", "Epsilon", "Gamma", "Site", "Zeta"}));

    // Records of "Test" do not fit "Wide": the user is told once and Run stays disabled until
    // the layout they fit is ticked.
    workflow->chooseDataFile(writeDataFile("abc.dat", 3));
    EXPECT_FALSE(workflow->runEnabled());
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].caption, "Problem With Data File");
    EXPECT_NE(messages_.shown()[0].text.find("does not fit the record layout Wide: its records "
                                             "are 99 characters long"),
              std::string::npos)
        << messages_.shown()[0].text;
    workflow->setLayoutTicked(indexOf(workflow->layouts(), "Test"), true);
    EXPECT_TRUE(workflow->runEnabled());
    workflow->setLayoutTicked(indexOf(workflow->layouts(), "Wide"), true);
    EXPECT_FALSE(workflow->runEnabled());
    EXPECT_EQ(messages_.shown().size(), 2u) << "leaving a layout the file fits is told";
    workflow->setLayoutTicked(indexOf(workflow->layouts(), "Wide"), false);
    EXPECT_TRUE(workflow->layouts().tickedNames().empty());
    EXPECT_EQ(workflow->recordLayoutShown(), "");
    EXPECT_FALSE(workflow->runEnabled()) << "no layout is ticked";
}

TEST_F(MainWorkflowTest, SelectingAnotherMetafileKeepsTheChoicesItAlsoHas) {
    const auto workflow = started();
    workflow->selectMetafile(path("second.rmf"));
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_EQ(workflow->metafilePath(), path("second.rmf"));
    EXPECT_EQ(workflow->metafileShown(), path("second.rmf"));
    EXPECT_EQ(workflow->master().metafileFolder, folder());
    EXPECT_TRUE(workflow->configurationChanged());

    EXPECT_EQ(workflow->layouts().tickedNames(), Names{"Test"});
    EXPECT_EQ(workflow->largestRecordLength(), 7);
    EXPECT_EQ(workflow->fields().selected(), (Names{"Sex", "Code"}));
    EXPECT_EQ(workflow->fields().sort(), Names{"Sex"});
    EXPECT_EQ(workflow->fields().available(), Names{"Site"});

    EXPECT_EQ(sorted(workflow->editSets().names), (Names{"Main", "Second"}));
    EXPECT_EQ(workflow->editSets().tickedNames(), Names{"Main"});
    EXPECT_EQ(workflow->editSetsShown(), "Main");
    EXPECT_EQ(gridMarks(workflow->grid()), (Names{"Other Check:10000", "Sex Check:01000"}));
    EXPECT_EQ(totals(workflow->grid()), (std::vector<int>{1, 1, 0, 0, 0}));
}

TEST_F(MainWorkflowTest, SelectingAConfigurationReplacesEverything) {
    const auto workflow = started();
    const std::string other = writeConfiguration("other.ini", R"([Metafiles]
Metafile=second.rmf
SkipEmpty=0
SkipFailed=1
SuppressWarnings=1
[RecordLayouts]
RecordLayout1=Test
[EditSets]
EditSet1=Second
[EditOptions]
Other Check=1
[FieldsSelected]
Field1=Site
)");
    workflow->selectConfiguration(other);
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_EQ(workflow->currentConfigurationPath(), other);
    EXPECT_EQ(workflow->metafileShown(), "second.rmf");
    EXPECT_EQ(workflow->layouts().tickedNames(), Names{"Test"});
    EXPECT_EQ(workflow->editSets().tickedNames(), Names{"Second"});
    EXPECT_EQ(workflow->fields().selected(), Names{"Site"});
    EXPECT_TRUE(workflow->fields().sort().empty());
    EXPECT_EQ(gridMarks(workflow->grid()), Names{"Other Check:00100"});
    EXPECT_EQ(workflow->globalOptions(), 2 | 128);
    EXPECT_TRUE(workflow->configurationChanged());

    // A configuration without a metafile leaves nothing of the one before.
    workflow->selectConfiguration(writeConfiguration("empty.ini", "[Layout]\nVersion=1\n"));
    EXPECT_EQ(workflow->metafilePath(), "");
    EXPECT_EQ(workflow->metafileShown(), "");
    EXPECT_EQ(workflow->recordLayoutShown(), "");
    EXPECT_EQ(workflow->editSetsShown(), "");
    EXPECT_TRUE(workflow->layouts().tickedNames().empty());
    EXPECT_TRUE(workflow->fields().selected().empty());
    EXPECT_TRUE(workflow->grid().rows().empty());
    workflow->chooseDataFile(writeDataFile("abc.dat", 3));
    EXPECT_FALSE(workflow->runEnabled());
}

// --- Edit sets -----------------------------------------------------------------------------

TEST_F(MainWorkflowTest, EditSetsCannotBeTickedWithoutAMetafile) {
    const auto workflow = started();
    workflow->selectConfiguration(writeConfiguration("empty.ini", "[Layout]\nVersion=1\n"));
    workflow->setEditSetTicked(0, true);
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text,
              "A Metafile must be selected before the edit set selection can be changed.");
    EXPECT_TRUE(workflow->editSets().tickedNames().empty());
}

TEST_F(MainWorkflowTest, EditSetsCannotBeTickedWhenTheMetafileHasGone) {
    const auto workflow = started();
    std::filesystem::remove(path("first.rmf"));
    const std::size_t extra = indexOf(workflow->editSets(), "Extra");
    workflow->setEditSetTicked(extra, false);
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, desktop::metafileMissingText(path("first.rmf")));
    EXPECT_EQ(messages_.shown()[0].caption, "The Metafile Requested Was Not Found");
    EXPECT_TRUE(workflow->editSets().ticked[extra]);
    EXPECT_EQ(workflow->grid().rows().size(), 3u);
}

TEST_F(MainWorkflowTest, TickingEditSetsRebuildsTheGridKeepingTheMarksOfEditsThatStay) {
    const auto workflow = started();
    workflow->chooseDataFile(writeDataFile("abc.dat", 3));
    const std::size_t extra = indexOf(workflow->editSets(), "Extra");
    const std::size_t main = indexOf(workflow->editSets(), "Main");

    workflow->setEditSetTicked(extra, false);
    EXPECT_EQ(workflow->editSetsShown(), "Main");
    EXPECT_EQ(gridMarks(workflow->grid()), (Names{"Code Check:00001", "Sex Check:01000"}));
    EXPECT_TRUE(workflow->configurationChanged());

    // Site Check comes back as a new row, with its edit set's options.
    workflow->setEditSetTicked(extra, true);
    EXPECT_EQ(gridMarks(workflow->grid()),
              (Names{"Code Check:00001", "Sex Check:01000", "Site Check:10000"}));
    // ... and the run applies what the grid shows.
    EXPECT_EQ(workflow->editOptions(),
              (vetra::desktop::EditOptionList{{"Code Check", "0"}, {"Sex Check", "8"}}));

    EXPECT_TRUE(workflow->runEnabled());
    workflow->setEditSetTicked(main, false);
    workflow->setEditSetTicked(extra, false);
    EXPECT_TRUE(workflow->grid().rows().empty());
    EXPECT_EQ(workflow->editSetsShown(), "");
    EXPECT_FALSE(workflow->runEnabled());
}

// --- The option grid -----------------------------------------------------------------------

// How clicks combine is edit_option_grid_test's; the workflow passes them on.
TEST_F(MainWorkflowTest, AGridClickChangesTheConfiguration) {
    const auto workflow = started();
    workflow->clickGridCell(rowOf(workflow->grid(), "Code Check"), desktop::kUseEditSetOptions);
    EXPECT_TRUE(workflow->configurationChanged());
    EXPECT_EQ(marks(workflow->grid().rows()[rowOf(workflow->grid(), "Code Check")]), "10000");
}

TEST_F(MainWorkflowTest, DoubleClickingTheTopCellAsksAndMovesEveryMarkOnYes) {
    const auto workflow = started();
    const Names before = gridMarks(workflow->grid());
    EXPECT_FALSE(workflow->doubleClickTopCell(0)); // the names' column asks nothing
    EXPECT_FALSE(workflow->doubleClickTopCell(desktop::kSuppressEdit));
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text,
              "By double-clicking the top cell of this column you can\ncause all 'yes' "
              "indicators to be moved here.  Is that\nwhat you want?");
    EXPECT_EQ(messages_.shown()[0].caption, "Resetting Options");
    EXPECT_EQ(messages_.shown()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(gridMarks(workflow->grid()), before) << "No changes nothing";
    EXPECT_FALSE(workflow->configurationChanged());

    messages_.answerNext(Answer::Yes);
    EXPECT_TRUE(workflow->doubleClickTopCell(desktop::kSuppressEdit));
    EXPECT_EQ(gridMarks(workflow->grid()),
              (Names{"Code Check:01000", "Sex Check:01000", "Site Check:01000"}));
    EXPECT_EQ(totals(workflow->grid()), (std::vector<int>{0, 3, 0, 0, 0}));
    EXPECT_TRUE(workflow->configurationChanged());
}

// --- Report fields and range ---------------------------------------------------------------

TEST_F(MainWorkflowTest, ANinthIdentificationFieldIsRefused) {
    const auto workflow = started();
    workflow->setLayoutTicked(indexOf(workflow->layouts(), "Wide"), true);
    int row = 0;
    while (workflow->fields().selected().size() < 8)
        ASSERT_TRUE(workflow->addIdentificationField(row));
    ASSERT_EQ(workflow->fields().available().size(), 1u);
    row = 0;
    EXPECT_FALSE(workflow->addIdentificationField(row));
    EXPECT_EQ(workflow->fields().selected().size(), 8u);
    EXPECT_EQ(workflow->fields().available().size(), 1u);
}

TEST_F(MainWorkflowTest, RemovingASelectedFieldThatSortsRemovesItFromBoth) {
    const auto workflow = started();
    int row = 0; // "Sex", which also sorts
    EXPECT_TRUE(workflow->removeIdentificationField(row));
    EXPECT_EQ(workflow->fields().selected(), (Names{"Code", "Registry"}));
    EXPECT_EQ(workflow->fields().sort(), Names{"Registry"});
    EXPECT_EQ(workflow->fields().available(),
              (Names{"Date", "Extra", "Name", "Over-ride Site", "Sex", "Site"}));
    EXPECT_TRUE(workflow->configurationChanged());
}

TEST_F(MainWorkflowTest, MovingFieldsLeavesTheConfigurationUnchangedWhileAddingChangesIt) {
    const auto workflow = started();
    int row = 0;
    workflow->moveIdentificationField(row, true);
    EXPECT_EQ(workflow->fields().selected(), (Names{"Code", "Registry", "Sex"}));
    EXPECT_EQ(row, 2);
    row = 1;
    workflow->moveSortField(row, false);
    EXPECT_EQ(workflow->fields().sort(), (Names{"Registry", "Sex"}));
    EXPECT_FALSE(workflow->configurationChanged());

    EXPECT_TRUE(workflow->addSortField(0));
    EXPECT_EQ(workflow->fields().sort(), (Names{"Registry", "Sex", "Code"}));
    EXPECT_TRUE(workflow->configurationChanged());
}

TEST_F(MainWorkflowTest, RemovingASortFieldAndAddingAnIdentificationFieldChangeIt) {
    {
        const auto workflow = started();
        int row = 0;
        EXPECT_TRUE(workflow->removeSortField(row));
        EXPECT_EQ(workflow->fields().sort(), Names{"Registry"});
        EXPECT_TRUE(workflow->configurationChanged());
    }
    const auto workflow = started();
    int row = 0;
    EXPECT_TRUE(workflow->addIdentificationField(row));
    EXPECT_EQ(workflow->fields().selected(), (Names{"Sex", "Code", "Registry", "Date"}));
    EXPECT_TRUE(workflow->configurationChanged());
}

// The rules themselves are range_fields_test's; here the workflow applies them to the file's
// record count and tells the user of text that is no number.
TEST_F(MainWorkflowTest, TheRangeStaysWithinTheDataFile) {
    const auto workflow = started();
    workflow->chooseDataFile(writeDataFile("hundred.dat", 100));
    EXPECT_TRUE(workflow->setRecordsToEdit("10"));
    EXPECT_TRUE(workflow->setStartRecord("95"));
    EXPECT_EQ(workflow->range().start, "91");
    EXPECT_TRUE(workflow->setRecordsToEdit("101"));
    EXPECT_EQ(workflow->range().count, "100");
    EXPECT_TRUE(messages_.shown().empty());

    EXPECT_FALSE(workflow->setStartRecord("x"));
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "'x' is not a valid integer value");
    EXPECT_EQ(workflow->range().start, "91");
    EXPECT_FALSE(workflow->setRecordsToEdit("ten"));
    EXPECT_EQ(messages_.shown().back().text, "'ten' is not a valid integer value");
    EXPECT_EQ(workflow->range().count, "100");
    EXPECT_FALSE(workflow->configurationChanged());
}

// --- The data file -------------------------------------------------------------------------

TEST_F(MainWorkflowTest, ChoosingADataFileShowsItsRecordsAndProposesAReportName) {
    writeMaster("[Report]\nFilename=old.rpt\n");
    const auto workflow = started();
    EXPECT_EQ(workflow->reportFileName(), folder() + "reports/old.rpt");
    std::filesystem::create_directories(folder() + "incoming");
    const std::string data = writeDataFile("incoming/abc.dat", 3);

    workflow->chooseDataFile(data);
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_EQ(workflow->dataFileName(), data);
    EXPECT_EQ(workflow->dataFile().recordLength, vetra::testing::kTestRecordLength + 1);
    EXPECT_EQ(workflow->dataFile().recordCount, 3);
    EXPECT_EQ(workflow->dataFile().recordType, '1');
    EXPECT_NE(workflow->fileDateText(), "");
    EXPECT_EQ(workflow->range().start, "1");
    EXPECT_EQ(workflow->range().count, "3");
    EXPECT_TRUE(workflow->rangeEnabled());
    EXPECT_EQ(workflow->master().dataFolder, folder() + "incoming/");
    EXPECT_EQ(workflow->reportFileName(), folder() + "reports/abc.rpt");
    EXPECT_FALSE(workflow->configurationChanged()) << "the proposed name is not a change";
    EXPECT_TRUE(workflow->runEnabled());

    // A name without a dot proposes nothing.
    workflow->chooseDataFile(writeDataFile("incoming/plain", 2));
    EXPECT_EQ(workflow->reportFileName(), folder() + "reports/abc.rpt");
    EXPECT_EQ(workflow->dataFile().recordCount, 2);

    // Cancelling the dialog changes nothing.
    workflow->chooseDataFile("");
    EXPECT_EQ(workflow->dataFileName(), folder() + "incoming/plain");
    EXPECT_EQ(workflow->dataFile().recordCount, 2);
    EXPECT_NE(workflow->fileDateText(), "");
    EXPECT_TRUE(workflow->runEnabled());
}

TEST_F(MainWorkflowTest, ADataFileTooShortIsToldAndRunStaysDisabled) {
    const auto workflow = started();
    workflow->chooseDataFile(writeDataFile("abc.dat", 3));
    workflow->chooseDataFile(scratch_.write("short.dat", "I234\n").string());
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "Datafile too short to contain version number.");
    EXPECT_EQ(messages_.shown()[0].caption, "Problem With Data File");
    EXPECT_EQ(workflow->dataFile().recordCount, 3) << "the fields keep what they showed";
    EXPECT_FALSE(workflow->rangeEnabled());
    EXPECT_FALSE(workflow->runEnabled()) << "the information is not the chosen file's";

    // No records at all.
    workflow->chooseDataFile(scratch_.write("empty.dat", "").string());
    EXPECT_FALSE(workflow->runEnabled());
}

// A text file that is no NAACCR file is refused with everything that does not fit named once,
// when the layout places the record type and the version where NAACCR does.
TEST(DataFileFit, NamesEverythingThatDoesNotFit) {
    desktop::DataFileInfo info;
    info.fileName = "/etc/passwd";
    info.recordType = 'r';
    info.naaccrVersion = "/ro";
    info.recordLength = 32;
    info.recordCount = 39;
    const desktop::LayoutFieldList naaccr{{"Record Type", 1, 1, 10, {}, "recordType"},
                                          {"NAACCR Record Version", 17, 3, 50, {}, ""}};
    const auto misfit = desktop::dataFileMisfit(info, "NAACCR 18 Incidence", 4048, naaccr);
    ASSERT_TRUE(misfit);
    EXPECT_EQ(*misfit,
              "The data file /etc/passwd does not fit the record layout NAACCR 18 Incidence: its "
              "record type \"r\" (column 1) is not a NAACCR record type: A, C, I or M; its NAACCR "
              "version \"/ro\" (columns 17 to 19) is not a NAACCR version such as 180 or 240; its "
              "records are 32 characters long, line end included, where the layout's are 4048.  "
              "Choose a NAACCR data file written for this layout, or the layout the file was "
              "written for.");

    info = {};
    info.fileName = "ok.txt";
    info.recordType = 'I';
    info.naaccrVersion = "180";
    info.recordCount = 2;
    for (std::int64_t length : {4048, 4049, 4050}) { // no line end, LF, CR LF
        info.recordLength = length;
        EXPECT_EQ(desktop::dataFileMisfit(info, "N", 4048, naaccr), std::nullopt) << length;
    }
    info.recordLength = 4051;
    EXPECT_TRUE(desktop::dataFileMisfit(info, "N", 4048, naaccr));
    // A layout that does not place them as NAACCR does leaves type and version unchecked.
    info.recordLength = 4049;
    info.recordType = '1';
    info.naaccrVersion = "   ";
    EXPECT_EQ(desktop::dataFileMisfit(info, "N", 4048, {}), std::nullopt);
    // An XML file takes the layout's length; no records is refused whatever the layout.
    info.form.format = desktop::DataFormat::NaaccrXml;
    info.recordCount = 0;
    EXPECT_EQ(desktop::dataFileMisfit(info, "", 0, {}),
              "The data file ok.txt does not fit a NAACCR record layout: it holds no records.  "
              "Choose a NAACCR data file written for this layout, or the layout the file was "
              "written for.");
}

// --- Runs ----------------------------------------------------------------------------------

class MainWorkflowRun : public vetra::testing::MainWorkflowFixture {
protected:
    void SetUp() override {
        writeFirstMetafile();
        writeMaster();
        writeConfiguration("runtime.ini", R"([Metafiles]
Metafile=first.rmf
[RecordLayouts]
RecordLayout1=Test
[EditSets]
EditSet1=Main
[FieldsSelected]
Field1=Code
)");
    }

    std::string resultsPath() const { return path("query/errors.db"); }
};

// A gzipped NAACCR XML file takes the layout's record length and a record per Tumor, and its
// run finds what the fixed-width file's finds.
TEST_F(MainWorkflowRun, AGzippedXmlDataFileIsInspectedAndRunByItsTumours) {
    const auto workflow = started();
    std::string xml = "<NaaccrData recordType=\"I\" baseDictionaryUri=\"http://naaccr.org/"
                      "naaccrxml/naaccr-dictionary-180.xml\"><Patient>";
    for (const char* sex : {"F", "M", "M", "F", "M"})
        xml += "<Tumor><Item naaccrId=\"sex\" naaccrNum=\"220\">" + std::string(sex) +
               "</Item><Item naaccrId=\"code\" naaccrNum=\"10\">12</Item></Tumor>";
    xml += "</Patient></NaaccrData>";
    const std::string data = path("abc.xml.gz");
    gzFile file = gzopen(data.c_str(), "wb");
    gzwrite(file, xml.data(), static_cast<unsigned>(xml.size()));
    gzclose(file);

    workflow->chooseDataFile(data);
    EXPECT_TRUE(messages_.shown().empty()) << messages_.shown()[0].text;
    EXPECT_EQ(workflow->dataFile().form.format, desktop::DataFormat::NaaccrXml);
    EXPECT_TRUE(workflow->dataFile().form.gzipped);
    EXPECT_EQ(workflow->dataFile().recordLength, vetra::testing::kTestRecordLength);
    EXPECT_EQ(workflow->dataFile().recordCount, 5);
    EXPECT_EQ(workflow->dataFile().recordType, 'I');
    EXPECT_EQ(workflow->dataFile().naaccrVersion, "180");
    EXPECT_EQ(workflow->range().count, "5");
    RecordingProgress progress;
    ASSERT_EQ(workflow->runEdits(progress), desktop::RunOutcome::Completed);
    EXPECT_EQ(workflow->counters().recordsRead, 5);
    EXPECT_EQ(workflow->counters().exceptionRecords, 2);
    EXPECT_EQ(ResultsFile(resultsPath()).rows("SELECT recnum FROM errorrecs;"),
              (Rows{{"1"}, {"4"}}));
}

// The master file's external library folders reach the engine in the run; changed on the
// "&Advanced Configuration" tab they reach the next run and are saved on closing, without
// counting as a change of the configuration.
TEST_F(MainWorkflowRun, TheRunHoldsTheExternalLibraryFoldersOfTheMasterFile) {
    const std::string folders = folder() + "libraries";
    const vetra::writer::Bytes bytes =
        vetra::testing::runTestMetafile({{"Library Folders",
                                          102,
                                          {10},
                                          R"(if (strcmp(getvar("_EXTERNALDLL_FOLDERS"), ")" +
                                              folders + R"(") == 0) return fail; return pass;)"}},
                                        {{"Main", "", {"Library Folders"}}})
            .build();
    scratch_.write("first.rmf", std::string(bytes.begin(), bytes.end()));
    writeMaster("ExternalLibraries=" + folders + "\n");
    const auto workflow = started();
    EXPECT_EQ(workflow->externalLibraryFolders(), folders);
    workflow->chooseDataFile(writeDataFile("abc.dat", 3));
    RecordingProgress progress;
    ASSERT_EQ(workflow->runEdits(progress), desktop::RunOutcome::Completed);
    EXPECT_EQ(workflow->counters().exceptionRecords, 3);

    workflow->setExternalLibraryFolders("");
    ASSERT_EQ(workflow->runEdits(progress), desktop::RunOutcome::Completed);
    EXPECT_EQ(workflow->counters().exceptionRecords, 0);

    workflow->setExternalLibraryFolders("/opt/registry/lib");
    EXPECT_FALSE(workflow->configurationChanged());
    workflow->close();
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_EQ(ProfileFile(path("ravelo.ini")).readString("Path", "ExternalLibraries"),
              "/opt/registry/lib");
}

TEST_F(MainWorkflowRun, ARunStoresTheFailuresAndLogsItsHeader) {
    const auto workflow = started();
    const std::string data = writeDataFile("abc.dat", 5); // records 1 and 4 have Sex F
    RecordingProgress progress;
    EXPECT_EQ(workflow->runEdits(progress), desktop::RunOutcome::NotStarted)
        << "no data file chosen";
    workflow->chooseDataFile(data);
    ASSERT_EQ(workflow->runEdits(progress), desktop::RunOutcome::Completed);
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_FALSE(workflow->runInProgress());
    EXPECT_EQ(workflow->counters().recordsRead, 5);
    EXPECT_EQ(workflow->counters().exceptionRecords, 2);
    {
        ResultsFile results(resultsPath());
        EXPECT_EQ(results.count("errorrecs"), 2);
        EXPECT_EQ(results.runRecordValue("Record Layout"), "Test");
        EXPECT_EQ(results.runRecordValue("Edit Set1"), "Main");
        EXPECT_EQ(results.runRecordValue("Processed Records"), "5");
        EXPECT_EQ(results.runRecordValue("NOTE: RUN CANCELLED"), "<missing>");
    }
    EXPECT_EQ(fileText("reports/run_log.txt")
                  .rfind("----- Run 1 -----\nfirst.rmf\nTest\nMain\n" + data + "\n", 0),
              0u)
        << fileText("reports/run_log.txt");

    // The grid's marks reach the next run: Sex Check suppressed finds nothing.
    workflow->clickGridCell(rowOf(workflow->grid(), "Sex Check"), desktop::kSuppressEdit);
    ASSERT_EQ(workflow->runEdits(progress), desktop::RunOutcome::Completed);
    EXPECT_EQ(workflow->counters().exceptionRecords, 0);
    EXPECT_EQ(ResultsFile(resultsPath()).count("errorrecs"), 0);
    EXPECT_NE(fileText("reports/run_log.txt").find("----- Run 2 -----\n"), std::string::npos);
    EXPECT_NE(fileText("reports/run_log.txt").find("VT_SUPPRESS: Sex Check\n"), std::string::npos);

    // Cancelling the data file dialog changes nothing; choosing a file clears the counters.
    EXPECT_TRUE(workflow->resultsOfLastRun());
    workflow->chooseDataFile("");
    EXPECT_EQ(workflow->counters().recordsRead, 5);
    workflow->chooseDataFile(workflow->dataFileName());
    EXPECT_EQ(workflow->counters().recordsRead, 0);
}

TEST_F(MainWorkflowRun, TheRunCoversTheRangeOnly) {
    const auto workflow = started();
    workflow->chooseDataFile(writeDataFile("abc.dat", 10)); // Sex F in 1, 4, 7, 10
    ASSERT_TRUE(workflow->setRecordsToEdit("4"));
    ASSERT_TRUE(workflow->setStartRecord("2"));
    RecordingProgress progress;
    ASSERT_EQ(workflow->runEdits(progress), desktop::RunOutcome::Completed);
    EXPECT_EQ(workflow->counters().recordsRead, 4);
    EXPECT_EQ(workflow->counters().exceptionRecords, 1);
    EXPECT_EQ(ResultsFile(resultsPath()).runRecordValue("Range Processed"), "2 - 5");
}

TEST_F(MainWorkflowRun, HaltStopsTheRunAfterTheRecordInHand) {
    const auto workflow = started();
    workflow->chooseDataFile(writeDataFile("abc.dat", 40));
    HaltingProgress progress(*workflow, 11);
    ASSERT_EQ(workflow->runEdits(progress), desktop::RunOutcome::Completed);
    EXPECT_TRUE(progress.sawRunInProgress());
    EXPECT_FALSE(workflow->runInProgress());
    EXPECT_EQ(workflow->counters().recordsRead, 11);
    ResultsFile results(resultsPath());
    EXPECT_EQ(results.runRecordValue("NOTE: RUN CANCELLED"), "PARTIAL RESULTS");
    EXPECT_EQ(results.runRecordValue("Processed Records"), "11");

    // The next run is not halted by the last one's request.
    RecordingProgress full;
    ASSERT_EQ(workflow->runEdits(full), desktop::RunOutcome::Completed);
    EXPECT_EQ(workflow->counters().recordsRead, 40);
}

// --- Closing and saving --------------------------------------------------------------------

TEST_F(MainWorkflowTest, ClosingWithoutChangesAsksNothingButWritesTheMasterFile) {
    writeMaster("[Report]\nTitle2=Quarterly\n");
    const std::string before = fileText("runtime.ini");
    const auto workflow = started();
    std::filesystem::create_directories(folder() + "incoming");
    workflow->chooseDataFile(writeDataFile("incoming/abc.dat", 3));
    workflow->close();
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_EQ(fileText("runtime.ini"), before);

    const ProfileFile master(path("ravelo.ini"));
    EXPECT_EQ(master.readString("Path", "Datafile"), folder() + "incoming/");
    EXPECT_EQ(master.readString("Path", "Config"), folder());
    EXPECT_EQ(master.readString("Path", "Report"), folder() + "reports/");
    EXPECT_EQ(master.readString("Config", "Current"), "runtime.ini");
    EXPECT_EQ(master.readString("Report", "Title2"), "Quarterly");
}

TEST_F(MainWorkflowTest, ClosingWithChangesAsksAndNoKeepsTheConfigurationFile) {
    const std::string before = fileText("runtime.ini");
    const auto workflow = started();
    workflow->setSkipFailed(true);
    workflow->close();
    ASSERT_EQ(messages_.shown().size(), 1u); // the question's text is configuration_test's
    EXPECT_EQ(messages_.shown()[0].caption, "Save Changes?");
    EXPECT_EQ(fileText("runtime.ini"), before);
}

// What the user sees of a configuration, to compare a saved one with the one loaded back.
struct Choices {
    std::string metafile;
    Names layouts, editSets, selected, sort, grid;
    int globalOptions = 0;

    explicit Choices(const desktop::MainWorkflow& workflow)
        : metafile(workflow.metafilePath()), layouts(workflow.layouts().tickedNames()),
          editSets(workflow.editSets().tickedNames()), selected(workflow.fields().selected()),
          sort(workflow.fields().sort()), grid(gridMarks(workflow.grid())),
          globalOptions(workflow.globalOptions()) {}
    bool operator==(const Choices&) const = default;
};

void changeEverything(desktop::MainWorkflow& workflow) {
    workflow.setLayoutTicked(indexOf(workflow.layouts(), "Wide"), true);
    int row = 0;
    workflow.addIdentificationField(row); // Alpha
    workflow.addSortField(2);             // Alpha
    workflow.setEditSetTicked(indexOf(workflow.editSets(), "Main"), false);
    workflow.clickGridCell(rowOf(workflow.grid(), "Site Check"), desktop::kSuppressEdit);
    workflow.clickGridCell(rowOf(workflow.grid(), "Site Check"), desktop::kSkipFail);
    workflow.clickGridCell(rowOf(workflow.grid(), "Code Check"), desktop::kUseEditSetOptions);
    workflow.setSkipEmpty(false);
    workflow.setSuppressWarnings(true);
}

TEST_F(MainWorkflowTest, ClosingWithChangesAndYesSavesWhatLoadsBackTheSame) {
    Choices saved = [&] {
        const auto workflow = started();
        changeEverything(*workflow);
        EXPECT_EQ(gridMarks(workflow->grid()), (Names{"Code Check:10000", "Site Check:00010"}));
        messages_.answerNext(Answer::Yes);
        workflow->close();
        EXPECT_EQ(messages_.unusedAnswers(), 0u);
        return Choices(*workflow);
    }();
    EXPECT_EQ(saved.layouts, Names{"Wide"});
    EXPECT_EQ(saved.selected, (Names{"Sex", "Code", "Alpha"}));
    EXPECT_EQ(saved.sort, (Names{"Sex", "Alpha"}));
    EXPECT_EQ(saved.globalOptions, 128);

    const ProfileFile configuration(path("runtime.ini"));
    EXPECT_EQ(configuration.readString("Metafiles", "Metafile"), "first.rmf");
    EXPECT_EQ(configuration.sectionValues("RecordLayouts"), Names{"Wide"});
    EXPECT_EQ(configuration.sectionValues("EditSets"), Names{"Extra"});
    EXPECT_EQ(configuration.readString("EditOptions", "Site Check"), "2");
    EXPECT_EQ(configuration.readString("EditOptions", "Code Check"), "");
    EXPECT_EQ(ProfileFile(path("ravelo.ini")).readString("Path", "Metafile"), folder());

    const auto reloaded = started();
    EXPECT_TRUE(Choices(*reloaded) == saved);
    EXPECT_EQ(gridMarks(reloaded->grid()), saved.grid);
    EXPECT_EQ(reloaded->fields().selected(), saved.selected);
    EXPECT_EQ(reloaded->fields().sort(), saved.sort);
    EXPECT_FALSE(reloaded->configurationChanged());
}

TEST_F(MainWorkflowTest, AMetafileFromAnotherFolderIsFoundAgainAfterSaving) {
    std::filesystem::create_directories(folder() + "other");
    std::filesystem::rename(path("second.rmf"), path("other/second.rmf"));
    {
        const auto workflow = started();
        workflow->selectMetafile(path("other/second.rmf"));
        messages_.answerNext(Answer::Yes);
        workflow->close();
    }
    EXPECT_EQ(ProfileFile(path("ravelo.ini")).readString("Path", "Metafile"), path("other/"));
    EXPECT_EQ(ProfileFile(path("runtime.ini")).readString("Metafiles", "Metafile"), "second.rmf");
    const auto reloaded = started();
    EXPECT_EQ(messages_.shown().size(), 1u) << "only the question on closing";
    EXPECT_EQ(reloaded->metafilePath(), path("other/second.rmf"));
    EXPECT_EQ(reloaded->metafileShown(), "second.rmf");
    EXPECT_EQ(reloaded->editSets().tickedNames(), Names{"Main"});
}

TEST_F(MainWorkflowTest, NoSkipsIsSavedAsZeroAndLoadsBackAsNoSkips) {
    {
        const auto workflow = started();
        workflow->clickGridCell(rowOf(workflow->grid(), "Sex Check"), desktop::kNoSkips);
        messages_.answerNext(Answer::Yes);
        workflow->close();
    }
    EXPECT_EQ(ProfileFile(path("runtime.ini")).readString("EditOptions", "Sex Check"), "0");
    const auto reloaded = started();
    EXPECT_EQ(marks(reloaded->grid().rows()[rowOf(reloaded->grid(), "Sex Check")]), "00001");
}

TEST_F(MainWorkflowTest, SaveAsWithoutAFileSavesNothing) {
    const auto workflow = started();
    workflow->setSkipEmpty(false);
    workflow->saveConfigurationAs("");
    ASSERT_EQ(messages_.shown().size(), 1u); // its text is configuration_test's
    EXPECT_TRUE(workflow->configurationChanged());
    EXPECT_EQ(workflow->currentConfigurationPath(), path("runtime.ini"));
}

TEST_F(MainWorkflowTest, SaveAsWritesTheChosenFileWhichBecomesCurrent) {
    const std::string before = fileText("runtime.ini");
    const auto workflow = started();
    changeEverything(*workflow);
    const Choices saved(*workflow);
    const std::string chosen = path("saved.ini");
    workflow->saveConfigurationAs(chosen);
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_FALSE(workflow->configurationChanged());
    EXPECT_EQ(workflow->currentConfigurationPath(), chosen);
    EXPECT_EQ(ProfileFile(chosen).readString("Layout", "Version"), "7");

    workflow->close();
    EXPECT_TRUE(messages_.shown().empty()) << "nothing left to save";
    EXPECT_EQ(fileText("runtime.ini"), before);
    EXPECT_EQ(ProfileFile(path("ravelo.ini")).readString("Config", "Current"), "saved.ini");

    const auto reloaded = started();
    EXPECT_EQ(reloaded->currentConfigurationPath(), chosen);
    EXPECT_TRUE(Choices(*reloaded) == saved);
}

} // namespace
