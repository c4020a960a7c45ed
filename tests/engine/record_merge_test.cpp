#include "record_merge.h"

#include <gtest/gtest.h>

#include "date_codec.h"

namespace corvat {
namespace {

// Records of date and close: {day number, close}.
using Closes = std::vector<std::pair<int, float>>;

std::string Bytes(const MbfBytes& v) { return std::string(v.begin(), v.end()); }

std::string Stored(const Closes& records) {
    std::string bytes;
    for (auto [day, close] : records)
        bytes +=
            Bytes(DayNumberToDateValue(static_cast<std::uint16_t>(day))) + Bytes(IeeeToMbf(close));
    return bytes;
}

std::vector<InputRecord> Rows(const Closes& rows) {
    std::vector<InputRecord> out(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out[i].fields[kDateField] = DayNumberToDateValue(static_cast<std::uint16_t>(rows[i].first));
        out[i].fields[kCloseField] = IeeeToMbf(rows[i].second);
        out[i].fields[kOpenField] = IeeeToMbf(99);  // a field the security lacks
    }
    return out;
}

TEST(RecordMerge, UnionAscendingWithTheFilesRowWinningAndChangesCounted) {
    struct Case {
        Closes stored, rows, expected;
        std::size_t added, replaced;
    } const cases[] = {
        {{{1, 1}, {2, 2}, {3, 3}},
         {{2, 2}, {3, 30}, {4, 4}},
         {{1, 1}, {2, 2}, {3, 30}, {4, 4}},
         1,
         1},
        {{{2, 2}, {4, 4}},
         {{1, 1}, {3, 3}, {5, 5}},
         {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}},
         3,
         0},
        // Stored out of order with a repeat: the later one wins.
        {{{3, 3}, {1, 1}, {3, 33}, {2, 2}}, {}, {{1, 1}, {2, 2}, {3, 33}}, 0, 0},
    };
    for (const Case& c : cases) {
        const RecordMerge m =
            MergeRecords(Stored(c.stored), {kDateField, kCloseField}, Rows(c.rows));
        EXPECT_EQ(m.records, Stored(c.expected));
        EXPECT_EQ((std::array{m.count, m.added, m.replaced}),
                  (std::array{c.expected.size(), c.added, c.replaced}));
        EXPECT_EQ(m.firstDate,
                  DayNumberToDateValue(static_cast<std::uint16_t>(c.expected[0].first)));
        EXPECT_EQ(m.lastDate,
                  DayNumberToDateValue(static_cast<std::uint16_t>(c.expected.back().first)));
    }
}

TEST(RecordMerge, StoredBytesAreCopiedNotReencodedInTheSecuritysFieldOrder) {
    // A close no encoder writes (exponent 1, reads as 0), in records of close then date.
    const std::string stored = "\x11\x22\x33\x01" + Bytes(DayNumberToDateValue(1));
    const RecordMerge m = MergeRecords(stored, {kCloseField, kDateField}, Rows({{2, 5}}));
    EXPECT_EQ(m.records, stored + Bytes(IeeeToMbf(5)) + Bytes(DayNumberToDateValue(2)));
}

}  // namespace
}  // namespace corvat
