#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "date_codec.h"
#include "mbf.h"

namespace corvat {
namespace {

TEST(Mbf, WorkedExamplesEncodeByteForByte) {
    EXPECT_EQ(IeeeToMbf(1.0f), (MbfBytes{0x00, 0x00, 0x00, 0x81}));
    EXPECT_EQ(IeeeToMbf(-1.0f), (MbfBytes{0x00, 0x00, 0x80, 0x81}));
    EXPECT_EQ(IeeeToMbf(0.5f), (MbfBytes{0x00, 0x00, 0x00, 0x80}));
    EXPECT_EQ(IeeeToMbf(10.0f), (MbfBytes{0x00, 0x00, 0x20, 0x84}));
    EXPECT_EQ(IeeeToMbf(970115.0f), (MbfBytes{0x30, 0xD8, 0x6C, 0x94}));
    EXPECT_EQ(IeeeToMbf(1010115.0f), (MbfBytes{0x30, 0x9C, 0x76, 0x94}));
}

TEST(Mbf, ZeroAndValuesWithoutAnMbfFormBecomeZeroBytes) {
    const MbfBytes zero{0, 0, 0, 0};
    EXPECT_EQ(IeeeToMbf(0.0f), zero);
    EXPECT_EQ(IeeeToMbf(-0.0f), zero);
    EXPECT_EQ(IeeeToMbf(std::numeric_limits<float>::quiet_NaN()), zero);
    EXPECT_EQ(IeeeToMbf(std::numeric_limits<float>::infinity()), zero);
    EXPECT_EQ(IeeeToMbf(std::numeric_limits<float>::denorm_min()), zero);
    EXPECT_EQ(MbfToIeee({0x12, 0x34, 0x56, 0x00}), 0.0f);
    EXPECT_EQ(MbfToIeee({0xFF, 0xFF, 0xFF, 0x02}), 0.0f);
}

TEST(Mbf, RoundTripsEveryNormalMagnitudeBelow2To127) {
    for (float v : {1.0f, -2.5f, 123.45f, 1e-30f, -3.4e37f, std::numeric_limits<float>::min(),
                    std::nextafter(0x1p127f, 0.0f), 65535.0f, 0.01f}) {
        EXPECT_EQ(MbfToIeee(IeeeToMbf(v)), v) << v;
    }
}

TEST(DayNumbers, CalendarEndsAndLeapDays) {
    EXPECT_EQ(DateToDayNumber(97, 1, 15), 13164);
    EXPECT_EQ(DateToDayNumber(1997, 1, 15), 13164);
    EXPECT_EQ(DateToDayNumber(61, 1, 1), 1);
    EXPECT_EQ(DateToDayNumber(199, 12, 31), kLastDayNumber);
    const CalendarDate leap = DayNumberToDate(DateToDayNumber(100, 2, 29));
    EXPECT_EQ(leap.year, 100);
    EXPECT_EQ(leap.month, 2);
    EXPECT_EQ(leap.day, 29);
    EXPECT_EQ(DayNumberToDateValue(kLastDayNumber), IeeeToMbf(1991231.0f));
}

TEST(DayNumbers, DaysBeyondTheMonthRollOver) {
    EXPECT_EQ(DateToDayNumber(97, 2, 30), DateToDayNumber(97, 3, 2));
    EXPECT_EQ(DateToDayNumber(97, 3, 0), DateToDayNumber(97, 2, 28));
    EXPECT_EQ(DateToDayNumber(97, 1, 32), DateToDayNumber(97, 2, 1));
    EXPECT_EQ(DayNumberToDateValue(DateToDayNumber(97, 2, 30)), IeeeToMbf(970302.0f));
}

TEST(DayNumbers, EveryDayOfTheRangeSplitsBackToItself) {
    for (int n = 1; n <= kLastDayNumber; ++n) {
        const CalendarDate d = DayNumberToDate(static_cast<std::uint16_t>(n));
        ASSERT_EQ(
            DateToDayNumber(static_cast<std::int16_t>(d.year), static_cast<std::int16_t>(d.month),
                            static_cast<std::int16_t>(d.day)),
            n);
        ASSERT_GE(d.day, 1);
        ASSERT_LE(d.day, 31);
    }
}

TEST(ParseDate, ReadsEveryFormat) {
    const std::pair<int, const char*> cases[] = {
        {1, "97/01/15"}, {2, "1997-01-15"}, {3, "01/15/97"}, {4, "01/15/1997"},
        {5, "15.01.97"}, {6, "15.01.1997"}, {7, "970115"},   {8, "19970115"},
        {9, "011597"},   {10, "01151997"},  {11, "150197"},  {12, "15011997"},
    };
    for (const auto& [format, text] : cases) EXPECT_EQ(ParseDate(text, format), 13164) << text;
}

TEST(ParseDate, SkipsLeadingSpacesAndOneQuote) {
    EXPECT_EQ(ParseDate("  \"970115", 7), 13164);
    EXPECT_EQ(DayNumberToDateValue(ParseDate("  \"970115", 7)), IeeeToMbf(970115.0f));
    EXPECT_EQ(ParseDate("\t970115", 7), 0) << "only spaces are skipped";
    EXPECT_EQ(ParseDate("\"\"970115", 7), 0) << "only one quote is skipped";
}

TEST(ParseDate, CenturyRuleAppliesToTwoDigitYearsOnly) {
    EXPECT_EQ(DayNumberToDate(ParseDate("01/15/05", 3)).year, 105);
    EXPECT_EQ(DayNumberToDate(ParseDate("01/15/61", 3)).year, 61);
    EXPECT_EQ(DayNumberToDateValue(ParseDate("20010115", 8)), IeeeToMbf(1010115.0f));
    EXPECT_EQ(ParseDate("19550115", 8), 0) << "1955 is before the calendar, not 2055";
    EXPECT_EQ(DayNumberToDate(ParseDate("20550115", 8)).year, 155);
}

TEST(ParseDate, RefusesWhatIsNoDate) {
    EXPECT_EQ(ParseDate("", 9), 0);
    EXPECT_EQ(ParseDate("   ", 9), 0);
    EXPECT_EQ(ParseDate("011597", 0), 0);
    EXPECT_EQ(ParseDate("011597", 13), 0);
    EXPECT_EQ(ParseDate("000000", 9), 0);
    EXPECT_EQ(ParseDate("01159", 9), 0) << "too short for its layout";
    EXPECT_EQ(ParseDate("0115199", 10), 0) << "century present, year cut";
    EXPECT_EQ(ParseDate("131597", 9), 0) << "month 13";
    EXPECT_EQ(ParseDate("001597", 9), 0) << "month 0";
    EXPECT_EQ(ParseDate("01/15/60", 3), 0) << "1960 is before day 1";
    EXPECT_EQ(ParseDate("12/31/1960", 4), 0);
    EXPECT_EQ(ParseDate("01/00/1961", 4), 0) << "rolls back before day 1";
    EXPECT_EQ(ParseDate("01/01/2100", 4), 0);
    EXPECT_EQ(ParseDate("12/32/2099", 4), 0) << "rolls over past the last day";
    EXPECT_EQ(ParseDate("01/01/1961", 4), 1);
    EXPECT_EQ(ParseDate("12/31/2099", 4), kLastDayNumber);
    EXPECT_EQ(ParseDate("02/30/1997", 4), 0) << "no rollover into March";
}

}  // namespace
}  // namespace corvat
