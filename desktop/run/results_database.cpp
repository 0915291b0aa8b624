#include "desktop/run/results_database.h"

#include "platform/file_services.h"

#include <cerrno>
#include <cstdio>
#include <sqlite3.h>

namespace vetra::desktop {

namespace {

constexpr const char* kSchema[] = {
    "CREATE TABLE editrun( key TEXT, value TEXT );",
    "CREATE TABLE errorrecs( recnum INTEGER, id0 TEXT, id0val TEXT, id1 TEXT, id1val TEXT, id2 "
    "TEXT, id2val TEXT, id3 TEXT, id3val TEXT, id4 TEXT, id4val TEXT, id5 TEXT, id5val TEXT, "
    "id6 TEXT, id6val TEXT, id7 TEXT, id7val TEXT, id8 TEXT, id8val TEXT, id9 TEXT, id9val "
    "TEXT, errcount INTEGER, warncount INTEGER, ertxtofs INTEGER );",
    "CREATE TABLE editfailures( failededitid INTEGER, recnum INTEGER, editname TEXT );",
    "CREATE INDEX editfailidx ON editfailures( recnum );",
    "CREATE TABLE editfields( failededitid INTEGER, field_title TEXT, field_value TEXT, "
    "field_width TEXT );",
    "CREATE INDEX fieldidx ON editfields( failededitid );",
    "CREATE TABLE editerrors( msgnum INTEGER, failededitid INTEGER, msg TEXT, msg_type TEXT );",
    "CREATE INDEX erroridx ON editerrors( failededitid );",
};

constexpr const char* kOrdinalSuffixes[] = {"st", "nd", "rd", "th", "th"};

} // namespace

ResultsDatabase::~ResultsDatabase() {
    close();
}

std::string ResultsDatabase::databasePath(const std::string& folder) {
    return folder + kBaseName + ".db";
}

std::string ResultsDatabase::predecessorPath(const std::string& folder, int number) {
    char name[64];
    std::snprintf(name, sizeof name, "%s_%d%s_prev.db", kBaseName, number,
                  kOrdinalSuffixes[number - 1]);
    return folder + name;
}

// Every step of the rotation is checked, so that a folder the user may not write stops the run
// with the system's reason before anything is written, and never lets the new schema go into
// the previous run's database.
int ResultsDatabase::createFresh(const std::string& folder) {
    close();
    errorText_.clear();
    if (const auto why = platform::folderUnusable(folder, true)) {
        errorText_ = "The results folder " + folder + " cannot take new files: " + *why + ".";
        return SQLITE_CANTOPEN;
    }
    // A missing predecessor is no error: the line simply has a gap until it fills.
    const std::string oldest = predecessorPath(folder, 5);
    if (std::remove(oldest.c_str()) != 0 && errno != ENOENT) {
        errorText_ = "The oldest previous results " + oldest +
                     " could not be removed: " + platform::systemErrorText(errno) + ".";
        return SQLITE_CANTOPEN;
    }
    const auto moved = [this](const std::string& from, const std::string& to) {
        if (std::rename(from.c_str(), to.c_str()) == 0 || errno == ENOENT) return true;
        errorText_ = "The previous results " + from + " could not be renamed to " + to + ": " +
                     platform::systemErrorText(errno) + ".";
        return false;
    };
    for (int number = 4; number >= 1; --number)
        if (!moved(predecessorPath(folder, number), predecessorPath(folder, number + 1)))
            return SQLITE_CANTOPEN;
    if (!moved(databasePath(folder), predecessorPath(folder, 1))) return SQLITE_CANTOPEN;
    return createSchema(databasePath(folder));
}

int ResultsDatabase::createSchema(const std::string& path) {
    int status = sqlite3_open(path.c_str(), &database_);
    // One transaction for the schema: one sync of the new file instead of eight.
    if (status == SQLITE_OK) status = beginTransaction();
    for (const char* statement : kSchema) {
        if (status != SQLITE_OK) break;
        status = execute(sqlite3_mprintf("%s", statement));
    }
    if (status == SQLITE_OK) status = endTransaction();
    inTransaction_ = false;
    if (status != SQLITE_OK && database_ != nullptr && errorText_.empty())
        errorText_ = sqlite3_errmsg(database_);
    sqlite3_close(database_);
    database_ = nullptr;
    return status;
}

int ResultsDatabase::open(const std::string& folder) {
    close();
    const int status = sqlite3_open(databasePath(folder).c_str(), &database_);
    if (status != SQLITE_OK) {
        errorText_ = database_ != nullptr ? sqlite3_errmsg(database_) : "out of memory";
        sqlite3_close(database_);
        database_ = nullptr;
    }
    return status;
}

void ResultsDatabase::close() {
    if (database_ == nullptr) return;
    if (inTransaction_) endTransaction();
    sqlite3_close(database_);
    database_ = nullptr;
}

int ResultsDatabase::beginTransaction() {
    const int status = execute(sqlite3_mprintf("BEGIN TRANSACTION"));
    inTransaction_ = status == SQLITE_OK;
    return status;
}

int ResultsDatabase::endTransaction() {
    inTransaction_ = false;
    const int status = execute(sqlite3_mprintf("END TRANSACTION"));
    // A commit that cannot finish must not leave the database locked in a half-written state.
    if (status != SQLITE_OK) sqlite3_exec(database_, "ROLLBACK", nullptr, nullptr, nullptr);
    return status;
}

int ResultsDatabase::execute(char* statement) {
    errorText_.clear();
    if (statement == nullptr) {
        errorText_ = "out of memory";
        return SQLITE_NOMEM;
    }
    if (database_ == nullptr) {
        sqlite3_free(statement);
        errorText_ = "results database is not open";
        return SQLITE_MISUSE;
    }
    char* error = nullptr;
    const int status = sqlite3_exec(database_, statement, nullptr, nullptr, &error);
    sqlite3_free(statement);
    if (error != nullptr) {
        errorText_ = error;
        sqlite3_free(error);
    }
    return status;
}

int ResultsDatabase::addRunRecordRow(const std::string& key, const std::string& value) {
    return execute(
        sqlite3_mprintf("INSERT INTO editrun VALUES( '%q', '%q' );", key.c_str(), value.c_str()));
}

int ResultsDatabase::addRecordRow(std::int64_t recordNumber, const IdentificationPairs& pairs,
                                  int messageCount) {
    const auto name = [&](int i) { return pairs[static_cast<std::size_t>(i)].name.c_str(); };
    const auto value = [&](int i) { return pairs[static_cast<std::size_t>(i)].value.c_str(); };
    return execute(sqlite3_mprintf(
        "INSERT INTO errorrecs VALUES(%lld, '%q', '%q', '%q', '%q', '%q', '%q', '%q', '%q', "
        "'%q', '%q', '%q', '%q', '%q', '%q', '%q', '%q', '%q', '%q', '%q', '%q', %d, %d, %lld );",
        static_cast<long long>(recordNumber), name(0), value(0), name(1), value(1), name(2),
        value(2), name(3), value(3), name(4), value(4), name(5), value(5), name(6), value(6),
        name(7), value(7), name(8), value(8), name(9), value(9), messageCount, 0, 0LL));
}

int ResultsDatabase::addFailedEdit(std::int64_t failedEditId, std::int64_t recordNumber,
                                   const std::string& editName) {
    return execute(sqlite3_mprintf("INSERT INTO editfailures VALUES( %lld, %lld, '%q' );",
                                   static_cast<long long>(failedEditId),
                                   static_cast<long long>(recordNumber), editName.c_str()));
}

int ResultsDatabase::addField(std::int64_t failedEditId, const std::string& title,
                              const std::string& value, const std::string& width) {
    return execute(sqlite3_mprintf("INSERT INTO editfields VALUES( %lld, '%q', '%q', '%q' );",
                                   static_cast<long long>(failedEditId), title.c_str(),
                                   value.c_str(), width.c_str()));
}

int ResultsDatabase::addMessage(std::int64_t messageNumber, std::int64_t failedEditId,
                                const std::string& text, const std::string& type) {
    return execute(sqlite3_mprintf("INSERT INTO editerrors VALUES( %lld, %lld, '%q', '%q');",
                                   static_cast<long long>(messageNumber),
                                   static_cast<long long>(failedEditId), text.c_str(),
                                   type.c_str()));
}

} // namespace vetra::desktop
