#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "conversion_input.h"
#include "file_system.h"
#include "master_record.h"
#include "mbf.h"
#include "message_sink.h"
#include "profile.h"

namespace corvat {

class RowColumns;

// Field order of every record, description file and setting: date and
// close are always converted, the others as the user chooses.
enum FieldIndex {
    kDateField = 0,
    kOpenField,
    kHighField,
    kLowField,
    kCloseField,
    kVolumeField,
    kOpenInterestField,
    kFieldSlots
};

// One conversion of one text file into one new security of a data
// directory. Fill the settings, call Run once, then discard the job.
class CConverter {
public:
    CConverter(MessageSink& messages, Profile& profile, FileSystem& fileSystem = RealFileSystem());
    virtual ~CConverter();
    CConverter(const CConverter&) = delete;
    CConverter& operator=(const CConverter&) = delete;

    // 0 when the whole conversion succeeded, 1 when any step failed (its
    // message has been shown).
    int Run();

    // The steps of Run, each 0 to go on and 1 to stop. Nothing in the
    // directory changes before AddSecurity; AddSecurity changes nothing an
    // index names until its last step, the commit.
    int CheckOutputPath();
    int CheckColumns();
    int ConvertRows(ConversionInput& input);
    int CheckInput(const ConversionInput& input);
    int CheckDuplicateSymbol();
    int AddSecurity(const ConversionInput& input);

    // Writes F<n>.DAT, its header counting every record, and F<n>.DOP.
    int CreateDataFiles(std::uint8_t fileNumber, const std::vector<InputRecord>& records);

    // What the run achieved, for reports; all 0 unless it committed.
    int RowsWritten() const { return m_rowsWritten; }
    int FileNumber() const { return m_fileNumber; }
    long RowsLeftOut() const { return m_rowsLeftOut; }

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

    // Working state.
    std::string m_szMasterPath;
    std::array<MbfBytes, kFieldSlots> m_fRecord{};
    int m_nFields = 0;

private:
    std::filesystem::path DataFilePath(std::uint8_t fileNumber, const char* extension) const;
    void Report(const std::string& text) { m_messages.ShowMessage(text); }
    std::optional<std::string> FillPrices(const RowColumns& columns, InputRecord& record);
    void RemoveStaleTemporaryFiles();
    void RemoveDataFiles(std::uint8_t fileNumber);
    int CommitMaster(std::vector<MasterRecord>& records);
    void WriteBackup();
    void ReportAfterCommit(const std::string& error);
    int Refused(int result) {
        m_rowsLeftOut = 0;
        return result;
    }

    MessageSink& m_messages;
    Profile& m_profile;
    FileSystem& m_fs;
    // The master as it was when this run read it (empty for a new master):
    // the backup a committed run leaves.
    std::string m_masterBefore;
    int m_rowsWritten = 0;
    int m_fileNumber = 0;
    long m_rowsLeftOut = 0;
};

}  // namespace corvat
