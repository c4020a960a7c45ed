#include "number_style.h"

#include <string>

#include "row_parser.h"
#include "text_util.h"

namespace corvat {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int SuffixExponent(char c) {
    switch (c) {
        case 'k':
        case 'K':
            return 3;
        case 'm':
        case 'M':
            return 6;
        case 'b':
        case 'B':
            return 9;
        default:
            return 0;
    }
}

// Spreadsheets in space-grouping locales write a no-break space (UTF-8
// C2 A0 or the narrow E2 80 AF) between the groups.
std::string PlainSpaces(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == "\xC2\xA0") {
            plain += ' ';
            ++i;
        } else if (text.substr(i, 3) == "\xE2\x80\xAF") {
            plain += ' ';
            i += 2;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

// The whole part with its separators taken out: groups of exactly three
// digits after the first group of one to three, or no separator at all.
bool TakeWholePart(std::string_view& text, char separator, std::string& out) {
    std::size_t pos = 0;
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    out.append(text.substr(0, pos));
    if (separator != 0 && pos >= 1 && pos <= 3) {
        while (pos + 3 < text.size() && text[pos] == separator) {
            std::size_t digits = 0;
            while (pos + 1 + digits < text.size() && IsDigit(text[pos + 1 + digits])) ++digits;
            if (digits != 3) return false;
            out.append(text.substr(pos + 1, 3));
            pos += 4;
        }
    }
    if (pos < text.size() && text[pos] == separator && separator != 0) return false;
    text.remove_prefix(pos);
    return true;
}

}  // namespace

char SeparatorChar(ThousandsSeparator thousands) {
    switch (thousands) {
        case ThousandsSeparator::kComma:
            return ',';
        case ThousandsSeparator::kDot:
            return '.';
        case ThousandsSeparator::kSpace:
            return ' ';
        case ThousandsSeparator::kNone:
            break;
    }
    return 0;
}

std::optional<float> ParseNumber(std::string_view text, const NumberStyle& style,
                                 bool suffixAllowed) {
    if (style.IsDefault()) return ParsePrice(text);
    const char mark = style.decimal == DecimalMark::kComma ? ',' : '.';
    const char separator = SeparatorChar(style.thousands);
    if (separator == mark) return std::nullopt;
    const std::string plain = PlainSpaces(text);
    std::string_view rest = plain;
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.remove_suffix(1);
    int exponent = 0;
    if (style.suffixes && suffixAllowed && !rest.empty()) {
        exponent = SuffixExponent(rest.back());
        if (exponent != 0) rest.remove_suffix(1);
    }
    std::string decimal;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        decimal += rest.front();
        rest.remove_prefix(1);
    }
    if (!TakeWholePart(rest, separator, decimal)) return std::nullopt;
    if (!rest.empty() && rest.front() == mark) {
        decimal += '.';
        rest.remove_prefix(1);
    }
    // What is left is the fraction and an exponent, in the plain form
    // ParsePrice checks; a second mark or a separator there is refused.
    for (char c : rest) {
        if (c == mark || c == separator || c == ',' || c == '.' || c == ' ') return std::nullopt;
    }
    decimal.append(rest);
    if (exponent != 0) {
        if (decimal.find_first_of("eE") != std::string::npos) return std::nullopt;
        decimal += 'e' + std::to_string(exponent);
    }
    return ParsePrice(decimal);
}

bool IsNoCount(std::string_view text) {
    const std::string_view value = Trim(text);
    return value.empty() || value == "-";
}

}  // namespace corvat
