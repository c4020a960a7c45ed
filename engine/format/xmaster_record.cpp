#include "xmaster_record.h"

#include <algorithm>

#include "byte_fields.h"
#include "field_bitset.h"

namespace corvat {
namespace {

constexpr int kLastFileNumber = 0xFFFF;  // the number field is 16 bits

void WriteDate(XmasterRecord& record, std::size_t offset, std::int32_t date) {
    WriteU32Le(record, offset, static_cast<std::uint32_t>(date));
}

}  // namespace

XmasterHeader DecodeXmasterHeader(const XmasterRecord& header) {
    XmasterHeader decoded;
    decoded.magicMatches =
        std::equal(kXmasterMagic.begin(), kXmasterMagic.end(), header.begin() + xmaster::kMagic);
    decoded.recordCount = ReadU16Le(header, xmaster::kRecordCount);
    decoded.recordCountAgain = ReadU16Le(header, xmaster::kRecordCountAgain);
    decoded.nextFileNumber = ReadU16Le(header, xmaster::kNextFileNumber);
    return decoded;
}

XmasterRecord MakeXmasterHeader() {
    XmasterRecord header{};
    std::copy(kXmasterMagic.begin(), kXmasterMagic.end(), header.begin() + xmaster::kMagic);
    WriteU16Le(header, xmaster::kNextFileNumber, kFirstXmasterFileNumber);
    return header;
}

void RaiseXmasterHeader(XmasterRecord& header, int recordCount, int usedFileNumber) {
    const auto count = static_cast<std::uint16_t>(recordCount);
    WriteU32Le(header, xmaster::kRecordCount, count);
    WriteU16Le(header, xmaster::kRecordCountAgain, count);
    const int next = std::max<int>(ReadU16Le(header, xmaster::kNextFileNumber), usedFileNumber + 1);
    WriteU16Le(header, xmaster::kNextFileNumber, static_cast<std::uint16_t>(next));
}

std::optional<int> NextXmasterFileNumber(const XmasterHeader& header,
                                         std::span<const int> xmasterNumbers) {
    int next = std::max(header.nextFileNumber, kFirstXmasterFileNumber);
    for (int number : xmasterNumbers) next = std::max(next, number + 1);
    if (next > kLastFileNumber) return std::nullopt;
    return next;
}

IndexedSecurity DecodeXmasterRecord(const XmasterRecord& raw, int recordNumber) {
    IndexedSecurity entry;
    entry.index = IndexFile::Xmaster;
    entry.recordNumber = recordNumber;
    entry.fileNumber = ReadU16Le(raw, xmaster::kFileNumber);
    entry.symbol = ReadZeroPadded(raw, xmaster::kSymbol, xmaster::kSymbolSize);
    entry.name = ReadZeroPadded(raw, xmaster::kName, xmaster::kNameSize);
    entry.longName = entry.name;
    entry.fieldBitset = raw[xmaster::kFieldBitset];
    entry.hasBitset = true;
    entry.fieldCount = BitsetFieldCount(entry.fieldBitset);
    entry.period = static_cast<char>(raw[xmaster::kPeriod]);
    entry.intervalMinutes = ReadU16Le(raw, xmaster::kInterval);
    entry.firstDate =
        DateFromCcyymmdd(static_cast<std::int32_t>(ReadU32Le(raw, xmaster::kFirstDate)));
    entry.lastDate =
        DateFromCcyymmdd(static_cast<std::int32_t>(ReadU32Le(raw, xmaster::kLastDate)));
    return entry;
}

XmasterRecord MakeXmasterRecord(int fileNumber, std::string_view symbol, std::string_view name,
                                std::uint8_t fieldBitset, std::int32_t firstDate,
                                std::int32_t lastDate) {
    XmasterRecord record{};
    record[xmaster::kLead] = 1;
    WriteZeroPadded(record, xmaster::kSymbol, xmaster::kSymbolSize, symbol);
    WriteZeroPadded(record, xmaster::kName, xmaster::kNameSize, name);
    record[xmaster::kPeriod] = 'D';
    WriteU16Le(record, xmaster::kFileNumber, static_cast<std::uint16_t>(fileNumber));
    record[xmaster::kFieldBitset] = fieldBitset;
    SetXmasterDates(record, firstDate, lastDate);
    return record;
}

void SetXmasterDates(XmasterRecord& record, std::int32_t firstDate, std::int32_t lastDate) {
    WriteDate(record, xmaster::kFirstDateAgain, firstDate);
    WriteDate(record, xmaster::kFirstDate, firstDate);
    WriteDate(record, xmaster::kLastDate, lastDate);
}

}  // namespace corvat
