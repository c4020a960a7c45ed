#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "date_codec.h"
#include "mbf.h"
#include "number_text.h"

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

// Read-back prints plain digits for what markets quote, an exponent beyond.
TEST(ShortestText, PlainDigitsFromATenThousandthTo1e15) {
    EXPECT_EQ(ShortestText(1e6f) + ShortestText(0.0001f), "10000000.0001");
    EXPECT_EQ(ShortestText(1e-5f) + ShortestText(1e15f), "1e-051e+15");
}

TEST(DayNumbers, CalendarEndsLeapDaysAndRollOver) {
    EXPECT_EQ(DateToDayNumber(97, 1, 15), 13164);
    EXPECT_EQ(DateToDayNumber(1997, 1, 15), 13164);
    EXPECT_EQ(DateToDayNumber(61, 1, 1), 1);
    EXPECT_EQ(DateToDayNumber(199, 12, 31), kLastDayNumber);
    EXPECT_EQ(DayNumberToDateValue(DateToDayNumber(100, 2, 29)), IeeeToMbf(1000229.0f));
    EXPECT_EQ(DayNumberToDateValue(kLastDayNumber), IeeeToMbf(1991231.0f));
    EXPECT_EQ(DateToDayNumber(97, 3, 0), DateToDayNumber(97, 2, 28));
    EXPECT_EQ(DateToDayNumber(97, 1, 32), DateToDayNumber(97, 2, 1));
    EXPECT_EQ(DayNumberToDateValue(DateToDayNumber(97, 2, 30)), IeeeToMbf(970302.0f));
    EXPECT_EQ(DateToDayNumber(97, 13, 1) + DateToDayNumber(97, 0, 1), 0) << "no month 0 or 13";
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

// Leading spaces and one quote skipped, nothing else; the century rule for
// two-digit years only; no rollover out of the calendar or into the next month.
TEST(ParseDate, QuotesCenturiesAndWhatIsNoDate) {
    EXPECT_EQ(ParseDate("  \"970115", 7), 13164);
    EXPECT_EQ(ParseDate("01/15/05", 3), DateToDayNumber(105, 1, 15));
    EXPECT_EQ(ParseDate("01/15/61", 3), DateToDayNumber(61, 1, 15));
    EXPECT_EQ(ParseDate("20550115", 8), DateToDayNumber(155, 1, 15));
    EXPECT_EQ(ParseDate("01/01/1961", 4), 1);
    EXPECT_EQ(ParseDate("12/31/2099", 4), kLastDayNumber);
    const std::pair<int, const char*> refused[] = {
        {7, "\t970115"},   {7, "\"\"970115"}, {8, "19550115"},   {3, "01/15/60"},
        {4, "12/31/1960"}, {4, "01/01/2100"}, {4, "01/00/1961"}, {4, "12/32/2099"},
        {4, "02/30/1997"}, {9, ""},           {9, "   "},        {0, "011597"},
        {13, "011597"},    {9, "000000"},     {9, "01159"},      {10, "0115199"},
        {9, "131597"},     {9, "001597"}};
    for (const auto& [format, text] : refused) EXPECT_EQ(ParseDate(text, format), 0) << text;
}

}  // namespace
}  // namespace corvat
