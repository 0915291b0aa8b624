// The rows of one results table that carry a given key (a record number or a failed edit
// number), in stored order. A report asks for keys mostly in ascending order, the order in
// which a run wrote them, so the rows are read by one pass over the key's index, and a key
// the pass has gone beyond is looked up by the prepared statement bound to it instead. Both
// give the rows of a key in row order: the pass orders equal keys by row id.
#pragma once

#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

namespace vetra::desktop {

class KeyedRows {
public:
    KeyedRows() = default;
    ~KeyedRows();
    KeyedRows(const KeyedRows&) = delete;
    KeyedRows& operator=(const KeyedRows&) = delete;

    // `lookup` selects the table's rows whose key column equals its one parameter, `pass` the
    // same columns of every row with an integer key ordered by that key and row id;
    // `keyColumn` is the key's column in both.
    bool prepare(sqlite3* database, const char* lookup, const char* pass, int keyColumn);

    // Calls visit(statement) for each row with the key; the visit reads the row's columns and
    // returns false to stop.
    template <class Visit> void forEach(std::int64_t key, Visit&& visit) {
        if (passing_ && (!passStarted_ || key >= passKey_)) {
            startPass();
            while (passing_ && passKey_ < key)
                advancePass();
            while (passing_ && passKey_ == key) {
                if (!visit(pass_)) return;
                advancePass();
            }
            return;
        }
        bindLookup(key);
        while (stepLookup())
            if (!visit(lookup_)) return;
    }

private:
    void startPass();
    void advancePass();
    void bindLookup(std::int64_t key);
    bool stepLookup();

    sqlite3_stmt* lookup_ = nullptr;
    sqlite3_stmt* pass_ = nullptr;
    int keyColumn_ = 0;
    bool passing_ = true; // false once the pass has reached the end
    bool passStarted_ = false;
    std::int64_t passKey_ = 0;
    std::int64_t lastServedKey_ = 0;
};

} // namespace vetra::desktop
