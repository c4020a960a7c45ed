#include "index_files.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "date_codec.h"
#include "number_text.h"
#include "stored_date.h"
#include "text_util.h"

namespace corvat {
namespace {

// CCYYMMDD minus this is YYYMMDD, so both scales share one calendar check.
constexpr std::int64_t kCenturyOffset = 19000000;

EntryDate FromStoredDate(const StoredDate& stored, double number) {
    EntryDate date;
    date.number = number;
    if (stored.valid) {
        date.year = stored.year;
        date.month = stored.month;
        date.day = stored.day;
        date.valid = true;
    }
    return date;
}

}  // namespace

const char* IndexFileName(IndexFile index) {
    switch (index) {
        case IndexFile::Master:
            return "MASTER";
        case IndexFile::Emaster:
            return "EMASTER";
        case IndexFile::Xmaster:
            return "XMASTER";
    }
    return "";
}

EntryDate DateFromYyymmdd(float value) {
    return FromStoredDate(DecodeDateValue(IeeeToMbf(value)), value);
}

EntryDate DateFromCcyymmdd(std::int32_t value) {
    // Below 2^24 the YYYMMDD form is exact as a single, MBF included.
    const std::int64_t yyymmdd = value - kCenturyOffset;
    if (yyymmdd < 1 || yyymmdd >= (1 << 24)) return EntryDate{static_cast<double>(value)};
    return FromStoredDate(DecodeDateValue(IeeeToMbf(static_cast<float>(yyymmdd))), value);
}

std::string EntryDateText(const EntryDate& date) {
    if (date.valid) {
        char text[16];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
        return text;
    }
    const auto single = static_cast<float>(date.number);
    if (static_cast<double>(single) == date.number) return ShortestText(single);
    return std::to_string(static_cast<long long>(date.number));
}

bool SameEntryDate(const EntryDate& a, const EntryDate& b) {
    if (a.valid != b.valid) return false;
    if (!a.valid) return a.number == b.number;
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

std::int32_t DayNumberToCcyymmdd(std::uint16_t dayNumber) {
    const CalendarDate date = DayNumberToDate(dayNumber);
    return (1900 + date.year) * 10000 + date.month * 100 + date.day;
}

IndexedSecurity SecurityFromMaster(const MasterRecord& raw, int recordNumber) {
    IndexedSecurity entry;
    entry.index = IndexFile::Master;
    entry.recordNumber = recordNumber;
    entry.fileNumber = raw[master::kFileNumber];
    entry.symbol = SymbolField(raw);
    TrimTrailingSpaces(entry.symbol);
    entry.name = NameField(raw);
    TrimTrailingSpaces(entry.name);
    entry.fieldCount = raw[master::kFieldCount];
    entry.period = static_cast<char>(raw[master::kMarkerD]);
    const StoredDate first = DecodeDateValue(ReadMbf(raw, master::kFirstDate));
    const StoredDate last = DecodeDateValue(ReadMbf(raw, master::kLastDate));
    entry.firstDate = FromStoredDate(first, first.value);
    entry.lastDate = FromStoredDate(last, last.value);
    return entry;
}

std::vector<int> FileNumbersOf(std::span<const IndexedSecurity> entries) {
    std::vector<int> numbers;
    numbers.reserve(entries.size());
    for (const IndexedSecurity& entry : entries) numbers.push_back(entry.fileNumber);
    return numbers;
}

EmasterState EmasterStateOf(bool emasterPresent, std::span<const int> masterNumbers,
                            std::span<const int> emasterNumbers) {
    if (!emasterPresent) return EmasterState::Absent;
    if (emasterNumbers.size() > masterNumbers.size() ||
        !std::equal(emasterNumbers.begin(), emasterNumbers.end(), masterNumbers.begin())) {
        return EmasterState::OutOfStep;
    }
    return emasterNumbers.size() == masterNumbers.size() ? EmasterState::InStep
                                                         : EmasterState::Behind;
}

std::optional<int> LowestFreeFileNumber(std::span<const int> namedNumbers) {
    std::array<bool, kLastMasterFileNumber + 1> named{};
    for (int number : namedNumbers) {
        if (number >= 1 && number <= kLastMasterFileNumber) named[number] = true;
    }
    for (int number = 1; number <= kLastMasterFileNumber; ++number) {
        if (!named[number]) return number;
    }
    return std::nullopt;
}

bool MasterIsFull(int masterCount, std::span<const int> namedNumbers) {
    return masterCount >= kMaxSecurities || !LowestFreeFileNumber(namedNumbers);
}

bool IsPrintableAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

bool IsValidNewSymbol(std::string_view symbol) {
    return symbol.size() <= kMaxSymbolBytes && IsPrintableAscii(symbol);
}

bool IsAsciiText(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool SymbolMatches(std::string_view stored, std::string_view wanted) {
    return EqualsIgnoringCase(stored, wanted) ||
           (stored.size() > kMaxSymbolBytes &&
            EqualsIgnoringCase(stored.substr(0, kMaxSymbolBytes), wanted));
}

}  // namespace corvat
