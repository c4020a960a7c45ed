#pragma once

#include <array>
#include <string_view>

namespace corvat {

// The date layouts a text file's date column may use, in the order the
// settings dialog lists them. A format's number is its position plus one
// (1 = YY_MM_DD ... 12 = DDMMCCYY); 0 means "none of these".
inline constexpr std::array<std::string_view, 12> kDateFormatNames = {
    "YY_MM_DD", "CCYY_MM_DD", "MM_DD_YY", "MM_DD_CCYY", "DD_MM_YY", "DD_MM_CCYY",
    "YYMMDD",   "CCYYMMDD",   "MMDDYY",   "MMDDCCYY",   "DDMMYY",   "DDMMCCYY",
};

inline constexpr int kFirstNumericOnlyFormat = 7;

}  // namespace corvat
