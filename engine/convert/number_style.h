#pragma once

#include <optional>
#include <string_view>

namespace corvat {

enum class DecimalMark { kPoint, kComma };
enum class ThousandsSeparator { kNone, kComma, kDot, kSpace };

// How the numbers of a file are written. The defaults read exactly what
// ParsePrice reads.
struct NumberStyle {
    DecimalMark decimal = DecimalMark::kPoint;
    ThousandsSeparator thousands = ThousandsSeparator::kNone;
    bool suffixes = false;  // K, M, B after a volume or open interest

    bool IsDefault() const {
        return decimal == DecimalMark::kPoint && thousands == ThousandsSeparator::kNone &&
               !suffixes;
    }
    bool operator==(const NumberStyle&) const = default;
};

// The character a separator stands for (a space for kSpace), 0 for none.
char SeparatorChar(ThousandsSeparator thousands);

// A number written in `style`: the thousands separator only between groups
// of exactly three digits of the whole part, the decimal mark once, and,
// when `suffixAllowed` and the style has suffixes, one of K, M, B in any
// case, which scales the decimal text before it becomes binary, so 62.38M
// is 62380000 exactly as "62380000" would be. Otherwise as ParsePrice.
std::optional<float> ParseNumber(std::string_view text, const NumberStyle& style,
                                 bool suffixAllowed);

// A volume or open interest the vendor does not have, left blank or written
// "-" (investing.com): none, which a chart shows as 0. A price is never
// guessed so.
bool IsNoCount(std::string_view text);

}  // namespace corvat
