#include <gtest/gtest.h>

#include <algorithm>

#include "data_file_layout.h"
#include "date_codec.h"
#include "builders.h"

namespace corvat::test {
namespace {

MbfBytes DateAt(const Bytes& data, std::size_t record, std::size_t length) {
    return {data[record * length], data[record * length + 1], data[record * length + 2],
            data[record * length + 3]};
}

Bytes Mbf(float v) {
    const MbfBytes m = IeeeToMbf(v);
    return Bytes(m.begin(), m.end());
}

int RecordCount(const std::filesystem::path& dat) {
    const Bytes data = ReadBytes(dat);
    return data[2] | data[3] << 8;
}

TEST(ConvertRows, BlankAndDelimiterOnlyLinesAreSkippedUncounted) {
    JobFixture f;
    f.OnlyDateAndClose();
    ASSERT_EQ(f.Convert("\n011597,10\r\n,,,\n  , \t\n011697,11"), 0) << f.messages.messages.front();
    EXPECT_TRUE(f.messages.messages.empty());
    EXPECT_EQ(RecordCount(f.dir / "F1.DAT"), 3);
    EXPECT_EQ(f.job.RowsWritten(), 2);
}

TEST(ConvertRows, RowsAreLeftOutNotFabricated) {
    JobFixture f;
    f.OnlyDateAndClose();
    // A short row, a bad date, a word for a price: none may borrow values.
    ASSERT_EQ(f.Convert("011597,10\n011697\n133197,5\n011797,abc\n011897,12\n"), 1);
    ASSERT_EQ(f.messages.messages.size(), 1u);
    EXPECT_EQ(f.messages.messages[0],
              "3 rows could not be converted and were left out.\nThe first is line 2: it has no "
              "close column");
    const Bytes data = ReadBytes(f.dir / "F1.DAT");
    ASSERT_EQ(data.size(), 24u);
    EXPECT_EQ(RecordCount(f.dir / "F1.DAT"), 3);
    EXPECT_EQ(DateAt(data, 2, 8), IeeeToMbf(970118.0f));
    const Bytes master = ReadBytes(f.dir / "MASTER");
    EXPECT_EQ(Slice(master, 53 + 29, 4), Mbf(970118.0f));
}

TEST(ConvertRows, DisabledFieldColumnsMayBeMissing) {
    JobFixture f;
    f.OnlyDateAndClose();
    f.job.m_nColumn[kOpenField] = 15;  // disabled: its column is never looked at
    ASSERT_EQ(f.Convert("011597,10\n"), 0);
}

TEST(ConvertRows, SkippedRowsAreWholeLinesEvenWhenBlank) {
    JobFixture f;
    f.OnlyDateAndClose();
    f.job.m_bSkipOn = 1;
    f.job.m_nSkipRows = 2;
    const std::string longHeader(1000, 'h');
    ASSERT_EQ(f.Convert("\n" + longHeader + "\n011597,10\n"), 0);
    EXPECT_EQ(f.job.RowsWritten(), 1);
}

TEST(ConvertRows, HeaderLineWithoutSkipIsLeftOutWithItsLineNumber) {
    JobFixture f;
    f.OnlyDateAndClose();
    f.job.m_nDateFormat = 4;
    ASSERT_EQ(f.Convert("Date,Close\n01/15/1997,10\n"), 1);
    ASSERT_EQ(f.messages.messages.size(), 1u);
    EXPECT_EQ(f.messages.messages[0],
              "1 row could not be converted and was left out.\nThe first is line 1: \"Date\" "
              "is not a valid date");
}

TEST(ConvertRows, NumericFormatWithSeparatorsWarnsButWritesEveryRow) {
    JobFixture f;
    f.OnlyDateAndClose();
    f.job.m_nDateFormat = 7;
    ASSERT_EQ(f.Convert("97/01/15,10\n970116,10\n"), 1);
    ASSERT_GE(f.messages.messages.size(), 1u);
    EXPECT_EQ(f.messages.messages[0],
              "You specified a numeric-only date format\nbut a non-numeric date character was "
              "found.");
}

TEST(ConvertRows, SeparatedFormatWithDigitsOnlyWarnsOnce) {
    JobFixture f;
    f.OnlyDateAndClose();
    f.job.m_nDateFormat = 3;
    ASSERT_EQ(f.Convert("011597,10\n011697,10\n"), 1);
    EXPECT_EQ(f.messages.messages.front(),
              "You specified a character-separated date format\nbut a only numeric date "
              "characters were found.");
    EXPECT_EQ(
        std::count(f.messages.messages.begin(), f.messages.messages.end(), f.messages.messages.front()), 1);
}

TEST(ConvertRows, DateKindIsJudgedOnTheFirstRowWithADate) {
    JobFixture f;
    f.OnlyDateAndClose();
    // The quoted date loses its quotes before the check; the blank-date row
    // before it is not the one judged.
    ASSERT_EQ(f.Convert(" ,5\n\"011597\",10\n011697,10\n"), 1);
    EXPECT_EQ(f.messages.messages.size(), 1u) << "only the left-out row is reported";
    EXPECT_EQ(f.job.RowsWritten(), 2);
}

TEST(ConvertRows, LeadingSpaceCountsAsNonDigitInTheCheck) {
    JobFixture f;
    f.OnlyDateAndClose();
    ASSERT_EQ(f.Convert(" 011597,10\n"), 1);
    EXPECT_EQ(f.messages.messages.front().rfind("You specified a numeric-only", 0), 0u);
    EXPECT_EQ(f.job.RowsWritten(), 1);
}

TEST(ConvertRows, OutOfOrderDatesKeepFileOrder) {
    JobFixture f;
    f.OnlyDateAndClose();
    ASSERT_EQ(f.Convert("011797,1\n011597,2\n011697,3\n"), 0);
    const Bytes master = ReadBytes(f.dir / "MASTER");
    EXPECT_EQ(Slice(master, 53 + 25, 4), Mbf(970117.0f));
    EXPECT_EQ(Slice(master, 53 + 29, 4), Mbf(970116.0f));
}

TEST(ConvertRows, StopsAtTheRecordLimitAndFinalisesTheFile) {
    JobFixture f;
    f.OnlyDateAndClose();
    std::string text;
    for (int i = 0; i < kMaxDataRecords + 2; ++i) text += "011597,1\n";
    text += "bad\n";
    ASSERT_EQ(f.Convert(text), 1);
    ASSERT_EQ(f.messages.messages.size(), 1u);
    EXPECT_EQ(f.messages.messages[0],
              "The data file can hold at most 65534 records.\nConversion stopped at line 65535.");
    EXPECT_EQ(RecordCount(f.dir / "F1.DAT"), 65535);
    EXPECT_EQ(ReadBytes(f.dir / "F1.DAT").size(), 8u * 65535);
}

TEST(ConvertRows, LimitAndLeftOutRowsAreBothReported) {
    JobFixture f;
    f.OnlyDateAndClose();
    std::string text = "000000,1\n";
    for (int i = 0; i < kMaxDataRecords + 1; ++i) text += "011597,1\n";
    ASSERT_EQ(f.Convert(text), 1);
    ASSERT_EQ(f.messages.messages.size(), 2u);
    EXPECT_EQ(f.messages.messages[0].rfind("The data file can hold at most 65534", 0), 0u);
    EXPECT_EQ(f.messages.messages[1].rfind("1 row could not be converted", 0), 0u);
}

TEST(ConvertRows, OneRowGivesEqualFirstAndLastDates) {
    JobFixture f;
    f.OnlyDateAndClose();
    ASSERT_EQ(f.Convert("011597,10"), 0);
    const Bytes master = ReadBytes(f.dir / "MASTER");
    EXPECT_EQ(Slice(master, 53 + 25, 4), Slice(master, 53 + 29, 4));
    EXPECT_EQ(RecordCount(f.dir / "F1.DAT"), 2);
}

}  // namespace
}  // namespace corvat::test
