#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "directory_lock.h"
#include "field_table.h"
#include "file_system.h"
#include "mbf.h"
#include "message_sink.h"
#include "number_style.h"
#include "profile.h"

namespace corvat {

class RowColumns;

// One conversion of one text file into one new security of a data
// directory. Fill the settings, call Run once, then discard the job.
class CConverter {
public:
    CConverter(MessageSink& messages, Profile& profile, FileSystem& fileSystem);
    virtual ~CConverter();
    CConverter(const CConverter&) = delete;
    CConverter& operator=(const CConverter&) = delete;

    // 0 when the whole conversion succeeded, 1 when any step failed (its
    // message has been shown).
    [[nodiscard]] int Run();

    // The steps of Run, each 0 to go on and 1 to stop.
    [[nodiscard]] int CheckOutputPath();
    [[nodiscard]] int CheckColumns();
    [[nodiscard]] int CheckDuplicateSymbol();
    [[nodiscard]] int AddSecurity();
    [[nodiscard]] int ConvertRows();

    [[nodiscard]] int UpdateMasterDates(const MbfBytes& firstDate, const MbfBytes& lastDate,
                                        std::uint8_t fileNumber);
    [[nodiscard]] int CreateDataFiles(std::uint8_t fileNumber);
    [[nodiscard]] int AppendRecord(std::uint8_t fileNumber);
    [[nodiscard]] int UpdateRecordCount(int rowCount, std::uint8_t fileNumber);

    // Today's date as "MM/DD/YY", the registration date of a new entry.
    // Tests replace the system clock with a fixed day.
    void SetTodaySource(std::function<std::string()> today) { m_today = std::move(today); }

    // How Run waits while another program writes to the directory; by
    // default it does not wait. The waiter must outlive Run.
    void SetLockWaiter(LockWaiter& waiter) { m_waiter = &waiter; }

    // What the last ConvertRows achieved, for reports.
    int RowsWritten() const { return m_rowsWritten; }
    int FileNumber() const { return m_fileNumber; }

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
    // Set: m_bUseExisting is chosen under the directory's lock, existing
    // when a MASTER is there, so writers started together agree on one.
    bool m_masterAuto = false;

    // Working state.
    std::string m_szMasterPath;
    std::array<MbfBytes, kFieldSlots> m_fRecord{};
    int m_nFields = 0;

private:
    // The data file stays open for the whole row conversion; records
    // gather in the file's buffer and reach the disk in large writes.
    struct DataStream {
        std::unique_ptr<File> file;
        std::filesystem::path path;
    };

    std::filesystem::path DataFilePath(std::uint8_t fileNumber, const char* extension) const;
    [[nodiscard]] bool ProveInputReadable();
    [[nodiscard]] bool ResolveOutputPath();
    [[nodiscard]] int RunLocked();
    void Report(const std::string& text) { m_messages.ShowMessage(text); }
    [[nodiscard]] int CloseDataStream();
    std::optional<std::string> FillPrices(const RowColumns& columns);
    [[nodiscard]] int FinishDataFiles(std::uint8_t fileNumber, bool writeFailed, MbfBytes firstDate,
                                      MbfBytes lastDate);
    [[nodiscard]] int ReadRecordedDates(std::uint8_t fileNumber, MbfBytes& firstDate,
                                        MbfBytes& lastDate);

    MessageSink& m_messages;
    Profile& m_profile;
    FileSystem& m_fs;
    std::function<std::string()> m_today;
    NoWaiting m_noWaiting;
    LockWaiter* m_waiter = &m_noWaiting;
    std::optional<DataStream> m_dataStream;
    int m_rowsWritten = 0;
    int m_fileNumber = 0;
};

}  // namespace corvat
