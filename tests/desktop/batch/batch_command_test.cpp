// ravelo-batch run as a user runs it: its exit status, its messages and the files it leaves,
// on the sample metafile and generated NAACCR data.
#include "tests/desktop/run/run_fixture.h"
#include "tests/support/file_contents.h"
#include "tests/support/scratch_directory.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

using vetra::testing::ScratchDirectory;

using vetra::testing::fileContents;

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class BatchCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        data_ = new ScratchDirectory;
        const auto command = std::string(NAACCR_GENERATE) + " --records 120 --seed 7 --layout " +
                             SAMPLE_LAYOUT + " -o " +
                             quoted((data_->path() / "sample.txt").string()) + " > /dev/null";
        const auto xml = std::string(NAACCR_GENERATE) + " --records 20 --seed 7 --layout " +
                         SAMPLE_LAYOUT + " --format xml -o " +
                         quoted((data_->path() / "sample.xml").string()) + " > /dev/null";
        const auto gzip = std::string(NAACCR_GENERATE) + " --records 20 --seed 7 --layout " +
                          SAMPLE_LAYOUT + " --format xml --gzip -o " +
                          quoted((data_->path() / "sample.xml.gz").string()) + " > /dev/null";
        dataReady_ = std::system(command.c_str()) == 0 && std::system(xml.c_str()) == 0 &&
                     std::system(gzip.c_str()) == 0;
    }
    static void TearDownTestSuite() { delete data_; }

    // Runs the batch command with the program folder in the test's own scratch folder, from
    // `workingFolder`, after the shell commands `before` (ending in a separator).
    Outcome run(const std::string& arguments, const std::string& workingFolder = ".",
                const std::string& before = "") {
        const auto out = home_.path() / "stdout.txt";
        const auto err = home_.path() / "stderr.txt";
        const std::string command =
            "cd " + quoted(workingFolder) + " && RAVELO_HOME=" + quoted(home_.path().string()) +
            " && export RAVELO_HOME && " + before + RAVELO_BATCH + " " + arguments + " > " +
            quoted(out.string()) + " 2> " + quoted(err.string());
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, fileContents(out), fileContents(err)};
    }

    static std::string sampleData() { return quoted((data_->path() / "sample.txt").string()); }
    static std::string sampleRun() {
        return std::string("--metafile ") + SAMPLE_METAFILE +
               " --layout 'NAACCR 18 Incidence' --edit-set 'Incidence Core Edits'"
               " --edit-set 'Incidence Date Edits'";
    }

    // A failure in the suite's set-up would read as a skip; every test checks this instead.
    void SetUp() override { ASSERT_TRUE(dataReady_) << "naaccr_generate failed"; }

    static ScratchDirectory* data_;
    static bool dataReady_;
    ScratchDirectory home_;
};

ScratchDirectory* BatchCommand::data_ = nullptr;
bool BatchCommand::dataReady_ = false;

TEST_F(BatchCommand, HelpAndUsageErrors) {
    const Outcome help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--data FILE"), std::string::npos);
    EXPECT_NE(help.out.find("Exit status"), std::string::npos);

    const Outcome noData = run(sampleRun());
    EXPECT_EQ(noData.status, 2);
    EXPECT_NE(noData.err.find("no data file given"), std::string::npos);

    const Outcome unknown = run("--data x --frobnicate");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown option '--frobnicate'"), std::string::npos);

    const Outcome badCount = run(sampleRun() + " --data x --count zero");
    EXPECT_EQ(badCount.status, 2);
    EXPECT_NE(badCount.err.find("'zero'"), std::string::npos);
}

