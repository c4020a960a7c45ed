#include "converter.h"

#include "case_blind_path.h"
#include "file_names.h"
#include "file_ops.h"
#include "index_listing.h"
#include "master_search.h"
#include "security_update.h"
#include "text_util.h"

namespace corvat {
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

    const long leftOut = m_rowsLeftOut;
    if (BeginBatch() != 0) {
        m_rowsLeftOut = 0;
        return 1;
    }
    const FileOutcome& outcome = AddRows(input);
    if (CommitBatch() != 0) {
        m_rowsLeftOut = 0;
        return 1;
    }
    m_rowsLeftOut = leftOut;
    m_fileNumber = outcome.fileNumber;
    m_rowsWritten = outcome.rowsWritten;
    m_firstDate = outcome.firstDate;
    m_lastDate = outcome.lastDate;
    m_update = outcome.update;
    // Committed: only now does the profile remember where it went.
    m_profile.WriteProfileString(kSettingSection, "Path", m_szPath);
    if (m_update) {
        m_szSymbol = outcome.symbol;  // as the directory holds it
        m_profile.WriteProfileString(kSettingSection, "Symbol", m_szSymbol);
    } else {
        m_profile.WriteProfileString(kSettingSection, "Symbol", m_szSymbol);
        m_profile.WriteProfileString(kSettingSection, "Name", m_szName);
    }
    return 0;
}

int CConverter::BeginBatch() {
    m_outcomes.clear();
    m_batchBroken = false;
    if (!ResolveOutputPath()) return 1;
    // Held from before the index is read (the duplicate check, the choice
    // of master, the free numbers) until the last rename and sync.
    DirectoryLockResult lock =
        AcquireDirectoryLock(m_fs, m_szPath, LockMode::Exclusive, *m_waiter, m_messages);
    if (!lock.mayProceed) return 1;
    if (lock.lock) RemoveStaleTemporaryFiles(m_fs, m_szPath);
    m_lock = std::move(lock.lock);
    if (BeginLocked() == 0) return 0;
    EndBatch();
    return 1;
}

int CConverter::BeginLocked() {
    if (m_masterWhenAsked && MasterPresent() != *m_masterWhenAsked) {
        Report(m_szPath + " changed while you were being asked; try again.");
        return 1;
    }
    if (m_masterAuto) m_bUseExisting = MasterPresent() ? 1 : 0;
    if (int result = CheckOutputPath()) return result;
    m_batch = std::make_unique<BatchWriter>(m_fs, m_messages, m_szPath, m_szMasterPath,
                                            !m_bUseExisting, m_bUpdate);
    return m_batch->Begin() ? 0 : 1;
}

const FileOutcome& CConverter::AddToBatch(InputRows* rows) {
    m_rowsLeftOut = 0;
    InputRows input;
    if (rows) input = std::move(*rows);
    const bool read = rows ? CheckColumns() == 0
                           : ProveInputReadable() && CheckColumns() == 0 && ConvertRows(input) == 0;
    if (m_batchBroken || !read || CheckInput(input) != 0) {
        m_outcomes.emplace_back();
        return m_outcomes.back();
    }
    FileOutcome& outcome = AddRows(input);
    outcome.rowsLeftOut = m_rowsLeftOut;
    return outcome;
}

FileOutcome& CConverter::AddRows(const InputRows& input) {
    FileOutcome& outcome = m_outcomes.emplace_back();
    if (m_batchBroken) return outcome;
    BatchFile file{m_strInputPath, m_szSymbol, m_szName, Layout().fieldOn, m_agreedUpdate};
    if (m_batch->Add(file, input.records, outcome) == BatchWriter::Step::Failed) {
        m_batchBroken = true;
    }
    return outcome;
}

int CConverter::CommitBatch() {
    if (!m_batch) return 1;
    if (m_batchBroken) {
        m_batch->Abandon();
    } else {
        m_batch->Commit();
    }
    EndBatch();
    bool all = !m_outcomes.empty();
    for (FileOutcome& outcome : m_outcomes) {
        if (!outcome.converted) {
            all = false;
            outcome.rowsLeftOut = 0;
        }
    }
    return all ? 0 : 1;
}

void CConverter::EndBatch() {
    m_batch.reset();
    m_lock.reset();
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
    return SymbolTaken(m_fs, m_szPath, m_szSymbol, m_bUpdate, m_messages) ? 1 : 0;
}

}  // namespace corvat
