#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "file_system.h"
#include "index_files.h"
#include "index_listing.h"
#include "master_record.h"
#include "mbf.h"

namespace corvat {

// The security a conversion adds, as its index entries need it.
struct NewSecurity {
    std::string symbol;  // at most 14 bytes of printable ASCII
    std::string name;    // up to 45 bytes; MASTER holds the first 16
    int fieldCount = 0;
    std::uint8_t fieldBitset = 0;
    MbfBytes firstDate{};
    MbfBytes lastDate{};
};

// "This portfolio already has the maximum number of symbols": no file
// number is left in MASTER nor in XMASTER.
extern const char* const kNoNumberLeft;

// One batch's change to a directory's index files, made under the
// directory's lock in the order that leaves the directory readable after
// any failure: the data files (the job writes them once each FileNumber is
// known), then the commit (the rename of MASTER, then of XMASTER when
// securities went beyond 255), then EMASTER, brought in step. Each index is
// rewritten once whatever the number of securities. An EMASTER left behind
// by a failure after the commit is completed by the next writer.
class IndexUpdate {
public:
    IndexUpdate(FileSystem& fs, const std::filesystem::path& dir);

    // Reads the index files; with `newMaster` there must be none. Returns
    // the refusal, or an empty text.
    [[nodiscard]] std::string Read(bool newMaster);
    // Gives the security its file number and entry; nothing is written yet.
    [[nodiscard]] std::string Add(const NewSecurity& security);
    // Sets the first and last dates of a security the indexes already hold
    // (an update), in every index that holds it.
    void SetDates(int fileNumber, const MbfBytes& firstDate, const MbfBytes& lastDate);

    // Of the security added last.
    int FileNumber() const { return m_fileNumber; }
    // Beyond 255: an XMASTER entry, data in F<n>.MWD, no description file.
    bool InXmaster() const { return m_inXmaster; }

    // Which indexes the commit replaced.
    struct Committed {
        bool master = false;
        bool xmaster = false;
    };
    // The commit: MASTER, then XMASTER, each replaced when it changed, the
    // directory synced once after. `committed` tells which renames were
    // done, also when a later step failed (the returned message says what).
    [[nodiscard]] std::string Commit(Committed& committed);
    // Which indexes the commit has to replace.
    Committed Changes() const { return {m_masterChanged, m_xmasterChanged}; }
    // The index file whose rename a failure message follows.
    const std::filesystem::path& MasterPath() const { return m_masterPath; }
    const std::filesystem::path& XmasterPath() const { return m_xmasterPath; }

    // After the commit: EMASTER made, kept or brought back in step with
    // MASTER as it now stands on disk. Returns what the user should be told
    // (completion of an interrupted write, an EMASTER left alone, a failed
    // write); none of it undoes the conversion.
    std::vector<std::string> KeepEmasterInStep();

private:
    [[nodiscard]] std::string AddToMaster(const NewSecurity& security, int fileNumber);
    [[nodiscard]] std::string AddToXmaster(const NewSecurity& security);
    std::vector<int> NamedNumbers() const;
    [[nodiscard]] std::string WriteEmaster(const std::vector<MasterRecord>& master);
    const NewSecurity* AddedAs(int fileNumber) const;

    FileSystem& m_fs;
    std::filesystem::path m_dir;
    std::filesystem::path m_masterPath;
    std::filesystem::path m_emasterPath;
    std::filesystem::path m_xmasterPath;
    bool m_newMaster = false;
    std::vector<MasterRecord> m_master;  // the header first
    EmasterListing m_emaster;
    bool m_emasterUnreadable = false;
    XmasterListing m_xmaster;
    std::string m_xmasterError;
    EmasterState m_emasterState = EmasterState::Absent;
    // The securities added to MASTER, for EMASTER's records.
    std::vector<std::pair<int, NewSecurity>> m_added;
    struct DateChange {
        int fileNumber;
        MbfBytes firstDate;
        MbfBytes lastDate;
    };
    std::vector<DateChange> m_dateChanges;
    bool m_masterGrew = false;
    bool m_masterChanged = false;
    bool m_xmasterChanged = false;
    int m_fileNumber = 0;
    bool m_inXmaster = false;
    bool m_xmasterTaken = false;  // m_xmasterHeader and m_xmasterRecords hold the new XMASTER
    XmasterRecord m_xmasterHeader{};
    std::vector<XmasterRecord> m_xmasterRecords;
};

// EMASTER's bitset for a MASTER entry whose fields nothing else names:
// date and close for 2, the notes' 5, 6 and 7 field sets, else date,
// close and then high, low, open, volume, open interest as far as needed.
std::uint8_t BitsetForFieldCount(int fieldCount);

}  // namespace corvat