TEST_F(BatchCommand, InputErrorsNameTheProblem) {
    const Outcome missing = run(sampleRun() + " --data /nonexistent/data.txt");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("Datafile does not exist."), std::string::npos);

    const std::string shortFile = quoted(home_.write("short.txt", "I         18\n").string());
    const Outcome tooShort = run(sampleRun() + " --data " + shortFile);
    EXPECT_EQ(tooShort.status, 2);
    EXPECT_NE(tooShort.err.find("Datafile too short to contain version number."),
              std::string::npos);

    const Outcome layout = run(std::string("--metafile ") + SAMPLE_METAFILE +
                               " --layout 'No Such Layout' --edit-set 'Incidence Core Edits'"
                               " --data " +
                               sampleData());
    EXPECT_EQ(layout.status, 2);
    EXPECT_NE(layout.err.find("no record layout 'No Such Layout'; it has: NAACCR 18 Incidence"),
              std::string::npos);

    const Outcome set =
        run(std::string("--metafile ") + SAMPLE_METAFILE +
            " --layout 'NAACCR 18 Incidence' --edit-set 'No Such Set' --data " + sampleData());
    EXPECT_EQ(set.status, 2);
    EXPECT_NE(set.err.find("no edit set 'No Such Set'"), std::string::npos);

    const Outcome pastEnd = run(sampleRun() + " --first 121 --data " + sampleData());
    EXPECT_EQ(pastEnd.status, 2);
    EXPECT_NE(pastEnd.err.find("past the last record of the file, 120"), std::string::npos);

    const Outcome noMetafile = run("--data " + sampleData());
    EXPECT_EQ(noMetafile.status, 2);
    EXPECT_NE(noMetafile.err.find("no metafile given"), std::string::npos);
}

