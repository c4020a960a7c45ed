// ParseDate over arbitrary text in every format number, and the day
// number's round trip through the calendar and the stored form.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "date_codec.h"
#include "mbf.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int format = static_cast<std::int8_t>(data[0]) % 16;  // -15 to 15
    // A copy of exactly `size - 1` bytes, so reading past the text's end
    // is caught by the address sanitizer.
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::uint16_t day = corvat::ParseDate(text, format);
    if (format < 1 || format > 12) Check(day == 0);
    if (day == 0) return 0;
    Check(day <= corvat::kLastDayNumber);
    const corvat::CalendarDate date = corvat::DayNumberToDate(day);
    Check(date.year >= 61 && date.year <= 199 && date.month >= 1 && date.month <= 12 &&
          date.day >= 1 && date.day <= 31);
    Check(corvat::DateToDayNumber(static_cast<std::int16_t>(date.year),
                                  static_cast<std::int16_t>(date.month),
                                  static_cast<std::int16_t>(date.day)) == day);
    const float stored = corvat::MbfToIeee(corvat::DayNumberToDateValue(day));
    Check(stored == static_cast<float>(date.year * 10000 + date.month * 100 + date.day));
    return 0;
}
