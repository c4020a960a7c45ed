#include "row_parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace corvat {

bool LineReader::Fill() {
    if (m_eof) return false;
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
    }
    if (m_end == m_buffer.size()) m_buffer.resize(m_buffer.size() * 2);
    const std::size_t got = m_file.Read(m_buffer.data() + m_end, m_buffer.size() - m_end, m_error);
    if (m_error || got == 0) {
        m_eof = true;
        return false;
    }
    m_end += got;
    return true;
}

bool LineReader::ReadLine(std::string_view& line) {
    if (m_atStart) {
        while (m_end - m_begin < 3 && Fill()) {
        }
        static constexpr char kBom[] = "\xEF\xBB\xBF";
        if (m_end - m_begin >= 3 && std::memcmp(m_buffer.data() + m_begin, kBom, 3) == 0)
            m_begin += 3;
        m_atStart = false;
    }
    m_carry.clear();
    for (;;) {
        const char* start = m_buffer.data() + m_begin;
        const void* newline = std::memchr(start, '\n', m_end - m_begin);
        if (newline != nullptr) {
            const auto length = static_cast<std::size_t>(static_cast<const char*>(newline) - start);
            if (m_carry.empty()) {
                line = std::string_view(start, length);
            } else {
                m_carry.append(start, length);
                line = m_carry;
            }
            m_begin += length + 1;
            break;
        }
        // A line that runs past the buffer is carried aside, so a long line
        // does not grow the buffer and every read asks for a full buffer.
        m_carry.append(start, m_end - m_begin);
        m_begin = m_end;
        if (!Fill()) {
            if (m_error || m_carry.empty()) return false;
            line = m_carry;
            break;
        }
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

void RowColumns::SplitSpaces(std::string_view line) {
    std::size_t pos = 0;
    while (m_count < kMaxColumns) {
        while (pos < line.size() && line[pos] == ' ') ++pos;
        if (pos == line.size()) break;
        const std::size_t end = std::min(line.find(' ', pos), line.size());
        std::string_view field = line.substr(pos, end - pos);
        if (field.size() >= 2 && field.front() == '"' && field.back() == '"') {
            field = field.substr(1, field.size() - 2);
        }
        m_columns[m_count++] = field;
        pos = end;
    }
}

// A comma or tab field whose first character, at `pos`, is a double quote;
// returns where the next field starts, or npos when this was the last.
std::size_t RowColumns::SplitQuoted(std::string_view line, std::size_t pos, char delimiter) {
    std::string& field = m_unquoted[m_count];
    field.clear();
    ++pos;
    while (pos < line.size()) {
        const std::size_t quote = std::min(line.find('"', pos), line.size());
        field.append(line.substr(pos, quote - pos));
        pos = quote;
        if (pos == line.size()) break;
        if (pos + 1 < line.size() && line[pos + 1] == '"') {
            field += '"';
            pos += 2;
        } else {
            ++pos;
            break;
        }
    }
    // Text after the closing quote stays part of the field.
    const std::size_t end = line.find(delimiter, pos);
    field.append(line.substr(pos, end == std::string_view::npos ? line.size() - pos : end - pos));
    m_columns[m_count++] = field;
    return end == std::string_view::npos ? end : end + 1;
}

void RowColumns::Split(std::string_view line, char delimiter) {
    m_count = 0;
    if (delimiter == ' ') {
        SplitSpaces(line);
        return;
    }
    const char* const text = line.data();
    const std::size_t size = line.size();
    std::size_t pos = 0;
    while (m_count < kMaxColumns && pos != std::string_view::npos) {
        if (pos < size && text[pos] == '"') {
            pos = SplitQuoted(line, pos, delimiter);
            continue;
        }
        // Fields are short: a plain scan beats a library search here.
        std::size_t end = pos;
        while (end < size && text[end] != delimiter) ++end;
        m_columns[m_count++] = std::string_view(text + pos, end - pos);
        pos = end < size ? end + 1 : std::string_view::npos;
    }
}

bool RowColumns::AllBlank() const {
    for (std::size_t i = 0; i < m_count; ++i) {
        for (char c : m_columns[i]) {
            if (!IsBlank(c)) return false;
        }
    }
    return true;
}

namespace {

// Optional sign, digits with an optional point (at least one digit), and
// an optional exponent: nothing else, so "inf", "0x1p3" and "1,5" fail.
bool IsDecimalNumber(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    return i == text.size();
}

// Power of ten of the leading non-zero digit of a decimal number already
// checked by IsDecimalNumber, clamped so it cannot overflow.
long DecimalMagnitude(std::string_view text) {
    std::size_t i = 0;
    if (text[i] == '+' || text[i] == '-') ++i;
    long magnitude = -1;
    bool leading = true;
    long afterPoint = 0;
    bool seenPoint = false;
    for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
        if (text[i] == '.') {
            seenPoint = true;
            continue;
        }
        if (seenPoint) ++afterPoint;
        if (leading && text[i] != '0') {
            leading = false;
            magnitude = seenPoint ? -afterPoint : 0;
        } else if (!leading && !seenPoint) {
            ++magnitude;
        }
    }
    long exponent = 0;
    if (i < text.size()) {
        ++i;
        const bool negative = text[i] == '-';
        if (text[i] == '+' || text[i] == '-') ++i;
        for (; i < text.size(); ++i) exponent = std::min(exponent * 10 + (text[i] - '0'), 1000000L);
        if (negative) exponent = -exponent;
    }
    return magnitude + exponent;
}

// Powers of ten that a single holds exactly (5^10 < 2^24).
constexpr float kExactPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                       1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr std::uint64_t kExactMantissaLimit = 1u << 24;
// Digits an unsigned 64-bit integer takes without overflow.
constexpr std::ptrdiff_t kSafeDigits = 19;

// The usual price, "123.45" or "1500": at most 24 bits of digits and ten
// decimals, no exponent. Both the digits and the power of ten are then exact
// singles, so one division rounds exactly as a full decimal conversion
// would. Null when the text needs the general path.
std::optional<float> ParseShortDecimal(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    std::uint64_t mantissa = 0;
    const char* const integerStart = p;
    for (; p != end && static_cast<unsigned>(*p - '0') < 10; ++p)
        mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    std::ptrdiff_t digits = p - integerStart;
    std::ptrdiff_t decimals = 0;
    if (p != end && *p == '.') {
        const char* const fractionStart = ++p;
        for (; p != end && static_cast<unsigned>(*p - '0') < 10; ++p)
            mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
        decimals = p - fractionStart;
        digits += decimals;
    }
    // Past kSafeDigits the mantissa may have wrapped: leave it to the
    // general path, as anything with an exponent or another character.
    if (p != end || digits == 0 || digits > kSafeDigits || mantissa > kExactMantissaLimit ||
        decimals >= static_cast<std::ptrdiff_t>(std::size(kExactPowersOfTen))) {
        return std::nullopt;
    }
    if (mantissa == 0) return 0.0f;
    const float value = static_cast<float>(mantissa) / kExactPowersOfTen[decimals];
    return negative ? -value : value;
}

}  // namespace

std::optional<float> ParsePrice(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (auto value = ParseShortDecimal(text)) return value;
    if (!IsDecimalNumber(text)) return std::nullopt;
    if (text.front() == '+') text.remove_prefix(1);
    float value = 0.0f;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too small to hold is zero; too large is refused.
        if (DecimalMagnitude(text) < 0) return 0.0f;
        return std::nullopt;
    }
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(value) || std::fabs(value) >= 0x1p127f) return std::nullopt;
    if (std::fabs(value) < 0x1p-126f) return 0.0f;
    return value;
}

}  // namespace corvat