// A file that is no NAACCR file for the layout, or holds no records, is refused before any
// record is checked, naming the file and what does not fit.
TEST_F(BatchCommand, AFileThatDoesNotFitTheLayoutIsAnInputError) {
    const std::string passwd =
        home_.write("passwd", "root:x:0:0:root:/root:/bin/bash\nbin:x:1:1::/:/bin/false\n")
            .string();
    const Outcome notNaaccr = run(sampleRun() + " --data " + quoted(passwd));
    EXPECT_EQ(notNaaccr.status, 2);
    EXPECT_NE(notNaaccr.err.find("ravelo-batch: The data file " + passwd +
                                 " does not fit the record layout NAACCR 18 Incidence: its "
                                 "record type \"r\" (column 1) is not a NAACCR record type"),
              std::string::npos)
        << notNaaccr.err;
    EXPECT_NE(notNaaccr.err.find("its records are 32 characters long"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(home_.path() / "query" / "errors.db"));

    const Outcome empty =
        run(sampleRun() + " --data " + quoted(home_.write("empty.txt", "").string()));
    EXPECT_EQ(empty.status, 2);
}

// A folder in the master file that cannot be used is warned about once and replaced by the
// program's own; it stops nothing when the paths the run needs are usable.
TEST_F(BatchCommand, AnUnusableFolderInTheMasterFileStopsNothing) {
    home_.write("ravelo.ini", "[Path]\nReport=/nonexistent/typo/\nConfig=/nonexistent/c/\n");
    const Outcome outcome = run(sampleRun() + " --data " + sampleData());
    EXPECT_EQ(outcome.status, 1) << outcome.err;
    EXPECT_NE(outcome.err.find("ravelo-batch: Problem with folder /nonexistent/typo/ "
                               "/nonexistent/c/: The folders named above could not be used: "
                               "/nonexistent/typo/ (No such file or directory); /nonexistent/c/ "
                               "(No such file or directory)."),
              std::string::npos)
        << outcome.err;
    EXPECT_TRUE(std::filesystem::exists(home_.path() / "reports" / "run_log.txt"));
    EXPECT_FALSE(std::filesystem::exists("/nonexistent"));
}

TEST_F(BatchCommand, RunWritesResultsAndExitsByOutcome) {
    const Outcome outcome =
        run(sampleRun() + " --id-field 'Patient ID Number' --data " + sampleData());
    // The generator plants faults in some of the 120 records, which the sample's edits catch.
    EXPECT_EQ(outcome.status, 1) << outcome.err;
    EXPECT_NE(outcome.out.find("Records checked:          120"), std::string::npos);
    EXPECT_EQ(outcome.out.find("Records with exceptions:  0\n"), std::string::npos);

    const auto query = home_.path() / "query";
    EXPECT_TRUE(std::filesystem::exists(query / "errors.db"));
    const std::string summary = fileContents(query / "summary.txt");
    EXPECT_NE(summary.find(",Record Type (NAACCR)\n"), std::string::npos);
    const std::string log = fileContents(home_.path() / "reports" / "run_log.txt");
    EXPECT_EQ(log.rfind("Ravelo 1.2.8\n", 0), 0u);
    EXPECT_NE(log.find("----- Run 1 -----\n"), std::string::npos);
    EXPECT_NE(log.find("Incidence Core Edits + Incidence Date Edits\n"), std::string::npos);
    EXPECT_NE(log.find("Global Option: Skip Failed Suppress Warnings\n"), std::string::npos);

    const Outcome again =
        run(sampleRun() + " --first 3 --count 1 --results " +
            quoted((home_.path() / "elsewhere").string()) + " --data " + sampleData());
    EXPECT_NE(again.out.find("Records checked:          1\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(home_.path() / "elsewhere" / "errors.db"));
    EXPECT_FALSE(std::filesystem::exists(query / "errors_1st_prev.db"));
}

// An XML file that breaks the rules of its items is refused by the inspection, before any
// record is checked: exit 2, the file, the line and the item named, and no results written.
class XmlInputCommand : public BatchCommand {
protected:
    static std::string sampleXml() { return fileContents(data_->path() / "sample.xml"); }
    // The sample XML with `inserted` put in place of the first occurrence of `at`.
    static std::string replaced(const std::string& at, const std::string& inserted) {
        std::string xml = sampleXml();
        const std::size_t where = xml.find(at);
        EXPECT_NE(where, std::string::npos) << at;
        return where == std::string::npos ? xml : xml.replace(where, at.size(), inserted);
    }
    Outcome refused(const std::string& contents) {
        const std::string path = home_.write("bad.xml", contents).string();
        Outcome outcome = run(sampleRun() + " --data " + quoted(path));
        EXPECT_EQ(outcome.status, 2) << outcome.err;
        EXPECT_NE(outcome.err.find(path), std::string::npos) << outcome.err;
        EXPECT_FALSE(std::filesystem::exists(home_.path() / "query" / "errors.db"));
        return outcome;
    }
    static bool says(const Outcome& outcome, const std::string& text) {
        return outcome.err.find(text) != std::string::npos;
    }
};

TEST_F(XmlInputCommand, TheSampleXmlRuns) {
    const Outcome outcome =
        run(sampleRun() + " --data " + quoted((data_->path() / "sample.xml").string()));
    EXPECT_TRUE(outcome.status == 0 || outcome.status == 1) << outcome.err;
    EXPECT_NE(outcome.out.find("Records checked:          20\n"), std::string::npos);
}

TEST_F(XmlInputCommand, AValueLongerThanItsFieldIsAnInputError) {
    const Outcome outcome = refused(replaced("naaccrNum=\"400\">C", "naaccrNum=\"400\">C123"));
    EXPECT_TRUE(says(outcome, "item \"primarySite\" (400) holds 7 characters; its field has 4"))
        << outcome.err;
    EXPECT_TRUE(says(outcome, "line ")) << outcome.err;
}

TEST_F(XmlInputCommand, AnItemGivenTwiceIsAnInputError) {
    const std::string item = "<Item naaccrId=\"sex\" naaccrNum=\"220\">";
    const Outcome outcome = refused(replaced(item, item + "1</Item>" + item));
    EXPECT_TRUE(says(outcome, "item \"sex\" (220) is given twice in one element")) << outcome.err;
}

TEST_F(XmlInputCommand, AnItemWhoseNumberNamesAnotherItemIsAnInputError) {
    const Outcome outcome =
        refused(replaced("<Tumor>", "<Tumor><Item naaccrId=\"primarySite\" naaccrNum=\"20\">C123"
                                    "</Item>"));
    EXPECT_TRUE(says(outcome, "item \"primarySite\" has naaccrNum 20, the number of item "
                              "\"patientIdNumber\": its naaccrId and naaccrNum disagree"))
        << outcome.err;
}

TEST_F(XmlInputCommand, AFileWithoutTumorsHasNoRecordsToCheck) {
    const std::string xml = sampleXml();
    const Outcome outcome = refused(xml.substr(0, xml.find("<Patient>")) + "</NaaccrData>\n");
    EXPECT_TRUE(says(outcome, "holds no Tumor elements: no records to check")) << outcome.err;
}

TEST_F(XmlInputCommand, ACompressedFileCutShortSaysItsDataEndsEarly) {
    const std::string whole = fileContents(data_->path() / "sample.xml.gz");
    const Outcome outcome = refused(whole.substr(0, whole.size() / 2));
    EXPECT_TRUE(says(outcome, "the compressed data ends early")) << outcome.err;
}

TEST_F(BatchCommand, ConfigurationFileGivesTheDefaults) {
    std::filesystem::create_directories(home_.path() / "metafiles");
    std::filesystem::copy_file(SAMPLE_METAFILE, home_.path() / "metafiles" / "naaccr18.rmf");
    const Outcome outcome = run(std::string("--config ") + SAMPLE_CONFIGURATION +
                                " --counts-only --count 30 --data " + sampleData());
    ASSERT_TRUE(outcome.status == 0 || outcome.status == 1) << outcome.err;
    EXPECT_NE(outcome.out.find("Records checked:          30\n"), std::string::npos);
    const std::string log = fileContents(home_.path() / "reports" / "run_log.txt");
    EXPECT_NE(log.find("VT_SKIPEMPTY: Age at Diagnosis (NAACCR)\n"), std::string::npos);
    EXPECT_NE(log.find("VT_SKIPEMPTY and VT_SKIPFAIL: Census Tract 2000 (NAACCR)\n"),
              std::string::npos);

    const Outcome missing = run("--config /nonexistent.ini --data " + sampleData());
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("/nonexistent.ini does not exist"), std::string::npos);
}

// The sample metafile sits outside the metafile folder, where a name that climbs out of it
// would find it.
TEST_F(BatchCommand, ConfigurationNamesThatLeaveTheirFolderAreInputErrors) {
    std::filesystem::create_directories(home_.path() / "drop");
    std::filesystem::copy_file(SAMPLE_METAFILE, home_.path() / "drop" / "naaccr18.rmf");
    const std::string config =
        home_
            .write("climbing.ini", "[Metafiles]\nMetafile=../drop/naaccr18.rmf\n[RecordLayouts]\n"
                                   "RecordLayout1=NAACCR 18 Incidence\n[EditSets]\n"
                                   "EditSet1=Incidence Core Edits\n")
            .string();
    const Outcome climbing = run("--config " + quoted(config) + " --data " + sampleData());
    EXPECT_EQ(climbing.status, 2);
    EXPECT_EQ(climbing.err, "ravelo-batch: The configuration file " + config +
                                " names the metafile '../drop/naaccr18.rmf' under [Metafiles] "
                                "Metafile; a name there must be a plain file name in the "
                                "metafile folder, without '/' and not '.' or '..'.\n");
    EXPECT_FALSE(std::filesystem::exists(home_.path() / "query" / "errors.db"));

    const std::string absolute = (home_.path() / "drop" / "naaccr18.rmf").string();
    home_.write("absolute.ini", "[Metafiles]\nMetafile=" + absolute + "\n");
    const Outcome named = run("--config " + quoted((home_.path() / "absolute.ini").string()) +
                              " --data " + sampleData());
    EXPECT_EQ(named.status, 2);
    EXPECT_NE(named.err.find("names the metafile '" + absolute + "'"), std::string::npos);

    home_.write("ravelo.ini", "[Config]\ncurrent=../drop/runtime.ini\n");
    const Outcome current = run(sampleRun() + " --data " + sampleData());
    EXPECT_EQ(current.status, 2);
    EXPECT_NE(current.err.find("ravelo-batch: The master configuration file " +
                               (home_.path() / "ravelo.ini").string() +
                               " names the current configuration '../drop/runtime.ini' under "
                               "[Config] current; a name there must be a plain file name in the "
                               "configuration folder"),
              std::string::npos)
        << current.err;

    home_.write("ravelo.ini", "[Report]\nFilename=..\n");
    const Outcome report = run(sampleRun() + " --data " + sampleData());
    EXPECT_EQ(report.status, 2);
    EXPECT_NE(report.err.find("names the report file '..' under [Report] Filename"),
              std::string::npos);
}

TEST_F(BatchCommand, ReportsOfTheRunAndOfAnEarlierRun) {
    const Outcome outcome = run(sampleRun() +
                                " --id-field 'Patient ID Number' --id-field 'Primary Site'"
                                " --sort-field 'Primary Site' --report combined --report csv"
                                " --title 'Spring Submission' --data " +
                                sampleData());
    ASSERT_TRUE(outcome.status == 0 || outcome.status == 1) << outcome.err;
    const auto reports = home_.path() / "reports";
    EXPECT_NE(
        outcome.out.find("combined report:          " + (reports / "Ravelo_combined.rpt").string()),
        std::string::npos)
        << outcome.out;
    EXPECT_NE(outcome.out.find("csv report:               " + (reports / "Ravelo.csv").string()),
              std::string::npos);
    const std::string combined = fileContents(reports / "Ravelo_combined.rpt");
    EXPECT_EQ(combined.rfind("Spring Submission Summary by Edit", 0), 0u);
    EXPECT_NE(combined.find("\fSpring Submission        "), std::string::npos);
    EXPECT_EQ(combined.substr(combined.size() - 23), "\f*** END OF REPORT ***\f");
    const std::string csv = fileContents(reports / "Ravelo.csv");
    EXPECT_EQ(csv.rfind("Record Number,Patient ID Number,Primary Site,Edit Name,", 0), 0u);

    const std::string exact = quoted((home_.path() / "only.txt").string());
    const Outcome again = run("--report summary --keep-zero-counts --report-file " + exact);
    EXPECT_EQ(again.status, 0) << again.err;
    const std::string summary = fileContents(home_.path() / "only.txt");
    EXPECT_NE(summary.find("  0         0         0\n"), std::string::npos);
}

// The overview is one HTML page beside the text reports; alone with --report-file it takes
// that name with ".html".
TEST_F(BatchCommand, TheOverviewReportIsOneHtmlPage) {
    const Outcome outcome = run(sampleRun() +
                                " --report overview --report summary --title 'Spring <Submission>'"
                                " --data " +
                                sampleData());
    ASSERT_TRUE(outcome.status == 0 || outcome.status == 1) << outcome.err;
    const auto page = home_.path() / "reports" / "Ravelo_overview.html";
    EXPECT_NE(outcome.out.find("overview report:          " + page.string()), std::string::npos)
        << outcome.out;
    const std::string html = fileContents(page);
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(html.find("<h1>Spring &lt;Submission&gt;</h1>"), std::string::npos);
    EXPECT_NE(html.find("Edits ranked by failures"), std::string::npos);
    EXPECT_EQ(html.find("<script"), std::string::npos);

    const Outcome again =
        run("--report overview --report-file " + quoted((home_.path() / "page.txt").string()));
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_TRUE(std::filesystem::exists(home_.path() / "page.html"));
}

// Any number of parts gives the same four reports and the same summary, for a fixed-width file
// and for a gzipped NAACCR XML file, which each part reads from its start.
class JobsCommand : public BatchCommand {
protected:
    // The files a run with `jobs` parts leaves, by name.
    std::map<std::string, std::string> reportsOf(const std::string& data, int jobs) {
        const auto folder = home_.path() / ("jobs" + std::to_string(jobs));
        const Outcome outcome = run(
            sampleRun() + " --id-field 'Patient ID Number' --id-field 'Primary Site'" +
            " --report detailed --report summary --report combined --report csv" + " --results " +
            quoted(folder.string()) + " --report-file " + quoted((folder / "run.rpt").string()) +
            " --jobs " + std::to_string(jobs) + " --data " + data);
        EXPECT_EQ(outcome.status, 1) << outcome.err;
        std::map<std::string, std::string> files;
        for (const char* name :
             {"run_detailed.rpt", "run_summary.rpt", "run_combined.rpt", "run.csv", "summary.txt"})
            files[name] = withoutRunTimes(fileContents(folder / name));
        return files;
    }
    // The cover page's start, end and elapsed time are the one thing two runs may not share.
    static std::string withoutRunTimes(const std::string& text) {
        std::istringstream lines(text);
        std::string kept;
        for (std::string line; std::getline(lines, line);)
            if (line.find("Start of Run - ") == std::string::npos &&
                line.find("End of Run - ") == std::string::npos &&
                line.find("Elapsed Time - ") == std::string::npos)
                kept += line + "\n";
        return kept;
    }
    void expectSameForAnyNumberOfParts(const std::string& data) {
        const auto one = reportsOf(data, 1);
        for (const auto& [name, text] : one)
            EXPECT_GT(text.size(), 100u) << name;
        for (int jobs : {2, 3, 7}) {
            SCOPED_TRACE(std::to_string(jobs) + " parts");
            const auto parts = reportsOf(data, jobs);
            for (const auto& [name, text] : one)
                EXPECT_TRUE(parts.at(name) == text) << name << " differs";
        }
    }
};

TEST_F(JobsCommand, AFixedWidthFileGivesTheSameReportsInAnyNumberOfParts) {
    expectSameForAnyNumberOfParts(sampleData());
}

TEST_F(JobsCommand, AGzippedXmlFileGivesTheSameReportsInAnyNumberOfParts) {
    expectSameForAnyNumberOfParts(quoted((data_->path() / "sample.xml.gz").string()));
}

// ravelo-batch's exit status by the run's outcome, on a metafile whose one edit fails records
// of code "AB" and breaks inside the engine on code "ZZ".
class OutcomeCommand : public BatchCommand {
protected:
    std::string checkRun(const std::vector<std::string>& codes, const std::string& results) {
        const vetra::writer::Bytes bytes =
            vetra::testing::runTestMetafile({{"Code Check",
                                              102,
                                              {10},
                                              R"(if (strcmp(#S"Code", "ZZ") == 0) return 1 / 0;
                     if (strcmp(#S"Code", "AB") == 0) return fail; return pass;)"}},
                                            {{"Codes", "", {"Code Check"}}})
                .build();
        std::string records;
        for (const auto& code : codes)
            records += vetra::testing::testRecord(code, "1", "M") + "\n";
        return "--metafile " +
               quoted(home_.write("codes.rmf", std::string(bytes.begin(), bytes.end())).string()) +
               " --layout Test --edit-set Codes --results " + quoted(folder(results)) + " --data " +
               quoted(home_.write("records.txt", records).string());
    }
    std::string folder(const std::string& name) const { return (home_.path() / name).string(); }
    // The records errors.db holds a failure for, read by SQLite itself.
    std::string failedRecords(const std::string& results) const {
        vetra::testing::ResultsFile file(folder(results) + "/errors.db");
        std::string numbers;
        for (const auto& row : file.rows("SELECT recnum FROM errorrecs ORDER BY rowid"))
            numbers += row.front() + " ";
        return numbers;
    }
};

TEST_F(OutcomeCommand, ACleanRunExitsZero) {
    const Outcome outcome = run(checkRun({"CD", "EF", "GH"}, "clean"));
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("Records with exceptions:  0\n"), std::string::npos);
    EXPECT_EQ(failedRecords("clean"), "");
}

TEST_F(OutcomeCommand, FailedRecordsExitOne) {
    const Outcome outcome = run(checkRun({"CD", "AB", "EF", "AB"}, "failed"));
    EXPECT_EQ(outcome.status, 1) << outcome.err;
    EXPECT_EQ(failedRecords("failed"), "2 4 ");
}

TEST_F(OutcomeCommand, AnEngineFailureMidRunExitsThreeWithTheRecordsBeforeIt) {
    for (const char* jobs : {"1", "3"}) {
        SCOPED_TRACE(std::string("--jobs ") + jobs);
        const std::string results = std::string("broken") + jobs;
        const Outcome outcome =
            run(checkRun({"AB", "CD", "AB", "ZZ", "AB", "AB"}, results) + " --jobs " + jobs);
        EXPECT_EQ(outcome.status, 3) << outcome.err;
        EXPECT_EQ(failedRecords(results), "1 3 ");
    }
}

// A results database that cannot grow: the file size limit stops SQLite's writes (the signal
// that would end the program is ignored, so the write fails instead).
TEST_F(OutcomeCommand, AFailedInsertExitsThreeAndLeavesAReadableDatabase) {
    const std::string arguments = checkRun(std::vector<std::string>(3000, "AB"), "full");
    const Outcome outcome = run("--count 3000 " + arguments);
    ASSERT_EQ(outcome.status, 1) << outcome.err;
    const std::string limited = "trap '' XFSZ; ulimit -f 128; exec ";
    const Outcome full = run(arguments, ".", limited);
    EXPECT_EQ(full.status, 3) << full.err;
    EXPECT_NE(full.err.find("errmsg not NULL"), std::string::npos) << full.err;
    vetra::testing::ResultsFile file(folder("full") + "/errors.db");
    EXPECT_GE(file.count("errorrecs"), 0);
}

// A metafile whose one edit fails every record whose instance holds `folders` as the external
// library folders, and records for it.
class LibraryFoldersCommand : public BatchCommand {
protected:
    std::string checkRun(const std::string& folders) {
        const vetra::writer::Bytes bytes =
            vetra::testing::runTestMetafile(
                {{"Library Folders",
                  102,
                  {10},
                  R"(if (strcmp(getvar("_EXTERNALDLL_FOLDERS"), ")" + folders +
                      R"(") == 0) return fail; return pass;)"}},
                {{"Libraries", "", {"Library Folders"}}})
                .build();
        std::string records;
        for (int i = 0; i < 6; ++i)
            records += vetra::testing::testRecord("AB", "1", "M") + "\n";
        return "--metafile " +
               quoted(
                   home_.write("libraries.rmf", std::string(bytes.begin(), bytes.end())).string()) +
               " --layout Test --edit-set Libraries --jobs 3 --data " +
               quoted(home_.write("records.txt", records).string());
    }
    std::string folder(const std::string& name) const { return (home_.path() / name).string(); }

    static constexpr const char* kAllFailed = "Records with exceptions:  6\n";
    static constexpr const char* kNoneFailed = "Records with exceptions:  0\n";
};

TEST_F(LibraryFoldersCommand, EveryInstanceHoldsTheFoldersOfTheOption) {
    const std::string both = folder("lib") + ":" + folder("more");
    const Outcome repeated =
        run(checkRun(both) + " --external-library-folder " + quoted(folder("lib")) +
            " --external-library-folder " + quoted(folder("more")));
    EXPECT_EQ(repeated.status, 1) << repeated.err;
    EXPECT_NE(repeated.out.find(kAllFailed), std::string::npos) << repeated.out;

    const Outcome joined = run(checkRun(both) + " --external-library-folder " + quoted(both));
    EXPECT_EQ(joined.status, 1) << joined.err;
    EXPECT_NE(joined.out.find(kAllFailed), std::string::npos) << joined.out;

    const Outcome none = run(checkRun(both));
    EXPECT_EQ(none.status, 0) << none.err;
    EXPECT_NE(none.out.find(kNoneFailed), std::string::npos) << none.out;
}

TEST_F(LibraryFoldersCommand, ARelativeFolderCountsFromTheCurrentFolder) {
    const std::string arguments =
        checkRun(folder("lib") + ":" + folder("more")) + " --external-library-folder lib:./more";
    const Outcome relative = run(arguments, home_.path().string());
    EXPECT_EQ(relative.status, 1) << relative.err;
    EXPECT_NE(relative.out.find(kAllFailed), std::string::npos) << relative.out;
}

TEST_F(LibraryFoldersCommand, TheMasterFileGivesTheFoldersUnlessTheOptionDoes) {
    home_.write("ravelo.ini", "[Path]\nExternalLibraries=" + folder("installed") + "\n");
    const Outcome master = run(checkRun(folder("installed")));
    EXPECT_EQ(master.status, 1) << master.err;
    EXPECT_NE(master.out.find(kAllFailed), std::string::npos) << master.out;

    const Outcome option =
        run(checkRun(folder("installed")) + " --external-library-folder " + quoted(folder("lib")));
    EXPECT_EQ(option.status, 0) << option.err;
    EXPECT_NE(option.out.find(kNoneFailed), std::string::npos) << option.out;
    EXPECT_FALSE(std::filesystem::exists(folder("installed")));
}

TEST_F(LibraryFoldersCommand, AnEmptyFolderIsAUsageError) {
    const Outcome empty = run("--data x --external-library-folder ''");
    EXPECT_EQ(empty.status, 2);
    EXPECT_NE(empty.err.find("option --external-library-folder needs a folder, not ''"),
              std::string::npos)
        << empty.err;
    EXPECT_EQ(run("--data x --external-library-folder ::").status, 2);
    EXPECT_EQ(run("--data x --external-library-folder").status, 2);
    EXPECT_NE(run("--help").out.find("--external-library-folder DIR"), std::string::npos);
}

TEST_F(BatchCommand, ReportOptionsAreChecked) {
    EXPECT_EQ(run("--report fancy --results x").status, 2);
    EXPECT_EQ(run("--report csv --report csv --results x").status, 2);
    const Outcome lines = run("--report detailed --lines-per-page 29 --results x");
    EXPECT_EQ(lines.status, 2);
    EXPECT_NE(lines.err.find("--lines-per-page needs a number from 30"), std::string::npos);
    EXPECT_EQ(run("--report detailed --page-mode sometimes --results x").status, 2);

    const Outcome unsorted = run("--report detailed --id-field A --sort-field B --results x");
    EXPECT_EQ(unsorted.status, 2);
    EXPECT_NE(unsorted.err.find("the sort field 'B' is not one of the identification fields"),
              std::string::npos);

    const Outcome nothing =
        run("--report detailed --results " + quoted((home_.path() / "empty").string()));
    EXPECT_EQ(nothing.status, 2);
    EXPECT_NE(nothing.err.find("no errors.db"), std::string::npos);

    std::filesystem::create_directories(home_.path() / "broken");
    home_.write("broken/errors.db", "not a database");
    const Outcome broken =
        run("--report detailed --results " + quoted((home_.path() / "broken").string()));
    EXPECT_EQ(broken.status, 3);
    EXPECT_NE(broken.err.find("Unable to read the results database"), std::string::npos);
}

} // namespace
