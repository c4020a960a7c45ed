#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace corvat {

// F<n>.DAT is a run of records of 4 bytes per enabled field. Its first
// record is a header of (0, 1) word pairs, one pair per field; the second
// word holds the number of records including the header.
inline constexpr std::size_t kRecordCountOffset = 2;
inline constexpr int kMaxDataRecords = 65534;  // the count word is 16 bits

// Bytes of the record count word, little-endian.
inline constexpr std::size_t kRecordCountSize = 2;

inline constexpr std::uint16_t DecodeRecordCount(std::uint8_t low, std::uint8_t high) {
    return static_cast<std::uint16_t>(low | high << 8);
}

inline constexpr std::array<std::uint8_t, kRecordCountSize> EncodeRecordCount(std::uint16_t count) {
    return {static_cast<std::uint8_t>(count & 0xFF), static_cast<std::uint8_t>(count >> 8)};
}

// Data records a header count stands for: the header counts itself, and
// counts of 0 and 1 both mean none.
inline constexpr std::size_t CountedDataRecords(std::uint16_t count) {
    return count > 1 ? static_cast<std::size_t>(count) - 1 : 0;
}

}  // namespace corvat
