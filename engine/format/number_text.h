#pragma once

#include <charconv>
#include <cmath>
#include <string>

namespace corvat {

// The shortest text in its notation that reads back to exactly the same
// single: what the read-back prints for prices, so nothing is lost and
// nothing invented.
// Plain digits wherever a price or a volume can be (a volume of 1000000 is
// not "1e+06"); an exponent only beyond, where plain digits would run long.
inline std::string ShortestText(float value) {
    const float size = std::fabs(value);
    const bool plain = value == 0 || (size >= 1e-4f && size < 1e15f);
    char text[64];
    const auto result =
        plain ? std::to_chars(text, text + sizeof text, value, std::chars_format::fixed)
              : std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

}  // namespace corvat
