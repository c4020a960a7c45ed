#include "security_data.h"

#include <algorithm>
#include <array>

#include "bounded_read.h"
#include "case_blind_path.h"
#include "data_file_layout.h"
#include "field_bitset.h"
#include "field_table.h"
#include "file_names.h"
#include "file_ops.h"
#include "text_util.h"

namespace corvat {
namespace {

// A description file has one short line per field; anything longer is not one.
constexpr std::size_t kDescriptionReadLimit = 4096;
// The header's count is 16 bits and a record at most 255 bytes long.
constexpr std::size_t kMaxRecordLength = 255;
constexpr std::size_t kDataReadLimit = 65536 * kMaxRecordLength;

std::string Describe(const std::filesystem::path& path, const std::string& problem) {
    return path.string() + ": " + problem;
}

}  // namespace

std::string ReadFieldDescription(const std::filesystem::path& path, FieldDescription& description,
                                 FileSystem& fs) {
    description = FieldDescription{path, {}};
    std::string text;
    std::uintmax_t size = 0;
    if (std::string error = ReadBounded(fs, path, kDescriptionReadLimit, text, size);
        !error.empty()) {
        return error;
    }
    if (size > kDescriptionReadLimit) return Describe(path, "too long for a description file.");
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        const std::string where = "line " + std::to_string(lineNumber);
        if (line.front() != '"')
            return Describe(path, where + " does not begin with a quoted name.");
        const std::size_t close = line.find('"', 1);
        if (close == std::string::npos) return Describe(path, where + " has no closing quote.");
        const std::string name = line.substr(1, close - 1);
        const auto* found =
            std::find_if(kFieldTable.begin(), kFieldTable.end(), [&](const FieldFacts& known) {
                return EqualsIgnoringCase(name, known.descriptionName);
            });
        if (found == kFieldTable.end()) {
            return Describe(path, where + " names an unknown field \"" + name + "\".");
        }
        const int field = static_cast<int>(found - kFieldTable.begin());
        if (std::find(description.fields.begin(), description.fields.end(), field) !=
            description.fields.end()) {
            return Describe(path, where + " repeats the field " + name + ".");
        }
        description.fields.push_back(field);
    }
    if (description.fields.empty()) return Describe(path, "names no field.");
    return {};
}

std::size_t DataFile::RecordsPresent() const {
    if (recordLength == 0 || bytes.size() < recordLength) return 0;
    return bytes.size() / recordLength - 1;
}

std::size_t DataFile::RecordsCounted() const {
    return hasHeader ? CountedDataRecords(headerCount) : 0;
}

MbfBytes DataFile::Field(std::size_t record, std::size_t slot) const {
    const std::size_t offset = (record + 1) * recordLength + slot * 4;
    MbfBytes value{};
    for (std::size_t i = 0; i < value.size(); ++i)
        value[i] = static_cast<std::uint8_t>(bytes[offset + i]);
    return value;
}

std::string ReadDataFile(const std::filesystem::path& path, std::size_t recordLength,
                         DataFile& data, FileSystem& fs) {
    data = DataFile{};
    data.path = path;
    if (recordLength < 4 || recordLength % 4 != 0 || recordLength > kMaxRecordLength) {
        return Describe(path, "cannot be read with a record length of " +
                                  std::to_string(recordLength) + " bytes.");
    }
    data.recordLength = recordLength;
    if (std::string error = ReadBounded(fs, path, kDataReadLimit, data.bytes, data.fileSize);
        !error.empty()) {
        return error;
    }
    // Only whole records count; a trailing fragment is never read as one.
    data.bytes.resize(data.bytes.size() / recordLength * recordLength);
    data.hasHeader = data.bytes.size() >= recordLength;
    if (data.hasHeader) {
        data.headerCount =
            DecodeRecordCount(static_cast<std::uint8_t>(data.bytes[kRecordCountOffset]),
                              static_cast<std::uint8_t>(data.bytes[kRecordCountOffset + 1]));
    }
    return {};
}

std::string DataFileLengthFinding(const DataFile& data) {
    const std::size_t length = data.recordLength;
    if (!data.hasHeader) {
        return "length " + std::to_string(data.fileSize) + " is shorter than its " +
               std::to_string(length) + "-byte header.";
    }
    const std::uintmax_t expected = std::uintmax_t{data.headerCount} * length;
    if (data.fileSize == expected) return {};
    return "length " + std::to_string(data.fileSize) +
           " disagrees with its header: " + std::to_string(data.headerCount) +
           (data.headerCount == 1 ? " record" : " records") + " of " + std::to_string(length) +
           " bytes make " + std::to_string(expected) + ".";
}

std::string ReadCountedRecords(const std::filesystem::path& path, std::size_t& records,
                               FileSystem& fs) {
    records = 0;
    std::string header;
    constexpr std::size_t kWordEnd = kRecordCountOffset + kRecordCountSize;
    if (std::string error = ReadPrefix(fs, path, kWordEnd, header); !error.empty()) return error;
    if (header.size() < kWordEnd) return Describe(path, "has no header.");
    records = CountedDataRecords(
        DecodeRecordCount(static_cast<std::uint8_t>(header[kRecordCountOffset]),
                          static_cast<std::uint8_t>(header[kRecordCountOffset + 1])));
    return {};
}

std::filesystem::path SecurityFilePath(FileSystem& fs, const std::filesystem::path& dir,
                                       int fileNumber, const char* extension) {
    return FindIgnoringCase(fs, dir, SecurityFileName(fileNumber, extension));
}

const char* DataExtensionOf(const IndexedSecurity& entry) {
    return entry.index == IndexFile::Xmaster ? kWideDataExtension : kDataExtension;
}

std::vector<int> FieldsWithoutDescription(const IndexedSecurity& entry) {
    std::vector<int> fields;
    const bool bitsetUsable = entry.hasBitset && entry.fieldBitset != 0 &&
                              (entry.fieldBitset & kTimeFieldBit) == 0 &&
                              BitsetFieldCount(entry.fieldBitset) == entry.fieldCount;
    if (bitsetUsable) {
        const FieldList named = FieldsOfBitset(entry.fieldBitset);
        for (int field = 0; field < kFieldSlots; ++field) {
            if (named[static_cast<std::size_t>(field)]) fields.push_back(field);
        }
    } else if (entry.fieldCount == 2) {
        fields = {kDateField, kCloseField};
    } else if (entry.fieldCount == kFieldSlots ||
               (entry.index == IndexFile::Xmaster && entry.fieldBitset == 0)) {
        fields = {kDateField,  kOpenField,   kHighField,        kLowField,
                  kCloseField, kVolumeField, kOpenInterestField};
    }
    return fields;
}

std::string ReadSecurityData(const std::filesystem::path& dir, const IndexedSecurity& entry,
                             SecurityData& security, FileSystem& fs) {
    security = SecurityData{};
    const auto dop = SecurityFilePath(fs, dir, entry.fileNumber, kDescriptionExtension);
    if (PathExists(fs, dop)) {
        if (std::string error = ReadFieldDescription(dop, security.description, fs);
            !error.empty()) {
            return error;
        }
    } else {
        security.description.fields = FieldsWithoutDescription(entry);
        if (security.description.fields.empty()) {
            return Describe(dop, "missing, and the entry's " + std::to_string(entry.fieldCount) +
                                     " fields could be any of the seven.");
        }
    }
    return ReadDataFile(SecurityFilePath(fs, dir, entry.fileNumber, DataExtensionOf(entry)),
                        4 * security.description.fields.size(), security.data, fs);
}

}  // namespace corvat
