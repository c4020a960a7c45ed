#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "master_record.h"

namespace corvat {

// A data directory lists its securities in up to three index files: MASTER
// (numbers 1 to 255), EMASTER (the same entries with long names) and
// XMASTER (numbers from 256 on, data in F<n>.MWD).
enum class IndexFile { Master, Emaster, Xmaster };

// "MASTER", "EMASTER" or "XMASTER".
const char* IndexFileName(IndexFile index);

// A first or last date as an index entry stores it: MASTER and EMASTER hold
// YYYMMDD ((year - 1900) * 10000 + month * 100 + day) as a single, XMASTER
// CCYYMMDD as an integer. `number` is the stored number on its own scale,
// exact either way, so a damaged value can be shown as it stands.
struct EntryDate {
    double number = 0;
    int year = 0;  // full year, 1997; year, month and day set only when valid
    int month = 0;
    int day = 0;
    bool valid = false;  // a whole number naming a real calendar day
};

EntryDate DateFromYyymmdd(float value);
EntryDate DateFromCcyymmdd(std::int32_t value);
// YYYY-MM-DD for a valid date, else the stored number.
std::string EntryDateText(const EntryDate& date);
// The same calendar day; two invalid dates are the same when their numbers are.
bool SameEntryDate(const EntryDate& a, const EntryDate& b);
// CCYYMMDD of a day number (1 is 1 January 1961).
std::int32_t DayNumberToCcyymmdd(std::uint16_t dayNumber);

// One security of any of the three index files, so that listing, dumping,
// checking and the duplicate search treat them alike.
struct IndexedSecurity {
    IndexFile index = IndexFile::Master;
    int recordNumber = 0;  // 1 for the first record after the file's header
    int fileNumber = 0;
    std::string symbol;  // MASTER's trailing blanks removed
    // The index's name field: 16 bytes in MASTER and EMASTER, 45 in XMASTER.
    std::string name;
    // EMASTER's long name field (empty when the name fits in 16); XMASTER's
    // name again, its one field being the long one; empty for MASTER.
    std::string longName;
    int fieldCount = 0;
    std::uint8_t fieldBitset = 0;  // as stored; MASTER stores none
    bool hasBitset = false;
    char period = 'D';
    int intervalMinutes = 0;
    EntryDate firstDate;
    EntryDate lastDate;
};

// A MASTER security entry (not a directory entry) as a common entry.
IndexedSecurity SecurityFromMaster(const MasterRecord& raw, int recordNumber);

std::vector<int> FileNumbersOf(std::span<const IndexedSecurity> entries);

// How EMASTER stands to MASTER, from the file numbers of the records each
// header counts, in file order. In step: the same count and record i of
// both names the same number. Behind: EMASTER lacks only records at the end
// that MASTER has (an interrupted write). Anything else is out of step.
enum class EmasterState { Absent, InStep, Behind, OutOfStep };
EmasterState EmasterStateOf(bool emasterPresent, std::span<const int> masterNumbers,
                            std::span<const int> emasterNumbers);

// MASTER's numbers run from 1 to 255; XMASTER's from 256.
inline constexpr int kLastMasterFileNumber = 255;
inline constexpr int kFirstXmasterFileNumber = 256;

// A number is free only when no record of MASTER, EMASTER (in step or not)
// or XMASTER names it: a data file that any index names is never overwritten.
// `namedNumbers` holds the numbers of all three.
std::optional<int> LowestFreeFileNumber(std::span<const int> namedNumbers);
// MASTER takes no new security once its count is 255 or no number is free.
bool MasterIsFull(int masterCount, std::span<const int> namedNumbers);

// EMASTER and XMASTER hold 14 bytes of symbol; in MASTER the two bytes after
// them are a reserved byte and the autorun flag for the charting programs.
inline constexpr std::size_t kMaxSymbolBytes = 14;
// Every byte printable ASCII (blank to tilde).
bool IsPrintableAscii(std::string_view text);
// At most 14 bytes, each printable ASCII.
bool IsValidNewSymbol(std::string_view symbol);
// Why a symbol is refused, wherever one is entered.
inline constexpr const char* kSymbolRule =
    "A symbol is at most 14 characters of printable ASCII (letters, digits, punctuation, blanks).";
// A name is stored in full (EMASTER's long name, XMASTER's name) up to 45
// bytes; MASTER and EMASTER's short name hold its first 16.
inline constexpr std::size_t kMaxNameBytes = 45;
// Whether every byte is ASCII: other bytes are stored as given, and each
// reader shows them in its own character set.
bool IsAsciiText(std::string_view text);
// Whether `wanted` names the stored symbol: the whole symbol in any letter
// case, or its first 14 bytes (older entries hold up to 16).
bool SymbolMatches(std::string_view stored, std::string_view wanted);

}  // namespace corvat
