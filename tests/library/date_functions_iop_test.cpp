// The _iop date functions on a fixed today (2026-01-15), for dates whose unknown day or month
// is blank: their arguments (literals, variables, dt_today, D1 fields and a D6 field that they
// refuse), validation with the detail status, parts, comparison, differences and intervals,
// and the future years one edit may allow.
#include "engine/api/engine_process.h"
#include "tests/support/dictionary_item.h"
#include "tests/support/open_metafile.h"
#include "tools/edit_compiler/edit_compiler.h"
#include "tools/metafile_writer/metafile_builder.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace {

namespace writer = vetra::writer;

constexpr int32_t kMonthEmpty = 0x1FFFFFFF;
constexpr int32_t kDayEmpty = 0x2FFFFFFF;
constexpr int32_t kEmpty = 0x3FFFFFFF;
constexpr int32_t kError = 0x6FFFFFFF;
constexpr int32_t kUnknown = 0x7FFFFFFF;

// Layout "Dates": Diagnosis (390, D1, columns 1-8) and Birth (240, D6 MM/DD/CCYY, 9-18).
writer::MetafileBuilder dateLayout() {
    writer::MetafileBuilder builder;
    builder.addDictionaryEntry(vetra::testing::dictionaryItem(390, "Diagnosis", "D1", 8));
    builder.addDictionaryEntry(vetra::testing::dictionaryItem(240, "Birth", "D6", 10));
    builder.addLayout(
        writer::RecordLayout{1, "Dates", "", {{390, "D1", 1, 8, ' '}, {240, "D6", 9, 10, ' '}}});
    return builder;
}

std::optional<int32_t> dateField(std::string_view name) {
    if (name == "Diagnosis") return 390;
    if (name == "Birth") return 240;
    return std::nullopt;
}

class IopDateFunctions : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VTx_AllocRecord(metafile_.id(), 20, &record_), 0);
        ASSERT_EQ(VTx_InitRecordLayout(metafile_.id(), record_, "Dates"), 0);
        setRecord("2005123112/31/1950");
        instance().setToday(20260115);
    }

    TMetaFile& instance() { return *vetra::engineProcess().metafiles().find(metafile_.id()); }
    void setRecord(const std::string& record) {
        ASSERT_EQ(VTx_UpdateRecord(metafile_.id(), record_, record.c_str()), 0);
    }

    int32_t run(const std::string& source) {
        std::string logic = vetra::compiler::compileEdit(source, dateField, "iop.edit").logic;
        try {
            return instance().interpreter().VTi_interpret(logic);
        } catch (const vetra::EngineFailure&) {
            ADD_FAILURE() << "the run failed with " << instance().lastEngineError() << " for "
                          << source;
            return -1;
        }
    }
    int32_t value(const std::string& expression) { return run("return " + expression + ";"); }
    int32_t failureOf(const std::string& source) {
        std::string logic = vetra::compiler::compileEdit(source, dateField, "iop.edit").logic;
        try {
            ADD_FAILURE() << "the run passed with "
                          << instance().interpreter().VTi_interpret(logic);
        } catch (const vetra::EngineFailure&) {
        }
        return instance().lastEngineError();
    }
    int32_t status() { return instance().fieldAccess().facts().dateStatus; }
    // A result and the detail status it leaves.
    std::pair<int32_t, int32_t> judged(const std::string& expression) {
        int32_t result = value(expression);
        return {result, status()};
    }

private:
    vetra::testing::OpenMetafile metafile_{dateLayout()};
    int32_t record_ = -1;
};

TEST_F(IopDateFunctions, ValidDateChecksTheGregorianCalendarFrom1850) {
    EXPECT_EQ(value("valid_date_iop(\"20040229\")"), 1);
    EXPECT_EQ(value("valid_date_iop(\"20000229\")"), 1);
    EXPECT_EQ(judged("valid_date_iop(\"19000229\")"), std::make_pair(0, 4));
    EXPECT_EQ(judged("valid_date_iop(\"20050229\")"), std::make_pair(0, 4));
    EXPECT_EQ(judged("valid_date_iop(\"20050431\")"), std::make_pair(0, 4));
    EXPECT_EQ(judged("valid_date_iop(\"20051301\")"), std::make_pair(0, 8));
    EXPECT_EQ(judged("valid_date_iop(\"20050132\")"), std::make_pair(0, 4));
    EXPECT_EQ(value("valid_date_iop(\"18500101\")"), 1);
    EXPECT_EQ(judged("valid_date_iop(\"18491231\")"), std::make_pair(0, 16));
}

