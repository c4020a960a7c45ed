#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "converter.h"
#include "data_directory_check.h"
#include "data_file_layout.h"
#include "master_record.h"
#include "mbf.h"
#include "test_support.h"

namespace corvat::test {

// Findings one a line, "FILE: text", for comparing in one go.
inline std::string Joined(const std::vector<Finding>& findings) {
    std::string text;
    for (const auto& f : findings) text += f.file.filename().string() + ": " + f.text + "\n";
    return text;
}

inline Bytes MbfOf(float value) {
    const MbfBytes mbf = IeeeToMbf(value);
    return Bytes(mbf.begin(), mbf.end());
}

inline MasterRecord MasterHeader(int count, int second) {
    MasterRecord header{};
    WriteInt16(header, master::kEntryCount, static_cast<std::int16_t>(count));
    WriteInt16(header, master::kSecondCounter, static_cast<std::int16_t>(second));
    return header;
}
inline MasterRecord MasterHeader(int count) { return MasterHeader(count, count); }

inline std::string RecordsBytes(const std::vector<MasterRecord>& records) {
    std::string bytes;
    for (const auto& record : records) bytes.append(record.begin(), record.end());
    return bytes;
}

// A master built by hand: a header with the given counts, then entries.
inline Bytes MasterBytes(int count, int second, const std::vector<MasterRecord>& entries) {
    std::vector<MasterRecord> records{MasterHeader(count, second)};
    records.insert(records.end(), entries.begin(), entries.end());
    return TextBytes(RecordsBytes(records));
}

inline MasterRecord SecurityEntry(std::uint8_t number, const std::string& symbol,
                                  const std::string& name = "") {
    return MakeSecurityEntry(number, 7, name.empty() ? symbol : name, symbol, {0, 0, 0, 0});
}

inline MasterRecord DirectoryEntry(std::uint8_t number, const std::string& dir) {
    MasterRecord entry{};
    entry[master::kFileNumber] = number;
    std::fill_n(entry.begin() + master::kName, master::kDirTag - master::kName, ' ');
    std::copy_n(dir.begin(), std::min<std::size_t>(dir.size(), master::kDirTag - master::kName),
                entry.begin() + master::kName);
    std::copy_n("<DIR>", 5, entry.begin() + master::kDirTag);
    return entry;
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
    const auto word = static_cast<std::uint16_t>(count < 0 ? records.size() + 1 : count);
    Bytes bytes(4 * fields, 0);
    for (std::size_t f = 1; f < fields; ++f) bytes[4 * f + 2] = 1;
    bytes[2] = static_cast<std::uint8_t>(word);
    bytes[3] = static_cast<std::uint8_t>(word >> 8);
    for (const auto& record : records) {
        for (float value : record) {
            const MbfBytes mbf = IeeeToMbf(value);
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

// A job filled as the desktop program fills it from the profile defaults:
// all seven fields in columns 1 to 7, comma, MMDDYY, nothing skipped.
struct JobFixture {
    RecordingSink messages;
    MemoryProfile profile;
    TempDir dir;
    CConverter job{messages, profile, RealFileSystem()};

    JobFixture() {
        job.m_bUseExisting = 0;
        for (int i = 0; i < kFieldSlots; ++i) {
            job.m_bFieldOn[static_cast<std::size_t>(i)] = 1;
            job.m_nColumn[static_cast<std::size_t>(i)] = i;
        }
        job.m_szPath = dir.Path().string();
        job.m_szSymbol = "XYZ";
        job.m_szName = "XYZ CORP";
        job.m_szDelimiter = ",";
        job.m_nDateFormat = 9;
    }

    void OnlyDateAndClose() {
        job.m_bFieldOn = {1, 0, 0, 0, 1, 0, 0};
        job.m_nColumn[kCloseField] = 1;
    }

    int Convert(const std::string& text) {
        WriteText(dir / "input.txt", text);
        job.m_strInputPath = (dir / "input.txt").string();
        return job.Run();
    }
};

}  // namespace corvat::test
