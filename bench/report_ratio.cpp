// The reports beside what they must at least read, side by side in one process, over a results
// database of 100,000 failed edits (50,000 records, two failed edits each, one message and two
// fields per failed edit):
//   floor            a plain SELECT of every row of the four detail tables, each text read
//   detailed report  RAVquery's detailed report of the same database, pages filled
//   overview         the overview page, against the summary report plus one plain pass over
//                    editfields (every row, each text read), in several rounds; then again
//                    with the previous run's database beside it, which adds the comparison
// Prints failure rows per second and the ratios.
#include "desktop/reports/overview_report.h"
#include "desktop/reports/text_reports.h"
#include "desktop/run/results_database.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

using namespace vetra::desktop;
using Clock = std::chrono::steady_clock;

constexpr int kRecords = 50000;
constexpr int kEditsPerRecord = 2;
constexpr int kRounds = 7;

class SilentBoxes : public vetra::platform::MessageBoxes {
public:
    vetra::platform::MessageAnswer show(const std::string& text, const std::string&,
                                        vetra::platform::MessageButtons) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return vetra::platform::MessageAnswer::Ok;
    }
};

class NoProgress : public ReportProgress {
public:
    void start(std::int64_t) override {}
    void advance(std::int64_t) override {}
    void finish() override {}
    void processPendingEvents() override {}
};

void writeResults(const std::string& folder) {
    ResultsDatabase database;
    database.createFresh(folder);
    database.open(folder);
    database.beginTransaction();
    database.addRunRecordRow("Start of Run", "12/09/2026 10:00:00");
    database.addRunRecordRow("Range Processed", "1 - " + std::to_string(kRecords));
    database.addRunRecordRow("Processed Records", std::to_string(kRecords));
    database.addRunRecordRow("Total Exception Records", std::to_string(kRecords));
    IdentificationPairs pairs;
    pairs[0].name = "Patient ID Number";
    pairs[1].name = "Primary Site";
    std::int64_t failedEdit = 0;
    for (int record = 1; record <= kRecords; ++record) {
        pairs[0].value = std::to_string(10000000 + record);
        pairs[1].value = "C" + std::to_string(100 + record % 700);
        database.addRecordRow(record, pairs, kEditsPerRecord);
        for (int edit = 0; edit < kEditsPerRecord; ++edit) {
            ++failedEdit;
            database.addFailedEdit(failedEdit, record, "Primary Site, Sex (NAACCR)");
            database.addMessage(failedEdit, failedEdit,
                                "Primary Site (C619) is not valid for Sex (2)", "E");
            database.addField(failedEdit, "Primary Site (400)", "[C619]", "_ _ _ _ ");
            database.addField(failedEdit, "Sex (220)", "[2]", "_ ");
        }
    }
    database.endTransaction();
    std::ofstream(folder + "summary.txt")
        << kRecords * kEditsPerRecord << ",0,0,Primary Site, Sex (NAACCR)\n";
}

double seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

template <class Work> double timed(Work&& work) {
    const auto start = Clock::now();
    work();
    return seconds(start);
}

double plainSelect(const std::string& path,
                   std::initializer_list<const char*> queries = {
                       "SELECT * FROM errorrecs;", "SELECT * FROM editfailures;",
                       "SELECT * FROM editerrors;", "SELECT * FROM editfields;"}) {
    sqlite3* database = nullptr;
    // The connection the report's reader uses: read-only, one thread, the file mapped.
    sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_exec(database, "PRAGMA mmap_size = 1073741824; PRAGMA cache_size = -65536;", nullptr,
                 nullptr, nullptr);
    const auto start = Clock::now();
    std::size_t characters = 0;
    for (const char* sql : queries) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(database, sql, -1, &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW)
            for (int column = 0; column < sqlite3_column_count(statement); ++column)
                characters += static_cast<std::size_t>(sqlite3_column_bytes(statement, column)) +
                              (sqlite3_column_text(statement, column) != nullptr ? 1 : 0);
        sqlite3_finalize(statement);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    sqlite3_close(database);
    return characters > 0 ? seconds : -1;
}

// Rounds of the summary report, one plain pass over editfields and the overview, side by side:
// the overview's time over the other two's.
std::vector<double> overviewRatios(RAVquery& query, ReportInputs inputs) {
    SilentBoxes boxes;
    overview_report overview(boxes);
    std::vector<double> ratios;
    for (int round = 0; round < kRounds; ++round) {
        inputs.reportFileName = inputs.resultsFolder + "summary.rpt";
        const double summary = timed([&] { query.summaryReport(inputs); });
        const double pass =
            plainSelect(inputs.resultsFolder + "errors.db", {"SELECT * FROM editfields;"});
        inputs.reportFileName = inputs.resultsFolder + "overview.html";
        const double page = timed([&] { overview.write(inputs); });
        ratios.push_back(page / (summary + pass));
    }
    return ratios;
}

} // namespace

int main() {
    const auto folder = std::filesystem::temp_directory_path() / "ravelo-report-bench/";
    std::filesystem::create_directories(folder);
    writeResults(folder.string());

    SilentBoxes boxes;
    NoProgress progress;
    RAVquery query(boxes, progress);
    ReportInputs inputs;
    inputs.reportFileName = (folder / "detailed.rpt").string();
    inputs.title = "Benchmark";
    inputs.resultsFolder = folder.string();
    inputs.selectedFields = {"Patient ID Number", "Primary Site"};

    const double floor = plainSelect(folder.string() + "errors.db");
    auto start = Clock::now();
    query.detailedReport(inputs);
    const double report = std::chrono::duration<double>(Clock::now() - start).count();
    const double floorAgain = plainSelect(folder.string() + "errors.db");
    const auto size = std::filesystem::file_size(folder / "detailed.rpt");
    const std::vector<double> alone = overviewRatios(query, inputs);
    std::filesystem::copy_file(folder / "errors.db", folder / "errors_1st_prev.db");
    const std::vector<double> compared = overviewRatios(query, inputs);
    const auto pageSize = std::filesystem::file_size(folder / "overview.html");
    if (std::getenv("KEEP") == nullptr) std::filesystem::remove_all(folder);

    const double failureRows = kRecords * kEditsPerRecord;
    const double best = std::min(floor, floorAgain);
    std::printf("%.0f failed edits (%d records), report of %.1f MB\n", failureRows, kRecords,
                static_cast<double>(size) / 1e6);
    std::printf("floor (plain SELECT of the rows)  %10.0f failure rows/s\n", failureRows / best);
    std::printf("detailed report                   %10.0f failure rows/s\n", failureRows / report);
    std::printf("detailed report / floor           %10.2fx  (target at most 2x)\n", report / best);
    const auto range = [](std::vector<double> ratios) {
        std::sort(ratios.begin(), ratios.end());
        std::printf("median %.2fx, %.2fx to %.2fx over %zu rounds  (target at most 1x)\n",
                    ratios[ratios.size() / 2], ratios.front(), ratios.back(), ratios.size());
    };
    std::printf("overview page of %.0f kB\n", static_cast<double>(pageSize) / 1e3);
    std::printf("overview / (summary report + editfields pass)                   ");
    range(alone);
    std::printf("overview with the previous run / (summary + editfields pass)    ");
    range(compared);
    return 0;
}
