#include "case_blind_path.h"
#include "converter.h"
#include "file_names.h"
#include "file_ops.h"
#include "input_rows.h"
#include "master_listing.h"
#include "security_update.h"

namespace corvat {

// Asked before the directory is locked, so no other writer waits on the
// user; what the answer was about is checked again under the lock.
bool CConverter::AskAboutUpdate() {
    if (!m_bAskUpdate) return true;
    MasterListing listing;
    if (!ReadMasterListing(m_szPath, listing, m_fs).empty()) return true;
    const auto entry = FindOwnSecurity(listing, m_szSymbol);
    if (!entry) return true;
    if (m_messages.AskYesNo(m_szSymbol +
                            " is already in this directory.\nAdd the rows of this file to it?")) {
        m_bUpdate = true;
        m_agreedUpdate = entry->fileNumber;
    }
    return true;
}

int CConverter::RunUpdate(const MasterEntry& entry) {
    if (m_agreedUpdate >= 0 && m_agreedUpdate != entry.fileNumber) {
        Report(m_szPath + " changed while you were being asked; try again.");
        return 1;
    }
    InputLayout layout;
    for (std::size_t i = 0; i < kFieldSlots; ++i) {
        layout.fieldOn[i] = m_bFieldOn[i] != 0;
        layout.column[i] = m_nColumn[i];
    }
    layout.delimiter = m_szDelimiter.empty() ? ',' : m_szDelimiter[0];
    layout.dateFormat = m_nDateFormat;
    layout.skipRows = m_bSkipOn ? m_nSkipRows : 0;
    layout.numbers = m_numberStyle;
    const InputRows rows = ReadInputRows(m_fs, m_strInputPath, layout);
    if (!rows.failure.empty()) {
        Report(rows.failure);
        return 1;
    }
    if (rows.intraday) {
        Report(IntradayMessage(m_strInputPath));
        return 1;
    }
    if (rows.records.empty()) {
        Report(rows.badRowCount > 0 ? BadRowsMessage(rows) + "\nNo rows could be converted."
                                    : std::string("No rows could be converted."));
        return 1;
    }
    if (rows.badRowCount > 0 &&
        !m_messages.AskYesNo(BadRowsMessage(rows) + "\n" + LeaveOutQuestion(rows.records.size())))
        return 1;

    std::string masterBefore;
    const bool haveBackup = ReadWholeFile(m_fs, m_szMasterPath, masterBefore).empty();
    RecordMerge merge;
    if (UpdateSecurity(m_fs, m_szPath, entry, rows.records, layout.fieldOn, m_strInputPath,
                       m_messages, merge) != 0)
        return 1;
    m_update = merge;
    m_szSymbol = entry.symbol;  // as the directory holds it
    m_fileNumber = entry.fileNumber;
    m_rowsWritten = static_cast<int>(merge.added + merge.replaced);
    m_profile.WriteProfileString(kSettingSection, "Path", m_szPath);
    m_profile.WriteProfileString(kSettingSection, "Symbol", m_szSymbol);
    if (haveBackup && !merge.ChangesNothing()) WriteBackup(masterBefore);
    return 0;
}

void CConverter::WriteBackup(const std::string& masterBytes) {
    // The backup is a courtesy: its failure never stops the run, but a
    // half-written one is not left behind either.
    const std::filesystem::path backup = m_szMasterPath + kBackupSuffix;
    static_cast<void>(WriteNewFile(m_fs, backup, SyncDirectory::Yes, [&](File& file) {
        return WriteBytes(file, backup, masterBytes.data(), masterBytes.size());
    }));
}

}  // namespace corvat
