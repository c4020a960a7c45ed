#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace corvat {

// The daily fields in the order every data record holds them: date, open,
// high, low, close, volume, open interest (the conversion's field slots).
inline constexpr std::size_t kDailyFieldCount = 7;
using FieldList = std::array<bool, kDailyFieldCount>;

// EMASTER and XMASTER describe a security's fields with one byte whose bits
// do not follow the record order: open came late to the format and took a
// high bit. The records stay in record order whatever the bits' order.
inline constexpr std::array<std::uint8_t, kDailyFieldCount> kFieldBits = {
    0x01,  // date
    0x20,  // open
    0x02,  // high
    0x04,  // low
    0x08,  // close
    0x10,  // volume
    0x40,  // open interest
};
// Intraday files hold a time right after the date.
inline constexpr std::uint8_t kTimeFieldBit = 0x80;

std::uint8_t FieldBitset(const FieldList& fields);
// The conversion's on/off flags (nonzero is on), in record order.
std::uint8_t FieldBitset(const std::array<int, kDailyFieldCount>& flags);
// The daily fields a bitset names; the time bit is not among them.
FieldList FieldsOfBitset(std::uint8_t bitset);
// The number of 4-byte fields of each record, time included.
int BitsetFieldCount(std::uint8_t bitset);

}  // namespace corvat
