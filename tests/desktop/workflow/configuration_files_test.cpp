// The configuration files: reading the master file at start, loading a configuration, and
// saving on closing and with "Save Config As".
#include "desktop/workflow/configuration_files.h"
#include "platform/profile_file.h"
#include "tests/desktop/scripted_message_boxes.h"
#include "tests/support/file_contents.h"
#include "tests/support/scratch_directory.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace vetra::desktop;
using vetra::platform::MessageAnswer;
using vetra::platform::MessageButtons;
using vetra::platform::ProfileFile;

using vetra::testing::fileContents;

class Configuration : public ::testing::Test {
protected:
    Configuration() { fs::create_directories(program); }

    std::string writeMaster(const std::string& text) const {
        std::ofstream(masterPath, std::ios::binary) << text;
        return masterPath;
    }
    std::string writeFile(const std::string& name, const std::string& text) const {
        return scratch.write(name, text).string();
    }
    int readMaster(MasterConfiguration& master) {
        return readMasterConfiguration(masterPath, program, "1.2.8", boxes, master);
    }

    vetra::testing::ScratchDirectory scratch;
    const std::string program = (scratch.path() / "program").string() + "/";
    const std::string masterPath = masterConfigurationPath(program);
    vetra::testing::ScriptedMessageBoxes boxes;
};

TEST_F(Configuration, TheMasterFileLivesInTheProgramFolder) {
    EXPECT_EQ(masterConfigurationPath("/opt/ravelo/"), "/opt/ravelo/ravelo.ini");
}

TEST_F(Configuration, AMasterFileWithoutPathKeysCreatesTheDefaultFolders) {
    writeMaster("[Identity]\ncaption=County Registry\n");
    MasterConfiguration master;
    ASSERT_EQ(readMaster(master), 0);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(master.caption, "Ravelo  (1.2.8) County Registry");
    EXPECT_EQ(master.resultsFolder, program + "query/");
    EXPECT_EQ(master.reportsFolder, program + "reports/");
    EXPECT_EQ(master.metafileFolder, program + "metafiles/");
    EXPECT_EQ(master.dataFolder, program + "data/");
    EXPECT_EQ(master.configFolder, program + "config/");
    for (const char* folder : {"query", "reports", "metafiles", "data", "config"})
        EXPECT_TRUE(fs::is_directory(program + folder)) << folder;
    EXPECT_EQ(master.currentConfigurationPath, program + "config/runtime.ini");
    EXPECT_EQ(master.reportFileName, program + "reports/Ravelo.rpt");
    EXPECT_EQ(master.reportTitle, "Ravelo Report");
    EXPECT_EQ(master.reportSubtitle, "");
}

// An installed copy's first run: the configuration and data folders do not exist yet.
TEST_F(Configuration, AFirstRunCreatesTheMasterFilesFolderApartFromTheData) {
    const std::string configuration = (scratch.path() / "config/ravelo").string() + "/";
    const std::string data = (scratch.path() / "data/ravelo").string() + "/";
    MasterConfiguration master;
    ASSERT_EQ(readMasterConfiguration(masterConfigurationPath(configuration), data, "1.2.8", boxes,
                                      master),
              0);
    EXPECT_TRUE(fs::is_directory(configuration));
    EXPECT_EQ(master.resultsFolder, data + "query/");
    EXPECT_EQ(master.currentConfigurationPath, data + "config/runtime.ini");
}

TEST_F(Configuration, MasterValuesAreUsedAsGivenAndEmptyOnesTakeTheDefault) {
    const std::string elsewhere = (scratch.path() / "elsewhere").string() + "/";
    fs::create_directories(elsewhere + "nested/rep/");
    writeMaster("[path]\nREPORT=" + elsewhere + "nested/rep/\nMetafile=\nDatafile=" + elsewhere +
                "\n[CONFIG]\nCurrent=mine.ini\n[Report]\nFilename=out.rpt\nTitle1=\nTitle2=Sub\n");
    MasterConfiguration master;
    ASSERT_EQ(readMaster(master), 0);
    EXPECT_EQ(master.reportsFolder, elsewhere + "nested/rep/");
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(master.metafileFolder, program + "metafiles/");
    EXPECT_EQ(master.dataFolder, elsewhere);
    EXPECT_EQ(master.currentConfigurationPath, program + "config/mine.ini");
    EXPECT_EQ(master.reportFileName, elsewhere + "nested/rep/out.rpt");
    EXPECT_EQ(master.reportTitle, "Ravelo Report");
    EXPECT_EQ(master.reportSubtitle, "Sub");
}

