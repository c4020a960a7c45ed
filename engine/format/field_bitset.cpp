#include "field_bitset.h"

#include <bit>

namespace corvat {

std::uint8_t FieldBitset(const FieldList& fields) {
    std::uint8_t bitset = 0;
    for (std::size_t i = 0; i < kDailyFieldCount; ++i) {
        if (fields[i]) bitset |= kFieldBits[i];
    }
    return bitset;
}

std::uint8_t FieldBitset(const std::array<int, kDailyFieldCount>& flags) {
    FieldList fields{};
    for (std::size_t i = 0; i < kDailyFieldCount; ++i) fields[i] = flags[i] != 0;
    return FieldBitset(fields);
}

FieldList FieldsOfBitset(std::uint8_t bitset) {
    FieldList fields{};
    for (std::size_t i = 0; i < kDailyFieldCount; ++i) fields[i] = (bitset & kFieldBits[i]) != 0;
    return fields;
}

int BitsetFieldCount(std::uint8_t bitset) { return std::popcount(bitset); }

}  // namespace corvat
