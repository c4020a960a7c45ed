#pragma once

#include <QString>
#include <optional>
#include <string_view>
#include <vector>

#include "input_rows.h"
#include "number_style.h"
#include "settings_values.h"

namespace corvat {

// The delimiter a "Delimiter" value stands for: 0 comma, 1 tab, 2 blank,
// 3 semicolon; anything else (a hand-edited profile) reads as a comma.
char DelimiterChar(int delimiter);
// The "Delimiter" value of a delimiter character, -1 for none of the four.
int DelimiterValue(char delimiter);

// The number style of "Decimal", "Thousands" and "Suffixes"; a value out of
// range reads as the default of its part.
NumberStyle NumberStyleOf(const SettingsValues& values);
void PutNumberStyle(const NumberStyle& style, SettingsValues& values);

// The layout the values describe, `dateFormat` being the list position
// (1..12). Nothing when a value is out of its range, so no row could be read.
std::optional<InputLayout> LayoutOf(const SettingsValues& values, int dateFormat);
// Puts a detected layout into the values (columns, delimiter, date format,
// skip, number style); the rest stays.
void PutLayout(const InputLayout& layout, SettingsValues& values);

// How the first data row of `lines` reads with `layout`: "First row: 2024-01-02
// O 187.15 ...", or why it cannot be read.
QString FirstRowText(const std::vector<std::string_view>& lines, const InputLayout& layout);

// True when the layout reads every row of the first `count` lines.
inline constexpr std::size_t kFitLines = 50;
bool FitsFirstLines(const std::vector<std::string_view>& lines, const InputLayout& layout,
                    std::size_t count = kFitLines);

// True when both layouts read each field from the same column in the same
// way; a time column, which the dialog does not show, is left out.
bool SameReading(const InputLayout& a, const InputLayout& b);

}  // namespace corvat
