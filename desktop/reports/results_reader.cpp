#include "desktop/reports/results_reader.h"

#include <sqlite3.h>

namespace vetra::desktop {

ResultsReader::~ResultsReader() {
    sqlite3_finalize(records_);
    // The keyed rows finalise their statements after this body: the connection closes when
    // the last of them is gone.
    sqlite3_close_v2(database_);
}

bool ResultsReader::failed() {
    errorText_ = database_ != nullptr ? sqlite3_errmsg(database_) : "out of memory";
    return false;
}

bool ResultsReader::prepare(const char* sql, sqlite3_stmt** statement) {
    return sqlite3_prepare_v2(database_, sql, -1, statement, nullptr) == SQLITE_OK || failed();
}

bool ResultsReader::open(const std::string& databasePath) {
    // The connection is used by one thread only, and a report's look-ups jump between the
    // tables' pages: mapping the file and a large page cache keep each page read once.
    if (sqlite3_open_v2(databasePath.c_str(), &database_,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
        return failed();
    sqlite3_exec(database_, "PRAGMA mmap_size = 1073741824; PRAGMA cache_size = -65536;", nullptr,
                 nullptr, nullptr);
    // The passes hold only integer keys: no other value equals an integer key in a lookup.
    return (failedEdits_.prepare(database_, "SELECT * FROM editfailures WHERE recnum == ?;",
                                 "SELECT * FROM editfailures WHERE typeof(recnum) == 'integer' "
                                 "ORDER BY recnum, rowid;",
                                 1) &&
            messages_.prepare(database_, "SELECT * FROM editerrors WHERE failededitid == ?;",
                              "SELECT * FROM editerrors WHERE typeof(failededitid) == 'integer' "
                              "ORDER BY failededitid, rowid;",
                              1) &&
            fields_.prepare(database_, "SELECT * FROM editfields WHERE failededitid == ?;",
                            "SELECT * FROM editfields WHERE typeof(failededitid) == 'integer' "
                            "ORDER BY failededitid, rowid;",
                            0)) ||
           failed();
}

std::int64_t ResultsReader::recordRowCount() {
    sqlite3_stmt* count = nullptr;
    std::int64_t rows = 0;
    if (prepare("SELECT count(*) FROM errorrecs;", &count) && sqlite3_step(count) == SQLITE_ROW)
        rows = sqlite3_column_int64(count, 0);
    sqlite3_finalize(count);
    return rows;
}

bool ResultsReader::forEachRunRecordRow(
    const std::function<void(const char*, const char*)>& visit) {
    sqlite3_stmt* rows = nullptr;
    if (!prepare("SELECT * from editrun WHERE key != 'Legend: ';", &rows)) return false;
    while (sqlite3_step(rows) == SQLITE_ROW)
        visit(textOf(rows, 0), textOf(rows, 1));
    sqlite3_finalize(rows);
    return true;
}

bool ResultsReader::beginRecords(const std::string& sortOrder) {
    sqlite3_finalize(records_);
    records_ = nullptr;
    char* sql = sqlite3_mprintf("SELECT * FROM errorrecs ORDER BY %q;", sortOrder.c_str());
    const bool prepared = sql != nullptr && prepare(sql, &records_);
    sqlite3_free(sql);
    return prepared;
}

bool ResultsReader::nextRecord(RecordRow& row) {
    if (records_ == nullptr) return false;
    const int status = sqlite3_step(records_);
    if (status != SQLITE_ROW) {
        if (status != SQLITE_DONE) failed();
        return false;
    }
    row.recordNumber = sqlite3_column_int64(records_, 0);
    const int columns = sqlite3_column_count(records_);
    for (int i = 0; i < 20; ++i)
        row.identification[i] = i + 1 < columns ? textOf(records_, i + 1) : "";
    return true;
}

std::int64_t ResultsReader::integerOf(sqlite3_stmt* statement, int column) {
    return sqlite3_column_int64(statement, column);
}

const char* ResultsReader::textOf(sqlite3_stmt* statement, int column) {
    const auto* text = sqlite3_column_text(statement, column);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

void ResultsReader::beginTransaction() {
    sqlite3_exec(database_, "BEGIN TRANSACTION", nullptr, nullptr, nullptr);
}

void ResultsReader::endTransaction() {
    sqlite3_exec(database_, "END TRANSACTION", nullptr, nullptr, nullptr);
}

} // namespace vetra::desktop
