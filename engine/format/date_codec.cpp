#include "date_codec.h"

#include <array>
#include <optional>

#include "date_text.h"

namespace corvat {
namespace {

constexpr std::array<int, 12> kDaysBeforeMonth = {0,   31,  59,  90,  120, 151,
                                                  181, 212, 243, 273, 304, 334};

// Day count without the 16-bit wrap, so a far-off date cannot alias a
// valid one.
long DayCount(int year, int month, int day) {
    if (year > 1900) year -= 1900;
    long count = static_cast<long>(kDaysBeforeMonth[static_cast<std::size_t>(month - 1)]) +
                 static_cast<long>(year - 61) * 1461 / 4 + day;
    if (month > 2 && year % 4 == 0) ++count;
    return count;
}

}  // namespace

std::uint16_t DateToDayNumber(std::int16_t year, std::int16_t month, std::int16_t day) {
    if (month < 1 || month > 12) return 0;
    return static_cast<std::uint16_t>(DayCount(year, month, day));
}

CalendarDate DayNumberToDate(std::uint16_t dayNumber) {
    if (dayNumber == 0) return {60, 12, 31};
    const int n = dayNumber;
    int year = (4 * n - 1) / 1461;
    const int dayOfYear = n - (1461 * year) / 4;
    year += 61;
    const bool leap = year % 4 == 0;
    int month = 1;
    int before = 0;
    for (int m = 12; m >= 1; --m) {
        int entry = kDaysBeforeMonth[static_cast<std::size_t>(m - 1)] + (leap && m > 2 ? 1 : 0);
        if (entry < dayOfYear) {
            month = m;
            before = entry;
            break;
        }
    }
    return {year, month, dayOfYear - before};
}

MbfBytes DayNumberToDateValue(std::uint16_t dayNumber) {
    const CalendarDate date = DayNumberToDate(dayNumber);
    const double value = date.year * 10000.0 + date.month * 100.0 + date.day;
    return IeeeToMbf(static_cast<float>(value));
}

std::uint16_t ParseDate(std::string_view text, int format) { return ReadDate(text, format).day; }

}  // namespace corvat
