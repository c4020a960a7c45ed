#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "builders.h"

namespace corvat::test {

// Zero bytes with parts laid in at their offsets, as the notes draw a record.
using Part = std::pair<std::size_t, Bytes>;
inline Part At(std::size_t offset, const Bytes& bytes) { return {offset, bytes}; }

inline Bytes Layout(std::size_t size, std::initializer_list<Part> parts) {
    Bytes bytes(size, 0);
    for (const auto& [offset, part] : parts)
        std::copy(part.begin(), part.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    return bytes;
}

// A value's bytes as this (little-endian) machine and the files hold them.
template <typename T>
inline Bytes LittleEndian(T value) {
    Bytes bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}
inline Bytes Word(int value) { return LittleEndian(static_cast<std::uint16_t>(value)); }
inline Bytes Int32Bytes(std::int32_t value) { return LittleEndian(value); }
inline Bytes IeeeBytes(float value) { return LittleEndian(value); }

// An EMASTER record of a daily security with date and close (bitset 0x09),
// dates YYYMMDD as IEEE singles.
inline Bytes EmasterRecordBytes(int number, const std::string& symbol, float first, float last,
                                const std::string& longName = "", std::uint8_t bitset = 0x09) {
    return Layout(
        192, {At(0, {0x36, 0x36}), At(2, {static_cast<std::uint8_t>(number)}),
              At(6, {static_cast<std::uint8_t>(std::popcount(bitset)), bitset, 0, ' '}),
              At(11, TextBytes(symbol)), At(32, TextBytes(symbol)), At(60, {'D'}),
              At(64, IeeeBytes(first)), At(72, IeeeBytes(last)), At(139, TextBytes(longName))});
}

// EMASTER: a header counting `count` records, then the records.
inline Bytes EmasterFileBytes(int count, const std::vector<Bytes>& records) {
    Bytes bytes = Layout(192, {At(0, Word(count))});
    for (const Bytes& record : records) bytes.insert(bytes.end(), record.begin(), record.end());
    return bytes;
}

// An XMASTER record of a daily security, dates CCYYMMDD.
inline Bytes XmasterRecordBytes(int number, const std::string& symbol, std::int32_t first,
                                std::int32_t last, const std::string& name = "",
                                std::uint8_t bitset = 0x09, char period = 'D') {
    return Layout(
        150, {At(0, {1}), At(1, TextBytes(symbol)), At(16, TextBytes(name.empty() ? symbol : name)),
              At(62, {static_cast<std::uint8_t>(period)}), At(65, Word(number)), At(70, {bitset}),
              At(104, Int32Bytes(first)), At(108, Int32Bytes(first)), At(116, Int32Bytes(last))});
}

// XMASTER: the mark, both counts and the next free number, then the records.
inline Bytes XmasterFileBytes(int count, int countAgain, int next,
                              const std::vector<Bytes>& records) {
    Bytes bytes = Layout(150, {At(0, {0x5d, 0xfe, 0x58, 0x4d}), At(10, Word(count)),
                               At(14, Word(countAgain)), At(18, Word(next))});
    for (const Bytes& record : records) bytes.insert(bytes.end(), record.begin(), record.end());
    return bytes;
}

// F<n>.MWD: F<n>.DAT's layout under the other name, no description file.
inline void WriteMwdFile(const std::filesystem::path& dir, int n, std::size_t fields,
                         const std::vector<std::vector<float>>& records) {
    WriteDataFile(dir, n, fields, records);
    const std::string stem = "F" + std::to_string(n);
    std::filesystem::rename(dir / (stem + ".DAT"), dir / (stem + ".MWD"));
}

}  // namespace corvat::test
