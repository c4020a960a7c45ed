#pragma once

#include <QString>
#include <climits>
#include <optional>

namespace corvat {

// A number box's text read as a non-negative decimal whole number, blanks
// around it allowed. Numbers too big for an int come back as INT_MAX, which is
// outside every range the dialogs check, so a long run of digits is reported
// as out of range rather than as "not a number".
inline std::optional<int> ParseWholeNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    long long number = 0;
    for (QChar c : trimmed) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        number = number * 10 + (c.unicode() - '0');
        if (number > INT_MAX) number = INT_MAX;
    }
    return static_cast<int>(number);
}

}  // namespace corvat
