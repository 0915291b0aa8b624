// The overview report over the results of real runs: its figures against SQL over the same
// databases (per edit, per field, per band, and against the previous run's database), the page
// parsed as XML by expat with hostile texts inserted into the results, the results that make
// no ordinary page (no failures, a halted run, no run record, no summary file, a damaged
// database), and the page's size over results far larger than any table it shows.
#include "desktop/reports/html_text.h"
#include "desktop/reports/overview_figures.h"
#include "desktop/reports/overview_report.h"
#include "desktop/run/results_database.h"
#include "tests/desktop/reports/report_fixture.h"

#include <expat.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sqlite3.h>

namespace {

using vetra::desktop::overview_report;
using vetra::desktop::OverviewFigures;
using vetra::desktop::readOverviewFigures;
using vetra::testing::fileContents;
using vetra::testing::ResultsFile;
using vetra::testing::testRecord;

struct ParsedPage {
    bool wellFormed = false;
    std::string error;
    std::string text; // all character data, in order
    std::set<std::string> elements;
};

ParsedPage parsePage(const std::string& page) {
    ParsedPage parsed;
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &parsed);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* name, const XML_Char**) {
            static_cast<ParsedPage*>(data)->elements.insert(name);
        },
        nullptr);
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* text, int length) {
        static_cast<ParsedPage*>(data)->text.append(text, static_cast<std::size_t>(length));
    });
    parsed.wellFormed =
        XML_Parse(parser, page.data(), static_cast<int>(page.size()), XML_TRUE) == XML_STATUS_OK;
    if (!parsed.wellFormed)
        parsed.error = std::string(XML_ErrorString(XML_GetErrorCode(parser))) + " at line " +
                       std::to_string(XML_GetCurrentLineNumber(parser));
    XML_ParserFree(parser);
    return parsed;
}

// Runs statements on a results database with write access, as a damaged or hand-edited
// results folder would hold it.
void execute(const std::string& path, const std::string& sql) {
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &database), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(database, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
        << (error != nullptr ? error : "");
    sqlite3_free(error);
    sqlite3_close(database);
}

std::map<std::string, long long> countsOf(const ResultsFile& results, const std::string& query) {
    std::map<std::string, long long> counts;
    for (const auto& row : results.rows(query))
        counts[row[0]] = std::stoll(row[1]);
    return counts;
}

class OverviewReport : public vetra::testing::ReportFixture {
protected:
    OverviewFigures figures() {
        OverviewFigures figures;
        std::string error;
        EXPECT_TRUE(readOverviewFigures(resultsFolder_, figures, error)) << error;
        return figures;
    }
    std::string pagePath() const { return (scratch_.path() / "report.html").string(); }
    // Writes the page and parses it; the page must be well-formed.
    ParsedPage writtenPage() {
        EXPECT_EQ(overview_.write(inputs("Spring <Submission> & Co")), overview_report::kWritten);
        EXPECT_TRUE(reportMessages_.shown().empty());
        ParsedPage parsed = parsePage(fileContents(pagePath()));
        EXPECT_TRUE(parsed.wellFormed) << parsed.error;
        return parsed;
    }

    overview_report overview_{reportMessages_};
};

// Sex F on every third record, code AB on every seventh, site C999 on records 40 to 59.
std::vector<std::string> mixedRecords(int count, int sexEvery) {
    std::vector<std::string> records;
    for (int i = 1; i <= count; ++i)
        records.push_back(testRecord(i % 7 == 0 ? "AB" : "CD", "1", i % sexEvery == 0 ? "F" : "M",
                                     i >= 40 && i < 60 ? "C999" : "C509"));
    return records;
}

