#include "master_rewrite.h"

#include "file_ops.h"
#include "master_listing.h"

namespace corvat {

std::string ReadMasterRecords(FileSystem& fs, const std::filesystem::path& path,
                              std::vector<MasterRecord>& records) {
    MasterListing listing;
    if (std::string error = ReadMasterFile(fs, path, listing); !error.empty()) return error;
    if (!listing.hasHeader) {
        return path.string() + " is not a master file:\nit is shorter than its 53-byte header.";
    }
    if (listing.fileSize > kMasterReadLimit) {
        return path.string() + " is not a master file:\nit is longer than its header can count.";
    }
    records.clear();
    records.reserve(listing.records.size() + 1);
    records.push_back(listing.header);
    for (const MasterEntry& entry : listing.records) records.push_back(entry.raw);
    return {};
}

std::string ReplaceMasterRecords(FileSystem& fs, const std::filesystem::path& path,
                                 const char* tempSuffix, const std::vector<MasterRecord>& records,
                                 bool* replaced) {
    const std::filesystem::path tempPath = path.string() + tempSuffix;
    return ReplaceFile(
        fs, path, tempPath,
        [&](File& file) {
            std::string bytes;
            bytes.reserve(records.size() * kMasterRecordSize);
            for (const auto& record : records) bytes.append(record.begin(), record.end());
            return WriteBytes(file, tempPath, bytes.data(), bytes.size());
        },
        replaced);
}

}  // namespace corvat
