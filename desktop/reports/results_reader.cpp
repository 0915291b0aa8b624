#include "desktop/reports/results_reader.h"

#include <sqlite3.h>

namespace vetra::desktop {

namespace {

const char* textOf(sqlite3_stmt* statement, int column) {
    const auto* text = sqlite3_column_text(statement, column);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

} // namespace

ResultsReader::~ResultsReader() {
    for (sqlite3_stmt* statement : {records_, failedEdits_, messages_, fields_})
        sqlite3_finalize(statement);
    sqlite3_close(database_);
}

bool ResultsReader::failed() {
    errorText_ = database_ != nullptr ? sqlite3_errmsg(database_) : "out of memory";
    return false;
}

bool ResultsReader::prepare(const char* sql, sqlite3_stmt** statement) {
    return sqlite3_prepare_v2(database_, sql, -1, statement, nullptr) == SQLITE_OK || failed();
}

bool ResultsReader::open(const std::string& databasePath) {
    if (sqlite3_open_v2(databasePath.c_str(), &database_, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK)
        return failed();
    return prepare("SELECT * FROM editfailures WHERE recnum == ?;", &failedEdits_) &&
           prepare("SELECT * FROM editerrors WHERE failededitid == ?;", &messages_) &&
           prepare("SELECT * FROM editfields WHERE failededitid == ?;", &fields_);
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

bool ResultsReader::forEachFailedEdit(std::int64_t recordNumber,
                                      const std::function<bool(std::int64_t, const char*)>& visit) {
    sqlite3_reset(failedEdits_);
    sqlite3_bind_int64(failedEdits_, 1, recordNumber);
    while (sqlite3_step(failedEdits_) == SQLITE_ROW)
        if (!visit(sqlite3_column_int64(failedEdits_, 0), textOf(failedEdits_, 2))) return false;
    return true;
}

bool ResultsReader::forEachMessage(std::int64_t failedEditId,
                                   const std::function<void(const char*, const char*)>& visit) {
    sqlite3_reset(messages_);
    sqlite3_bind_int64(messages_, 1, failedEditId);
    while (sqlite3_step(messages_) == SQLITE_ROW)
        visit(textOf(messages_, 3), textOf(messages_, 2));
    return true;
}

bool ResultsReader::forEachField(std::int64_t failedEditId,
                                 const std::function<void(const char*, const char*)>& visit) {
    sqlite3_reset(fields_);
    sqlite3_bind_int64(fields_, 1, failedEditId);
    while (sqlite3_step(fields_) == SQLITE_ROW)
        visit(textOf(fields_, 1), textOf(fields_, 2));
    return true;
}

void ResultsReader::beginTransaction() {
    sqlite3_exec(database_, "BEGIN TRANSACTION", nullptr, nullptr, nullptr);
}

void ResultsReader::endTransaction() {
    sqlite3_exec(database_, "END TRANSACTION", nullptr, nullptr, nullptr);
}

} // namespace vetra::desktop
