#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "mbf.h"

namespace corvat {

// MASTER is a run of 53-byte records: a header, then one entry per
// security or sub-directory. Integers are little-endian.
inline constexpr const char* kMasterName = "MASTER";
inline constexpr std::size_t kMasterRecordSize = 53;
inline constexpr int kMaxSecurities = 255;
using MasterRecord = std::array<std::uint8_t, kMasterRecordSize>;

namespace master {
// Header.
inline constexpr std::size_t kEntryCount = 0;     // int16
inline constexpr std::size_t kSecondCounter = 2;  // int16
// Security entry.
inline constexpr std::size_t kFileNumber = 0;
// The word 0x0065, little-endian as every real directory holds it; readers
// do not interpret it.
inline constexpr std::size_t kEntryWord = 1;  // u16
inline constexpr std::size_t kRecordLength = 3;
inline constexpr std::size_t kFieldCount = 4;
inline constexpr std::size_t kName = 7;
inline constexpr std::size_t kFirstDate = 25;
inline constexpr std::size_t kLastDate = 29;
inline constexpr std::size_t kMarkerD = 33;  // always 'D'
inline constexpr std::size_t kSymbol = 36;
inline constexpr std::size_t kTextSize = 16;  // name and symbol
// Directory entry: "<DIR>" at 18..22, the sub-directory's name at 7..14.
inline constexpr std::size_t kDirTag = 18;
inline constexpr std::size_t kDirNameSize = 8;
}  // namespace master

std::int16_t ReadInt16(const MasterRecord& record, std::size_t offset);
void WriteInt16(MasterRecord& record, std::size_t offset, std::int16_t value);
MbfBytes ReadMbf(const MasterRecord& record, std::size_t offset);
void WriteMbf(MasterRecord& record, std::size_t offset, const MbfBytes& value);

bool IsDirectoryEntry(const MasterRecord& record);
// The sub-directory a directory entry names, trailing blanks removed.
std::string DirectoryName(const MasterRecord& record);
// Name and symbol fields up to the first zero byte: other programs pad
// with zeros where we pad with blanks.
std::string NameField(const MasterRecord& record);
std::string SymbolField(const MasterRecord& record);

// A new security's entry, every byte set; both dates are `date`.
MasterRecord MakeSecurityEntry(std::uint8_t fileNumber, int fields, const std::string& name,
                               const std::string& symbol, const MbfBytes& date);

}  // namespace corvat
