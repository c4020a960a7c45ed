#include <array>
#include <cstring>

#include "case_blind_path.h"
#include "converter.h"
#include "date_codec.h"
#include "file_ops.h"
#include "master_record.h"

namespace corvat {
namespace {

constexpr const char* kFullPortfolio =
    "This portfolio already has the\nmaximum number of symbols (255).\n"
    "Choose a different or new portfolio.";

std::filesystem::path WithSuffix(const std::filesystem::path& path, const char* suffix) {
    return path.string() + suffix;
}

// The master as whole records: the header first, a trailing fragment
// dropped; `bytes` keeps the file as it was. Empty text on success, else
// the message.
std::string ReadMasterRecords(FileSystem& fs, const std::filesystem::path& path,
                              std::vector<MasterRecord>& records, std::string& bytes) {
    std::string error = ReadWholeFile(fs, path, bytes);
    if (!error.empty()) return error;
    if (bytes.size() < kMasterRecordSize) {
        return path.string() + " is not a master file:\nit is shorter than its 53-byte header.";
    }
    records.resize(bytes.size() / kMasterRecordSize);
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::memcpy(records[i].data(), bytes.data() + i * kMasterRecordSize, kMasterRecordSize);
    }
    return {};
}

std::string WriteRecords(File& file, const std::filesystem::path& path,
                         const std::vector<MasterRecord>& records) {
    std::string bytes;
    bytes.reserve(records.size() * kMasterRecordSize);
    for (const auto& record : records) bytes.append(record.begin(), record.end());
    return WriteBytes(file, path, bytes.data(), bytes.size());
}

}  // namespace

int CConverter::CheckOutputPath() {
    std::error_code ec;
    const auto dir =
        m_szPath.empty() ? std::filesystem::path() : std::filesystem::canonical(m_szPath, ec);
    if (m_szPath.empty() || ec || !std::filesystem::is_directory(dir, ec)) {
        Report("Path does not exist");
        return 1;
    }
    m_szPath = dir.string();
    const auto masterPath = FindIgnoringCase(dir, "MASTER");
    m_szMasterPath = masterPath.string();

    if (m_bUseExisting) {
        auto file = m_fs.Open(masterPath, OpenMode::Read, ec);
        if (!file) {
            Report(ec == std::errc::no_such_file_or_directory
                       ? std::string("Path specified does not point to a Master file")
                       : FileError("open", masterPath, ec));
            return 1;
        }
        file->Close(ec);
        return 0;
    }
    if (std::filesystem::exists(std::filesystem::symlink_status(masterPath, ec))) {
        Report("New Master chosen but one already exists");
        return 1;
    }
    // The new master is made by the run's commit, entry and all.
    return 0;
}

// Registers the security: picks its file number, writes its data files,
// then commits by replacing the master with one that holds the entry,
// first and last dates included. A failure before the commit removes the
// data files again and leaves the directory as it was.
int CConverter::AddSecurity(const ConversionInput& input) {
    std::vector<MasterRecord> records;
    m_masterBefore.clear();
    if (m_bUseExisting) {
        std::string error = ReadMasterRecords(m_fs, m_szMasterPath, records, m_masterBefore);
        if (!error.empty()) {
            Report(error);
            return 1;
        }
    } else {
        records.push_back(MasterRecord{});
    }
    MasterRecord& header = records.front();
    const std::int16_t count = ReadInt16(header, master::kEntryCount);
    const std::int16_t second = ReadInt16(header, master::kSecondCounter);
    if (count == kMaxSecurities || second == kMaxSecurities) {
        Report(kFullPortfolio);
        return 1;
    }

    // Every entry's first byte is taken, directory entries' included, and
    // 0 is never given out.
    std::array<bool, 256> used{};
    used[0] = true;
    for (std::size_t i = 1; i < records.size(); ++i) used[records[i][master::kFileNumber]] = true;
    std::size_t fileNumber = 1;
    while (fileNumber < used.size() && used[fileNumber]) ++fileNumber;
    if (fileNumber == used.size()) {
        Report(kFullPortfolio);
        return 1;
    }

    WriteInt16(header, master::kEntryCount, static_cast<std::int16_t>(count + 1));
    WriteInt16(header, master::kSecondCounter, static_cast<std::int16_t>(second + 1));
    const auto number = static_cast<std::uint8_t>(fileNumber);
    MasterRecord entry = MakeSecurityEntry(number, m_nFields, m_szName, m_szSymbol,
                                           input.records.front().values[kDateField]);
    WriteMbf(entry, master::kLastDate, input.records.back().values[kDateField]);
    records.push_back(entry);

    if (CreateDataFiles(number, input.records) != 0 || CommitMaster(records) != 0) {
        RemoveDataFiles(number);
        return 1;
    }
    m_fileNumber = number;
    m_rowsWritten = static_cast<int>(input.records.size());
    return 0;
}

// The run's commit: the rename that puts the master holding the new entry
// in place. 0 once that rename is done, even when the directory sync
// after it fails (which is only reported).
int CConverter::CommitMaster(std::vector<MasterRecord>& records) {
    const std::filesystem::path masterPath = m_szMasterPath;
    const auto tempPath = WithSuffix(masterPath, ".~NU");
    bool replaced = false;
    const std::string error = ReplaceFile(
        m_fs, masterPath, tempPath,
        [&](File& file) { return WriteRecords(file, tempPath, records); }, &replaced);
    if (error.empty()) return 0;
    if (replaced) {
        ReportAfterCommit(error + "\n(after " + masterPath.string() + " was replaced)");
        return 0;
    }
    Report(error);
    return 1;
}

}  // namespace corvat
