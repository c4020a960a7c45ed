#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvat {

std::int16_t CountChar(std::string_view text, char c);

// Index of the n-th (n >= 1) occurrence of `c`, or the text's length when
// it holds fewer than n.
std::int16_t FindNthChar(std::string_view text, char c, std::int16_t n);

// Removes blanks (0x20) from the end of the text.
void TrimTrailingSpaces(std::string& text);
// The text without the blanks and tabs around it.
std::string_view Trim(std::string_view text);

// ASCII-only upper case: symbols and file names are byte strings, and the
// user's locale must not change what a symbol compares equal to.
std::string ToUpperAscii(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace corvat