// Folders edit logic may load libraries from are trusted only when someone named them, so the
// program never makes one.
TEST_F(Configuration, ExternalLibraryFoldersAreReadAsGivenAndNeverCreated) {
    MasterConfiguration none;
    writeMaster("[Path]\nReport=" + program + "reports/\n");
    ASSERT_EQ(readMaster(none), 0);
    EXPECT_EQ(none.externalLibraryFolders, "");

    const std::string libraries = (scratch.path() / "libraries").string();
    writeMaster("[path]\nexternallibraries= " + libraries + ":/opt/registry/lib \n");
    MasterConfiguration master;
    ASSERT_EQ(readMaster(master), 0);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(master.externalLibraryFolders, libraries + ":/opt/registry/lib");
    EXPECT_FALSE(fs::exists(libraries));
}

// A name under [Config] current or [Report] Filename is joined to its folder; one that could
// leave the folder is not used, and the default stands in its place.
TEST_F(Configuration, MasterFileNamesThatLeaveTheirFolderAreRefused) {
    writeMaster("[Config]\ncurrent=../elsewhere/mine.ini\n[Report]\nFilename=/tmp/out.rpt\n");
    MasterConfiguration master;
    ASSERT_EQ(readMaster(master), 0);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(master.currentConfigurationPath, program + "config/runtime.ini");
    EXPECT_EQ(master.reportFileName, program + "reports/Ravelo.rpt");
    EXPECT_EQ(master.refusedNames,
              (std::vector<std::string>{
                  "The master configuration file " + masterPath +
                      " names the current configuration '../elsewhere/mine.ini' under [Config] "
                      "current; a name there must be a plain file name in the configuration "
                      "folder, without '/' and not '.' or '..'.",
                  "The master configuration file " + masterPath +
                      " names the report file '/tmp/out.rpt' under [Report] Filename; a name "
                      "there must be a plain file name in the reports folder, without '/' and "
                      "not '.' or '..'."}));

    for (const char* name : {".", ".."}) {
        writeMaster(std::string("[Config]\ncurrent=") + name + "\n[Report]\nFilename=" + name +
                    "\n");
        MasterConfiguration dots;
        ASSERT_EQ(readMaster(dots), 0);
        EXPECT_EQ(dots.refusedNames.size(), 2u) << name;
        EXPECT_EQ(dots.currentConfigurationPath, program + "config/runtime.ini");
    }

    writeMaster("[Config]\ncurrent=..mine.ini\n[Report]\nFilename=.out\n");
    MasterConfiguration plain;
    ASSERT_EQ(readMaster(plain), 0);
    EXPECT_TRUE(plain.refusedNames.empty());
    EXPECT_EQ(plain.currentConfigurationPath, program + "config/..mine.ini");
    EXPECT_EQ(plain.reportFileName, program + "reports/.out");
}

TEST_F(Configuration, DisallowHidesATabForAnyValueButEleven) {
    writeMaster("[Disallow]\nadvanced=0\nreport=11\nmetafile=\n");
    MasterConfiguration master;
    ASSERT_EQ(readMaster(master), 0);
    EXPECT_TRUE(master.advancedTabHidden);
    EXPECT_FALSE(master.reportTabHidden);
    EXPECT_FALSE(master.metafileTabHidden);

    writeMaster("[Disallow]\nreport=no\nmetafile= 11 \n");
    MasterConfiguration second;
    ASSERT_EQ(readMaster(second), 0);
    EXPECT_TRUE(second.reportTabHidden);
    EXPECT_FALSE(second.metafileTabHidden);
    EXPECT_FALSE(second.advancedTabHidden);
}

