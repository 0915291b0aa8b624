// The results database errors.db: its rotation into five predecessors, its schema, and the
// rows a run writes. Every statement is composed with SQLite's %q quoting and executed
// directly, so single quotes in values are doubled.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct sqlite3;

namespace vetra::desktop {

// One identification field of a failing record: its name and at most 60 characters of value.
struct IdentificationPair {
    std::string name;
    std::string value;
};
using IdentificationPairs = std::array<IdentificationPair, 10>;

class ResultsDatabase {
public:
    static constexpr const char* kBaseName = "errors";

    ResultsDatabase() = default;
    ~ResultsDatabase();
    ResultsDatabase(const ResultsDatabase&) = delete;
    ResultsDatabase& operator=(const ResultsDatabase&) = delete;

    // Moves errors.db and its predecessors one place down the line of five (the fifth is
    // deleted), then creates a fresh errors.db with the schema. The folder ends with a
    // separator. Returns an SQLite status; errorText() says what failed.
    int createFresh(const std::string& folder);
    // Opens the folder's errors.db for the run.
    int open(const std::string& folder);
    // Ends an open transaction (keeping what was written) and closes the database.
    void close();
    bool isOpen() const { return database_ != nullptr; }

    int beginTransaction();
    int endTransaction();

    int addRunRecordRow(const std::string& key, const std::string& value);
    int addRecordRow(std::int64_t recordNumber, const IdentificationPairs& pairs, int messageCount);
    int addFailedEdit(std::int64_t failedEditId, std::int64_t recordNumber,
                      const std::string& editName);
    int addField(std::int64_t failedEditId, const std::string& title, const std::string& value,
                 const std::string& width);
    int addMessage(std::int64_t messageNumber, std::int64_t failedEditId, const std::string& text,
                   const std::string& type);

    // A run in parts gives each part a scratch database of its own: the tables without their
    // indexes, written without a journal, since it lives only until its rows are appended to
    // the run's database. Any file at `path` is replaced. It is left inside a transaction,
    // which close() commits.
    int createScratch(const std::string& path);
    // Of the records a scratch database holds, the last one whose details a whole run would
    // store: the run switches to counts only after the record that takes the messages
    // reported past `limit`, counting from `reportedBefore`. INT64_MAX when none does.
    std::int64_t lastRecordWithinLimit(std::int64_t reportedBefore, std::int64_t limit);

    struct AppendedRows {
        std::int64_t failedEdits = 0;
        std::int64_t messages = 0;
    };
    // Appends the rows a part's scratch database holds for records up to `lastRecord`, in the
    // order they were written, its failed edits and messages numbered on from the given
    // numbers. A transaction open here is committed first (SQLite attaches another database
    // only outside one) and opened again after.
    int appendPart(const std::string& partPath, std::int64_t lastRecord,
                   std::int64_t failedEditsBefore, std::int64_t messagesBefore,
                   AppendedRows& appended);

    // The SQLite error text of the last failed statement; empty when SQLite gave none.
    const std::string& errorText() const { return errorText_; }

    // The path of errors.db, or of its n-th predecessor (1 to 5): "errors_1st_prev.db" ...
    static std::string databasePath(const std::string& folder);
    static std::string predecessorPath(const std::string& folder, int number);

private:
    int execute(char* statement);
    int appendRows(std::int64_t lastRecord, std::int64_t failedEditsBefore,
                   std::int64_t messagesBefore, AppendedRows& appended);
    // The one integer a query gives (0 for NULL); false when it fails.
    bool queryInteger(char* statement, std::int64_t& value);
    int createSchema(const std::string& path);

    sqlite3* database_ = nullptr;
    bool inTransaction_ = false;
    std::string errorText_;
};

} // namespace vetra::desktop
