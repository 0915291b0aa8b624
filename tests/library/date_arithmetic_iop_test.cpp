// The calendar rules of the _iop date functions on their own: the latest accepted date, the
// validity check and the completion of unknown (0) parts.
#include "engine/library/date_arithmetic_iop.h"

#include <gtest/gtest.h>

namespace {

using vetra::DateParts;
using vetra::LatestDate;

constexpr int32_t kMin = 1;
constexpr int32_t kMax = 2;
constexpr int32_t kExact = 3;

TEST(IopDateArithmetic, TheLatestDateIsTodayMovedOnByTheAllowedYears) {
    EXPECT_EQ(LatestDate::of(20260115, 0).value, 20260115);
    EXPECT_EQ(LatestDate::of(20260115, 3).value, 20290115);
    EXPECT_EQ(LatestDate::of(20260115, 3).parts.year, 2029);
}

TEST(IopDateArithmetic, ValidityAcceptsUnknownPartsUpToTheLatestDate) {
    LatestDate latest = LatestDate::of(20260115, 0);
    EXPECT_EQ(vetra::VTi_ValidDate_IOP(DateParts::of(20260000), latest), 0);
    EXPECT_EQ(vetra::VTi_ValidDate_IOP(DateParts::of(20260100), latest), 0);
    EXPECT_EQ(vetra::VTi_ValidDate_IOP(DateParts::of(20260200), latest), 8);
    EXPECT_EQ(vetra::VTi_ValidDate_IOP(DateParts::of(24000229), LatestDate::of(20260115, 400)), 0);
    EXPECT_EQ(vetra::VTi_ValidDate_IOP(DateParts::of(21000229), LatestDate::of(20260115, 100)), 4);
}

TEST(IopDateArithmetic, NearestCompletionStopsAtTodayInTheLatestMonth) {
    LatestDate latest = LatestDate::of(20260115, 0);
    DateParts p = DateParts::of(20260100);
    DateParts q = DateParts::of(20250000);
    ASSERT_TRUE(vetra::completeIop(p, q, kMin, latest));
    EXPECT_EQ(p.value(), 20260115);
    EXPECT_EQ(q.value(), 20250101);
    p = DateParts::of(20251100);
    q = DateParts::of(20260000);
    ASSERT_TRUE(vetra::completeIop(p, q, kMin, latest));
    EXPECT_EQ(p.value(), 20251130);
    EXPECT_EQ(q.value(), 20260101);
}

TEST(IopDateArithmetic, NearestCompletionMeetsTheOtherDateInItsYearAndMonth) {
    LatestDate latest = LatestDate::of(20260115, 0);
    DateParts p = DateParts::of(20050000);
    DateParts q = DateParts::of(20050300);
    ASSERT_TRUE(vetra::completeIop(p, q, kMin, latest));
    EXPECT_EQ(p.value(), 20050331);
    EXPECT_EQ(q.value(), 20050331);
    p = DateParts::of(20050000);
    q = DateParts::of(20050000);
    ASSERT_TRUE(vetra::completeIop(p, q, kMin, latest));
    EXPECT_EQ(p.value(), q.value());
}

TEST(IopDateArithmetic, FarthestCompletionAndTheOtherModes) {
    LatestDate latest = LatestDate::of(20260115, 0);
    DateParts p = DateParts::of(20050000);
    DateParts q = DateParts::of(20060200);
    ASSERT_TRUE(vetra::completeIop(p, q, kMax, latest));
    EXPECT_EQ(p.value(), 20050101);
    EXPECT_EQ(q.value(), 20060228);
    p = DateParts::of(20050100);
    q = DateParts::of(20060201);
    EXPECT_FALSE(vetra::completeIop(p, q, kExact, latest));
    p = DateParts::of(20050101);
    q = DateParts::of(1231);
    EXPECT_FALSE(vetra::completeIop(p, q, kMin, latest));
}

TEST(IopDateArithmetic, DifferencesOfCompleteDates) {
    LatestDate latest = LatestDate::of(20260115, 0);
    EXPECT_EQ(vetra::iopDayDifference(20050101, 20050201, kExact, latest), 31);
    EXPECT_EQ(vetra::iopDayDifference(20050201, 20050101, kExact, latest), -31);
    EXPECT_EQ(vetra::iopDayDifference(20050100, 20050201, kExact, latest), std::nullopt);
}

} // namespace