// A folder the master file names that cannot be used (gone, mistyped, not a folder, not
// writable) never stops the program and is never created: the program's own folder takes its
// place for the session, after one warning that names each folder and the system's reason.
TEST_F(Configuration, AnUnusableConfiguredFolderGivesWayToTheDefaultWithOneWarning) {
    const std::string blocker = writeFile("blocker", "a file, not a folder");
    const std::string typed = (scratch.path() / "never/made").string() + "/";
    const std::string readOnly = (scratch.path() / "read-only").string() + "/";
    fs::create_directories(readOnly);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
    writeMaster("[Path]\nReport=" + typed + "\nConfig=" + blocker +
                "/config/\nMetafile=" + readOnly + "\nDatafile=" + readOnly + "\n");
    MasterConfiguration master;
    ASSERT_EQ(readMaster(master), 0);
    EXPECT_EQ(master.reportsFolder, program + "reports/");
    EXPECT_EQ(master.configFolder, program + "config/");
    EXPECT_EQ(master.currentConfigurationPath, program + "config/runtime.ini");
    // Folders only read from may be read-only.
    EXPECT_EQ(master.metafileFolder, readOnly);
    EXPECT_EQ(master.dataFolder, readOnly);
    EXPECT_FALSE(fs::exists(typed));
    EXPECT_TRUE(fs::is_directory(program + "reports/"));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].caption,
              "Problem with folder " + typed + " " + blocker + "/config/");
    const std::string& text = boxes.shown()[0].text;
    EXPECT_NE(text.find(typed + " (No such file or directory)"), std::string::npos) << text;
    EXPECT_NE(text.find(blocker + "/config/ (Not a directory)"), std::string::npos) << text;
    EXPECT_NE(text.find(masterPath), std::string::npos) << text;

    // Root may write anywhere; elsewhere a folder the user may not write gives way too.
    if (::geteuid() != 0) {
        writeMaster("[Path]\nReport=" + readOnly + "\n");
        MasterConfiguration second;
        ASSERT_EQ(readMaster(second), 0);
        EXPECT_EQ(second.reportsFolder, program + "reports/");
        EXPECT_NE(boxes.shown().back().text.find("Permission denied"), std::string::npos);
    }
    fs::permissions(readOnly, fs::perms::owner_all);
}

// Only the folders the program supplies itself are created; when one of them cannot be, the
// program cannot work and ends.
TEST_F(Configuration, AProgramFolderThatCannotBeCreatedEndsTheProgram) {
    const std::string blocker = writeFile("program/reports", "a file, not a folder");
    MasterConfiguration master;
    EXPECT_EQ(readMaster(master), -1);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].caption, "Problem with folder " + blocker + "/");
    EXPECT_EQ(boxes.shown()[0].text,
              "The folder named above could not be found or created.  It is either named in "
              "the master configuration file or it was supplied by this program as a default.  "
              "The program will exit now.  Please modify the master configuration file, " +
                  masterPath + ", to refer only to folders that are accessible by this program.");
    EXPECT_EQ(boxes.shown()[0].buttons, MessageButtons::Ok);
}

TEST_F(Configuration, LoadingReadsEverySection) {
    const auto path = writeFile("run.ini", "[Layout]\nVersion=180\n"
                                           "[Metafiles]\nMetafile=edits.rmf\nSkipEmpty=1\n"
                                           "SkipFailed=0\nSuppressWarnings=0\n"
                                           "[RecordLayouts]\nRecordLayout1=NAACCR 18\n"
                                           "[EditSets]\nEditSet2=Second\nEditSet1=First\n"
                                           "[FieldsSelected]\nField1=Name=Last\nField2=Sex\n"
                                           "[FieldsSort]\nAny=Sex\n");
    const RunConfiguration configuration = loadConfiguration(path);
    EXPECT_EQ(configuration.layoutVersion, "180");
    EXPECT_EQ(configuration.metafileName, "edits.rmf");
    EXPECT_TRUE(configuration.skipEmpty);
    EXPECT_FALSE(configuration.skipFailed);
    EXPECT_FALSE(configuration.suppressWarnings);
    EXPECT_EQ(configuration.layouts, (std::vector<std::string>{"NAACCR 18"}));
    // Numbered sections are read in file order, whatever their keys.
    EXPECT_EQ(configuration.editSets, (std::vector<std::string>{"Second", "First"}));
    EXPECT_EQ(configuration.fieldsSelected, (std::vector<std::string>{"Name=Last", "Sex"}));
    EXPECT_EQ(configuration.fieldsSort, (std::vector<std::string>{"Sex"}));
}

