#include "date_codec.h"

#include <array>
#include <optional>

namespace corvat {
namespace {

constexpr std::array<int, 12> kDaysBeforeMonth = {0,   31,  59,  90,  120, 151,
                                                  181, 212, 243, 273, 304, 334};

constexpr int kFirstYear = 61;  // 1961, years since 1900
constexpr int kLastYear = 199;  // 2099

// Where each two-character part of a date stands, counted after the
// skipped leading blanks and quote; -1 when the format has no century.
struct DateLayout {
    int century;
    int year;
    int month;
    int day;
};

constexpr std::array<DateLayout, 12> kLayouts = {{
    {-1, 0, 3, 6},  // YY_MM_DD
    {0, 2, 5, 8},   // CCYY_MM_DD
    {-1, 6, 0, 3},  // MM_DD_YY
    {6, 8, 0, 3},   // MM_DD_CCYY
    {-1, 6, 3, 0},  // DD_MM_YY
    {6, 8, 3, 0},   // DD_MM_CCYY
    {-1, 0, 2, 4},  // YYMMDD
    {0, 2, 4, 6},   // CCYYMMDD
    {-1, 4, 0, 2},  // MMDDYY
    {4, 6, 0, 2},   // MMDDCCYY
    {-1, 4, 2, 0},  // DDMMYY
    {4, 6, 2, 0},   // DDMMCCYY
}};

bool IsAtoiBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The two characters at `pos`, read the way atoi reads them: blanks and a
// sign may lead, the number ends at the first non-digit, no digit gives 0.
std::optional<int> ReadPart(std::string_view text, int pos) {
    if (pos < 0 || static_cast<std::size_t>(pos) + 2 > text.size()) return std::nullopt;
    std::string_view part = text.substr(static_cast<std::size_t>(pos), 2);
    // Nearly every part is two digits; the general reading below is for the rest.
    const auto tens = static_cast<unsigned>(part[0] - '0');
    const auto units = static_cast<unsigned>(part[1] - '0');
    if (tens < 10 && units < 10) return static_cast<int>(tens * 10 + units);
    std::size_t i = 0;
    while (i < part.size() && IsAtoiBlank(part[i])) ++i;
    bool negative = false;
    if (i < part.size() && (part[i] == '+' || part[i] == '-')) negative = part[i++] == '-';
    int value = 0;
    for (; i < part.size() && part[i] >= '0' && part[i] <= '9'; ++i)
        value = value * 10 + (part[i] - '0');
    return negative ? -value : value;
}

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

std::uint16_t ParseDate(std::string_view text, int format) {
    std::size_t start = 0;
    while (start < text.size() && text[start] == ' ') ++start;
    if (start < text.size() && text[start] == '"') ++start;
    text.remove_prefix(start);
    if (text.empty() || format < 1 || format > 12) return 0;

    const DateLayout& layout = kLayouts[static_cast<std::size_t>(format - 1)];
    const auto yy = ReadPart(text, layout.year);
    const auto mm = ReadPart(text, layout.month);
    const auto dd = ReadPart(text, layout.day);
    std::optional<int> cc;
    if (layout.century >= 0) {
        cc = ReadPart(text, layout.century);
        if (!cc) return 0;
    }
    if (!yy || !mm || !dd) return 0;
    if (*yy == 0 && *mm == 0 && *dd == 0) return 0;

    // Only a two-digit year needs a century guessed; a written century is
    // taken at its word.
    int offset = cc ? *cc * 100 - 1900 : (*yy < 60 ? 100 : 0);
    const int year = *yy + offset;
    if (year < kFirstYear || year > kLastYear || *mm < 1 || *mm > 12) return 0;
    const long count = DayCount(year, *mm, *dd);
    if (count < 1 || count > kLastDayNumber) return 0;
    return static_cast<std::uint16_t>(count);
}

}  // namespace corvat
