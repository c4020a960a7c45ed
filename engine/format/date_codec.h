#pragma once

#include <cstdint>
#include <string_view>

#include "mbf.h"

namespace corvat {

// Day 1 is 1 January 1961; kLastDayNumber is 31 December 2099, the last
// day the calendar maps correctly.
inline constexpr int kLastDayNumber = 50769;

struct CalendarDate {
    int year = 0;  // years since 1900 (97 is 1997, 101 is 2001)
    int month = 0;
    int day = 0;
};

// 16-bit day number of a date; out-of-range days roll over into the next
// or previous month. A year above 1900 is taken as a full year.
std::uint16_t DateToDayNumber(std::int16_t year, std::int16_t month, std::int16_t day);

// Splits a day number (1 or more) into its date. Day 0, which stands for
// "no date", gives 31 December 1960, the day before day 1.
CalendarDate DayNumberToDate(std::uint16_t dayNumber);

// The stored form of a date: (year - 1900) * 10000 + month * 100 + day as MBF.
MbfBytes DayNumberToDateValue(std::uint16_t dayNumber);

// Reads date text in format `format` (1..12) by the rules of ReadDate.
// Returns the day number, or 0 when the text holds no valid date from
// 1 January 1961 to 31 December 2099.
[[nodiscard]] std::uint16_t ParseDate(std::string_view text, int format);

}  // namespace corvat
