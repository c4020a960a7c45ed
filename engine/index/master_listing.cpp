#include "master_listing.h"

#include <algorithm>
#include <cstring>

#include "bounded_read.h"
#include "case_blind_path.h"
#include "text_util.h"

namespace corvat {

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

std::string ReadMasterFile(FileSystem& fs, const std::filesystem::path& masterPath,
                           MasterListing& listing) {
    listing.masterPath = masterPath;
    std::string bytes;
    if (std::string error = ReadBounded(fs, masterPath, kMasterReadLimit, bytes, listing.fileSize);
        !error.empty()) {
        return error;
    }
    listing.hasHeader = bytes.size() >= kMasterRecordSize;
    if (!listing.hasHeader) return {};
    std::memcpy(listing.header.data(), bytes.data(), kMasterRecordSize);
    listing.entryCount = ReadInt16(listing.header, master::kEntryCount);
    listing.secondCounter = ReadInt16(listing.header, master::kSecondCounter);
    const std::size_t whole = bytes.size() / kMasterRecordSize;
    listing.records.reserve(whole - 1);
    MasterRecord record{};
    for (std::size_t k = 1; k < whole; ++k) {
        std::memcpy(record.data(), bytes.data() + k * kMasterRecordSize, kMasterRecordSize);
        listing.records.push_back(DecodeMasterEntry(record, static_cast<int>(k)));
    }
    return {};
}

std::string ReadMasterListing(const std::filesystem::path& dir, MasterListing& listing,
                              FileSystem& fs) {
    listing = MasterListing{};
    listing.directory = dir;
    const auto masterPath = FindIgnoringCase(fs, dir, kMasterName);
    if (std::string error = ReadMasterFile(fs, masterPath, listing); !error.empty()) return error;
    if (!listing.hasHeader) {
        return masterPath.string() + " is shorter than its " + std::to_string(kMasterRecordSize) +
               "-byte header (" + std::to_string(listing.fileSize) + " bytes).";
    }
    return {};
}

}  // namespace corvat
