#include "desktop/reports/overview_figures.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sqlite3.h>
#include <string_view>
#include <unordered_map>

namespace vetra::desktop {

namespace {

// Record numbers count from 1; a range beyond this many records is no data file's, so a
// results database that claims one is not drawn along the file.
constexpr long long kLargestPlausibleRecord = 1LL << 40;
constexpr std::size_t kSummaryLineLimit = 99; // as the summary report reads the file

// Counts by a text read straight from SQLite's row: looking a text up makes no string of it, so
// a pass over a table allocates once per distinct name, not once per row.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>{}(text);
    }
};
using CountsByName = std::unordered_map<std::string, long long, TextHash, std::equal_to<>>;

void countText(CountsByName& counts, sqlite3_stmt* row, int column) {
    const auto* text = sqlite3_column_text(row, column);
    const std::string_view name(text != nullptr ? reinterpret_cast<const char*>(text) : "",
                                static_cast<std::size_t>(sqlite3_column_bytes(row, column)));
    const auto found = counts.find(name);
    if (found != counts.end())
        ++found->second;
    else
        counts.emplace(name, 1);
}

class Database {
public:
    ~Database() { sqlite3_close_v2(handle_); }

    bool open(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &handle_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK)
            return fail();
        sqlite3_exec(handle_, "PRAGMA mmap_size = 1073741824; PRAGMA cache_size = -65536;", nullptr,
                     nullptr, nullptr);
        return true;
    }

    // Calls visit(statement) for each row of the query; false when it cannot be run to its end.
    template <class Visit> bool forEachRow(const char* sql, Visit&& visit) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(handle_, sql, -1, &statement, nullptr) != SQLITE_OK) return fail();
        int status = SQLITE_ROW;
        while ((status = sqlite3_step(statement)) == SQLITE_ROW)
            visit(statement);
        sqlite3_finalize(statement);
        return status == SQLITE_DONE || fail();
    }

    const std::string& errorText() const { return errorText_; }

private:
    bool fail() {
        errorText_ = handle_ != nullptr ? sqlite3_errmsg(handle_) : "out of memory";
        return false;
    }

    sqlite3* handle_ = nullptr;
    std::string errorText_;
};

