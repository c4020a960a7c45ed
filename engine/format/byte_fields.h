#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace corvat {

// Little-endian integers, IEEE singles and zero-padded text at fixed
// offsets of an index record. The caller keeps every offset inside the
// record: the layouts' named offsets do.

inline std::uint16_t ReadU16Le(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

inline void WriteU16Le(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline std::uint32_t ReadU32Le(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) |
           static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

inline void WriteU32Le(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> 8 * i);
}

inline float ReadFloatLe(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return std::bit_cast<float>(ReadU32Le(bytes, offset));
}

inline void WriteFloatLe(std::span<std::uint8_t> bytes, std::size_t offset, float value) {
    WriteU32Le(bytes, offset, std::bit_cast<std::uint32_t>(value));
}

// Real index files often carry left-over bytes after the first zero of a
// text field: the text ends there.
inline std::string ReadZeroPadded(std::span<const std::uint8_t> bytes, std::size_t offset,
                                  std::size_t size) {
    const auto* begin = reinterpret_cast<const char*>(bytes.data()) + offset;
    return std::string(begin, std::find(begin, begin + size, '\0'));
}

// At most `size` bytes of `text`, the rest of the field zero.
inline void WriteZeroPadded(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t size,
                            std::string_view text) {
    std::memset(bytes.data() + offset, 0, size);
    std::memcpy(bytes.data() + offset, text.data(), std::min(text.size(), size));
}

}  // namespace corvat
