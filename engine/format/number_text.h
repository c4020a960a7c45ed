#pragma once

#include <charconv>
#include <string>

namespace corvat {

// The shortest text that reads back to exactly the same single: what the
// read-back prints for prices, so nothing is lost and nothing invented.
inline std::string ShortestText(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

}  // namespace corvat