TEST_F(Configuration, AMetafileNameThatLeavesTheMetafileFolderIsRefused) {
    for (const std::string name : {"../../x/drop/x.rmf", "/tmp/x.rmf", "sub/x.rmf", ".", ".."}) {
        const auto path =
            writeFile("run.ini", "[Metafiles]\nMetafile=" + name + "\n[EditSets]\nEditSet1=Main\n");
        const RunConfiguration configuration = loadConfiguration(path);
        EXPECT_EQ(configuration.metafileName, "") << name;
        EXPECT_EQ(configuration.editSets, (std::vector<std::string>{"Main"}));
        EXPECT_EQ(configuration.refusedNames,
                  (std::vector<std::string>{
                      "The configuration file " + path + " names the metafile '" + name +
                      "' under [Metafiles] Metafile; a name there must be a plain file name in "
                      "the metafile folder, without '/' and not '.' or '..'."}));
    }
    const auto plain = writeFile("plain.ini", "[Metafiles]\nMetafile=x..rmf\n");
    EXPECT_EQ(loadConfiguration(plain).metafileName, "x..rmf");
    EXPECT_TRUE(loadConfiguration(plain).refusedNames.empty());
}

TEST_F(Configuration, MissingOrEmptyOptionsTakeTheirDefaults) {
    const auto path = writeFile("run.ini", "[Metafiles]\nSkipEmpty=\nSkipFailed=x\n");
    const RunConfiguration configuration = loadConfiguration(path);
    EXPECT_FALSE(configuration.skipEmpty);
    EXPECT_TRUE(configuration.skipFailed);
    EXPECT_TRUE(configuration.suppressWarnings);
}

TEST_F(Configuration, EditOptionsSplitAtTheLastEqualsSign) {
    const auto path = writeFile("run.ini", "[EditSets]\nEditSet1=A\n[EditOptions]\nEdit A=3\n"
                                           "no equals sign\nEdit=B=8\n[FieldsSort]\nField1=x\n"
                                           "Later=1\n");
    const std::vector<EditOptionEntry> expected{{"Edit A", "3"}, {"Edit=B", "8"}};
    EXPECT_EQ(loadConfiguration(path).editOptions, expected);
}

TEST_F(Configuration, EditOptionsOfACrLfFileAreFoundAndHaveNoCarriageReturns) {
    const auto path =
        writeFile("run.ini", "[EditOptions]\r\nEdit A=3\r\nEdit=B=8\r\n[FieldsSort]\r\n");
    const std::vector<EditOptionEntry> expected{{"Edit A", "3"}, {"Edit=B", "8"}};
    EXPECT_EQ(loadConfiguration(path).editOptions, expected);
}

TEST_F(Configuration, EditOptionCodesAreWholeNumbers) {
    EXPECT_EQ(editOptionCode("8"), 8);
    EXPECT_EQ(editOptionCode("0"), 0);
    EXPECT_EQ(editOptionCode(" 3 "), 3);
    EXPECT_EQ(editOptionCode("+2"), 2);
    EXPECT_EQ(editOptionCode("-1"), -1);
    EXPECT_EQ(editOptionCode(""), std::nullopt);
    EXPECT_EQ(editOptionCode("3x"), std::nullopt);
    EXPECT_EQ(editOptionCode("eight"), std::nullopt);
    EXPECT_EQ(editOptionCode("99999999999"), std::nullopt);
}

SessionSettings sampleSettings(const std::string& program) {
    SessionSettings settings;
    settings.dataFileName = "/data/incoming/registry.txt";
    settings.currentConfigurationPath = program + "config/mine.ini";
    settings.reportFileName = program + "out.rpt"; // a folder that takes files
    settings.reportTitle = "Quarterly";
    settings.reportSubtitle = "Second quarter";
    settings.metafilePath = "/meta/files/edits.rmf";
    RunConfiguration& choices = settings.configuration;
    choices.layoutVersion = "180";
    choices.skipEmpty = true;
    choices.layouts = {"NAACCR 18"};
    choices.editSets = {"Set B", "Set A"};
    choices.editOptions = {{"Edit X", "0"}, {"Edit=B", "8"}, {"", "1"}, {"Edit Y", "3"}};
    choices.fieldsSelected = {"Name", "Sex"};
    choices.fieldsSort = {"Sex"};
    return settings;
}

