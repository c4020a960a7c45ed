#include "case_blind_path.h"
#include "converter.h"
#include "date_codec.h"
#include "field_bitset.h"
#include "file_names.h"
#include "file_ops.h"
#include "index_update.h"
#include "master_record.h"

namespace corvat {
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

// Registers the security: the index update picks its file number (in
// MASTER, or in XMASTER once MASTER is full), the data files are written,
// then the commit replaces the index that gains the entry, first and last
// dates included, and EMASTER follows MASTER. A failure before the commit
// removes the data files again and leaves the directory as it was.
int CConverter::AddSecurity(const InputRows& input) {
    m_masterBefore.clear();
    IndexUpdate update(m_fs, m_szPath);
    std::string error;
    if (m_bUseExisting) error = ReadWholeFile(m_fs, m_szMasterPath, m_masterBefore);
    if (error.empty()) error = update.Read(!m_bUseExisting);
    const MbfBytes firstDate = input.records.front().fields[kDateField];
    const MbfBytes lastDate = input.records.back().fields[kDateField];
    if (error.empty()) {
        error = update.Add(
            {m_szSymbol, m_szName, m_nFields, FieldBitset(m_bFieldOn), firstDate, lastDate});
    }
    if (!error.empty()) {
        Report(error);
        return 1;
    }
    const int number = update.FileNumber();
    const bool wide = update.InXmaster();
    if (CreateDataFiles(number, input.records, wide) != 0 || CommitMaster(update) != 0) {
        RemoveDataFiles(number, wide);
        return 1;
    }
    m_fileNumber = number;
    m_rowsWritten = static_cast<int>(input.records.size());
    m_firstDate = firstDate;
    m_lastDate = lastDate;
    for (const std::string& note : update.KeepEmasterInStep()) Report(note);
    return 0;
}

// The run's commit: the rename that puts the index holding the new entry
// (MASTER, or XMASTER beyond 255) in place. 0 once that rename is done,
// even when the directory sync after it fails (which is only reported).
int CConverter::CommitMaster(IndexUpdate& update) {
    bool replaced = false;
    const std::string error = update.Commit(replaced);
    if (error.empty()) return 0;
    if (replaced) {
        ReportAfterCommit(error + "\n(after " + update.CommittedPath().string() + " was replaced)");
        return 0;
    }
    Report(error);
    return 1;
}

}  // namespace corvat
