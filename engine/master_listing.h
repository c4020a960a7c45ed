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

// A master read without changing it. Whatever the file holds is kept: the
// header's count may disagree with the records present, and the length
// need not be a whole number of records.
struct MasterListing {
    std::filesystem::path directory;
    std::filesystem::path masterPath;  // the name found on disk, any letter case
    std::uintmax_t fileSize = 0;
    std::int16_t entryCount = 0;
    std::int16_t secondCounter = 0;
    std::vector<MasterEntry> records;  // every whole record after the header

    // The entries a charting program (and the master search) sees: those the
    // header counts, as far as they are present.
    std::span<const MasterEntry> Entries() const;
    // Whether every entry the header counts is present. The master search
    // does not follow the directory entries of a master cut short.
    bool Complete() const;
};

// Reads the MASTER of `dir`. Returns an empty text on success, else a
// message naming the file and the reason (missing, unreadable, shorter
// than its header).
std::string ReadMasterListing(const std::filesystem::path& dir, MasterListing& listing,
                              FileSystem& fs = RealFileSystem());

MasterEntry DecodeMasterEntry(const MasterRecord& raw, int recordNumber);

}  // namespace corvat
