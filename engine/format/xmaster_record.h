#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "index_files.h"

namespace corvat {

// XMASTER lists the securities numbered from 256 on, whose data files are
// F<n>.MWD, in 150-byte records after a 150-byte header. Bytes nobody knows
// the meaning of are written as zeros.
inline constexpr const char* kXmasterName = "XMASTER";
inline constexpr std::size_t kXmasterRecordSize = 150;
using XmasterRecord = std::array<std::uint8_t, kXmasterRecordSize>;
inline constexpr std::array<std::uint8_t, 4> kXmasterMagic = {0x5D, 0xFE, 0x58, 0x4D};

namespace xmaster {
// Header.
inline constexpr std::size_t kMagic = 0;
inline constexpr std::size_t kRecordCount = 10;       // u16, then a zero word
inline constexpr std::size_t kRecordCountAgain = 14;  // u16, always the same
inline constexpr std::size_t kNextFileNumber = 18;    // u16, highest in use + 1
// Record.
inline constexpr std::size_t kLead = 0;  // always 1
inline constexpr std::size_t kSymbol = 1;
inline constexpr std::size_t kSymbolSize = 14;
inline constexpr std::size_t kName = 16;
inline constexpr std::size_t kNameSize = 45;
inline constexpr std::size_t kPeriod = 62;
inline constexpr std::size_t kInterval = 63;    // u16, minutes
inline constexpr std::size_t kFileNumber = 65;  // u16
inline constexpr std::size_t kFieldBitset = 70;
// Some files hold 19000101 at the first of the two first dates; we write
// the date in both.
inline constexpr std::size_t kFirstDateAgain = 104;  // CCYYMMDD
inline constexpr std::size_t kFirstDate = 108;       // CCYYMMDD
inline constexpr std::size_t kLastDate = 116;        // CCYYMMDD
}  // namespace xmaster

struct XmasterHeader {
    bool magicMatches = false;
    int recordCount = 0;
    int recordCountAgain = 0;
    int nextFileNumber = 0;
};

XmasterHeader DecodeXmasterHeader(const XmasterRecord& header);
// The header of a new XMASTER: no records, next number 256.
XmasterRecord MakeXmasterHeader();
// After `usedFileNumber` has been given to a record: both counts become
// `recordCount`, the next number passes the used one. Other bytes stay.
void RaiseXmasterHeader(XmasterRecord& header, int recordCount, int usedFileNumber);

// The number a new XMASTER security gets: the header's next number, never
// below 256 nor at or below a number a record holds, so no F<n>.MWD is
// overwritten whatever the header says. None when past the 16-bit range.
std::optional<int> NextXmasterFileNumber(const XmasterHeader& header,
                                         std::span<const int> xmasterNumbers);

IndexedSecurity DecodeXmasterRecord(const XmasterRecord& raw, int recordNumber);

// A daily security's record; the name is cut to 45 bytes, the symbol to 14.
XmasterRecord MakeXmasterRecord(int fileNumber, std::string_view symbol, std::string_view name,
                                std::uint8_t fieldBitset, std::int32_t firstDate,
                                std::int32_t lastDate);
// Dates as CCYYMMDD.
void SetXmasterDates(XmasterRecord& record, std::int32_t firstDate, std::int32_t lastDate);

}  // namespace corvat
