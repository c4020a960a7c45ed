#pragma once

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "field_table.h"
#include "file_system.h"
#include "index_listing.h"
#include "index_update.h"
#include "input_rows.h"
#include "master_tree.h"
#include "mbf.h"
#include "message_sink.h"
#include "record_merge.h"

namespace corvat {

// What became of one file of a batch.
struct FileOutcome {
    bool converted = false;
    int fileNumber = 0;  // 0 when no security took the rows
    int rowsWritten = 0;
    // Set when the rows went into a security the directory (or an earlier
    // file of the batch) already held; its records are not kept.
    std::optional<RecordMerge> update;
    std::string symbol;  // the security's, as the directory holds it
    long rowsLeftOut = 0;
    MbfBytes firstDate{};
    MbfBytes lastDate{};
};

// One file's rows as the batch writes them.
struct BatchFile {
    std::string input;  // the text file, for messages
    std::string symbol;
    std::string name;
    std::array<bool, kFieldSlots> fieldOn{};
    // The file number of the security the user agreed to update before
    // the lock was taken; -1 when nothing was asked.
    int agreedUpdate = -1;
};

// Writes the files of a batch into a data directory under its lock and
// commits them together: every file's data is written first, then all of
// it is brought to the disk at once, then updated data files are renamed
// into place, then each index file is rewritten once. A failure before the
// first rename removes what the batch wrote and leaves the directory as it
// was; after it, what was renamed stands. Rows are taken one file at a
// time and not kept.
class BatchWriter {
public:
    BatchWriter(FileSystem& fs, MessageSink& messages, const std::filesystem::path& dir,
                const std::filesystem::path& masterPath, bool newMaster, bool update);
    ~BatchWriter();
    BatchWriter(const BatchWriter&) = delete;
    BatchWriter& operator=(const BatchWriter&) = delete;

    // Reads the index files (and the master, for MASTER.BAK); false when
    // they cannot be changed (reported).
    [[nodiscard]] bool Begin();

    enum class Step {
        Written,  // waits for the commit
        Refused,  // by the file's own checks (reported); the batch goes on
        Failed,   // a write failed (reported): the batch cannot commit
    };
    // Takes one file's rows (read and checked, ascending, one per date):
    // a new security, or with `update` its merge into the security of the
    // same symbol, whether the directory holds it or an earlier file of
    // this batch made it. `outcome` must live until Commit.
    Step Add(const BatchFile& file, const std::vector<InputRecord>& records, FileOutcome& outcome);

    // Commits what Add wrote and marks the outcomes converted. Returns
    // whether anything was committed.
    bool Commit();
    // Removes everything Add wrote; no outcome is converted.
    void Abandon();

private:
    struct Pending;
    Step AddNew(const BatchFile& file, const std::vector<InputRecord>& records,
                FileOutcome& outcome);
    Step Merge(const BatchFile& file, const std::vector<InputRecord>& records, FileOutcome& outcome,
               Pending* earlier, const IndexedSecurity* entry);
    void Report(const std::string& text) { m_messages.ShowMessage(text); }
    void ReportAfterCommit(const std::string& error);
    // What the batch wrote that no rename made count.
    void RemoveWritten();
    void WriteBackup();
    std::filesystem::path Place(const std::string& name) const;
    bool TakenInTree(const std::string& symbol);

    FileSystem& m_fs;
    MessageSink& m_messages;
    std::filesystem::path m_dir;
    std::filesystem::path m_masterPath;
    bool m_newMaster;
    bool m_update;
    IndexUpdate m_index;
    std::optional<MasterTree> m_tree;  // for the duplicate search
    DirectoryIndex m_listing;          // read for updates only
    std::string m_masterBefore;        // for MASTER.BAK; empty for a new master
    // The directory's names as Begin found them, by their upper case, so a
    // batch of many files lists the directory once, not once a file.
    std::map<std::string, std::string> m_names;
    std::set<std::string> m_exactNames;
    std::vector<std::unique_ptr<Pending>> m_pending;
    std::vector<std::filesystem::path> m_written;  // to bring to the disk
    bool m_onlyUpdates = true;                     // warnings then say "update", not "conversion"
};

// Whether `symbol` is taken in DIR or the tree below it: "Duplicate
// Symbol", or with `update` a symbol found only in a sub-directory (named,
// so the user can point the update there). Reported; true when taken.
[[nodiscard]] bool SymbolTaken(FileSystem& fs, const std::filesystem::path& dir,
                               const std::string& symbol, bool update, MessageSink& messages);

}  // namespace corvat
