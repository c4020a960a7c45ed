#include "emaster_record.h"

#include <algorithm>

#include "byte_fields.h"
#include "text_util.h"

namespace corvat {

EmasterHeader DecodeEmasterHeader(const EmasterRecord& header) {
    return {ReadU16Le(header, emaster::kRecordCount),
            ReadU16Le(header, emaster::kHighestFileNumber)};
}

IndexedSecurity DecodeEmasterRecord(const EmasterRecord& raw, int recordNumber) {
    IndexedSecurity entry;
    entry.index = IndexFile::Emaster;
    entry.recordNumber = recordNumber;
    entry.fileNumber = raw[emaster::kFileNumber];
    entry.symbol = ReadZeroPadded(raw, emaster::kSymbol, emaster::kSymbolSize);
    entry.name = ReadZeroPadded(raw, emaster::kName, emaster::kNameSize);
    entry.longName = ReadZeroPadded(raw, emaster::kLongName, emaster::kLongNameSize);
    entry.fieldCount = raw[emaster::kFieldCount];
    entry.fieldBitset = raw[emaster::kFieldBitset];
    entry.hasBitset = true;
    entry.period = static_cast<char>(raw[emaster::kPeriod]);
    entry.intervalMinutes = ReadU16Le(raw, emaster::kInterval);
    entry.firstDate = DateFromYyymmdd(ReadFloatLe(raw, emaster::kFirstDate));
    entry.lastDate = DateFromYyymmdd(ReadFloatLe(raw, emaster::kLastDate));
    return entry;
}

EmasterMarker MarkerForNewRecord(std::span<const EmasterRecord> existingRecords) {
    if (existingRecords.empty()) return kNewEmasterMarker;
    const EmasterRecord& first = existingRecords.front();
    return {first[emaster::kMarker], first[emaster::kMarker + 1]};
}

EmasterRecord MakeEmasterRecord(const MasterRecord& masterEntry, std::uint8_t fieldBitset,
                                std::string_view fullName, const EmasterMarker& marker) {
    EmasterRecord record{};
    std::copy(marker.begin(), marker.end(), record.begin() + emaster::kMarker);
    record[emaster::kFileNumber] = masterEntry[master::kFileNumber];
    record[emaster::kFieldCount] = masterEntry[master::kFieldCount];
    record[emaster::kFieldBitset] = fieldBitset;
    record[emaster::kAutorun] = ' ';
    // MASTER pads with blanks, EMASTER with zeros.
    std::string symbol = SymbolField(masterEntry);
    TrimTrailingSpaces(symbol);
    WriteZeroPadded(record, emaster::kSymbol, emaster::kSymbolSize, symbol);
    std::string name = NameField(masterEntry);
    TrimTrailingSpaces(name);
    WriteZeroPadded(record, emaster::kName, emaster::kNameSize, name);
    if (fullName.size() > emaster::kNameSize) {
        WriteZeroPadded(record, emaster::kLongName, emaster::kLongNameWritten, fullName);
    }
    record[emaster::kPeriod] = masterEntry[master::kMarkerD];
    SetEmasterDates(record, ReadMbf(masterEntry, master::kFirstDate),
                    ReadMbf(masterEntry, master::kLastDate));
    return record;
}

void SetEmasterDates(EmasterRecord& record, const MbfBytes& firstDate, const MbfBytes& lastDate) {
    const EntryDate first = DateFromYyymmdd(MbfToIeee(firstDate));
    WriteFloatLe(record, emaster::kFirstDate, static_cast<float>(first.number));
    WriteFloatLe(record, emaster::kLastDate, MbfToIeee(lastDate));
    const std::int32_t firstNumber =
        first.valid ? first.year * 10000 + first.month * 100 + first.day : 0;
    WriteU32Le(record, emaster::kFirstDateNumber, static_cast<std::uint32_t>(firstNumber));
}

}  // namespace corvat
