#include "stored_date.h"

#include <cmath>
#include <cstdio>

#include "number_text.h"

namespace corvat {
namespace {

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

StoredDate DecodeDateValue(const MbfBytes& mbf) {
    StoredDate date;
    date.value = MbfToIeee(mbf);
    // Every date value up to the year 3575 is a whole number below 2^24,
    // exact in single precision; anything else is not a date.
    if (!(date.value >= 1.0f && date.value < 16777216.0f) || std::floor(date.value) != date.value) {
        return date;
    }
    const long number = static_cast<long>(date.value);
    const int day = static_cast<int>(number % 100);
    const int month = static_cast<int>(number / 100 % 100);
    const int year = static_cast<int>(number / 10000) + 1900;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return date;
    date.year = year;
    date.month = month;
    date.day = day;
    date.valid = true;
    return date;
}

}  // namespace corvat

namespace corvat {

std::string StoredDateText(const StoredDate& date) {
    if (!date.valid) return ShortestText(date.value);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

}  // namespace corvat
