// Reading a run's results database for a report: opened read-only, the record rows in the
// report's sort order, and each record's failed edits, messages and fields through prepared
// statements bound by integer keys. A report never changes the database.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace vetra::desktop {

// One errorrecs row while it is current: its record number and its twenty identification
// texts (name i at 2i, value i at 2i + 1).
struct RecordRow {
    std::int64_t recordNumber = 0;
    const char* identification[20] = {};
};

class ResultsReader {
public:
    ResultsReader() = default;
    ~ResultsReader();
    ResultsReader(const ResultsReader&) = delete;
    ResultsReader& operator=(const ResultsReader&) = delete;

    // Opens the database and prepares the look-ups; false with errorText() when the file is
    // missing or is not a results database.
    bool open(const std::string& databasePath);
    const std::string& errorText() const { return errorText_; }

    std::int64_t recordRowCount();
    // The run record rows in stored order, but "Legend: ".
    bool forEachRunRecordRow(const std::function<void(const char*, const char*)>& visit);

    bool beginRecords(const std::string& sortOrder);
    // Steps to the next record row; false at the end (or on an error, see errorText()).
    bool nextRecord(RecordRow& row);

    bool forEachFailedEdit(std::int64_t recordNumber,
                           const std::function<bool(std::int64_t, const char*)>& visit);
    bool forEachMessage(std::int64_t failedEditId,
                        const std::function<void(const char*, const char*)>& visit);
    bool forEachField(std::int64_t failedEditId,
                      const std::function<void(const char*, const char*)>& visit);

    void beginTransaction();
    void endTransaction();

private:
    bool prepare(const char* sql, sqlite3_stmt** statement);
    bool failed();

    sqlite3* database_ = nullptr;
    sqlite3_stmt* records_ = nullptr;
    sqlite3_stmt* failedEdits_ = nullptr;
    sqlite3_stmt* messages_ = nullptr;
    sqlite3_stmt* fields_ = nullptr;
    std::string errorText_;
};

} // namespace vetra::desktop
