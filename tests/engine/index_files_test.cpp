#include "index_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "field_bitset.h"
#include "index_support.h"

namespace corvat::test {
namespace {

TEST(FieldBitset, MapsRecordOrderToTheIndexBits) {
    static_assert(kFieldBits[kOpenField] == 0x20 && kFieldBits[kHighField] == 0x02 &&
                  kFieldBits[kOpenInterestField] == 0x40 && kFieldSlots == kDailyFieldCount);
    const struct {
        std::array<int, 7> flags;
        std::uint8_t bits;
    } cases[] = {{{1, 1, 1, 1, 1, 1, 1}, 0x7f},
                 {{1, 1, 1, 1, 1, 1, 0}, 0x3f},
                 {{1, 0, 1, 1, 1, 1, 0}, 0x1f},
                 {{1, 0, 0, 0, 1, 0, 0}, 0x09},
                 {{1, 1, 0, 0, 1, 0, 1}, 0x69}};
    for (const auto& c : cases) {
        EXPECT_EQ(FieldBitset(c.flags), c.bits);
        EXPECT_EQ(FieldBitset(FieldsOfBitset(c.bits | kTimeFieldBit)), c.bits);
        EXPECT_EQ(BitsetFieldCount(c.bits), std::count(c.flags.begin(), c.flags.end(), 1));
    }
    EXPECT_EQ(BitsetFieldCount(0xff), 8);
}

TEST(IndexRules, FreeNumbersAndAFullMaster) {
    std::vector<int> all(255);
    for (int i = 0; i < 255; ++i) all[i] = i + 1;
    std::vector<int> allBut9 = all;
    allBut9[8] = 300;
    // MASTER's count, the numbers any index names, the lowest free, full.
    const std::tuple<int, std::vector<int>, std::optional<int>, bool> cases[] = {
        {0, {}, 1, false},
        {2, {1, 2, 256}, 3, false},
        {1, allBut9, 9, false},
        {3, all, std::nullopt, true},
        {255, {1}, 2, true}};
    for (const auto& [count, named, lowest, full] : cases) {
        EXPECT_EQ(LowestFreeFileNumber(named), lowest);
        EXPECT_EQ(MasterIsFull(count, named), full);
    }
    // XMASTER's numbers run to 65535, above whatever its header or records say.
    EXPECT_EQ(NextXmasterFileNumber({.nextFileNumber = 65535}, {}), 65535);
    EXPECT_EQ(NextXmasterFileNumber({.nextFileNumber = 300}, std::vector<int>{65535}),
              std::nullopt);
}

}  // namespace
}  // namespace corvat::test
