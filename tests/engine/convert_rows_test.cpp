#include <gtest/gtest.h>

#include <algorithm>

#include "builders.h"
#include "data_file_layout.h"
#include "date_codec.h"

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

TEST(ConvertRows, BadRowsAreLeftOutOnlyWhenTheUserSaysYes) {
    // A short row, a bad date, a word for a price, a repeated date: none
    // may borrow values.
    const std::string text = "011597,10\n011697\n133197,5\n011797,abc\n011897,12\n011597,9\n";
    for (bool answer : {false, true}) {
        JobFixture f;
        f.OnlyDateAndClose();
        f.messages.answer = answer;
        ASSERT_EQ(f.Convert(text), answer ? 0 : 1);
        ASSERT_EQ(f.messages.messages.size(), 1u);
        const std::string& asked = f.messages.messages[0];
        for (const char* part : {"Line 2: it has no close column",
                                 "Line 3:", "Line 4:", "Line 6: it repeats the date of line 1",
                                 "\nConvert the other 2 rows and leave these out?"}) {
            EXPECT_NE(asked.find(part), std::string::npos) << part << " in " << asked;
        }
        if (!answer) {
            EXPECT_FALSE(std::filesystem::exists(f.dir / "MASTER"));
            EXPECT_FALSE(std::filesystem::exists(f.dir / "F1.DAT"));
            continue;
        }
        EXPECT_EQ(f.job.RowsLeftOut(), 4);
        const Bytes data = ReadBytes(f.dir / "F1.DAT");
        ASSERT_EQ(data.size(), 24u);
        EXPECT_EQ(RecordCount(f.dir / "F1.DAT"), 3);
        EXPECT_EQ(DateAt(data, 2, 8), IeeeToMbf(970118.0f));
        EXPECT_EQ(Slice(data, 12, 4), Mbf(10.0f)) << "the first of a repeated date is kept";
        EXPECT_EQ(Slice(ReadBytes(f.dir / "MASTER"), 53 + 29, 4), Mbf(970118.0f));
    }
}

TEST(ConvertRows, BadRowsBeyondFiveAreCounted) {
    JobFixture f;
    f.OnlyDateAndClose();
    ASSERT_EQ(f.Convert("011597\n011597\n011597\n011597\n011597\n011597\n011597\n011697,1\n"), 1);
    ASSERT_EQ(f.messages.messages.size(), 1u);
    EXPECT_NE(f.messages.messages[0].find("Line 5:"), std::string::npos);
    EXPECT_EQ(f.messages.messages[0].find("Line 6:"), std::string::npos);
    EXPECT_NE(f.messages.messages[0].find("2 more"), std::string::npos);
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

TEST(ConvertRows, DateKindMismatchStopsBeforeAnythingIsWritten) {
    for (bool skipBadRows : {false, true}) {
        JobFixture f;
        f.OnlyDateAndClose();
        f.job.m_nDateFormat = 7;
        f.messages.answer = skipBadRows;
        ASSERT_EQ(f.Convert("97/01/15,10\n970116,10\n"), 1);
        EXPECT_EQ(f.messages.messages,
                  std::vector<std::string>{"You specified a numeric-only date format\nbut a "
                                           "non-numeric date character was found."});
        EXPECT_EQ(FileNames(f.dir.Path()), std::vector<std::string>{"input.txt"});
    }
}

TEST(ConvertRows, SeparatedFormatWithDigitsOnlyWarnsOnce) {
    JobFixture f;
    f.OnlyDateAndClose();
    f.job.m_nDateFormat = 3;
    ASSERT_EQ(f.Convert("011597,10\n011697,10\n"), 1);
    EXPECT_EQ(f.messages.messages.front(),
              "You specified a character-separated date format\nbut a only numeric date "
              "characters were found.\nThe dates look like MMDDYY.");
    EXPECT_EQ(std::count(f.messages.messages.begin(), f.messages.messages.end(),
                         f.messages.messages.front()),
              1);
}

TEST(ConvertRows, DateKindIsJudgedOnTheFirstRowWithADate) {
    JobFixture f;
    f.OnlyDateAndClose();
    f.messages.answer = true;
    // The quoted date loses its quotes before the check; the blank-date row
    // before it is not the one judged.
    ASSERT_EQ(f.Convert(" ,5\n\"011597\",10\n011697,10\n"), 0);
    EXPECT_EQ(f.messages.messages.size(), 1u) << "only the left-out row is reported";
    EXPECT_EQ(f.job.RowsWritten(), 2);
}

TEST(ConvertRows, LeadingSpaceCountsAsNonDigitInTheCheck) {
    JobFixture f;
    f.OnlyDateAndClose();
    ASSERT_EQ(f.Convert(" 011597,10\n"), 1);
    EXPECT_EQ(f.messages.messages.front().rfind("You specified a numeric-only", 0), 0u);
    EXPECT_EQ(FileNames(f.dir.Path()), std::vector<std::string>{"input.txt"});
}

TEST(ConvertRows, RecordsAreStoredAscendingWhateverTheFileOrder) {
    for (const char* text : {"011797,3\n011697,2\n011597,1\n", "011697,2\n011797,3\n011597,1\n"}) {
        JobFixture f;
        f.OnlyDateAndClose();
        ASSERT_EQ(f.Convert(text), 0);
        const Bytes data = ReadBytes(f.dir / "F1.DAT");
        ASSERT_EQ(data.size(), 32u);
        for (std::size_t i = 1; i <= 3; ++i) {
            EXPECT_EQ(DateAt(data, i, 8), IeeeToMbf(970114.0f + static_cast<float>(i)));
            EXPECT_EQ(Slice(data, i * 8 + 4, 4), Mbf(static_cast<float>(i)));
        }
        const Bytes master = ReadBytes(f.dir / "MASTER");
        EXPECT_EQ(Slice(master, 53 + 25, 4), Mbf(970115.0f));
        EXPECT_EQ(Slice(master, 53 + 29, 4), Mbf(970117.0f));
    }
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
