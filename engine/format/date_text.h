#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvat {

// What one date text says in one of the twelve date formats.
struct DateReading {
    std::uint16_t day = 0;   // day number; 0 when the text names no valid date
    std::string reason;      // why not, when day is 0 ("February 2023 has no day 29")
    bool timeOfDay = false;  // a time other than midnight follows the date
};

// Reads date text strictly: every part digits, a real calendar day from
// 1 January 1961 to 31 December 2099, and after it nothing but a time of
// day, blanks and one closing quote. Leading spaces and one opening quote
// are skipped. The character-separated formats (1 to 6) split at one
// non-digit character between the parts, so one-digit days and months read;
// their year has exactly the digits the format names. The numeric-only
// formats (7 to 12) keep their fixed positions.
DateReading ReadDate(std::string_view text, int format);

// A time of day as exports write it beside or after a date: H:MM, H:MM:SS
// (seconds may carry a fraction) or HHMMSS. False when the text is not one.
struct TimeOfDay {
    bool midnight = false;
};
bool ReadTimeOfDay(std::string_view text, TimeOfDay& time);

// Whether a text holds any digit: rows whose date field holds none (a
// header, a "Total" line) are no evidence about the date format.
bool HasDigit(std::string_view text);

}  // namespace corvat