TEST_F(IopDateFunctions, BlankDayAndMonthAreUnknownParts) {
    EXPECT_EQ(value("valid_date_iop(\"2005\")"), 1);
    EXPECT_EQ(value("valid_date_iop(\"200512  \")"), 1);
    EXPECT_EQ(judged("valid_date_iop(\"\")"), std::make_pair(0, 4096));
    EXPECT_EQ(judged("valid_date_iop(\"        \")"), std::make_pair(0, 4096));
}

TEST_F(IopDateFunctions, CharactersOtherThanDigitsAndZeroPartsAreRefused) {
    EXPECT_EQ(judged("valid_date_iop(\"20a50101\")"), std::make_pair(0, 16));
    EXPECT_EQ(judged("valid_date_iop(\"2005x101\")"), std::make_pair(0, 8));
    EXPECT_EQ(judged("valid_date_iop(\"2005 101\")"), std::make_pair(0, 8));
    EXPECT_EQ(judged("valid_date_iop(\"200501x1\")"), std::make_pair(0, 4));
    EXPECT_EQ(judged("valid_date_iop(\"00000101\")"), std::make_pair(0, 16));
    EXPECT_EQ(judged("valid_date_iop(\"20050001\")"), std::make_pair(0, 8));
    EXPECT_EQ(judged("valid_date_iop(\"20050100\")"), std::make_pair(0, 4));
    EXPECT_EQ(judged("date_year_iop(\"20050000\")"), std::make_pair(kError, 8));
}

TEST_F(IopDateFunctions, DatesAfterTodayAreRefusedByTheirLaterPart) {
    EXPECT_EQ(value("valid_date_iop(\"20260115\")"), 1);
    EXPECT_EQ(value("valid_date_iop(\"202601\")"), 1);
    EXPECT_EQ(value("valid_date_iop(dt_today)"), 1);
    EXPECT_EQ(judged("valid_date_iop(\"20260116\")"), std::make_pair(0, 4));
    EXPECT_EQ(judged("valid_date_iop(\"20260201\")"), std::make_pair(0, 8));
    EXPECT_EQ(judged("valid_date_iop(\"2027\")"), std::make_pair(0, 16));
}

TEST_F(IopDateFunctions, VariablesAreReadAsTextsOrAsNumbers) {
    EXPECT_EQ(run("char d[9]; strcpy(d, \"2005\"); return date_month_iop(d);"), kMonthEmpty);
    EXPECT_EQ(run("char d[9]; strcpy(d, \"20051130\"); return date_day_iop(d);"), 30);
    EXPECT_EQ(run("int d; d = 200511; return date_day_iop(d);"), kDayEmpty);
    EXPECT_EQ(run("int d; d = 2005; return date_year_iop(d);"), 2005);
    EXPECT_EQ(run("int d; d = 20051301; return valid_date_iop(d);"), 0);
    EXPECT_EQ(status(), 8);
}

TEST_F(IopDateFunctions, PartsOfBlankAndIncompleteDates) {
    EXPECT_EQ(value("date_day_iop(\"200512  \")"), kDayEmpty);
    EXPECT_EQ(value("date_month_iop(\"2005    \")"), kMonthEmpty);
    EXPECT_EQ(value("date_day_iop(\"20051231\")"), 31);
    EXPECT_EQ(value("date_month_iop(\"200512\")"), 12);
    EXPECT_EQ(value("date_year_iop(\"2005\")"), 2005);
    EXPECT_EQ(judged("date_day_iop(\"   \")"), std::make_pair(kEmpty, 4096));
    EXPECT_EQ(judged("date_year_iop(\"18000101\")"), std::make_pair(kError, 16));
}

