#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "index_files.h"
#include "master_record.h"
#include "mbf.h"

namespace corvat {

// EMASTER mirrors MASTER entry for entry with 192-byte records after a
// 192-byte header, adding long names. Bytes nobody knows the meaning of are
// written as zeros.
inline constexpr const char* kEmasterName = "EMASTER";
inline constexpr std::size_t kEmasterRecordSize = 192;
using EmasterRecord = std::array<std::uint8_t, kEmasterRecordSize>;

// Two bytes of unknown meaning opening every record: "66" in the charting
// programs' files, zeros in other tools'. Kept as the file has them.
using EmasterMarker = std::array<std::uint8_t, 2>;
inline constexpr EmasterMarker kNewEmasterMarker = {0x36, 0x36};

namespace emaster {
// Header. The charting programs write MASTER's 53-byte header here as it
// stands: count, highest number in use, serial.
inline constexpr std::size_t kRecordCount = 0;        // u16
inline constexpr std::size_t kHighestFileNumber = 2;  // u16
inline constexpr std::size_t kMasterHeaderCopy = kMasterRecordSize;
// Record.
inline constexpr std::size_t kMarker = 0;
inline constexpr std::size_t kFileNumber = 2;
inline constexpr std::size_t kFieldCount = 6;
inline constexpr std::size_t kFieldBitset = 7;
inline constexpr std::size_t kAutorun = 9;  // ' ' or '*'
inline constexpr std::size_t kSymbol = 11;
inline constexpr std::size_t kSymbolSize = 14;
inline constexpr std::size_t kName = 32;  // the name's first 16 bytes
inline constexpr std::size_t kNameSize = 16;
inline constexpr std::size_t kPeriod = 60;
inline constexpr std::size_t kInterval = 62;          // u16, minutes
inline constexpr std::size_t kFirstDate = 64;         // IEEE YYYMMDD, not MBF
inline constexpr std::size_t kLastDate = 72;          // IEEE YYYMMDD
inline constexpr std::size_t kFirstDateNumber = 126;  // CCYYMMDD
inline constexpr std::size_t kLongName = 139;
inline constexpr std::size_t kLongNameSize = 52;
// Readers show no more than 45 bytes of the long name.
inline constexpr std::size_t kLongNameWritten = 45;
}  // namespace emaster

struct EmasterHeader {
    int recordCount = 0;
    int highestFileNumber = 0;
};

EmasterHeader DecodeEmasterHeader(const EmasterRecord& header);

IndexedSecurity DecodeEmasterRecord(const EmasterRecord& raw, int recordNumber);

// The marker a new record gets: the first existing record's, else "66".
EmasterMarker MarkerForNewRecord(std::span<const EmasterRecord> existingRecords);

// The record mirroring a MASTER security entry: its number, field count,
// symbol (up to 14 bytes), name, period and dates. MASTER holds no field
// bitset, so the caller gives it. `fullName` fills the long name only when
// it is longer than 16 bytes (then cut to 45).
EmasterRecord MakeEmasterRecord(const MasterRecord& masterEntry, std::uint8_t fieldBitset,
                                std::string_view fullName, const EmasterMarker& marker);

// Sets both dates (IEEE) and the first date as CCYYMMDD from MASTER's MBF
// dates; a first date that is no calendar day leaves CCYYMMDD zero.
void SetEmasterDates(EmasterRecord& record, const MbfBytes& firstDate, const MbfBytes& lastDate);

}  // namespace corvat
