#include "desktop/reports/keyed_rows.h"

#include <sqlite3.h>

namespace vetra::desktop {

KeyedRows::~KeyedRows() {
    sqlite3_finalize(lookup_);
    sqlite3_finalize(pass_);
}

bool KeyedRows::prepare(sqlite3* database, const char* lookup, const char* pass, int keyColumn) {
    keyColumn_ = keyColumn;
    return sqlite3_prepare_v2(database, lookup, -1, &lookup_, nullptr) == SQLITE_OK &&
           sqlite3_prepare_v2(database, pass, -1, &pass_, nullptr) == SQLITE_OK;
}

void KeyedRows::startPass() {
    if (passStarted_) return;
    passStarted_ = true;
    advancePass();
}

void KeyedRows::advancePass() {
    passing_ = sqlite3_step(pass_) == SQLITE_ROW;
    if (passing_) passKey_ = sqlite3_column_int64(pass_, keyColumn_);
}

void KeyedRows::bindLookup(std::int64_t key) {
    sqlite3_reset(lookup_);
    sqlite3_bind_int64(lookup_, 1, key);
}

bool KeyedRows::stepLookup() {
    return sqlite3_step(lookup_) == SQLITE_ROW;
}

} // namespace vetra::desktop