std::string textOf(sqlite3_stmt* statement, int column) {
    const auto* text = sqlite3_column_text(statement, column);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

bool readRunRecord(Database& database, RunRecordRows& rows) {
    return database.forEachRow(
        "SELECT key, value FROM editrun WHERE key != 'Legend: ';",
        [&](sqlite3_stmt* row) { rows.emplace_back(textOf(row, 0), textOf(row, 1)); });
}

std::optional<long long> wholeNumber(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<long long> runRecordNumber(const RunRecordRows& rows, const char* key) {
    const std::string* value = runRecordValue(rows, key);
    return value != nullptr ? wholeNumber(*value) : std::nullopt;
}

// summary.txt as the summary report reads it: "errors,warnings,skips,name" per line.
bool readSummaryFile(const std::string& path, std::vector<EditFigures>& edits) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    for (std::string line; std::getline(file, line);) {
        line.resize(std::min(line.size(), kSummaryLineLimit));
        EditFigures edit;
        const char* cursor = line.c_str();
        for (long long* count : {&edit.errors, &edit.warnings, &edit.skips}) {
            *count = std::strtoll(cursor, nullptr, 10);
            const char* comma = std::strchr(cursor, ',');
            cursor = comma != nullptr ? comma + 1 : cursor + std::strlen(cursor);
        }
        const char* end = cursor;
        while (static_cast<unsigned char>(*end) >= 0x20 && *end != 0x7F)
            ++end;
        edit.name.assign(cursor, end);
        edits.push_back(std::move(edit));
    }
    return true;
}

// The headline counts the run record lacks (a run that wrote none) come from the rows.
bool completeHeadline(Database& database, OverviewFigures& figures) {
    HeadlineFigures& headline = figures.headline;
    const RunRecordRows& rows = figures.runRecord;
    headline.recordsChecked = runRecordNumber(rows, "Processed Records");
    const auto withFailures = runRecordNumber(rows, "Total Exception Records");
    const auto messages = runRecordNumber(rows, "Total Messages");
    const auto errors = runRecordNumber(rows, "Total Error Messages");
    const auto warnings = runRecordNumber(rows, "Total Warning Messages");
    if (!withFailures && !database.forEachRow("SELECT count(DISTINCT recnum) FROM errorrecs;",
                                              [&](sqlite3_stmt* row) {
                                                  headline.recordsWithFailures =
                                                      sqlite3_column_int64(row, 0);
                                              }))
        return false;
    if ((!messages || !errors || !warnings) &&
        !database.forEachRow("SELECT count(*), total(msg_type == 'E'), total(msg_type == 'W') "
                             "FROM editerrors;",
                             [&](sqlite3_stmt* row) {
                                 headline.messages = sqlite3_column_int64(row, 0);
                                 headline.errors = sqlite3_column_int64(row, 1);
                                 headline.warnings = sqlite3_column_int64(row, 2);
                             }))
        return false;
    if (withFailures) headline.recordsWithFailures = *withFailures;
    if (messages) headline.messages = *messages;
    if (errors) headline.errors = *errors;
    if (warnings) headline.warnings = *warnings;
    return true;
}

// "first - last" of the run record, else the lowest and highest record that failed.
bool findRange(Database& database, const RunRecordRows& rows, FileBands& bands) {
    if (const std::string* range = runRecordValue(rows, "Range Processed")) {
        const auto dash = range->find(" - ");
        if (dash != std::string::npos) {
            const auto first = wholeNumber(std::string_view(*range).substr(0, dash));
            const auto last = wholeNumber(std::string_view(*range).substr(dash + 3));
            if (first && last) {
                bands.firstRecord = *first;
                bands.lastRecord = *last;
                return true;
            }
        }
    }
    return database.forEachRow("SELECT min(recnum), max(recnum) FROM editfailures;",
                               [&](sqlite3_stmt* row) {
                                   bands.firstRecord = sqlite3_column_int64(row, 0);
                                   bands.lastRecord = sqlite3_column_int64(row, 1);
                               });
}

bool plausibleRange(const FileBands& bands) {
    return bands.firstRecord >= 1 && bands.lastRecord >= bands.firstRecord &&
           bands.lastRecord <= kLargestPlausibleRecord;
}

// One pass over the failed edits: their number, their records along the file and, when
// `perEdit` is given, their number per edit name.
bool passFailedEdits(Database& database, OverviewFigures& figures, CountsByName* perEdit) {
    FileBands& bands = figures.bands;
    const bool drawn = plausibleRange(bands);
    const long long records = drawn ? bands.lastRecord - bands.firstRecord + 1 : 1;
    if (drawn)
        bands.failedEdits.assign(
            static_cast<std::size_t>(std::min<long long>(OverviewFigures::kBands, records)), 0);
    const long long bandCount = static_cast<long long>(bands.failedEdits.size());
    const auto count = [&](sqlite3_stmt* row) {
        ++figures.failedEdits;
        const long long record = sqlite3_column_int64(row, 0);
        if (drawn && record >= bands.firstRecord && record <= bands.lastRecord)
            ++bands.failedEdits[static_cast<std::size_t>((record - bands.firstRecord) * bandCount /
                                                         records)];
        if (perEdit != nullptr) countText(*perEdit, row, 1);
    };
    return database.forEachRow(perEdit != nullptr ? "SELECT recnum, editname FROM editfailures;"
                                                  : "SELECT recnum FROM editfailures;",
                               count);
}

bool countFields(Database& database, std::vector<CountedName>& fields) {
    CountsByName counts;
    if (!database.forEachRow("SELECT field_title FROM editfields;",
                             [&](sqlite3_stmt* row) { countText(counts, row, 0); }))
        return false;
    for (auto& [title, count] : counts)
        fields.push_back({title, count});
    std::sort(fields.begin(), fields.end(), [](const CountedName& a, const CountedName& b) {
        return a.count != b.count ? a.count > b.count : a.name < b.name;
    });
    return true;
}

void rankEdits(std::vector<EditFigures>& edits) {
    std::stable_sort(edits.begin(), edits.end(), [](const EditFigures& a, const EditFigures& b) {
        return a.failures() > b.failures();
    });
}

bool readPrevious(const std::string& path, const CountsByName& now, PreviousRun& previous,
                  std::string& error) {
    Database database;
    CountsByName then;
    if (!database.open(path) || !readRunRecord(database, previous.runRecord) ||
        !database.forEachRow("SELECT editname FROM editfailures;",
                             [&](sqlite3_stmt* row) { countText(then, row, 0); })) {
        error = database.errorText();
        return false;
    }
    for (const auto& [name, count] : then) {
        previous.failedEdits += count;
        const auto found = now.find(name);
        previous.changes.push_back({name, found != now.end() ? found->second : 0, count});
    }
    for (const auto& [name, count] : now)
        if (then.find(name) == then.end()) previous.changes.push_back({name, count, 0});
    std::sort(previous.changes.begin(), previous.changes.end(),
              [](const EditChange& a, const EditChange& b) {
                  const long long changeA = std::llabs(a.now - a.then);
                  const long long changeB = std::llabs(b.now - b.then);
                  return changeA != changeB ? changeA > changeB : a.name < b.name;
              });
    return true;
}

bool fileExists(const std::string& path) {
    return std::ifstream(path, std::ios::binary).good();
}

} // namespace

long long FileBands::bandStart(std::size_t band) const {
    if (failedEdits.empty()) return firstRecord;
    const long long records = lastRecord - firstRecord + 1;
    return firstRecord +
           static_cast<long long>(band) * records / static_cast<long long>(failedEdits.size());
}

const std::string* runRecordValue(const RunRecordRows& rows, const std::string& key) {
    for (const auto& [rowKey, value] : rows)
        if (rowKey == key) return &value;
    return nullptr;
}

bool readOverviewFigures(const std::string& resultsFolder, OverviewFigures& figures,
                         std::string& error) {
    figures = OverviewFigures{};
    Database database;
    const std::string previousPath = resultsFolder + "errors_1st_prev.db";
    const bool hasPrevious = fileExists(previousPath);
    figures.editsFromSummary = readSummaryFile(resultsFolder + "summary.txt", figures.edits);
    CountsByName perEdit;
    const bool countPerEdit = hasPrevious || !figures.editsFromSummary;
    if (!database.open(resultsFolder + "errors.db") ||
        !readRunRecord(database, figures.runRecord) || !completeHeadline(database, figures) ||
        !findRange(database, figures.runRecord, figures.bands) ||
        !passFailedEdits(database, figures, countPerEdit ? &perEdit : nullptr) ||
        !countFields(database, figures.fields)) {
        error = database.errorText();
        return false;
    }
    if (!figures.editsFromSummary) {
        for (const auto& [name, count] : perEdit)
            figures.edits.push_back({name, count, 0, 0});
        std::sort(figures.edits.begin(), figures.edits.end(),
                  [](const EditFigures& a, const EditFigures& b) { return a.name < b.name; });
    }
    rankEdits(figures.edits);
    if (hasPrevious) {
        PreviousRun previous;
        if (readPrevious(previousPath, perEdit, previous, figures.previousError))
            figures.previous = std::move(previous);
    }
    return true;
}

} // namespace vetra::desktop
