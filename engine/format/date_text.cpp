#include "date_text.h"

#include <array>

#include "date_codec.h"
#include "date_formats.h"

namespace corvat {
namespace {

constexpr int kFirstYear = 1961;
constexpr int kLastYear = 2099;

constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

enum Part { kYear, kMonth, kDay };

// The order of the parts in each format and whether its year has a century.
struct FormatShape {
    std::array<Part, 3> order;
    bool century;
};

constexpr std::array<FormatShape, 6> kShapes = {{
    {{kYear, kMonth, kDay}, false},
    {{kYear, kMonth, kDay}, true},
    {{kMonth, kDay, kYear}, false},
    {{kMonth, kDay, kYear}, true},
    {{kDay, kMonth, kYear}, false},
    {{kDay, kMonth, kYear}, true},
}};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int Number(std::string_view digits) {
    int value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

std::size_t CountDigits(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && IsDigit(text[end])) ++end;
    return end - pos;
}

// Splits a character-separated date into its three parts; the rest of the
// text is left in `rest`. False when the shape does not fit.
bool SplitSeparated(std::string_view text, const FormatShape& shape, std::array<int, 3>& parts,
                    std::string_view& rest) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        if (i > 0) {
            if (pos >= text.size() || IsDigit(text[pos])) return false;
            ++pos;
        }
        const std::size_t digits = CountDigits(text, pos);
        const bool year = shape.order[i] == kYear;
        const bool fits = year ? digits == (shape.century ? 4u : 2u) : digits == 1 || digits == 2;
        if (!fits) return false;
        parts[shape.order[i]] = Number(text.substr(pos, digits));
        pos += digits;
    }
    rest = text.substr(pos);
    return true;
}

// The fixed positions of the numeric-only formats, YYMMDD to DDMMCCYY.
bool SplitNumeric(std::string_view text, int format, std::array<int, 3>& parts,
                  std::string_view& rest) {
    const FormatShape& shape = kShapes[static_cast<std::size_t>(format - kFirstNumericOnlyFormat)];
    const std::size_t length = shape.century ? 8 : 6;
    if (CountDigits(text, 0) != length) return false;
    std::size_t pos = 0;
    for (Part part : shape.order) {
        const std::size_t width = part == kYear && shape.century ? 4 : 2;
        parts[part] = Number(text.substr(pos, width));
        pos += width;
    }
    rest = text.substr(pos);
    return true;
}

// After the date: an optional time of day, then blanks and one closing
// quote at most.
bool ReadTail(std::string_view rest, DateReading& reading) {
    std::size_t pos = 0;
    if (pos < rest.size() && (IsBlank(rest[pos]) || rest[pos] == 'T')) {
        const std::size_t start = rest[pos] == 'T' ? pos + 1 : rest.find_first_not_of(" \t", pos);
        if (start != std::string_view::npos && start < rest.size() && IsDigit(rest[start])) {
            std::size_t end = start;
            while (end < rest.size() && !IsBlank(rest[end]) && rest[end] != '"') ++end;
            TimeOfDay time;
            if (!ReadTimeOfDay(rest.substr(start, end - start), time)) return false;
            reading.timeOfDay = !time.midnight;
            pos = end;
        }
    }
    while (pos < rest.size() && IsBlank(rest[pos])) ++pos;
    if (pos < rest.size() && rest[pos] == '"') ++pos;
    while (pos < rest.size() && IsBlank(rest[pos])) ++pos;
    return pos == rest.size();
}

