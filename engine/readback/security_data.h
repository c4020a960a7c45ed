#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "data_file_layout.h"
#include "field_table.h"
#include "file_names.h"
#include "file_system.h"
#include "index_files.h"
#include "master_listing.h"
#include "mbf.h"

namespace corvat {

// What F<n>.DOP says about a record: the fields it holds, in record order,
// as field indexes (0 date ... 6 open interest).
struct FieldDescription {
    std::filesystem::path path;
    std::vector<int> fields;
};

// Reads a description file. Lines are `"NAME",a,b` with NAME one of DATE,
// OPEN, HIGH, LOW, CLOSE, VOL, OI in any letter case; a line ending in CR LF
// or LF alone and blank lines are accepted. An unknown or repeated name is
// an error, since the records could not be read correctly.
[[nodiscard]] std::string ReadFieldDescription(const std::filesystem::path& path,
                                               FieldDescription& description, FileSystem& fs);

// F<n>.DAT read back: a header record, then data records of the same
// length, each a run of 4-byte MBF numbers.
struct DataFile {
    std::filesystem::path path;
    std::uintmax_t fileSize = 0;
    std::size_t recordLength = 0;
    bool hasHeader = false;         // the file holds at least one whole record
    std::uint16_t headerCount = 0;  // records including the header, as the header says
    std::string bytes;              // the file's start, as far as any count can reach

    // Whole data records present after the header.
    std::size_t RecordsPresent() const;
    // Data records the header counts (0 when the count is 0 or 1).
    std::size_t RecordsCounted() const;
    // The `slot`-th 4-byte number of data record `record` (0 is the first
    // after the header); both must lie within RecordsPresent and the length.
    MbfBytes Field(std::size_t record, std::size_t slot) const;
};

// Reads a data file whose records are `recordLength` bytes (a multiple of
// 4, at least 4).
[[nodiscard]] std::string ReadDataFile(const std::filesystem::path& path, std::size_t recordLength,
                                       DataFile& data, FileSystem& fs);

// What `check` says of a data file whose length is not its header's count
// of records times the record length, or that is shorter than its header;
// empty when they agree. A writer refuses such a file: which records are
// real cannot be told.
std::string DataFileLengthFinding(const DataFile& data);

// The record count word of a data file's header, read without the rest of
// the file: the number of data records it counts (count - 1, 0 for 0 or 1).
[[nodiscard]] std::string ReadCountedRecords(const std::filesystem::path& path,
                                             std::size_t& records, FileSystem& fs);

// A security's two files, found beside its master ignoring letter case.
struct SecurityData {
    FieldDescription description;
    DataFile data;
};

// A security's file (kDataExtension or kDescriptionExtension) beside its
// master, found ignoring letter case.
std::filesystem::path SecurityFilePath(FileSystem& fs, const std::filesystem::path& dir,
                                       int fileNumber, const char* extension);

// F<n>.MWD for an XMASTER entry, F<n>.DAT for the others.
const char* DataExtensionOf(const IndexedSecurity& entry);

// The fields of an entry's records when its description file is missing:
// those its field bitset names (EMASTER's, XMASTER's), else for 2 fields
// date and close and for 7 all (the only counts that leave no doubt); an
// XMASTER entry without a bitset has 7, as its readers assume. Empty when
// the fields cannot be known.
std::vector<int> FieldsWithoutDescription(const IndexedSecurity& entry);

// Reads the description and data files of a security entry; without a
// description file, the fields are FieldsWithoutDescription's. The records
// are read with the length the fields give.
[[nodiscard]] std::string ReadSecurityData(const std::filesystem::path& dir,
                                           const IndexedSecurity& entry, SecurityData& security,
                                           FileSystem& fs);

}  // namespace corvat
