// The overview report's page, built from its figures: the sections in order, each a heading,
// a chart where one helps, and a plain table. Every text from the results goes through
// htmlText; the markup around it is this file's own.
#include "desktop/reports/html_text.h"
#include "desktop/reports/overview_figures.h"
#include "desktop/reports/overview_report.h"
#include "desktop/reports/svg_charts.h"

#include <algorithm>
#include <cstdio>

namespace vetra::desktop {

namespace {

// Prints on A4 and Letter alike (the page margins only), a section to a printed page, and
// reads in black and white: the bars are dark grey and every figure is also written out.
constexpr const char* kStyleSheet = R"(
:root { color: #111; background: #fff; }
body { font-family: "Liberation Sans", Arial, Helvetica, sans-serif; font-size: 11pt;
  line-height: 1.35; max-width: 60em; margin: 0 auto; padding: 1.5em; }
h1 { font-size: 20pt; margin: 0 0 0.2em; }
h2 { font-size: 14pt; border-bottom: 2px solid #111; padding-bottom: 0.15em; margin-top: 1.8em; }
.subtitle { font-size: 12pt; margin: 0; }
.written { color: #444; font-size: 9pt; }
.note { border-left: 5px solid #111; background: #eee; padding: 0.3em 0.8em; font-weight: bold; }
.more { font-style: italic; }
table { border-collapse: collapse; width: 100%; margin: 0.6em 0; }
th, td { border-bottom: 1px solid #bbb; padding: 0.2em 0.5em; text-align: left;
  vertical-align: top; white-space: pre-wrap; overflow-wrap: anywhere; }
thead th { background: #e6e6e6; border-bottom: 2px solid #111; }
tbody th { font-weight: normal; color: #333; width: 14em; }
.n { text-align: right; white-space: nowrap; font-variant-numeric: tabular-nums; }
.figures { display: flex; flex-wrap: wrap; gap: 0.8em; margin: 0.8em 0; }
.figure { border: 2px solid #111; padding: 0.4em 0.9em; }
.figure .value { font-size: 20pt; font-weight: bold; }
.figure .label { margin-left: 0.4em; }
svg.chart { display: block; max-width: 100%; height: auto; margin: 0.6em 0; }
svg.chart text { font-size: 12px; fill: #111; }
@page { margin: 14mm; }
@media print {
  body { max-width: none; padding: 0; font-size: 10pt; }
  section.page { break-before: page; }
  h2 { break-after: avoid; }
  tr, svg.chart, .figure { break-inside: avoid; }
  thead { display: table-header-group; }
  thead th, .note { print-color-adjust: exact; -webkit-print-color-adjust: exact; }
}
)";

constexpr std::size_t kTitleCharacters = 199; // as the text reports' title lines

std::string cell(const std::string& text) {
    return "<td>" + htmlText(text, overview_report::kTextCharacters) + "</td>";
}

std::string numberCell(long long value) {
    return "<td class=\"n\">" + groupedNumber(value) + "</td>";
}

// " (12.5%)", or nothing without a whole to share.
std::string share(long long part, long long whole) {
    if (whole <= 0) return "";
    char text[32];
    std::snprintf(text, sizeof text, " (%.1f%%)", 100.0 * static_cast<double>(part) / whole);
    return text;
}

std::string note(const std::string& escapedText) {
    return "<p class=\"note\">" + escapedText + "</p>\n";
}

// The line under a cut table: how many rows it left out.
std::string moreRows(std::size_t shown, std::size_t total, const char* what) {
    if (total <= shown) return "";
    return "<p class=\"more\">… and " + groupedNumber(static_cast<long long>(total - shown)) +
           " more " + what + ", not listed.</p>\n";
}

std::string tableStart(std::initializer_list<std::pair<const char*, bool>> headings) {
    std::string html = "<table>\n<thead><tr>";
    for (const auto& [heading, numeric] : headings)
        html += std::string(numeric ? "<th class=\"n\">" : "<th>") + heading + "</th>";
    return html + "</tr></thead>\n<tbody>\n";
}

const char* const kTableEnd = "</tbody>\n</table>\n";

std::string header(const OverviewFigures& figures, const ReportInputs& inputs,
                   const std::string& dateText) {
    std::string html = "<header>\n<h1>" + htmlText(inputs.title, kTitleCharacters) + "</h1>\n";
    if (!inputs.subtitle.empty())
        html += "<p class=\"subtitle\">" + htmlText(inputs.subtitle, kTitleCharacters) + "</p>\n";
    html += "<p class=\"written\">Overview of the run";
    if (const std::string* started = runRecordValue(figures.runRecord, "Start of Run"))
        html += " started " + htmlText(*started, overview_report::kTextCharacters);
    return html + ", written " + htmlText(dateText) + " from " + htmlText(inputs.resultsFolder) +
           "</p>\n</header>\n";
}

std::string runRecordSection(const OverviewFigures& figures) {
    std::string html = "<section id=\"run-record\">\n<h2>Run record</h2>\n";
    const RunRecordRows& rows = figures.runRecord;
    if (rows.empty())
        return html +
               note("The results database holds no run record: the run did not finish, and "
                    "the figures below come from the failures it stored.") +
               "</section>\n";
    if (runRecordValue(rows, "NOTE: RUN CANCELLED") != nullptr)
        html += note("The run was halted: these are partial results.");
    else if (runRecordValue(rows, "NOTE: RUN CONTINUED WITH COUNTS ONLY") != nullptr)
        html += note("The run passed its message limit and went on with counts only: the "
                     "failures stored are partial.");
    html += "<table>\n<tbody>\n";
    const std::size_t shown = std::min(rows.size(), overview_report::kRunRecordRows);
    for (std::size_t i = 0; i < shown; ++i)
        html += "<tr><th scope=\"row\">" +
                htmlText(rows[i].first, overview_report::kTextCharacters) + "</th>" +
                cell(rows[i].second) + "</tr>\n";
    return html + kTableEnd + moreRows(shown, rows.size(), "rows") + "</section>\n";
}

std::string figure(const std::string& value, const std::string& label) {
    return "<div class=\"figure\"><span class=\"value\">" + value +
           "</span> <span class=\"label\">" + label + "</span></div>\n";
}

std::string headlineSection(const OverviewFigures& figures) {
    const HeadlineFigures& headline = figures.headline;
    std::string html = "<section id=\"headline\">\n<h2>Headline figures</h2>\n"
                       "<div class=\"figures\">\n";
    html +=
        figure(headline.recordsChecked ? groupedNumber(*headline.recordsChecked) : "not recorded",
               "records checked");
    html += figure(groupedNumber(headline.recordsWithFailures) +
                       share(headline.recordsWithFailures, headline.recordsChecked.value_or(0)),
                   "records with failures");
    html += figure(groupedNumber(headline.messages), "messages");
    html += figure(groupedNumber(headline.errors), "errors");
    html += figure(groupedNumber(headline.warnings), "warnings");
    return html + "</div>\n</section>\n";
}

std::vector<ChartBar> topBars(const std::vector<ChartBar>& all) {
    std::vector<ChartBar> top;
    for (const ChartBar& bar : all) {
        if (top.size() == overview_report::kChartBars || bar.value <= 0) break;
        top.push_back(bar);
    }
    return top;
}

std::string editsSection(const OverviewFigures& figures, bool omitZeroCounts) {
    std::string html = "<section id=\"edits\" class=\"page\">\n<h2>Edits ranked by failures</h2>\n";
    std::vector<ChartBar> bars;
    for (const EditFigures& edit : figures.edits)
        bars.push_back({edit.name, edit.failures()});
    const std::vector<ChartBar> top = topBars(bars);
    if (top.empty()) return html + "<p>No edit failed.</p>\n</section>\n";
    html += "<p>The " + groupedNumber(static_cast<long long>(top.size())) +
            " edits with the most failures (errors and warnings):</p>\n" +
            horizontalBarChart(top, "Failures of the edits that fail most");
    if (!figures.editsFromSummary) {
        html += note("summary.txt is missing: each edit's count is of the records it failed, "
                     "from the results database.");
        html += tableStart({{"Edit", false}, {"Failed records", true}});
    } else {
        html +=
            tableStart({{"Edit", false}, {"Errors", true}, {"Warnings", true}, {"Skips", true}});
    }
    std::size_t listed = 0, total = 0;
    for (const EditFigures& edit : figures.edits) {
        if (omitZeroCounts && edit.errors == 0 && edit.warnings == 0 && edit.skips == 0) continue;
        if (++total > overview_report::kTableRows) continue;
        ++listed;
        html += "<tr>" + cell(edit.name) + numberCell(edit.errors);
        if (figures.editsFromSummary) html += numberCell(edit.warnings) + numberCell(edit.skips);
        html += "</tr>\n";
    }
    return html + kTableEnd + moreRows(listed, total, "edits") + "</section>\n";
}

std::string fieldsSection(const OverviewFigures& figures) {
    std::string html = "<section id=\"fields\" class=\"page\">\n"
                       "<h2>Fields most often named in failed edits</h2>\n";
    if (figures.fields.empty())
        return html +
               (figures.failedEdits == 0 && figures.headline.messages > 0
                    ? note("The results database stores no failures (the run kept counts "
                           "only), so no fields can be counted.")
                    : std::string("<p>No failed edit named a field.</p>\n")) +
               "</section>\n";
    std::vector<ChartBar> bars;
    for (const CountedName& field : figures.fields)
        bars.push_back({field.name, field.count});
    html += "<p>Each count is of the failed edits that name the field.</p>\n" +
            horizontalBarChart(topBars(bars), "Failed edits naming each field") +
            tableStart({{"Field", false}, {"Failed edits", true}});
    const std::size_t shown = std::min(figures.fields.size(), overview_report::kTableRows);
    for (std::size_t i = 0; i < shown; ++i)
        html +=
            "<tr>" + cell(figures.fields[i].name) + numberCell(figures.fields[i].count) + "</tr>\n";
    return html + kTableEnd + moreRows(shown, figures.fields.size(), "fields") + "</section>\n";
}

std::string bandsSection(const OverviewFigures& figures) {
    const FileBands& bands = figures.bands;
    std::string html = "<section id=\"along-the-file\" class=\"page\">\n"
                       "<h2>Failures along the file</h2>\n";
    if (figures.failedEdits == 0)
        return html + "<p>No failures are stored, so there is nothing to show along the file.</p>\n"
                      "</section>\n";
    if (bands.failedEdits.empty())
        return html +
               note("The record numbers of this run are out of range: the failures "
                    "cannot be placed along the file.") +
               "</section>\n";
    const std::size_t count = bands.failedEdits.size();
    const std::size_t middle = count / 2;
    html += "<p>Records " + groupedNumber(bands.firstRecord) + " to " +
            groupedNumber(bands.lastRecord) + " in " +
            groupedNumber(static_cast<long long>(count)) +
            " equal bands; each column counts the failed edits of its band's records.</p>\n";
    html += columnChart(bands.failedEdits,
                        {"record " + groupedNumber(bands.firstRecord),
                         "record " + groupedNumber(bands.bandStart(middle)),
                         "record " + groupedNumber(bands.lastRecord)},
                        "Failed edits per band of records along the file");
    html += tableStart({{"Records", false}, {"Failed edits", true}});
    for (std::size_t i = 0; i < count; ++i) {
        const long long last = i + 1 < count ? bands.bandStart(i + 1) - 1 : bands.lastRecord;
        html += "<tr><td>" + groupedNumber(bands.bandStart(i)) + " – " + groupedNumber(last) +
                "</td>" + numberCell(bands.failedEdits[i]) + "</tr>\n";
    }
    return html + kTableEnd + "</section>\n";
}

std::string change(const EditChange& edit) {
    if (edit.then == 0) return "new";
    if (edit.now == 0) return "none now";
    if (edit.now == edit.then) return "same";
    return (edit.now > edit.then ? "+" : "−") + groupedNumber(std::llabs(edit.now - edit.then));
}

std::string comparisonSection(const OverviewFigures& figures) {
    std::string html = "<section id=\"comparison\" class=\"page\">\n"
                       "<h2>Compared with the previous run</h2>\n";
    if (!figures.previous)
        return html +
               note("The previous run's database errors_1st_prev.db could not be read: " +
                    htmlText(figures.previousError, overview_report::kTextCharacters)) +
               "</section>\n";
    const PreviousRun& previous = *figures.previous;
    const auto value = [](const RunRecordRows& rows, const char* key) {
        const std::string* found = runRecordValue(rows, key);
        return found != nullptr ? *found : std::string("not recorded");
    };
    html += "<p>Each count is of the records an edit failed, from errors.db and "
            "errors_1st_prev.db.</p>\n" +
            tableStart({{"", false}, {"Previous run", false}, {"This run", false}});
    for (const char* key : {"Start of Run", "Data File", "Processed Records"})
        html += std::string("<tr><th scope=\"row\">") + key + "</th>" +
                cell(value(previous.runRecord, key)) + cell(value(figures.runRecord, key)) +
                "</tr>\n";
    html += "<tr><th scope=\"row\">Failed edits</th><td>" + groupedNumber(previous.failedEdits) +
            "</td><td>" + groupedNumber(figures.failedEdits) + "</td></tr>\n" + kTableEnd;
    html +=
        tableStart({{"Edit", false}, {"Previous run", true}, {"This run", true}, {"Change", true}});
    const std::size_t shown = std::min(previous.changes.size(), overview_report::kTableRows);
    for (std::size_t i = 0; i < shown; ++i) {
        const EditChange& edit = previous.changes[i];
        html += "<tr>" + cell(edit.name) + numberCell(edit.then) + numberCell(edit.now) +
                "<td class=\"n\">" + change(edit) + "</td></tr>\n";
    }
    return html + kTableEnd + moreRows(shown, previous.changes.size(), "edits") + "</section>\n";
}

} // namespace

std::string overviewPage(const OverviewFigures& figures, const ReportInputs& inputs,
                         const std::string& dateText) {
    std::string html = "<!DOCTYPE html>\n"
                       "<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\" xml:lang=\"en\">\n"
                       "<head>\n<meta charset=\"utf-8\"/>\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n"
                       "<title>" +
                       htmlText(inputs.title, kTitleCharacters) + " – Overview</title>\n<style>" +
                       kStyleSheet + "</style>\n</head>\n<body>\n";
    html += header(figures, inputs, dateText) + runRecordSection(figures) +
            headlineSection(figures) + editsSection(figures, inputs.omitZeroCounts) +
            fieldsSection(figures) + bandsSection(figures);
    if (figures.previous || !figures.previousError.empty()) html += comparisonSection(figures);
    return html + "</body>\n</html>\n";
}

} // namespace vetra::desktop
