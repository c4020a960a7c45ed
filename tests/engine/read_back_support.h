#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "data_file_layout.h"
#include "master_record.h"
#include "mbf.h"
#include "test_support.h"

namespace corvat::test {

inline Bytes MbfOf(float value) {
    const MbfBytes mbf = IeeeToMbf(value);
    return Bytes(mbf.begin(), mbf.end());
}

// A security entry with `fields` fields and the given stored dates.
inline MasterRecord DatedEntry(std::uint8_t number, const std::string& symbol, int fields,
                               float firstDate, float lastDate, const std::string& name = "") {
    MasterRecord entry = MakeSecurityEntry(number, fields, name.empty() ? symbol : name, symbol,
                                           IeeeToMbf(firstDate));
    WriteMbf(entry, master::kLastDate, IeeeToMbf(lastDate));
    return entry;
}

// F<n>.DOP naming `fields` (0 date ... 6 open interest) in that order.
inline void WriteDescription(const std::filesystem::path& dir, int n,
                             const std::vector<int>& fields) {
    std::string text;
    for (int field : fields) text += kFieldTable[static_cast<std::size_t>(field)].descriptionLine;
    WriteText(dir / ("F" + std::to_string(n) + ".DOP"), text);
}

// F<n>.DAT holding `records` (each the fields' values, the date as its
// stored number) under a header counting `count` records (default: all).
inline void WriteDataFile(const std::filesystem::path& dir, int n, std::size_t fields,
                          const std::vector<std::vector<float>>& records, int count = -1) {
    const std::uint16_t word = static_cast<std::uint16_t>(count < 0 ? records.size() + 1 : count);
    Bytes bytes;
    for (std::size_t f = 0; f < fields; ++f) {
        const Bytes pair = f == 0 ? Bytes{0, 0, static_cast<std::uint8_t>(word),
                                          static_cast<std::uint8_t>(word >> 8)}
                                  : Bytes{0, 0, 1, 0};
        bytes.insert(bytes.end(), pair.begin(), pair.end());
    }
    for (const auto& record : records) {
        for (float value : record) {
            const Bytes mbf = MbfOf(value);
            bytes.insert(bytes.end(), mbf.begin(), mbf.end());
        }
    }
    WriteBytes(dir / ("F" + std::to_string(n) + ".DAT"), bytes);
}

// A sound security with date and close: two records, entry dates matching.
inline MasterRecord WriteSoundSecurity(const std::filesystem::path& dir, std::uint8_t n,
                                       const std::string& symbol) {
    WriteDescription(dir, n, {0, 4});
    WriteDataFile(dir, n, 2, {{970115.0f, 10.0f}, {970116.0f, 10.5f}});
    return DatedEntry(n, symbol, 2, 970115.0f, 970116.0f);
}

}  // namespace corvat::test
