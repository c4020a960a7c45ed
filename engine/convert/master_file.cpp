#include <array>

#include "case_blind_path.h"
#include "converter.h"
#include "data_file_layout.h"
#include "date_codec.h"
#include "file_names.h"
#include "file_ops.h"
#include "master_record.h"
#include "master_rewrite.h"

namespace corvat {
namespace {

constexpr const char* kFullPortfolio =
    "This portfolio already has the\nmaximum number of symbols (255).\n"
    "Choose a different or new portfolio.";

}  // namespace

bool CConverter::ResolveOutputPath() {
    std::error_code ec;
    const auto dir = m_szPath.empty() ? std::filesystem::path() : m_fs.Canonical(m_szPath, ec);
    if (m_szPath.empty() || ec || !std::filesystem::is_directory(m_fs.Status(dir, ec))) {
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
    const auto masterPath = FindIgnoringCase(m_fs, dir, kMasterName);
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
    // When the system cannot say whether a master is there, one may be:
    // making a new one would replace it.
    const auto status = m_fs.SymlinkStatus(masterPath, ec);
    if (ec) {
        Report(FileError("examine", masterPath, ec));
        return 1;
    }
    if (std::filesystem::exists(status)) {
        Report("New Master chosen but one already exists");
        return 1;
    }
    // Made through a temporary copy, so a master that exists is never a
    // half-written one.
    const std::string error =
        ReplaceMasterRecords(m_fs, masterPath, kNewMasterSuffix, {MasterRecord{}});
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
    records.push_back(MakeSecurityEntry(static_cast<std::uint8_t>(fileNumber), m_nFields, m_szName,
                                        m_szSymbol, today));

    error = ReplaceMasterRecords(m_fs, m_szMasterPath, kNewMasterSuffix, records);
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
        error = ReplaceMasterRecords(m_fs, m_szMasterPath, kReplacementSuffix, records);
    }
    if (error.empty()) return 0;
    Report(error);
    return 1;
}

}  // namespace corvat