TEST_F(Configuration, ClosingWithoutChangesWritesTheMasterFileAndAsksNothing) {
    writeMaster("; installation\n[Identity]\ncaption=C\n[Path]\nDatafile=/old/\n");
    const SessionSettings settings = sampleSettings(program);
    ASSERT_TRUE(saveOnClosing(masterPath, settings, boxes));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(fileContents(masterPath), "; installation\n[Identity]\ncaption=C\n[Path]\n"
                                        "Datafile=/data/incoming/\nConfig=" +
                                            program + "config/\nReport=" + program +
                                            "\n"
                                            "[Config]\nCurrent=mine.ini\n"
                                            "[Report]\nTitle1=Quarterly\n"
                                            "Filename=out.rpt\nTitle2=Second quarter\n");
    EXPECT_FALSE(fs::exists(settings.currentConfigurationPath));
}

// A report name typed with a folder that does not exist (or cannot take files) is not saved as
// the reports folder, so it cannot stand in the way of the next start; the folder in use is
// saved in its place.
TEST_F(Configuration, AReportFolderIsSavedOnlyWhereAFileCanBeWritten) {
    writeMaster("[Path]\nReport=/was/mistyped/\n");
    SessionSettings settings = sampleSettings(program);
    settings.reportFileName = (scratch.path() / "typo/out.rpt").string();
    settings.reportsFolder = program;
    ASSERT_TRUE(saveOnClosing(masterPath, settings, boxes));
    EXPECT_EQ(ProfileFile(masterPath).readString("Path", "Report"), program);
    EXPECT_FALSE(fs::exists(scratch.path() / "typo"));
    MasterConfiguration next;
    ASSERT_EQ(readMaster(next), 0);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(Configuration, ClosingWritesTheExternalLibraryFoldersWhenTheyChanged) {
    writeMaster("[Path]\nDatafile=/old/\n");
    SessionSettings settings = sampleSettings(program);
    settings.externalLibraryFolders = "/opt/registry/lib:/srv/edits/lib";
    ASSERT_TRUE(saveOnClosing(masterPath, settings, boxes));
    EXPECT_EQ(ProfileFile(masterPath).readString("Path", "ExternalLibraries"),
              "/opt/registry/lib:/srv/edits/lib");
    MasterConfiguration master;
    ASSERT_EQ(readMaster(master), 0);
    EXPECT_EQ(master.externalLibraryFolders, "/opt/registry/lib:/srv/edits/lib");

    settings.externalLibraryFolders.clear();
    ASSERT_TRUE(saveOnClosing(masterPath, settings, boxes));
    EXPECT_EQ(ProfileFile(masterPath).readString("Path", "ExternalLibraries", "none"), "");
    EXPECT_NE(fileContents(masterPath).find("\nExternalLibraries=\n"), std::string::npos);
}

TEST_F(Configuration, ClosingAfterChangesAsksAndNoWritesNoConfiguration) {
    fs::create_directories(program + "config");
    SessionSettings settings = sampleSettings(program);
    settings.configurationChanged = true;
    boxes.answerNext(MessageAnswer::No);
    ASSERT_TRUE(saveOnClosing(masterPath, settings, boxes));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "The current configuration, stored in\n" + program +
                                         "config/mine.ini\nhas changed.  Do you want to save "
                                         "your changes?");
    EXPECT_EQ(boxes.shown()[0].caption, "Save Changes?");
    EXPECT_EQ(boxes.shown()[0].buttons, MessageButtons::YesNo);
    EXPECT_FALSE(fs::exists(settings.currentConfigurationPath));
    EXPECT_EQ(ProfileFile(masterPath).readString("Path", "Metafile", "none"), "none");
}

