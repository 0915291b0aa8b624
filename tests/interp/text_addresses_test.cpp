#include "engine/interp/text_addresses.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using vetra::TextAddressSpace;

// A block's end forgets the deeper blocks mapped since it began and keeps the shallower
// ones (an edit's arrays), wherever they lie among them.
TEST(TextAddressSpaceTest, ABlockEndForgetsItsDeeperBlocksAndKeepsTheRest) {
    TextAddressSpace addresses;
    char earlier[4] = "abc", array[4] = "xyz", temporary[4] = "tmp", inner[4] = "in";
    int32_t kept = addresses.map(earlier, sizeof earlier, 11, 1);
    size_t begun = addresses.blockCount();
    int32_t first = addresses.map(temporary, sizeof temporary, 12, 2);
    int32_t declared = addresses.map(array, sizeof array, 2, 3);
    size_t innerBegun = addresses.blockCount();
    int32_t deeper = addresses.map(inner, sizeof inner, 13, 4);

    std::vector<int32_t> released;
    auto release = [&](int32_t handle) { released.push_back(handle); };
    addresses.unmapFrom(13, innerBegun, release);
    EXPECT_EQ(released, std::vector<int32_t>{4});
    EXPECT_EQ(addresses.textAt(deeper), "");

    addresses.unmapFrom(12, begun, release);
    EXPECT_EQ(released, (std::vector<int32_t>{4, 2}));
    EXPECT_EQ(addresses.textAt(first), "");
    EXPECT_EQ(addresses.textAt(declared), "xyz");
    EXPECT_EQ(addresses.textAt(kept), "abc");
    EXPECT_EQ(addresses.blockCount(), 2u);
}

TEST(TextAddressSpaceTest, AMarkBeyondTheBlocksForgetsNothing) {
    TextAddressSpace addresses;
    char text[2] = "a";
    int32_t address = addresses.map(text, sizeof text, 12, 1);
    addresses.unmapFrom(11, 5, [](int32_t) { FAIL(); });
    EXPECT_EQ(addresses.textAt(address), "a");
}

} // namespace
