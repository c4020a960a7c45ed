#include "mbf.h"

#include <bit>
#include <cmath>

namespace corvat {

MbfBytes IeeeToMbf(float value) {
    if (value == 0.0f || !std::isfinite(value)) return {0, 0, 0, 0};
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const auto b0 = static_cast<std::uint8_t>(bits);
    const auto b1 = static_cast<std::uint8_t>(bits >> 8);
    const auto b2 = static_cast<std::uint8_t>(bits >> 16);
    const auto b3 = static_cast<std::uint8_t>(bits >> 24);
    const std::uint8_t sign = b3 & 0x80;
    const std::uint8_t exponent = static_cast<std::uint8_t>((b3 << 1) | (b2 >> 7));
    if (exponent == 0) return {0, 0, 0, 0};  // subnormal
    return {b0, b1, static_cast<std::uint8_t>((b2 & 0x7F) | sign),
            static_cast<std::uint8_t>(exponent + 2)};
}

float MbfToIeee(const MbfBytes& mbf) {
    if (mbf[3] < 3) return 0.0f;
    const std::uint8_t exponent = static_cast<std::uint8_t>(mbf[3] - 2);
    const std::uint8_t sign = mbf[2] & 0x80;
    const std::uint32_t bits = static_cast<std::uint32_t>(mbf[0]) |
                               static_cast<std::uint32_t>(mbf[1]) << 8 |
                               static_cast<std::uint32_t>((mbf[2] & 0x7F) | ((exponent & 1) << 7)) << 16 |
                               static_cast<std::uint32_t>((exponent >> 1) | sign) << 24;
    return std::bit_cast<float>(bits);
}

}  // namespace corvat