TEST_F(Configuration, SavingOnClosingErasesAndRewritesAndKeepsTheRestOfTheFile) {
    fs::create_directories(program + "config");
    SessionSettings settings = sampleSettings(program);
    settings.configurationChanged = true;
    std::ofstream(settings.currentConfigurationPath, std::ios::binary)
        << "; my configuration\n[Layout]\nVersion=170\n\n[Metafiles]\nMetafile=old.rmf\n"
           "Extra=dropped with its section\n\n[Custom]\nkept=1\n[EditOptions]\nOld=8\n"
           "[RecordLayouts]\nRecordLayout1=Old\n[Trailing]\nkept=2\n";
    boxes.answerNext(MessageAnswer::Yes);
    ASSERT_TRUE(saveOnClosing(masterPath, settings, boxes));
    EXPECT_EQ(boxes.unusedAnswers(), 0u);
    EXPECT_EQ(fileContents(settings.currentConfigurationPath),
              "; my configuration\n[Layout]\nVersion=170\n\n[Custom]\nkept=1\n[Trailing]\n"
              "kept=2\n[Metafiles]\nMetafile=edits.rmf\nSkipEmpty=1\nSkipFailed=1\n"
              "SuppressWarnings=1\n[RecordLayouts]\nRecordLayout1=NAACCR 18\n"
              "[EditSets]\nEditSet1=Set B\nEditSet2=Set A\n"
              "[EditOptions]\nEdit X=0\nEdit=B=8\nEdit Y=3\n"
              "[FieldsSelected]\nField1=Name\nField2=Sex\n[FieldsSort]\nField1=Sex\n");
    EXPECT_EQ(ProfileFile(masterPath).readString("Path", "Metafile"), "/meta/files/");
}

TEST_F(Configuration, SaveAsCancelledSavesNothing) {
    SessionSettings settings = sampleSettings(program);
    settings.configurationChanged = true;
    EXPECT_FALSE(saveConfigurationAs(masterPath, "", settings, boxes));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Did not save configuration");
    EXPECT_EQ(boxes.shown()[0].caption, "INFO");
    EXPECT_TRUE(settings.configurationChanged);
    EXPECT_FALSE(fs::exists(masterPath));
}

TEST_F(Configuration, SaveAsWritesTheChosenFileAndMakesItCurrent) {
    SessionSettings settings = sampleSettings(program);
    settings.configurationChanged = true;
    const auto chosen = writeFile("chosen.ini", "[Metafiles]\nExtra=kept\nSkipEmpty=0\n");
    ASSERT_TRUE(saveConfigurationAs(masterPath, chosen, settings, boxes));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_FALSE(settings.configurationChanged);
    EXPECT_EQ(settings.currentConfigurationPath, chosen);
    EXPECT_EQ(ProfileFile(masterPath).readString("Path", "Metafile"), "/meta/files/");
    // Save As writes the [Metafiles] keys into the section as it stands.
    EXPECT_EQ(ProfileFile(chosen).readString("Metafiles", "Extra"), "kept");

    const RunConfiguration loaded = loadConfiguration(chosen);
    EXPECT_EQ(loaded.layoutVersion, "180");
    EXPECT_EQ(loaded.metafileName, "edits.rmf");
    EXPECT_TRUE(loaded.skipEmpty);
    EXPECT_EQ(loaded.layouts, settings.configuration.layouts);
    EXPECT_EQ(loaded.editSets, settings.configuration.editSets);
    EXPECT_EQ(loaded.fieldsSelected, settings.configuration.fieldsSelected);
    EXPECT_EQ(loaded.fieldsSort, settings.configuration.fieldsSort);
    const std::vector<EditOptionEntry> written{{"Edit X", "0"}, {"Edit=B", "8"}, {"Edit Y", "3"}};
    EXPECT_EQ(loaded.editOptions, written);
}

TEST_F(Configuration, SaveAsToAFolderFailsAndKeepsTheConfigurationChanged) {
    SessionSettings settings = sampleSettings(program);
    settings.configurationChanged = true;
    EXPECT_FALSE(saveConfigurationAs(masterPath, scratch.path().string(), settings, boxes));
    EXPECT_TRUE(settings.configurationChanged);
    EXPECT_EQ(settings.currentConfigurationPath, program + "config/mine.ini");
}

} // namespace
