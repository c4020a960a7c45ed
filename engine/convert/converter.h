#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch_writer.h"
#include "directory_lock.h"
#include "field_table.h"
#include "file_system.h"
#include "index_files.h"
#include "input_rows.h"
#include "master_listing.h"
#include "master_record.h"
#include "mbf.h"
#include "message_sink.h"
#include "number_style.h"
#include "profile.h"
#include "record_merge.h"

namespace corvat {

// One conversion of one text file into one new security of a data
// directory (fill the settings, call Run once, then discard the job), or a
// batch of text files committed together (BeginBatch, then for each file
// its settings and AddToBatch, then CommitBatch). A single file is a batch
// of one: both take the same commit.
class CConverter {
public:
    CConverter(MessageSink& messages, Profile& profile, FileSystem& fileSystem);
    virtual ~CConverter();
    CConverter(const CConverter&) = delete;
    CConverter& operator=(const CConverter&) = delete;

    // 0 when the whole conversion succeeded, 1 when any step failed (its
    // message has been shown).
    [[nodiscard]] int Run();

    // The steps of Run, each 0 to go on and 1 to stop. Nothing in the
    // directory changes before the batch's commit but files no index names.
    [[nodiscard]] int CheckOutputPath();
    [[nodiscard]] int CheckColumns();
    [[nodiscard]] int ConvertRows(InputRows& input);
    [[nodiscard]] int CheckInput(const InputRows& input);
    [[nodiscard]] int CheckDuplicateSymbol();

    // A batch. BeginBatch takes the directory's lock (waiting through the
    // waiter) and reads its index: 0, or 1 when nothing can be written
    // (said why). AddToBatch reads, checks and writes the file the settings
    // name (its questions are answered under the lock, so the message sink
    // must answer them without waiting on a person, as the command line's
    // flags do); its outcome lives until the job goes. After a write failed
    // (BatchBroken) nothing more is added and the commit writes nothing.
    // CommitBatch commits and releases the lock: 0 when every file added
    // was converted.
    [[nodiscard]] int BeginBatch();
    // `rows`, when given, are the file already read with the settings'
    // layout (a front end that read it to detect the layout), taken over.
    const FileOutcome& AddToBatch(InputRows* rows = nullptr);
    bool BatchBroken() const { return m_batchBroken; }
    [[nodiscard]] int CommitBatch();

    // How Run waits while another program writes to the directory; by
    // default it does not wait. The waiter must outlive Run.
    void SetLockWaiter(LockWaiter& waiter) { m_waiter = &waiter; }

    // What the run achieved, for reports; all 0 unless it committed.
    int RowsWritten() const { return m_rowsWritten; }
    int FileNumber() const { return m_fileNumber; }
    // Set when the run added the file's rows to a security the directory
    // already held, rather than making a new one.
    const std::optional<RecordMerge>& UpdateResult() const { return m_update; }
    long RowsLeftOut() const { return m_rowsLeftOut; }
    // The stored dates of the first and last records written.
    const MbfBytes& FirstDate() const { return m_firstDate; }
    const MbfBytes& LastDate() const { return m_lastDate; }

    // The input layout the settings describe.
    InputLayout Layout() const;

    // Settings, filled by the caller before Run.
    std::string m_strInputPath;
    int m_bUseExisting = 0;
    std::array<int, kFieldSlots> m_bFieldOn{};
    std::array<int, kFieldSlots> m_nColumn{};  // zero-based
    std::string m_szPath;
    std::string m_szSymbol;
    std::string m_szName;
    std::string m_szDelimiter;
    int m_nDateFormat = 1;
    int m_bSkipOn = 0;
    int m_nSkipRows = 0;
    NumberStyle m_numberStyle;
    int m_nTimeColumn = -1;  // a column of times of day, zero-based; -1 for none
    // Set: m_bUseExisting is chosen under the directory's lock, existing
    // when a MASTER is there, so writers started together agree on one.
    bool m_masterAuto = false;
    // Set: a symbol DIR's own index already holds is updated with the
    // file's rows instead of being refused as a duplicate.
    bool m_bUpdate = false;
    // Set: whether to update is asked of the user, before the lock is taken.
    bool m_bAskUpdate = false;
    // Set: an existing master chosen for a directory without one offers to
    // make a new one instead (the desktop program), asked before the lock.
    bool m_offerNewMaster = false;

    // Working state.
    std::string m_szMasterPath;
    int m_nFields = 0;

private:
    [[nodiscard]] bool ProveInputReadable();
    [[nodiscard]] bool ResolveOutputPath();
    [[nodiscard]] int AskAboutDirectory();
    [[nodiscard]] int BeginLocked();
    [[nodiscard]] bool AskAboutUpdate();
    [[nodiscard]] bool MasterPresent();
    void Report(const std::string& text) { m_messages.ShowMessage(text); }
    FileOutcome& AddRows(const InputRows& input);
    void EndBatch();

    MessageSink& m_messages;
    Profile& m_profile;
    FileSystem& m_fs;
    NoWaiting m_noWaiting;
    LockWaiter* m_waiter = &m_noWaiting;
    // Whether a MASTER stood in the directory when the user answered a
    // question about it, looked at without the lock; unset when none was
    // asked. Under the lock the directory must still look so.
    std::optional<bool> m_masterWhenAsked;
    std::unique_ptr<HeldLock> m_lock;
    std::unique_ptr<BatchWriter> m_batch;
    std::deque<FileOutcome> m_outcomes;  // one per file added, in order
    bool m_batchBroken = false;
    int m_rowsWritten = 0;
    int m_fileNumber = 0;
    std::optional<RecordMerge> m_update;
    // The file number of the security the user agreed to update; -1 when
    // nothing was asked.
    int m_agreedUpdate = -1;
    long m_rowsLeftOut = 0;
    MbfBytes m_firstDate{};
    MbfBytes m_lastDate{};
};

}  // namespace corvat
