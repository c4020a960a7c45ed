#include "index_listing.h"

#include <algorithm>
#include <cstring>

#include "bounded_read.h"
#include "case_blind_path.h"
#include "file_ops.h"

namespace corvat {
namespace {

template <typename Record>
std::string ReadIndexFile(FileSystem& fs, const std::filesystem::path& path, std::size_t limit,
                          IndexFileListing<Record>& listing) {
    listing = IndexFileListing<Record>{};
    listing.path = path;
    std::error_code ec;
    const auto status = fs.Status(path, ec);
    if (ec) return FileError("examine", path, ec);
    listing.present = std::filesystem::exists(status);
    if (!listing.present) return {};
    std::string bytes;
    if (std::string error = ReadBounded(fs, path, limit, bytes, listing.fileSize); !error.empty()) {
        return error;
    }
    constexpr std::size_t size = std::tuple_size_v<Record>;
    listing.hasHeader = bytes.size() >= size;
    if (!listing.hasHeader) {
        return path.string() + " is shorter than its " + std::to_string(size) + "-byte header (" +
               std::to_string(listing.fileSize) + " bytes).";
    }
    std::memcpy(listing.header.data(), bytes.data(), size);
    const std::size_t whole = bytes.size() / size;
    listing.records.resize(whole - 1);
    for (std::size_t k = 1; k < whole; ++k)
        std::memcpy(listing.records[k - 1].data(), bytes.data() + k * size, size);
    return {};
}

std::vector<int> MasterNumbers(const MasterListing& listing) {
    std::vector<int> numbers;
    for (const MasterEntry& entry : listing.Entries()) numbers.push_back(entry.fileNumber);
    return numbers;
}

}  // namespace

std::string ReadEmasterFile(FileSystem& fs, const std::filesystem::path& path,
                            EmasterListing& listing) {
    std::string error = ReadIndexFile(fs, path, kEmasterReadLimit, listing);
    if (listing.hasHeader) listing.recordCount = DecodeEmasterHeader(listing.header).recordCount;
    return error;
}

std::string ReadXmasterFile(FileSystem& fs, const std::filesystem::path& path,
                            XmasterListing& listing) {
    std::string error = ReadIndexFile(fs, path, kXmasterReadLimit, listing);
    if (listing.hasHeader) listing.recordCount = DecodeXmasterHeader(listing.header).recordCount;
    return error;
}

std::vector<IndexedSecurity> EmasterEntries(const EmasterListing& listing) {
    std::vector<IndexedSecurity> entries;
    int number = 0;
    for (const EmasterRecord& record : listing.Counted())
        entries.push_back(DecodeEmasterRecord(record, ++number));
    return entries;
}

std::vector<IndexedSecurity> XmasterEntries(const XmasterListing& listing) {
    std::vector<IndexedSecurity> entries;
    int number = 0;
    for (const XmasterRecord& record : listing.Counted())
        entries.push_back(DecodeXmasterRecord(record, ++number));
    return entries;
}

EmasterState DirectoryIndex::EmasterStanding() const {
    const std::vector<int> emasterNumbers = FileNumbersOf(EmasterEntries(emaster));
    return EmasterStateOf(emaster.present && emaster.hasHeader, MasterNumbers(listing),
                          emasterNumbers);
}

std::vector<IndexedSecurity> DirectoryIndex::Securities() const {
    std::vector<IndexedSecurity> securities;
    const EmasterState state = EmasterStanding();
    const std::vector<IndexedSecurity> mirror = EmasterEntries(emaster);
    const bool useMirror = state == EmasterState::InStep || state == EmasterState::Behind;
    std::size_t position = 0;
    for (const MasterEntry& entry : listing.Entries()) {
        const std::size_t at = position++;
        if (entry.isDirectory) continue;
        IndexedSecurity security = SecurityFromMaster(entry.raw, entry.recordNumber);
        if (useMirror && at < mirror.size()) {
            security.longName = mirror[at].longName;
            security.fieldBitset = mirror[at].fieldBitset;
            security.hasBitset = true;
        }
        securities.push_back(std::move(security));
    }
    for (IndexedSecurity& security : XmasterEntries(xmaster))
        securities.push_back(std::move(security));
    // Readers that list from EMASTER alone see these; nothing else does.
    if (state == EmasterState::OutOfStep) {
        const std::vector<int> inMaster = MasterNumbers(listing);
        for (const IndexedSecurity& security : mirror) {
            if (std::find(inMaster.begin(), inMaster.end(), security.fileNumber) == inMaster.end())
                securities.push_back(security);
        }
    }
    return securities;
}

std::vector<IndexedSecurity> DirectoryIndex::AllRecords() const {
    std::vector<IndexedSecurity> records;
    for (const MasterEntry& entry : listing.Entries()) {
        if (!entry.isDirectory)
            records.push_back(SecurityFromMaster(entry.raw, entry.recordNumber));
    }
    for (IndexedSecurity& e : EmasterEntries(emaster)) records.push_back(std::move(e));
    for (IndexedSecurity& e : XmasterEntries(xmaster)) records.push_back(std::move(e));
    return records;
}

void ReadDirectoryIndex(FileSystem& fs, const std::filesystem::path& dir, DirectoryIndex& index) {
    index = DirectoryIndex{};
    index.directory = dir;
    index.error = ReadMasterListing(dir, index.listing, fs);
    if (!index.error.empty()) return;
    index.emasterError =
        ReadEmasterFile(fs, FindIgnoringCase(fs, dir, kEmasterName), index.emaster);
    index.xmasterError =
        ReadXmasterFile(fs, FindIgnoringCase(fs, dir, kXmasterName), index.xmaster);
}

}  // namespace corvat
