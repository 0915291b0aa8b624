// Reading a run's results database for a report: opened read-only, the record rows in the
// report's sort order, and each record's failed edits, messages and fields by their integer
// keys. A report never changes the database.
#pragma once

#include "desktop/reports/keyed_rows.h"

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

    // Visits (failed edit id, edit name) of the record's failed edits in stored order; the
    // visit returns false to stop.
    template <class Visit> void forEachFailedEdit(std::int64_t recordNumber, Visit&& visit) {
        failedEdits_.forEach(recordNumber, [&](sqlite3_stmt* row) {
            return visit(integerOf(row, 0), textOf(row, 2));
        });
    }
    // Visits (message type, message text) of a failed edit in stored order.
    template <class Visit> void forEachMessage(std::int64_t failedEditId, Visit&& visit) {
        messages_.forEach(failedEditId, [&](sqlite3_stmt* row) {
            visit(textOf(row, 3), textOf(row, 2));
            return true;
        });
    }
    // Visits (field title, field value) of a failed edit in stored order.
    template <class Visit> void forEachField(std::int64_t failedEditId, Visit&& visit) {
        fields_.forEach(failedEditId, [&](sqlite3_stmt* row) {
            visit(textOf(row, 1), textOf(row, 2));
            return true;
        });
    }

    void beginTransaction();
    void endTransaction();

private:
    static std::int64_t integerOf(sqlite3_stmt* statement, int column);
    static const char* textOf(sqlite3_stmt* statement, int column);
    bool prepare(const char* sql, sqlite3_stmt** statement);
    bool failed();

    sqlite3* database_ = nullptr;
    sqlite3_stmt* records_ = nullptr;
    KeyedRows failedEdits_;
    KeyedRows messages_;
    KeyedRows fields_;
    std::string errorText_;
};

} // namespace vetra::desktop
