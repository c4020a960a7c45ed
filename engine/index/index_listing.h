#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "emaster_record.h"
#include "file_system.h"
#include "index_files.h"
#include "master_listing.h"
#include "xmaster_record.h"

namespace corvat {

// Both counts are 16 bits: no reader looks past record 65535, so neither
// can a damaged file make us read more.
inline constexpr std::size_t kEmasterReadLimit = (65535 + 1) * kEmasterRecordSize;
inline constexpr std::size_t kXmasterReadLimit = (65535 + 1) * kXmasterRecordSize;

// EMASTER or XMASTER as read: like a master, whatever the file holds is
// kept, and the header's count may disagree with the records present.
template <typename Record>
struct IndexFileListing {
    std::filesystem::path path;  // the name found on disk, any letter case
    bool present = false;        // false: no such file (not an error)
    std::uintmax_t fileSize = 0;
    bool hasHeader = false;
    Record header{};
    int recordCount = 0;          // as the header says
    std::vector<Record> records;  // every whole record, as far as the limit reaches

    // The records the header counts, as far as they are present.
    std::span<const Record> Counted() const {
        const auto wanted = static_cast<std::size_t>(recordCount);
        return std::span<const Record>(records).first(std::min(wanted, records.size()));
    }
};
using EmasterListing = IndexFileListing<EmasterRecord>;
using XmasterListing = IndexFileListing<XmasterRecord>;

// Empty text when the file was read or is missing, else the message.
[[nodiscard]] std::string ReadEmasterFile(FileSystem& fs, const std::filesystem::path& path,
                                          EmasterListing& listing);
[[nodiscard]] std::string ReadXmasterFile(FileSystem& fs, const std::filesystem::path& path,
                                          XmasterListing& listing);

std::vector<IndexedSecurity> EmasterEntries(const EmasterListing& listing);
std::vector<IndexedSecurity> XmasterEntries(const XmasterListing& listing);

// The three index files of one directory, read by the one reader every job
// uses. An error in MASTER leaves the others unread.
struct DirectoryIndex {
    std::filesystem::path directory;
    std::string error;  // why MASTER could not be read; empty when it was
    MasterListing listing;
    std::string emasterError;
    EmasterListing emaster;
    std::string xmasterError;
    XmasterListing xmaster;

    // The file numbers of MASTER's counted entries and of EMASTER's, in
    // file order: how EMASTER stands to MASTER.
    EmasterState EmasterStanding() const;
    // Every security of the directory: MASTER's entries in file order (with
    // EMASTER's long name and field bitset where EMASTER is in step or
    // behind), then XMASTER's, then those of an EMASTER out of step whose
    // numbers MASTER does not hold.
    std::vector<IndexedSecurity> Securities() const;
    // Every security record of all three files, an out-of-step EMASTER's
    // included: what a new symbol or file number must not collide with.
    std::vector<IndexedSecurity> AllRecords() const;
};

void ReadDirectoryIndex(FileSystem& fs, const std::filesystem::path& dir, DirectoryIndex& index);

}  // namespace corvat
