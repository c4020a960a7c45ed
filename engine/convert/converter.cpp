#include "converter.h"

#include "case_blind_path.h"
#include "file_names.h"
#include "file_ops.h"
#include "index_listing.h"
#include "master_search.h"
#include "security_update.h"
#include "text_util.h"

namespace corvat {
namespace {

std::string TrimmedSymbol(const MasterRecord& record) {
    std::string symbol = SymbolField(record);
    TrimTrailingSpaces(symbol);
    return symbol;
}

}  // namespace

CConverter::CConverter(MessageSink& messages, Profile& profile, FileSystem& fileSystem)
    : m_messages(messages), m_profile(profile), m_fs(fileSystem) {}

CConverter::~CConverter() = default;

int CConverter::Run() {
    m_rowsLeftOut = 0;
    // The text file is proven readable, read whole and judged, and every
    // question answered, while the directory is still as the user left it
    // and before waiting for it: no question is asked under the lock.
    if (!ProveInputReadable()) return 1;
    if (!ResolveOutputPath()) return 1;
    if (int result = CheckColumns()) return result;
    InputRows input;
    if (int result = ConvertRows(input)) return result;
    if (int result = CheckInput(input)) return result;
    if (int result = AskAboutDirectory()) return result;
    if (!AskAboutUpdate()) return 1;

    // Held from before the index is read (the duplicate check, the choice
    // of master, the free number) until the last rename and sync.
    const DirectoryLockResult lock =
        AcquireDirectoryLock(m_fs, m_szPath, LockMode::Exclusive, *m_waiter, m_messages);
    if (!lock.mayProceed) return 1;
    if (lock.lock) RemoveStaleTemporaryFiles(m_fs, m_szPath);
    const int result = RunLocked(input);
    if (result != 0) m_rowsLeftOut = 0;
    return result;
}

int CConverter::RunLocked(const InputRows& input) {
    if (m_masterWhenAsked && MasterPresent() != *m_masterWhenAsked) {
        Report(m_szPath + " changed while you were being asked; try again.");
        return 1;
    }
    if (m_masterAuto) m_bUseExisting = MasterPresent() ? 1 : 0;
    if (int result = CheckOutputPath()) return result;
    if (m_bUseExisting && m_bUpdate) {
        DirectoryIndex index;
        ReadDirectoryIndex(m_fs, m_szPath, index);
        if (!index.error.empty()) {
            Report(index.error);
            return 1;
        }
        if (const auto entry = FindOwnSecurity(index, m_szSymbol)) return RunUpdate(*entry, input);
        if (m_agreedUpdate >= 0) {
            Report(m_szPath + " changed while you were being asked; try again.");
            return 1;
        }
    }
    if (int result = CheckDuplicateSymbol()) return result;
    if (int result = AddSecurity(input)) return result;

    // Committed: only now does the profile remember where it went.
    m_profile.WriteProfileString(kSettingSection, "Path", m_szPath);
    m_profile.WriteProfileString(kSettingSection, "Symbol", m_szSymbol);
    m_profile.WriteProfileString(kSettingSection, "Name", m_szName);
    WriteBackup();
    return 0;
}

bool CConverter::MasterPresent() {
    return LinkExists(m_fs, FindIgnoringCase(m_fs, m_szPath, kMasterName));
}

int CConverter::AskAboutDirectory() {
    if (!m_offerNewMaster || !m_bUseExisting || m_masterAuto || MasterPresent()) return 0;
    m_masterWhenAsked = false;
    if (m_messages.AskYesNo("This directory has no MASTER yet. Make a new one?")) {
        m_bUseExisting = 0;
    }
    return 0;
}

bool CConverter::ProveInputReadable() {
    std::error_code ec;
    auto file = m_fs.Open(m_strInputPath, OpenMode::Read, ec);
    if (!file) {
        Report(FileError("open", m_strInputPath, ec));
        return false;
    }
    file->Close(ec);
    return true;
}

void CConverter::WriteBackup() {
    // The master as this run found it, so the backup undoes exactly this
    // run. A new master has nothing to keep. Replaced like the master, so a
    // kill never leaves half a backup; the master's temporary name is free
    // again after the commit.
    if (!m_bUseExisting) return;
    const std::filesystem::path backup = m_szMasterPath + kBackupSuffix;
    const std::filesystem::path temp = m_szMasterPath + kReplacementSuffix;
    const std::string error = ReplaceFile(m_fs, backup, temp, [&](File& file) {
        return WriteBytes(file, temp, m_masterBefore.data(), m_masterBefore.size());
    });
    if (!error.empty()) ReportAfterCommit(error);
}

void CConverter::ReportAfterCommit(const std::string& error) {
    Report(error + "\nThe conversion itself is complete; only this step failed.");
}

int CConverter::CheckColumns() {
    m_nFields = 0;
    for (int on : m_bFieldOn) {
        if (on) ++m_nFields;
    }
    if (m_nFields <= 1) {
        Report("You need to select more columns");
        return 1;
    }
    return 0;
}

int CConverter::CheckDuplicateSymbol() {
    if (!m_bUseExisting) return 0;
    MasterRecord record{};
    std::string foundDir;
    if (FindSecurity(m_szPath, m_szSymbol, record, foundDir, m_fs) != kSecurityFound) return 0;
    // Only DIR's own securities are updated: a sub-directory's is named, so
    // the user can point the update there.
    if (m_bUpdate && EqualsIgnoringCase(TrimmedSymbol(record), m_szSymbol)) {
        Report(m_szSymbol + " is in " + foundDir + ", not in " + m_szPath +
               " itself:\nonly a directory's own securities are updated.");
        return 1;
    }
    Report("Duplicate Symbol");
    return 1;
}

}  // namespace corvat