int DaysInMonth(int year, int month) {
    constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    // Every fourth year is a leap year throughout 1961 to 2099.
    return month == 2 && year % 4 == 0 ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

std::string CalendarProblem(int year, int month, int day) {
    if (year < kFirstYear || year > kLastYear) {
        return "the year " + std::to_string(year) + " is outside " + std::to_string(kFirstYear) +
               " to " + std::to_string(kLastYear);
    }
    if (month < 1 || month > 12) return "there is no month " + std::to_string(month);
    if (day < 1 || day > DaysInMonth(year, month)) {
        return std::string(kMonthNames[static_cast<std::size_t>(month - 1)]) + " " +
               std::to_string(year) + " has no day " + std::to_string(day);
    }
    return {};
}

// The clock a time was read on ("Z", "+01:00", "-0500", "+05"), as pandas
// and ISO exports write it. A date is that clock's day, as the vendor meant
// it, so a midnight with a zone is still a daily bar.
bool IsZone(std::string_view text) {
    if (text == "Z") return true;
    if (text.size() < 3 || (text[0] != '+' && text[0] != '-')) return false;
    const std::string_view offset = text.substr(1);
    const std::size_t digits = CountDigits(offset, 0);
    if (offset.size() == 5) return digits == 2 && offset[2] == ':' && CountDigits(offset, 3) == 2;
    return digits == offset.size() && (digits == 2 || digits == 4);
}

}  // namespace

bool HasDigit(std::string_view text) {
    for (char c : text) {
        if (IsDigit(c)) return true;
    }
    return false;
}

bool ReadTimeOfDay(std::string_view text, TimeOfDay& time) {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    const std::size_t hourDigits = CountDigits(text, 0);
    if (hourDigits == 6 && text.size() == 6) {
        hours = Number(text.substr(0, 2));
        minutes = Number(text.substr(2, 2));
        seconds = Number(text.substr(4, 2));
    } else {
        if ((hourDigits != 1 && hourDigits != 2) || hourDigits + 3 > text.size() ||
            text[hourDigits] != ':' || CountDigits(text, hourDigits + 1) != 2) {
            return false;
        }
        hours = Number(text.substr(0, hourDigits));
        minutes = Number(text.substr(hourDigits + 1, 2));
        std::size_t pos = hourDigits + 3;
        bool fraction = false;
        if (pos < text.size() && text[pos] == ':') {
            if (CountDigits(text, pos + 1) != 2) return false;
            seconds = Number(text.substr(pos + 1, 2));
            pos += 3;
            if (pos < text.size() && text[pos] == '.') {
                const std::size_t digits = CountDigits(text, pos + 1);
                fraction = digits > 0 && text.substr(pos + 1, digits).find_first_not_of('0') !=
                                             std::string_view::npos;
                pos += 1 + digits;
            }
        }
        if (pos != text.size() && !IsZone(text.substr(pos))) return false;
        if (fraction) seconds = 1;
    }
    if (hours > 23 || minutes > 59 || seconds > 59) return false;
    time.midnight = hours == 0 && minutes == 0 && seconds == 0;
    return true;
}

DateReading ReadDate(std::string_view text, int format) {
    DateReading reading;
    std::size_t start = 0;
    while (start < text.size() && text[start] == ' ') ++start;
    if (start < text.size() && text[start] == '"') ++start;
    text.remove_prefix(start);
    if (format < 1 || format > static_cast<int>(kDateFormatNames.size())) {
        reading.reason = "there is no date format " + std::to_string(format);
        return reading;
    }
    std::array<int, 3> parts{};
    std::string_view rest;
    const bool separated = format < kFirstNumericOnlyFormat;
    const bool split =
        separated ? SplitSeparated(text, kShapes[static_cast<std::size_t>(format - 1)], parts, rest)
                  : SplitNumeric(text, format, parts, rest);
    if (!split) {
        reading.reason = "it is not written as " +
                         std::string(kDateFormatNames[static_cast<std::size_t>(format - 1)]);
        return reading;
    }
    const FormatShape& shape = kShapes[static_cast<std::size_t>(
        separated ? format - 1 : format - kFirstNumericOnlyFormat)];
    int year = parts[kYear];
    // Two-digit years 00 to 59 are 2000 to 2059, 60 to 99 the 1900s.
    if (!shape.century) year += year < 60 ? 2000 : 1900;
    reading.reason = ReadTail(rest, reading) ? CalendarProblem(year, parts[kMonth], parts[kDay])
                                             : "other text follows the date";
    if (!reading.reason.empty()) {
        reading.timeOfDay = false;
        return reading;
    }
    reading.day = DateToDayNumber(static_cast<std::int16_t>(year - 1900),
                                  static_cast<std::int16_t>(parts[kMonth]),
                                  static_cast<std::int16_t>(parts[kDay]));
    return reading;
}

}  // namespace corvat
