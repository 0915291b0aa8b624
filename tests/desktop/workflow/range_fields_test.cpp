// The range fields keep the range inside the data file.
#include "desktop/workflow/range_fields.h"

#include <gtest/gtest.h>

namespace {

using vetra::desktop::countChanged;
using vetra::desktop::RangeFields;
using vetra::desktop::startChanged;

TEST(RangeFields, AStartPastTheLastPossibleStartBecomesIt) {
    const auto fields = startChanged({"95", "10"}, 100);
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->start, "91");
    EXPECT_EQ(startChanged({"91", "10"}, 100)->start, "91");
    EXPECT_EQ(startChanged({"0", "10"}, 100)->start, "91");
    EXPECT_EQ(startChanged({"", "10"}, 100)->start, "1");
}

TEST(RangeFields, ACountOutsideTheFileBecomesTheRecordCount) {
    EXPECT_EQ(countChanged({"5", "0"}, 100)->count, "100");
    EXPECT_EQ(countChanged({"5", "101"}, 100)->count, "100");
    EXPECT_EQ(countChanged({"5", "100"}, 100)->start, "5");
    const auto emptied = countChanged({"5", ""}, 100);
    EXPECT_EQ(emptied->count, "100");
    EXPECT_EQ(emptied->start, "1");
}

TEST(RangeFields, TextThatIsNoNumberIsRefused) {
    EXPECT_FALSE(startChanged({"ten", "10"}, 100));
    EXPECT_FALSE(startChanged({"5", "x"}, 100));
    EXPECT_FALSE(countChanged({"5", "1e3"}, 100));
}

} // namespace
