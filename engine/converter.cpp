#include "converter.h"

#include "case_blind_path.h"
#include "file_ops.h"
#include "master_search.h"

namespace corvat {

CConverter::CConverter(MessageSink& messages, Profile& profile, FileSystem& fileSystem)
    : m_messages(messages), m_profile(profile), m_fs(fileSystem) {}

CConverter::~CConverter() = default;

int CConverter::Run() {
    m_rowsLeftOut = 0;
    if (int result = CheckOutputPath()) return result;
    if (int result = CheckColumns()) return result;
    // The whole file is read and judged, and any question answered, while
    // the directory is still as the user left it.
    ConversionInput input;
    if (int result = ConvertRows(input)) return result;
    if (int result = CheckInput(input)) return Refused(result);

    // Everything below reads the index or changes the directory: this is
    // where the directory is taken for this run alone.
    RemoveStaleTemporaryFiles();
    if (int result = CheckDuplicateSymbol()) return Refused(result);
    if (int result = AddSecurity(input)) return Refused(result);

    // Committed: only now does the profile remember where it went.
    m_profile.WriteProfileString(kSettingSection, "Path", m_szPath);
    m_profile.WriteProfileString(kSettingSection, "Symbol", m_szSymbol);
    m_profile.WriteProfileString(kSettingSection, "Name", m_szName);
    WriteBackup();
    return 0;
}

void CConverter::RemoveStaleTemporaryFiles() {
    // Copies an interrupted rewrite left; none is named by an index, and
    // this run's own copy takes one of these names.
    for (const char* name : {"MASTER.~NU", "MASTER.NEW"}) {
        std::error_code ignored;
        m_fs.Remove(FindIgnoringCase(m_szPath, name), ignored);
    }
}

void CConverter::WriteBackup() {
    // The master as this run found it, so the backup undoes exactly this
    // run. A new master has nothing to keep. Replaced like the master, so a
    // kill never leaves half a backup; the master's temporary name is free
    // again after the commit.
    if (!m_bUseExisting) return;
    const std::filesystem::path backup = m_szMasterPath + ".BAK";
    const std::filesystem::path temp = m_szMasterPath + ".~NU";
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
    Report("Duplicate Symbol");
    return 1;
}

}  // namespace corvat
