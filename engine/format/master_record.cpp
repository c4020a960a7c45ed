#include "master_record.h"

#include <algorithm>
#include <cstring>

#include "text_util.h"

namespace corvat {
namespace {

std::string FieldUpToZero(const MasterRecord& record, std::size_t offset, std::size_t size) {
    const auto* begin = reinterpret_cast<const char*>(record.data()) + offset;
    const auto* end = std::find(begin, begin + size, '\0');
    return std::string(begin, end);
}

void WritePadded(MasterRecord& record, std::size_t offset, const std::string& text) {
    const std::size_t n = std::min(text.size(), master::kTextSize);
    std::memset(record.data() + offset, ' ', master::kTextSize);
    std::memcpy(record.data() + offset, text.data(), n);
}

}  // namespace

std::int16_t ReadInt16(const MasterRecord& record, std::size_t offset) {
    return static_cast<std::int16_t>(record[offset] | record[offset + 1] << 8);
}

void WriteInt16(MasterRecord& record, std::size_t offset, std::int16_t value) {
    const auto bits = static_cast<std::uint16_t>(value);
    record[offset] = static_cast<std::uint8_t>(bits);
    record[offset + 1] = static_cast<std::uint8_t>(bits >> 8);
}

MbfBytes ReadMbf(const MasterRecord& record, std::size_t offset) {
    return {record[offset], record[offset + 1], record[offset + 2], record[offset + 3]};
}

void WriteMbf(MasterRecord& record, std::size_t offset, const MbfBytes& value) {
    std::copy(value.begin(), value.end(), record.begin() + static_cast<std::ptrdiff_t>(offset));
}

bool IsDirectoryEntry(const MasterRecord& record) {
    return std::memcmp(record.data() + master::kDirTag, "<DIR>", 5) == 0 &&
           record[master::kName] != ' ';
}

std::string DirectoryName(const MasterRecord& record) {
    std::string name = FieldUpToZero(record, master::kName, master::kDirNameSize);
    TrimTrailingSpaces(name);
    return name;
}

std::string NameField(const MasterRecord& record) {
    return FieldUpToZero(record, master::kName, master::kTextSize);
}

std::string SymbolField(const MasterRecord& record) {
    return FieldUpToZero(record, master::kSymbol, master::kTextSize);
}

MasterRecord MakeSecurityEntry(std::uint8_t fileNumber, int fields, const std::string& name,
                               const std::string& symbol, const MbfBytes& date) {
    MasterRecord entry{};
    entry[master::kFileNumber] = fileNumber;
    WriteInt16(entry, master::kEntryWord, 0x0065);
    entry[master::kRecordLength] = static_cast<std::uint8_t>(4 * fields);
    entry[master::kFieldCount] = static_cast<std::uint8_t>(fields);
    WritePadded(entry, master::kName, name);
    WriteMbf(entry, master::kFirstDate, date);
    WriteMbf(entry, master::kLastDate, date);
    entry[master::kMarkerD] = 'D';
    WritePadded(entry, master::kSymbol, symbol);
    return entry;
}

}  // namespace corvat
