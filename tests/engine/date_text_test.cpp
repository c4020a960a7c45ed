#include "date_text.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "date_codec.h"

namespace corvat {
namespace {

// Every day of the calendar, written in every format, reads back as itself.
TEST(ReadDate, EveryDayInEveryFormatKeepsItsDayNumber) {
    const char* const patterns[] = {"%02d/%02d/%02d", "%04d-%02d-%02d", "%02d/%02d/%02d",
                                    "%02d/%02d/%04d", "%02d.%02d.%02d", "%02d.%02d.%04d",
                                    "%02d%02d%02d",   "%04d%02d%02d",   "%02d%02d%02d",
                                    "%02d%02d%04d",   "%02d%02d%02d",   "%02d%02d%04d"};
    for (int n = 1; n <= kLastDayNumber; n += 7) {
        const CalendarDate d = DayNumberToDate(static_cast<std::uint16_t>(n));
        const int yy = d.year % 100, ccyy = d.year + 1900;
        const int order[12][3] = {
            {yy, d.month, d.day},   {ccyy, d.month, d.day}, {d.month, d.day, yy},
            {d.month, d.day, ccyy}, {d.day, d.month, yy},   {d.day, d.month, ccyy},
            {yy, d.month, d.day},   {ccyy, d.month, d.day}, {d.month, d.day, yy},
            {d.month, d.day, ccyy}, {d.day, d.month, yy},   {d.day, d.month, ccyy}};
        for (int f = 0; f < 12; ++f) {
            if (ccyy >= 2060 && f % 2 == 0) continue;  // two-digit 60 to 99 are the 1900s
            char text[32];
            std::snprintf(text, sizeof text, patterns[f], order[f][0], order[f][1], order[f][2]);
            ASSERT_EQ(ParseDate(text, f + 1), n) << text << " format " << f + 1;
        }
    }
}

// The day after each month's last is refused (1997; 1996 a leap year).
TEST(ReadDate, MonthLengths) {
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int i = 0; i < 24; ++i) {
        const int last = lengths[i % 12] + (i == 13);
        for (int day : {last, last + 1}) {
            char text[16];
            std::snprintf(text, sizeof text, "%02d/%02d/%04d", i % 12 + 1, day, 1997 - i / 12);
            EXPECT_EQ(ParseDate(text, 4) != 0, day == last) << text;
        }
    }
}

TEST(ReadDate, StrictRulesWithTheirReasons) {
    const struct {
        const char* text;
        int format;
        int day;  // -1: valid, compared with the format's reading of `same`
        const char* reason;
    } cases[] = {
        {"2024-02-30", 2, 0, "February 2024 has no day 30"},
        {"2023-02-29", 2, 0, "February 2023 has no day 29"},
        {"2024-13-01", 2, 0, "there is no month 13"},
        {"1955-01-15", 2, 0, "the year 1955 is outside 1961 to 2099"},
        {"01/15/60", 3, 0, "the year 1960 is outside 1961 to 2099"},
        {"2024-01-05xyz", 2, 0, "other text follows the date"},
        {"2024-01-05 12", 2, 0, "other text follows the date"},
        {"2024-01-05T", 2, 0, "other text follows the date"},
        {"24-01-05", 2, 0, "it is not written as CCYY_MM_DD"},
        {"2024-1-5", 1, 0, "it is not written as YY_MM_DD"},
        {"2024/01/0a", 2, 0, "other text follows the date"},
        {"20240105", 7, 0, "it is not written as YYMMDD"},
        {"240105", 8, 0, "it is not written as CCYYMMDD"},
        {"2024--01-05", 2, 0, "it is not written as CCYY_MM_DD"},
        {"2024-01-05", 0, 0, "there is no date format 0"},
    };
    for (const auto& c : cases) {
        const DateReading reading = ReadDate(c.text, c.format);
        EXPECT_EQ(reading.day, c.day) << c.text;
        EXPECT_EQ(reading.reason, c.reason) << c.text;
    }
}

TEST(ReadDate, OneDigitPartsQuotesAndTimesOfDay) {
    const std::uint16_t jan2 = ParseDate("2024-01-02", 2);
    // Midnight says nothing; any other time is a time of day.
    const std::pair<int, const char*> midnight[] = {{4, "1/2/2024"},
                                                    {6, "2.1.2024"},
                                                    {2, "2024.1.2"},
                                                    {4, "\"01/02/2024\""},
                                                    {2, "  \"2024-01-02\"  "},
                                                    {2, "2024-01-02 00:00"},
                                                    {2, "2024-01-02 00:00:00"},
                                                    {2, "2024-01-02T00:00:00.000"},
                                                    {8, "20240102 000000"},
                                                    {2, "2024-01-02 00:00:00-05:00"},
                                                    {2, "2024-01-02T00:00Z"}};
    for (const auto& [format, text] : midnight) {
        EXPECT_EQ(ReadDate(text, format).day, jan2) << text;
        EXPECT_FALSE(ReadDate(text, format).timeOfDay) << text;
    }
    for (const char* text : {"2024-01-02 09:30", "2024-01-02 23:59:59", "2024-01-02 00:00:00.5",
                             "2024-01-02 09:30:00+01"}) {
        EXPECT_EQ(ReadDate(text, 2).day, jan2) << text;
        EXPECT_TRUE(ReadDate(text, 2).timeOfDay) << text;
    }
    for (const char* bad : {"2024-01-02 24:00", "2024-01-02 9:60", "2024-01-02 1:2",
                            "2024-01-02 00:00\"\"", "2024-01-02 0000000", "2024-01-02 00:00:60",
                            "2024-01-02 12:30:00x", "2024-01-02 123000x", "2024-01-02 00:00-5",
                            "2024-01-02 00:00+01:0", "2024-01-02 00:00Zx", "2024-01-02 000000Z"}) {
        EXPECT_EQ(ReadDate(bad, 2).day, 0) << bad;
    }
}

}  // namespace
}  // namespace corvat