TEST_F(OverviewReport, FiguresAgreeWithSqlOverTheRunsDatabases) {
    runReportEdits(mixedRecords(120, 3), {"Main"});
    const OverviewFigures first = figures();
    {
        const ResultsFile results(resultsPath());
        EXPECT_EQ(first.headline.recordsChecked, 120);
        EXPECT_EQ(first.headline.recordsWithFailures,
                  std::stoll(results.rows("SELECT count(DISTINCT recnum) FROM errorrecs;")[0][0]));
        EXPECT_EQ(first.headline.messages, results.count("editerrors"));
        EXPECT_EQ(first.failedEdits, results.count("editfailures"));

        std::map<std::string, long long> fields;
        for (const auto& field : first.fields)
            fields[field.name] = field.count;
        EXPECT_EQ(fields, countsOf(results, "SELECT field_title, count(*) FROM editfields GROUP "
                                            "BY field_title;"));
        for (std::size_t i = 1; i < first.fields.size(); ++i)
            EXPECT_GE(first.fields[i - 1].count, first.fields[i].count);

        ASSERT_EQ(first.bands.failedEdits.size(), OverviewFigures::kBands);
        EXPECT_EQ(first.bands.firstRecord, 1);
        EXPECT_EQ(first.bands.lastRecord, 120);
        std::vector<long long> bands(OverviewFigures::kBands, 0);
        for (const auto& row :
             results.rows("SELECT (recnum - 1) * 50 / 120, count(*) FROM editfailures GROUP BY 1;"))
            bands[std::stoul(row[0])] = std::stoll(row[1]);
        EXPECT_EQ(first.bands.failedEdits, bands);
        EXPECT_EQ(first.bands.bandStart(1), 3); // 120 records in 50 bands: 2 or 3 each
    }
    // The edits come from summary.txt, most failures first.
    ASSERT_TRUE(first.editsFromSummary);
    ASSERT_EQ(first.edits.size(), 3u);
    EXPECT_EQ(first.edits[0].name, "Sex Check");
    EXPECT_EQ(first.edits[0].errors, 40);
    EXPECT_EQ(first.edits[1].name, "Two Messages");
    EXPECT_EQ(first.edits[1].errors, 34); // two messages on each of 17 records
    EXPECT_EQ(first.edits[2].name, "No Fields");
    EXPECT_EQ(first.edits[2].errors, 20);
    EXPECT_FALSE(first.previous);

    // The next run moves this database to errors_1st_prev.db; the comparison counts each
    // edit's failed records in both.
    runReportEdits(mixedRecords(120, 5), {"Main"});
    const OverviewFigures second = figures();
    ASSERT_TRUE(second.previous) << second.previousError;
    const std::string query = "SELECT editname, count(*) FROM editfailures GROUP BY editname;";
    const auto now = countsOf(ResultsFile(resultsPath()), query);
    const auto then = countsOf(ResultsFile(resultsPath("errors_1st_prev.db")), query);
    for (const auto& change : second.previous->changes) {
        EXPECT_EQ(change.now, now.at(change.name)) << change.name;
        EXPECT_EQ(change.then, then.at(change.name)) << change.name;
    }
    ASSERT_EQ(second.previous->changes.size(), 3u);
    EXPECT_EQ(second.previous->changes[0].name, "Sex Check"); // 40 then, 24 now
    EXPECT_EQ(second.previous->failedEdits, first.failedEdits);

    const ParsedPage page = writtenPage();
    EXPECT_NE(page.text.find("Compared with the previous run"), std::string::npos);
    EXPECT_NE(page.text.find("Sex Check4024−16"), std::string::npos) << page.text;
}

TEST_F(OverviewReport, EveryTextFromTheResultsShowsAsWritten) {
    runReportEdits({testRecord("QQ", "1", "F", "C509", "<b>Smith & \"Jones\"</b>")},
                   {"Main", "Quoting"});
    const std::string database = resultsPath();
    execute(database,
            "INSERT INTO editrun VALUES('Key <b>&amp;', 'Value \"quoted\" ''single'' "
            "<script>alert(1)</script>' || char(13) || char(10) || 'second line' || char(1));"
            "INSERT INTO editfields VALUES(999, 'Title <&>\"''', '[x]', '_ ');"
            "INSERT INTO editfields VALUES(999, 'Latin ' || CAST(x'E9' AS TEXT) || ' byte', "
            "'[x]', '_ ');");
    std::ofstream(resultsPath("summary.txt"), std::ios::app) << "7,0,0,Edit <i>&</i> \"A\"\n";
    const ParsedPage page = writtenPage();
    for (const std::string shown :
         {"Spring <Submission> & Co", "Key <b>&amp;",
          "Value \"quoted\" 'single' <script>alert(1)</script>\nsecond line\u2401", "Title <&>\"'",
          "Latin \u00e9 byte", "Edit <i>&</i> \"A\"", vetra::testing::kQuotingEdit})
        EXPECT_NE(page.text.find(shown), std::string::npos) << shown;
    const std::set<std::string> allowed = {"html",   "head",  "meta", "title", "style",   "body",
                                           "header", "h1",    "h2",   "p",     "section", "table",
                                           "thead",  "tbody", "tr",   "th",    "td",      "div",
                                           "span",   "svg",   "rect", "text",  "line"};
    for (const auto& element : page.elements)
        EXPECT_TRUE(allowed.count(element) == 1) << element;
}

