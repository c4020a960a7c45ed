#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "file_system.h"
#include "master_record.h"
#include "stored_date.h"

namespace corvat {

// One 53-byte record after a master's header, decoded for reading back.
struct MasterEntry {
    int recordNumber = 0;  // 1 for the first record after the header
    MasterRecord raw{};
    bool isDirectory = false;
    int fileNumber = 0;
    // Security entries.
    int recordLength = 0;
    int fieldCount = 0;
    std::string name;  // up to a zero byte, trailing blanks removed
    std::string symbol;
    StoredDate firstDate;
    StoredDate lastDate;
    // Directory entries.
    std::string directoryName;
};

// The header's count is a signed 16-bit number, so no master can make a
// reader look past record 32767; the rest of a longer file only counts.
inline constexpr std::size_t kMasterReadLimit = (32767 + 1) * kMasterRecordSize;

// A master as read: whatever the file holds is kept. The header's count may
// disagree with the records present, and the length need not be a whole
// number of records.
struct MasterListing {
    std::filesystem::path directory;
    std::filesystem::path masterPath;  // the name found on disk, any letter case
    std::uintmax_t fileSize = 0;
    bool hasHeader = false;  // the file holds at least the header record
    MasterRecord header{};
    std::int16_t entryCount = 0;
    std::int16_t secondCounter = 0;
    // Every whole record after the header, as far as kMasterReadLimit reaches.
    std::vector<MasterEntry> records;

    // The entries a charting program (and the master search) sees: those the
    // header counts, as far as they are present.
    std::span<const MasterEntry> Entries() const;
    // Whether every entry the header counts is present. The tree walk
    // does not follow the directory entries of a master cut short.
    bool Complete() const;
};

// The one reader of a master file, for every job that reads one. Returns
// an empty text when the file could be read (even one shorter than its
// header: see hasHeader), else a message naming the file and the reason.
[[nodiscard]] std::string ReadMasterFile(FileSystem& fs, const std::filesystem::path& masterPath,
                                         MasterListing& listing);

// Reads the MASTER of `dir`, found ignoring letter case. Returns an empty
// text on success, else a message naming the file and the reason (missing,
// unreadable, shorter than its header).
[[nodiscard]] std::string ReadMasterListing(const std::filesystem::path& dir,
                                            MasterListing& listing, FileSystem& fs);

MasterEntry DecodeMasterEntry(const MasterRecord& raw, int recordNumber);

}  // namespace corvat
