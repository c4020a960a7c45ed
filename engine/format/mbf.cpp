#include "mbf.h"

#include <bit>
#include <cmath>

namespace corvat {

MbfBytes IeeeToMbf(float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const std::uint32_t exponent = (bits >> 23) & 0xFF;
    // Exponent 0 is zero or subnormal, 0xFF infinity or NaN.
    if (exponent == 0 || exponent == 0xFF) return {0, 0, 0, 0};
    // MBF keeps the sign where IEEE keeps the exponent's low bit, and biases
    // the exponent by two more. The exponent byte of 2^127 and above wraps;
    // prices that large are refused before they get here.
    const std::uint32_t mbf =
        (bits & 0x007FFFFF) | ((bits >> 8) & 0x00800000) | (((exponent + 2) & 0xFF) << 24);
    return {static_cast<std::uint8_t>(mbf), static_cast<std::uint8_t>(mbf >> 8),
            static_cast<std::uint8_t>(mbf >> 16), static_cast<std::uint8_t>(mbf >> 24)};
}

float MbfToIeee(const MbfBytes& mbf) {
    if (mbf[3] < 3) return 0.0f;
    const std::uint8_t exponent = static_cast<std::uint8_t>(mbf[3] - 2);
    const std::uint8_t sign = mbf[2] & 0x80;
    const std::uint32_t bits =
        static_cast<std::uint32_t>(mbf[0]) | static_cast<std::uint32_t>(mbf[1]) << 8 |
        static_cast<std::uint32_t>((mbf[2] & 0x7F) | ((exponent & 1) << 7)) << 16 |
        static_cast<std::uint32_t>((exponent >> 1) | sign) << 24;
    return std::bit_cast<float>(bits);
}

}  // namespace corvat
