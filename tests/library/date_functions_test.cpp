// The plain date functions on a fixed today (2026-01-15): validation with its detail status,
// parts, comparison, and differences and intervals with their completion modes.
#include "tests/interp/edit_runner.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using vetra::testing::EditRunner;

constexpr int32_t kValid = 0x4FFFFFFF;
constexpr int32_t kMissing = 0x5FFFFFFF;
constexpr int32_t kError = 0x6FFFFFFF;
constexpr int32_t kUnknown = 0x7FFFFFFF;

class DateFunctions : public ::testing::Test {
protected:
    void SetUp() override { edits.instance().setToday(20260115); }
    int32_t value(const std::string& expression) { return edits.run("return " + expression + ";"); }
    int32_t status() { return edits.instance().fieldAccess().facts().dateStatus; }
    // A date's verdict and the detail status it leaves.
    std::pair<int32_t, int32_t> judged(const std::string& date) {
        int32_t verdict = value("valid_date(" + date + ")");
        return {verdict, status()};
    }

    EditRunner edits;
};

TEST_F(DateFunctions, ValidDateJudgesEachPart) {
    EXPECT_EQ(judged("20050231"), std::make_pair(kError, 4));
    EXPECT_EQ(judged("20040229"), std::make_pair(kValid, kValid));
    EXPECT_EQ(judged("19000229"), std::make_pair(kError, 4));
    EXPECT_EQ(judged("99990229"), std::make_pair(kUnknown, 1024));
    EXPECT_EQ(judged("20059999"), std::make_pair(kUnknown, 512));
    EXPECT_EQ(judged("99999999"), std::make_pair(kUnknown, 1024));
    EXPECT_EQ(judged("20051299"), std::make_pair(kUnknown, 256));
    EXPECT_EQ(judged("20050000"), std::make_pair(kMissing, 64));
    EXPECT_EQ(judged("00000000"), std::make_pair(kError, 16)); // 0: one digit
    EXPECT_EQ(judged("\"00000000\""), std::make_pair(kMissing, 128));
    EXPECT_EQ(judged("20051200"), std::make_pair(kMissing, 32));
    EXPECT_EQ(judged("20051301"), std::make_pair(kError, 8));
    EXPECT_EQ(judged("20050132"), std::make_pair(kError, 4));
}

TEST_F(DateFunctions, ShortDatesAreErrorsByTheirLength) {
    EXPECT_EQ(judged("2005"), std::make_pair(kError, 8));
    EXPECT_EQ(judged("200512"), std::make_pair(kError, 4));
    EXPECT_EQ(judged("12"), std::make_pair(kError, 16));
}

TEST_F(DateFunctions, YearsOutsideTheWindowAreErrors) {
    EXPECT_EQ(judged("20310101"), std::make_pair(kValid, kValid));
    EXPECT_EQ(judged("20320101"), std::make_pair(kError, 16));
    EXPECT_EQ(judged("18770101"), std::make_pair(kValid, kValid));
    EXPECT_EQ(judged("18760101"), std::make_pair(kError, 16));
}

TEST_F(DateFunctions, PartsAndLiterals) {
    EXPECT_EQ(value("date_year(\"12/31/2005\")"), 2005);
    EXPECT_EQ(value("date_month(\"12/31/2005\")"), 12);
    EXPECT_EQ(value("date_day(#S\"Date of Diagnosis\")"), 31);
    EXPECT_EQ(value("date_year(dt_today)"), 2026);
    EXPECT_EQ(edits.run("char d[9]; strcpy(d, \"20051130\"); return date_month(d);"), 11);
    EXPECT_EQ(value("datecmp(20050101, #S\"Date of Diagnosis\")"), -1);
    EXPECT_EQ(value("datecmp(20051231, #S\"Date of Diagnosis\")"), 0);
    EXPECT_EQ(value("datecmp(\"2006\", 2005)"), 1);
}

TEST_F(DateFunctions, DifferencesCountDaysSignedByTheirOrder) {
    EXPECT_EQ(value("daydiff(20050101, 20050201, dt_exact)"), 31);
    EXPECT_EQ(value("daydiff(20050201, 20050101, dt_exact)"), -31);
    EXPECT_EQ(value("daydiff(20000101, 20010101, dt_exact)"), 366);
    EXPECT_EQ(value("daydiff(21000101, 21010101, dt_exact)"), 366); // every fourth year
    EXPECT_EQ(value("daydiff(20050301, 20050228, dt_exact)"), -1);
    EXPECT_EQ(value("monthdiff(20050101, 20050301, dt_exact)"), 1);
    EXPECT_EQ(value("yeardiff(19600715, 20050714, dt_exact)"), 45);
}

TEST_F(DateFunctions, IncompleteDatesAreCompletedByTheMode) {
    EXPECT_EQ(value("daydiff(20059999, 20061231, dt_exact)"), kUnknown);
    EXPECT_EQ(value("daydiff(20059999, 20061231, dt_max)"), 729); // from 20050101
    EXPECT_EQ(value("daydiff(20059999, 20061231, dt_min)"), 365); // from 20051231
    EXPECT_EQ(value("daydiff(20050399, 20050315, dt_min)"), 0);   // the same day
    EXPECT_EQ(value("daydiff(20050000, 20050315, dt_max)"), 73);  // from 20050101
    EXPECT_EQ(value("daydiff(99990101, 20050315, dt_max)"), kUnknown);
    EXPECT_EQ(value("yeardiff(19609999, 20050714, dt_min)"), 44);
    EXPECT_EQ(value("monthdiff(20051399, 20051231, dt_max)"), kUnknown);
}

TEST_F(DateFunctions, IntervalsTestTheDifference) {
    EXPECT_EQ(value("dayinterval(20050101, 20050110, 0, 9, dt_exact)"), 1);
    EXPECT_EQ(value("dayinterval(20050101, 20050110, 0, 8, dt_exact)"), 0);
    EXPECT_EQ(value("monthinterval(20050101, 20050401, 2, 3, dt_exact)"), 1);
    EXPECT_EQ(value("yearinterval(20050101, 20070101, 0, 1, dt_exact)"), 0);
    EXPECT_EQ(value("dayinterval(20059999, 20050110, 0, 9, dt_exact)"), kUnknown);
}

} // namespace