TEST(OverviewText, EscapesMarkupAndKeepsEveryByteVisible) {
    using vetra::desktop::htmlAttribute;
    using vetra::desktop::htmlText;
    EXPECT_EQ(htmlText("a<b>&\"c'"), "a&lt;b&gt;&amp;\"c'");
    EXPECT_EQ(htmlAttribute("a<\"'&"), "a&lt;&quot;&#39;&amp;");
    EXPECT_EQ(htmlText("one\r\ntwo\rthree\n"), "one\ntwo\nthree\n");
    EXPECT_EQ(htmlText(std::string("\x01\x1b\x7f", 3)), "\u2401\u241b\u2421");
    EXPECT_EQ(htmlText("caf\xc3\xa9 caf\xe9 \xef\xbf\xbe"),
              "caf\u00e9 caf\u00e9 \u00ef\u00bf\u00be");
    EXPECT_EQ(htmlText("\xed\xa0\x80"), "\u00ed\u00a0\u0080"); // a surrogate is no character
    EXPECT_EQ(htmlText("abcdef", 3), "abc\u2026");
    EXPECT_EQ(htmlText("\xc3\xa9\xc3\xa9", 1), "\u00e9\u2026");
    EXPECT_EQ(vetra::desktop::groupedNumber(1234567), "1,234,567");
    EXPECT_EQ(vetra::desktop::groupedNumber(-1000), "-1,000");
    EXPECT_EQ(vetra::desktop::groupedNumber(999), "999");
}

// Any bytes at all, escaped, make well-formed XML text: every pair of bytes, and longer runs of
// the bytes that start and continue UTF-8 sequences.
TEST(OverviewText, AnyBytesMakeWellFormedText) {
    using vetra::desktop::htmlAttribute;
    using vetra::desktop::htmlText;
    const auto parses = [](const std::string& text) {
        return parsePage("<p a=\"" + htmlAttribute(text) + "\">" + htmlText(text) + "</p>")
            .wellFormed;
    };
    for (int first = 0; first < 256; ++first)
        for (int second = 0; second < 256; ++second) {
            const std::string text{static_cast<char>(first), static_cast<char>(second)};
            ASSERT_TRUE(parses(text)) << first << " " << second;
        }
    const std::string pieces[] = {"\xe2", "\x82", "\xac", "\xf0", "\x9f", "\xed", "\xbf", "a"};
    for (int n = 0; n < 8 * 8 * 8 * 8; ++n) {
        std::string text;
        for (int k = n, i = 0; i < 4; ++i, k /= 8)
            text += pieces[k % 8];
        ASSERT_TRUE(parses(text)) << n;
    }
}

