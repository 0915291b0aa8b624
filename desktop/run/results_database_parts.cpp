// The scratch databases of a run in parts, and how their rows join the run's errors.db.
#include "desktop/run/results_database.h"

#include <cstdio>
#include <limits>
#include <sqlite3.h>
#include <string_view>

namespace vetra::desktop {

namespace {

constexpr const char* kPartTables[] = {
    "CREATE TABLE errorrecs( recnum INTEGER, id0 TEXT, id0val TEXT, id1 TEXT, id1val TEXT, id2 "
    "TEXT, id2val TEXT, id3 TEXT, id3val TEXT, id4 TEXT, id4val TEXT, id5 TEXT, id5val TEXT, "
    "id6 TEXT, id6val TEXT, id7 TEXT, id7val TEXT, id8 TEXT, id8val TEXT, id9 TEXT, id9val "
    "TEXT, errcount INTEGER, warncount INTEGER, ertxtofs INTEGER );",
    "CREATE TABLE editfailures( failededitid INTEGER, recnum INTEGER, editname TEXT );",
    "CREATE TABLE editfields( failededitid INTEGER, field_title TEXT, field_value TEXT, "
    "field_width TEXT );",
    "CREATE TABLE editerrors( msgnum INTEGER, failededitid INTEGER, msg TEXT, msg_type TEXT );",
};

} // namespace

int ResultsDatabase::createScratch(const std::string& path) {
    close();
    std::remove(path.c_str());
    int status = sqlite3_open(path.c_str(), &database_);
    if (status != SQLITE_OK) {
        errorText_ = database_ != nullptr ? sqlite3_errmsg(database_) : "out of memory";
        sqlite3_close(database_);
        database_ = nullptr;
        return status;
    }
    status = execute(sqlite3_mprintf("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"));
    for (const char* statement : kPartTables)
        if (status == SQLITE_OK) status = execute(sqlite3_mprintf("%s", statement));
    // As the run's errors.db, the rows go in one transaction, which close() commits.
    if (status == SQLITE_OK) status = beginTransaction();
    return status;
}

bool ResultsDatabase::queryInteger(char* statement, std::int64_t& value) {
    value = 0;
    if (statement == nullptr || database_ == nullptr) {
        sqlite3_free(statement);
        errorText_ = "results database is not open";
        return false;
    }
    sqlite3_stmt* query = nullptr;
    int status = sqlite3_prepare_v2(database_, statement, -1, &query, nullptr);
    sqlite3_free(statement);
    if (status == SQLITE_OK) status = sqlite3_step(query);
    if (status == SQLITE_ROW) value = sqlite3_column_int64(query, 0);
    sqlite3_finalize(query);
    if (status != SQLITE_ROW && status != SQLITE_DONE) {
        errorText_ = sqlite3_errmsg(database_);
        return false;
    }
    return true;
}

std::int64_t ResultsDatabase::lastRecordWithinLimit(std::int64_t reportedBefore,
                                                    std::int64_t limit) {
    constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::max();
    if (reportedBefore > limit) return 0;
    if (database_ == nullptr) return kNone;
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(database_, "SELECT recnum, errcount FROM errorrecs ORDER BY rowid", -1,
                           &query, nullptr) != SQLITE_OK)
        return kNone;
    // A record may have a row per edit set; the switch comes after the whole record.
    std::int64_t reported = reportedBefore;
    std::int64_t record = 0;
    bool any = false;
    while (sqlite3_step(query) == SQLITE_ROW) {
        const std::int64_t next = sqlite3_column_int64(query, 0);
        if (any && next != record && reported > limit) break;
        record = next;
        any = true;
        reported += sqlite3_column_int64(query, 1);
    }
    sqlite3_finalize(query);
    return any && reported > limit ? record : kNone;
}

int ResultsDatabase::appendPart(const std::string& partPath, std::int64_t lastRecord,
                                std::int64_t failedEditsBefore, std::int64_t messagesBefore,
                                AppendedRows& appended) {
    appended = {};
    const bool reopenTransaction = inTransaction_;
    if (inTransaction_ && endTransaction() != SQLITE_OK) return SQLITE_ERROR;
    int status = execute(sqlite3_mprintf("ATTACH DATABASE '%q' AS part;", partPath.c_str()));
    if (status != SQLITE_OK) return status;
    status = beginTransaction();
    if (status == SQLITE_OK)
        status = appendRows(lastRecord, failedEditsBefore, messagesBefore, appended);
    if (status == SQLITE_OK) {
        status = endTransaction();
    } else {
        const std::string failure = errorText_;
        inTransaction_ = false;
        sqlite3_exec(database_, "ROLLBACK", nullptr, nullptr, nullptr);
        errorText_ = failure;
    }
    const std::string failure = errorText_;
    execute(sqlite3_mprintf("DETACH DATABASE part;"));
    errorText_ = failure;
    if (status == SQLITE_OK && reopenTransaction) status = beginTransaction();
    return status;
}

int ResultsDatabase::appendRows(std::int64_t lastRecord, std::int64_t failedEditsBefore,
                                std::int64_t messagesBefore, AppendedRows& appended) {
    const auto last = static_cast<long long>(lastRecord);
    const auto editsBefore = static_cast<long long>(failedEditsBefore);
    const auto messagesFrom = static_cast<long long>(messagesBefore);
    int status = execute(sqlite3_mprintf(
        "INSERT INTO errorrecs SELECT * FROM part.errorrecs WHERE recnum <= %lld ORDER BY rowid;",
        last));
    // Failed edits are numbered in record order, so those of the kept records are the first.
    if (status == SQLITE_OK &&
        !queryInteger(sqlite3_mprintf("SELECT max(failededitid) FROM part.editfailures WHERE "
                                      "recnum <= %lld;",
                                      last),
                      appended.failedEdits))
        status = SQLITE_ERROR;
    const auto keptEdits = static_cast<long long>(appended.failedEdits);
    if (status == SQLITE_OK)
        status = execute(sqlite3_mprintf(
            "INSERT INTO editfailures SELECT failededitid + %lld, recnum, editname FROM "
            "part.editfailures WHERE failededitid <= %lld ORDER BY rowid;",
            editsBefore, keptEdits));
    if (status == SQLITE_OK)
        status = execute(sqlite3_mprintf(
            "INSERT INTO editfields SELECT failededitid + %lld, field_title, field_value, "
            "field_width FROM part.editfields WHERE failededitid <= %lld ORDER BY rowid;",
            editsBefore, keptEdits));
    if (status == SQLITE_OK &&
        !queryInteger(sqlite3_mprintf("SELECT max(msgnum) FROM part.editerrors WHERE "
                                      "failededitid <= %lld;",
                                      keptEdits),
                      appended.messages))
        status = SQLITE_ERROR;
    if (status == SQLITE_OK)
        status = execute(sqlite3_mprintf(
            "INSERT INTO editerrors SELECT msgnum + %lld, failededitid + %lld, msg, msg_type FROM "
            "part.editerrors WHERE failededitid <= %lld ORDER BY rowid;",
            messagesFrom, editsBefore, keptEdits));
    return status;
}

} // namespace vetra::desktop