TEST_F(IopDateFunctions, DateFieldsMustBeOfFormatOneAndNotEmpty) {
    EXPECT_EQ(value("valid_date_iop(#S\"Diagnosis\")"), 1);
    EXPECT_EQ(value("date_day_iop(#S\"Diagnosis\")"), 31);
    EXPECT_EQ(judged("valid_date_iop(#S\"Birth\")"), std::make_pair(0, 2048));
    EXPECT_EQ(judged("date_year_iop(#S\"Birth\")"), std::make_pair(kError, 2048));
    EXPECT_EQ(judged("datecmp_iop(#S\"Birth\", \"20050101\", dt_exact)"),
              std::make_pair(kError, 2048));
    setRecord("200512  12/31/1950");
    EXPECT_EQ(value("date_day_iop(#S\"Diagnosis\")"), kDayEmpty);
    setRecord("        12/31/1950");
    EXPECT_EQ(judged("valid_date_iop(#S\"Diagnosis\")"), std::make_pair(0, 4096));
    EXPECT_EQ(judged("date_month_iop(#S\"Diagnosis\")"), std::make_pair(kEmpty, 4096));
    setRecord("2005ab0112/31/1950");
    EXPECT_EQ(judged("valid_date_iop(#S\"Diagnosis\")"), std::make_pair(0, 8));
}

TEST_F(IopDateFunctions, AnUnusableArgumentEndsTheCallAtItsParenthesis) {
    EXPECT_EQ(judged("dayinterval_iop(#S\"Birth\", strlen(\"(\"), (1 + 2), 9, dt_exact)"),
              std::make_pair(kError, 2048));
    EXPECT_EQ(run("int n; n = datecmp_iop(dt_unknown, \"2005\", dt_min); return n + 1;"),
              kError + 1);
    setRecord("        12/31/1950");
    EXPECT_EQ(value("daydiff_iop(\"2005\", #S\"Diagnosis\", dt_exact)"), kEmpty);
}

TEST_F(IopDateFunctions, ConversionFailures) {
    EXPECT_EQ(failureOf("return valid_date_iop(\"200501011\");"), 330);
    EXPECT_EQ(failureOf("return valid_date_iop(20050101);"), 329);
    EXPECT_EQ(failureOf("return daydiff_iop(\"2005\", 2006, dt_max);"), 329);
}

TEST_F(IopDateFunctions, ComparisonCompletesUnknownPartsForTheMode) {
    EXPECT_EQ(value("datecmp_iop(\"20050101\", \"20050102\", dt_exact)"), -1);
    EXPECT_EQ(value("datecmp_iop(\"20050102\", \"20050102\", dt_exact)"), 0);
    EXPECT_EQ(value("datecmp_iop(\"20050103\", \"20050102\", dt_exact)"), 1);
    EXPECT_EQ(value("datecmp_iop(\"2005\", \"20050315\", dt_min)"), 0);
    EXPECT_EQ(value("datecmp_iop(\"20050315\", \"2005\", dt_min)"), 0);
    EXPECT_EQ(value("datecmp_iop(\"2005\", \"20050315\", dt_max)"), -1);
    EXPECT_EQ(value("datecmp_iop(\"2006\", \"20050315\", dt_min)"), 1);
}

TEST_F(IopDateFunctions, ComparisonOfEmptyIncompleteAndInvalidDates) {
    EXPECT_EQ(judged("datecmp_iop(\"2005\", \"20050315\", dt_exact)"), std::make_pair(kUnknown, 8));
    EXPECT_EQ(judged("datecmp_iop(\"200503\", \"20050315\", dt_exact)"),
              std::make_pair(kUnknown, 4));
    EXPECT_EQ(judged("datecmp_iop(\"\", \"20050315\", dt_exact)"), std::make_pair(kEmpty, 4096));
    EXPECT_EQ(judged("datecmp_iop(\"20051301\", \"20050315\", dt_exact)"),
              std::make_pair(kError, 8));
}