TEST_F(OverviewReport, ResultsWithoutAnOrdinaryRunStillMakeASensiblePage) {
    runReportEdits({testRecord("CD", "1", "M"), testRecord("CD", "1", "M")}, {"Main"});
    ParsedPage page = writtenPage();
    EXPECT_NE(page.text.find("No edit failed."), std::string::npos);
    EXPECT_NE(page.text.find("2 records checked"), std::string::npos) << page.text;
    EXPECT_EQ(page.elements.count("rect"), 0u);

    runReportEdits({testRecord("AB", "1", "F"), testRecord("CD", "1", "F")}, {"Main"});
    execute(resultsPath(), "INSERT INTO editrun VALUES('NOTE: RUN CANCELLED', 'PARTIAL RESULTS');");
    page = writtenPage();
    EXPECT_NE(page.text.find("The run was halted: these are partial results."), std::string::npos);

    // A range no data file has cannot be drawn along the file.
    execute(resultsPath(), "UPDATE editrun SET value = '-9223372036854775808 - "
                           "9223372036854775807' WHERE key = 'Range Processed';");
    page = writtenPage();
    EXPECT_NE(page.text.find("cannot be placed along the file"), std::string::npos);

    // A run that wrote no run record: the headline comes from the rows.
    execute(resultsPath(), "DELETE FROM editrun;");
    std::filesystem::remove(resultsPath("summary.txt"));
    const OverviewFigures figures = this->figures();
    EXPECT_FALSE(figures.headline.recordsChecked);
    EXPECT_EQ(figures.headline.recordsWithFailures, 2);
    EXPECT_EQ(figures.headline.messages, 4);
    EXPECT_EQ(figures.headline.errors, 4);
    EXPECT_FALSE(figures.editsFromSummary);
    ASSERT_EQ(figures.edits.size(), 2u);
    EXPECT_EQ(figures.edits[0].name, "Sex Check");
    EXPECT_EQ(figures.edits[0].errors, 2); // failed records
    EXPECT_EQ(figures.bands.firstRecord, 1);
    EXPECT_EQ(figures.bands.lastRecord, 2);
    EXPECT_EQ(figures.bands.failedEdits, (std::vector<long long>{2, 1}));
    page = writtenPage();
    EXPECT_NE(page.text.find("holds no run record"), std::string::npos);
    EXPECT_NE(page.text.find("summary.txt is missing"), std::string::npos);
    EXPECT_NE(page.text.find("not recorded records checked"), std::string::npos);

    // A previous database that cannot be read is named; the rest of the page stands.
    std::ofstream(resultsPath("errors_1st_prev.db"), std::ios::binary) << std::string(4096, 'x');
    page = writtenPage();
    EXPECT_NE(page.text.find("errors_1st_prev.db could not be read: file is not a database"),
              std::string::npos);
}

TEST_F(OverviewReport, ADamagedOrMissingDatabaseIsAClearErrorAndWritesNothing) {
    runReportEdits({testRecord("AB", "1", "F")}, {"Main"});
    std::ofstream(resultsPath(), std::ios::binary | std::ios::trunc) << std::string(8192, '\x5a');
    EXPECT_EQ(overview_.write(inputs()), overview_report::kResultsUnreadable);
    std::filesystem::remove(resultsPath());
    EXPECT_EQ(overview_.write(inputs()), overview_report::kResultsUnreadable);
    ASSERT_EQ(reportMessages_.shown().size(), 2u);
    EXPECT_EQ(reportMessages_.shown()[0].text, "Unable to read the results database " +
                                                   resultsFolder_ +
                                                   "errors.db: file is not a database");
    EXPECT_EQ(reportMessages_.shown()[1].text.rfind("Unable to read the results database", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(pagePath()));

    EXPECT_EQ(overview_report::overviewFileName("/r/out.rpt"), "/r/out.html");
    EXPECT_EQ(overview_report::overviewFileName("/r.v2/out"), "/r.v2/out.html");
}

// Thousands of edits, fields and run record rows, every text long and made of characters that
// escaping lengthens: the tables are cut and the rest counted, and the page stays small.
TEST_F(OverviewReport, ThePageStaysUnderTwoMegabytesWhateverTheResults) {
    constexpr int kMany = 3000;
    vetra::desktop::ResultsDatabase database;
    ASSERT_EQ(database.createFresh(resultsFolder_), 0);
    ASSERT_EQ(database.open(resultsFolder_), 0);
    database.beginTransaction();
    database.addRunRecordRow("Range Processed", "1 - 3000");
    std::ofstream summary(resultsPath("summary.txt"), std::ios::binary);
    vetra::desktop::IdentificationPairs pairs;
    for (int i = 1; i <= kMany; ++i) {
        const std::string many(300, "&<>"[i % 3]);
        database.addRunRecordRow(many + std::to_string(i), many);
        database.addRecordRow(i, pairs, 1);
        database.addFailedEdit(i, i, many + std::to_string(i));
        database.addField(i, many + std::to_string(i), "[x]", "_ ");
        database.addMessage(i, i, many, "E");
        summary << i << ",0,0," << std::string(80, '&') << i << "\n";
    }
    database.endTransaction();
    database.close();
    summary.close();
    std::filesystem::copy_file(resultsPath(), resultsPath("errors_1st_prev.db"));

    const ParsedPage page = writtenPage();
    EXPECT_LT(std::filesystem::file_size(pagePath()), 2'000'000u);
    EXPECT_NE(page.text.find("… and 2,500 more edits, not listed."), std::string::npos);
    EXPECT_NE(page.text.find("… and 2,500 more fields, not listed."), std::string::npos);
    EXPECT_NE(page.text.find("… and 2,901 more rows, not listed."), std::string::npos);
}

} // namespace
