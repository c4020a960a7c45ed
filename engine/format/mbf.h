#pragma once

#include <array>
#include <cstdint>

namespace corvat {

// A 4-byte Microsoft Binary Format single, in file order: three mantissa
// bytes (sign in bit 7 of the third) and the biased exponent last.
using MbfBytes = std::array<std::uint8_t, 4>;

// Exact for every normal value of magnitude below 2^127. Zero, -0, NaN,
// infinities and subnormals all become four zero bytes: the format has no
// room for them, and a zero is the least harmful stand-in.
MbfBytes IeeeToMbf(float value);

// Exact for every exponent byte of 3 or more; below that the value lies
// under the smallest normal single and reads as 0.
float MbfToIeee(const MbfBytes& mbf);

}  // namespace corvat