TEST_F(IopDateFunctions, DifferencesCountDaysSignedByTheirOrder) {
    EXPECT_EQ(value("daydiff_iop(\"20050101\", \"20050201\", dt_exact)"), 31);
    EXPECT_EQ(value("daydiff_iop(\"20050201\", \"20050101\", dt_exact)"), -31);
    EXPECT_EQ(value("daydiff_iop(\"20000101\", \"20010101\", dt_exact)"), 366);
    EXPECT_EQ(value("monthdiff_iop(\"20050101\", \"20050301\", dt_exact)"), 1);
    EXPECT_EQ(value("yeardiff_iop(\"19600715\", \"20050714\", dt_exact)"), 45);
    EXPECT_EQ(value("yeardiff_iop(#S\"Diagnosis\", dt_today, dt_exact)"), 20);
}

TEST_F(IopDateFunctions, DifferencesCompleteUnknownPartsForTheMode) {
    EXPECT_EQ(value("daydiff_iop(\"2005\", \"20061231\", dt_exact)"), kUnknown);
    EXPECT_EQ(value("daydiff_iop(\"2005\", \"20061231\", dt_min)"), 365);
    EXPECT_EQ(value("daydiff_iop(\"2005\", \"20061231\", dt_max)"), 729);
    EXPECT_EQ(value("daydiff_iop(\"20050101\", \"2006\", dt_max)"), 729);
    EXPECT_EQ(value("daydiff_iop(\"200502\", \"200502\", dt_min)"), 0);
    EXPECT_EQ(value("daydiff_iop(\"200502\", \"200502\", dt_max)"), 27);
    // dt_max widens d1 back and d2 forward before the dates are ordered.
    EXPECT_EQ(value("daydiff_iop(\"2006\", \"20050315\", dt_max)"), -292);
}

TEST_F(IopDateFunctions, DifferencesOfEmptyAndInvalidDates) {
    EXPECT_EQ(judged("daydiff_iop(\" \", \"20050101\", dt_exact)"), std::make_pair(kEmpty, 4096));
    EXPECT_EQ(judged("yeardiff_iop(\"20050101\", \"20050230\", dt_exact)"),
              std::make_pair(kError, 4));
    EXPECT_EQ(judged("monthdiff_iop(\"20050101\", \"2027\", dt_max)"), std::make_pair(kError, 16));
}

TEST_F(IopDateFunctions, IntervalsTestTheDifferenceAgainstTheirBounds) {
    EXPECT_EQ(value("dayinterval_iop(\"20050101\", \"20050110\", 0, 9, dt_exact)"), 1);
    EXPECT_EQ(value("dayinterval_iop(\"20050101\", \"20050110\", 0, 8, dt_exact)"), 0);
    EXPECT_EQ(value("monthinterval_iop(\"20050101\", \"20050301\", 1, 1, dt_exact)"), 1);
    EXPECT_EQ(value("yearinterval_iop(\"2005\", \"2007\", 2, 2, dt_min)"), 0);
    EXPECT_EQ(value("yearinterval_iop(\"2005\", \"2007\", 1, 1, dt_min)"), 1);
    EXPECT_EQ(value("yearinterval_iop(\"2005\", \"2007\", 1, 1, dt_exact)"), kUnknown);
    EXPECT_EQ(value("dayinterval_iop(\"\", \"2007\", 1, 1, dt_exact)"), kEmpty);
    EXPECT_EQ(value("monthinterval_iop(\"2005\", \"200713\", 1, 1, dt_min)"), kError);
}

TEST_F(IopDateFunctions, FutureYearsAreAllowedForOneEditOnly) {
    EXPECT_EQ(run("allow_future_date_iop(1); return valid_date_iop(\"20270115\");"), 1);
    EXPECT_EQ(value("valid_date_iop(\"20270115\")"), 0);
    EXPECT_EQ(status(), 16);
    EXPECT_EQ(run("int n; n = 1; allow_future_date_iop(n); return valid_date_iop(\"20270116\");"),
              0);
    EXPECT_EQ(status(), 4);
    EXPECT_EQ(value("allow_future_date_iop(2)"), 0);
}

TEST_F(IopDateFunctions, FutureYearsMustBeANumberOrAVariableNotBelowZero) {
    EXPECT_EQ(failureOf("allow_future_date_iop(-1);"), 331);
    EXPECT_EQ(failureOf("allow_future_date_iop(\"1\");"), 331);
    EXPECT_EQ(failureOf("int n; n = -2; allow_future_date_iop(n);"), 331);
}

} // namespace
