#include <array>

#include "case_blind_path.h"
#include "converter.h"
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
        Report(m_szPath.empty() ? std::string("Path does not exist")
                                : "Path does not exist\n" + m_szPath);
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
    // The new master is made by the run's commit, entry and all.
    return 0;
}

// Registers the security: picks its file number, writes its data files,
// then commits by replacing the master with one that holds the entry,
// first and last dates included. A failure before the commit removes the
// data files again and leaves the directory as it was.
int CConverter::AddSecurity(const InputRows& input) {
    std::vector<MasterRecord> records;
    m_masterBefore.clear();
    if (m_bUseExisting) {
        std::string error = ReadWholeFile(m_fs, m_szMasterPath, m_masterBefore);
        if (error.empty()) error = ReadMasterRecords(m_fs, m_szMasterPath, records);
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
    const MbfBytes firstDate = input.records.front().fields[kDateField];
    const MbfBytes lastDate = input.records.back().fields[kDateField];
    MasterRecord entry = MakeSecurityEntry(number, m_nFields, m_szName, m_szSymbol, firstDate);
    WriteMbf(entry, master::kLastDate, lastDate);
    records.push_back(entry);

    if (CreateDataFiles(number, input.records) != 0 || CommitMaster(records) != 0) {
        RemoveDataFiles(number);
        return 1;
    }
    m_fileNumber = number;
    m_rowsWritten = static_cast<int>(input.records.size());
    m_firstDate = firstDate;
    m_lastDate = lastDate;
    return 0;
}

// The run's commit: the rename that puts the master holding the new entry
// in place. 0 once that rename is done, even when the directory sync
// after it fails (which is only reported).
int CConverter::CommitMaster(const std::vector<MasterRecord>& records) {
    bool replaced = false;
    const char* suffix = m_bUseExisting ? kReplacementSuffix : kNewMasterSuffix;
    const std::string error =
        ReplaceMasterRecords(m_fs, m_szMasterPath, suffix, records, &replaced);
    if (error.empty()) return 0;
    if (replaced) {
        ReportAfterCommit(error + "\n(after " + m_szMasterPath + " was replaced)");
        return 0;
    }
    Report(error);
    return 1;
}

}  // namespace corvat
