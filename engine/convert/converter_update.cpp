#include "case_blind_path.h"
#include "converter.h"
#include "file_names.h"
#include "file_ops.h"
#include "index_listing.h"
#include "input_rows.h"
#include "security_update.h"

namespace corvat {

// Asked before the directory is locked, so no other writer waits on the
// user; what the answer was about is checked again under the lock.
bool CConverter::AskAboutUpdate() {
    if (!m_bAskUpdate) return true;
    DirectoryIndex index;
    ReadDirectoryIndex(m_fs, m_szPath, index);
    if (!index.error.empty()) return true;
    const auto entry = FindOwnSecurity(index, m_szSymbol);
    if (!entry) return true;
    if (m_messages.AskYesNo(m_szSymbol +
                            " is already in this directory.\nAdd the rows of this file to it?")) {
        m_bUpdate = true;
        m_agreedUpdate = entry->fileNumber;
    }
    return true;
}

int CConverter::RunUpdate(const IndexedSecurity& entry, const InputRows& input) {
    if (m_agreedUpdate >= 0 && m_agreedUpdate != entry.fileNumber) {
        Report(m_szPath + " changed while you were being asked; try again.");
        return 1;
    }
    // The backup holds the master as this run found it, as for a conversion.
    if (std::string error = ReadWholeFile(m_fs, m_szMasterPath, m_masterBefore); !error.empty()) {
        Report(error);
        return 1;
    }
    RecordMerge merge;
    if (UpdateSecurity(m_fs, m_szPath, entry, input.records, Layout().fieldOn, m_strInputPath,
                       m_messages, merge) != 0)
        return 1;
    m_update = merge;
    m_fileNumber = entry.fileNumber;
    m_rowsWritten = static_cast<int>(merge.added + merge.replaced);
    m_firstDate = merge.firstDate;
    m_lastDate = merge.lastDate;
    m_szSymbol = entry.symbol;  // as the directory holds it
    m_profile.WriteProfileString(kSettingSection, "Path", m_szPath);
    m_profile.WriteProfileString(kSettingSection, "Symbol", m_szSymbol);
    if (!merge.ChangesNothing()) WriteBackup();
    return 0;
}

}  // namespace corvat
