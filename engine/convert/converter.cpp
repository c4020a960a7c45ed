#include "converter.h"

#include <ctime>

#include "case_blind_path.h"
#include "data_file_layout.h"
#include "file_names.h"
#include "file_ops.h"
#include "master_search.h"

namespace corvat {
namespace {

std::string SystemDateText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%m/%d/%y", &local);
    return text;
}

}  // namespace

CConverter::CConverter(MessageSink& messages, Profile& profile, FileSystem& fileSystem)
    : m_messages(messages), m_profile(profile), m_fs(fileSystem), m_today(SystemDateText) {}

CConverter::~CConverter() {
    if (m_dataStream) {
        std::error_code ignored;
        m_dataStream->file->Close(ignored);
    }
}

int CConverter::Run() {
    // Prove the text file readable before anything on disk changes, and do
    // the checks that need no look inside the directory before waiting for it.
    if (!ProveInputReadable()) return 1;
    if (!ResolveOutputPath()) return 1;
    if (int result = CheckColumns()) return result;
    // Held from before the index is read (the duplicate check, the choice
    // of master, the free number) until the last rename and sync.
    const DirectoryLockResult lock =
        AcquireDirectoryLock(m_fs, m_szPath, LockMode::Exclusive, *m_waiter, m_messages);
    if (!lock.mayProceed) return 1;
    if (lock.lock) RemoveStaleTemporaryFiles(m_fs, m_szPath);
    return RunLocked();
}

int CConverter::RunLocked() {
    if (m_masterAuto) {
        m_bUseExisting = PathExists(m_fs, FindIgnoringCase(m_fs, m_szPath, kMasterName)) ? 1 : 0;
    }
    if (int result = CheckOutputPath()) return result;
    if (int result = CheckDuplicateSymbol()) return result;
    if (int result = AddSecurity()) return result;

    m_profile.WriteProfileString(kSettingSection, "Path", m_szPath);
    m_profile.WriteProfileString(kSettingSection, "Symbol", m_szSymbol);
    m_profile.WriteProfileString(kSettingSection, "Name", m_szName);

    if (m_bUseExisting) {
        // The backup is a courtesy: its failure never stops the conversion,
        // but a half-written one is not left behind either.
        std::string bytes;
        const std::filesystem::path backup = m_szMasterPath + kBackupSuffix;
        if (ReadWholeFile(m_fs, m_szMasterPath, bytes).empty()) {
            static_cast<void>(WriteNewFile(m_fs, backup, SyncDirectory::Yes, [&](File& file) {
                return WriteBytes(file, backup, bytes.data(), bytes.size());
            }));
        }
    }
    return ConvertRows();
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
    Report("Duplicate Symbol");
    return 1;
}

}  // namespace corvat
