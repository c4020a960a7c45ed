#include "master_listing.h"

#include <algorithm>
#include <cstring>

#include "bounded_read.h"
#include "case_blind_path.h"
#include "text_util.h"

namespace corvat {
namespace {

// The header's count is a signed 16-bit number, so no master can make a
// reader look past record 32767; the rest of a longer file only counts.
constexpr std::size_t kMasterReadLimit = (32767 + 1) * kMasterRecordSize;

}  // namespace

std::span<const MasterEntry> MasterListing::Entries() const {
    const std::size_t wanted = entryCount > 0 ? static_cast<std::size_t>(entryCount) : 0;
    return std::span<const MasterEntry>(records).first(std::min(wanted, records.size()));
}

bool MasterListing::Complete() const {
    return entryCount <= 0 || static_cast<std::size_t>(entryCount) <= records.size();
}

MasterEntry DecodeMasterEntry(const MasterRecord& raw, int recordNumber) {
    MasterEntry entry;
    entry.recordNumber = recordNumber;
    entry.raw = raw;
    entry.fileNumber = raw[master::kFileNumber];
    entry.isDirectory = IsDirectoryEntry(raw);
    if (entry.isDirectory) {
        entry.directoryName = DirectoryName(raw);
        return entry;
    }
    entry.recordLength = raw[master::kRecordLength];
    entry.fieldCount = raw[master::kFieldCount];
    entry.name = NameField(raw);
    TrimTrailingSpaces(entry.name);
    entry.symbol = SymbolField(raw);
    TrimTrailingSpaces(entry.symbol);
    entry.firstDate = DecodeDateValue(ReadMbf(raw, master::kFirstDate));
    entry.lastDate = DecodeDateValue(ReadMbf(raw, master::kLastDate));
    return entry;
}

std::string ReadMasterListing(const std::filesystem::path& dir, MasterListing& listing,
                              FileSystem& fs) {
    listing = MasterListing{};
    listing.directory = dir;
    listing.masterPath = FindIgnoringCase(dir, "MASTER");
    std::string bytes;
    if (std::string error =
            ReadBounded(fs, listing.masterPath, kMasterReadLimit, bytes, listing.fileSize);
        !error.empty()) {
        return error;
    }
    if (bytes.size() < kMasterRecordSize) {
        return listing.masterPath.string() + " is shorter than its " +
               std::to_string(kMasterRecordSize) + "-byte header (" + std::to_string(bytes.size()) +
               " bytes).";
    }
    MasterRecord record{};
    std::memcpy(record.data(), bytes.data(), kMasterRecordSize);
    listing.entryCount = ReadInt16(record, master::kEntryCount);
    listing.secondCounter = ReadInt16(record, master::kSecondCounter);
    const std::size_t whole = bytes.size() / kMasterRecordSize;
    listing.records.reserve(whole - 1);
    for (std::size_t k = 1; k < whole; ++k) {
        std::memcpy(record.data(), bytes.data() + k * kMasterRecordSize, kMasterRecordSize);
        listing.records.push_back(DecodeMasterEntry(record, static_cast<int>(k)));
    }
    return {};
}

}  // namespace corvat
