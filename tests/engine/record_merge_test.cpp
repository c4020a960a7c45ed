#include "record_merge.h"

#include <gtest/gtest.h>

#include "date_codec.h"

namespace corvat {
namespace {

// Records of date and close: {day number, close}.
using Closes = std::vector<std::pair<int, float>>;

std::string Stored(const Closes& records) {
    std::string bytes;
    for (auto [day, close] : records) {
        for (const MbfBytes& v :
             {DayNumberToDateValue(static_cast<std::uint16_t>(day)), IeeeToMbf(close)})
            bytes.append(v.begin(), v.end());
    }
    return bytes;
}

std::vector<InputRecord> Rows(const Closes& rows) {
    std::vector<InputRecord> out;
    for (auto [day, close] : rows) {
        InputRecord record;
        record.day = static_cast<std::uint16_t>(day);
        record.fields[kDateField] = DayNumberToDateValue(record.day);
        record.fields[kCloseField] = IeeeToMbf(close);
        record.fields[kOpenField] = IeeeToMbf(99);  // a field the security lacks
        out.push_back(record);
    }
    return out;
}

TEST(RecordMerge, UnionAscendingWithTheFilesRowWinningAndChangesCounted) {
    struct Case {
        const char* what;
        Closes stored, rows, expected;
        std::size_t added, replaced;
    };
    const Case cases[] = {
        {"appends", {{1, 1}, {2, 2}}, {{3, 3}, {4, 4}}, {{1, 1}, {2, 2}, {3, 3}, {4, 4}}, 2, 0},
        {"overlap revises the last",
         {{1, 1}, {2, 2}, {3, 3}},
         {{2, 2}, {3, 30}, {4, 4}},
         {{1, 1}, {2, 2}, {3, 30}, {4, 4}},
         1,
         1},
        {"same rows are neither", {{1, 1}, {2, 2}}, {{1, 1}, {2, 2}}, {{1, 1}, {2, 2}}, 0, 0},
        {"older rows go in front", {{5, 5}}, {{1, 1}, {5, 5}}, {{1, 1}, {5, 5}}, 1, 0},
        {"interleaved",
         {{2, 2}, {4, 4}},
         {{1, 1}, {3, 3}, {5, 5}},
         {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}},
         3,
         0},
        {"stored out of order, repeats: later wins",
         {{3, 3}, {1, 1}, {3, 33}, {2, 2}},
         {},
         {{1, 1}, {2, 2}, {3, 33}},
         0,
         0},
        {"no stored records", {}, {{7, 7}}, {{7, 7}}, 1, 0},
    };
    for (const Case& c : cases) {
        const RecordMerge merge =
            MergeRecords(Stored(c.stored), {kDateField, kCloseField}, Rows(c.rows));
        EXPECT_EQ(merge.records, Stored(c.expected)) << c.what;
        EXPECT_EQ(merge.count, c.expected.size()) << c.what;
        EXPECT_EQ(merge.added, c.added) << c.what;
        EXPECT_EQ(merge.replaced, c.replaced) << c.what;
        const auto first = static_cast<std::uint16_t>(c.expected.front().first);
        EXPECT_EQ(merge.firstDate, DayNumberToDateValue(first)) << c.what;
        const auto last = static_cast<std::uint16_t>(c.expected.back().first);
        EXPECT_EQ(merge.lastDate, DayNumberToDateValue(last)) << c.what;
    }
}

TEST(RecordMerge, StoredBytesAreCopiedNotReencodedAndFieldsFollowTheSecurity) {
    // A close no encoder writes (exponent 1: reads as 0), in a security whose
    // records are close then date.
    std::string stored = "\x11\x22\x33\x01";
    const MbfBytes date = DayNumberToDateValue(1);
    stored.append(date.begin(), date.end());
    const RecordMerge merge = MergeRecords(stored, {kCloseField, kDateField}, Rows({{2, 5}}));
    const MbfBytes five = IeeeToMbf(5);
    const MbfBytes day2 = DayNumberToDateValue(2);
    EXPECT_EQ(merge.records, stored + std::string(five.begin(), five.end()) +
                                 std::string(day2.begin(), day2.end()));
    EXPECT_EQ(MissingField({kDateField, kCloseField, kOpenInterestField},
                           {true, true, true, true, true, true, false}),
              kOpenInterestField);
    EXPECT_EQ(
        MissingField({kDateField, kCloseField}, {true, false, false, false, true, false, false}),
        -1);
}

TEST(RecordMerge, OutcomeLines) {
    RecordMerge merge;
    merge.count = 1255;
    merge.added = 5;
    merge.replaced = 1;
    EXPECT_EQ(UpdateOutcome("IBM", merge), "IBM: 5 rows added, 1 replaced, 1255 records");
    EXPECT_EQ(BatchUpdateOutcome("ibm.csv", "IBM", 3, merge),
              "ibm.csv: symbol IBM, file number 3, 5 rows added, 1 replaced, 1255 records, "
              "updated");
    merge.added = merge.replaced = 0;
    EXPECT_EQ(UpdateOutcome("IBM", merge), "IBM: nothing to add, 1255 records");
}

}  // namespace
}  // namespace corvat
