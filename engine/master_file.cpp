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
// dropped. Empty text on success, else the message.
std::string ReadMasterRecords(FileSystem& fs, const std::filesystem::path& path,
                              std::vector<MasterRecord>& records) {
    std::string bytes;
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

bool CConverter::ResolveOutputPath() {
    std::error_code ec;
    const auto dir = m_szPath.empty() ? std::filesystem::path()
                                      : std::filesystem::canonical(m_szPath, ec);
    if (m_szPath.empty() || ec || !std::filesystem::is_directory(dir, ec)) {
        Report("Path does not exist");
        return false;
    }
    m_szPath = dir.string();
    return true;
}

int CConverter::CheckOutputPath() {
    if (!ResolveOutputPath()) return 1;
    const std::filesystem::path dir = m_szPath;
    std::error_code ec;
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
    // Made through a temporary copy, so a master that exists is never a
    // half-written one.
    const std::string error =
        ReplaceFile(m_fs, masterPath, WithSuffix(masterPath, ".~NU"), [&](File& file) {
            const MasterRecord header{};
            return WriteBytes(file, WithSuffix(masterPath, ".~NU"), header.data(), header.size());
        });
    if (error.empty()) return 0;
    Report(error);
    return 1;
}

int CConverter::AddSecurity() {
    std::vector<MasterRecord> records;
    std::string error = ReadMasterRecords(m_fs, m_szMasterPath, records);
    if (!error.empty()) {
        Report(error);
        return 1;
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
    const auto today = DayNumberToDateValue(ParseDate(m_today(), 3));
    records.push_back(MakeSecurityEntry(static_cast<std::uint8_t>(fileNumber), m_nFields,
                                        m_szName, m_szSymbol, today));

    const std::filesystem::path masterPath = m_szMasterPath;
    const auto tempPath = WithSuffix(masterPath, ".~NU");
    error = ReplaceFile(m_fs, masterPath, tempPath,
                        [&](File& file) { return WriteRecords(file, tempPath, records); });
    if (!error.empty()) {
        Report(error);
        return 1;
    }
    m_fileNumber = static_cast<int>(fileNumber);
    return CreateDataFiles(static_cast<std::uint8_t>(fileNumber));
}

int CConverter::UpdateMasterDates(const MbfBytes& firstDate, const MbfBytes& lastDate,
                                  std::uint8_t fileNumber) {
    std::vector<MasterRecord> records;
    std::string error = ReadMasterRecords(m_fs, m_szMasterPath, records);
    if (error.empty()) {
        for (std::size_t i = 1; i < records.size(); ++i) {
            if (records[i][master::kFileNumber] != fileNumber) continue;
            WriteMbf(records[i], master::kFirstDate, firstDate);
            WriteMbf(records[i], master::kLastDate, lastDate);
        }
        const std::filesystem::path masterPath = m_szMasterPath;
        const auto tempPath = WithSuffix(masterPath, ".NEW");
        error = ReplaceFile(m_fs, masterPath, tempPath,
                            [&](File& file) { return WriteRecords(file, tempPath, records); });
    }
    if (error.empty()) return 0;
    Report(error);
    return 1;
}

}  // namespace corvat
