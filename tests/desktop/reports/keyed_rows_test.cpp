// The keyed rows give every key's rows in row order whatever order the keys are asked in,
// through the pass or the look-up.
#include "desktop/reports/keyed_rows.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

using vetra::desktop::KeyedRows;

class KeyedRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sqlite3_open(":memory:", &database_), SQLITE_OK);
        // Rows of a key are not adjacent, some keys are not integers, and there is no index:
        // the pass must still give each key's rows in row order.
        ASSERT_EQ(sqlite3_exec(database_,
                               "CREATE TABLE t( k INTEGER, v TEXT );"
                               "INSERT INTO t VALUES (2, 'b1'), (1, 'a1'), (3, 'c1'), (2, 'b2'),"
                               " ('x', 'text'), (1.5, 'real'), (NULL, 'null'), (1, 'a2');",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        ASSERT_TRUE(rows_.prepare(database_, "SELECT * FROM t WHERE k == ?;",
                                  "SELECT * FROM t WHERE typeof(k) == 'integer' ORDER BY k, rowid;",
                                  0));
    }
    void TearDown() override { sqlite3_close_v2(database_); }

    std::vector<std::string> valuesOf(std::int64_t key, std::size_t stopAfter = 100) {
        std::vector<std::string> values;
        rows_.forEach(key, [&](sqlite3_stmt* row) {
            values.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(row, 1)));
            return values.size() < stopAfter;
        });
        return values;
    }

    sqlite3* database_ = nullptr;
    KeyedRows rows_;
};

TEST_F(KeyedRowsTest, KeysInAnyOrderGiveTheirRowsInRowOrder) {
    using Values = std::vector<std::string>;
    EXPECT_EQ(valuesOf(0), Values{});
    EXPECT_EQ(valuesOf(2), (Values{"b1", "b2"}));
    EXPECT_EQ(valuesOf(1), (Values{"a1", "a2"})); // behind the pass: looked up
    EXPECT_EQ(valuesOf(2), (Values{"b1", "b2"})); // served already: looked up again
    EXPECT_EQ(valuesOf(3), (Values{"c1"}));
    EXPECT_EQ(valuesOf(4), Values{});
    EXPECT_EQ(valuesOf(1), (Values{"a1", "a2"})); // after the pass's end
}

TEST_F(KeyedRowsTest, AKeyLeftPartWayIsWholeWhenAskedAgain) {
    using Values = std::vector<std::string>;
    EXPECT_EQ(valuesOf(1, 1), (Values{"a1"}));
    EXPECT_EQ(valuesOf(1), (Values{"a1", "a2"}));
    EXPECT_EQ(valuesOf(2), (Values{"b1", "b2"}));
}

} // namespace
