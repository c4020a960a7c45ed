#include "index_update.h"

#include <algorithm>

#include "case_blind_path.h"
#include "emaster_record.h"
#include "field_bitset.h"
#include "field_table.h"
#include "file_names.h"
#include "file_ops.h"
#include "master_rewrite.h"
#include "xmaster_record.h"

namespace corvat {

const char* const kNoNumberLeft =
    "This portfolio already has the\nmaximum number of symbols.\n"
    "Choose a different or new portfolio.";

namespace {

std::int32_t CcyymmddOf(const MbfBytes& date) {
    const EntryDate entry = DateFromYyymmdd(MbfToIeee(date));
    return entry.valid ? entry.year * 10000 + entry.month * 100 + entry.day : 0;
}

// The entries MASTER's header counts, as far as present.
std::span<const MasterRecord> CountedEntries(const std::vector<MasterRecord>& master) {
    const int count = ReadInt16(master.front(), master::kEntryCount);
    const auto present = master.size() - 1;
    return std::span<const MasterRecord>(master).subspan(
        1, std::min(present, static_cast<std::size_t>(std::max(count, 0))));
}

template <typename Record>
std::string RecordBytes(const Record& header, std::span<const Record> records) {
    std::string bytes(header.begin(), header.end());
    for (const Record& record : records) bytes.append(record.begin(), record.end());
    return bytes;
}

// Every index file is replaced the safe way, a new one through a copy too.
std::string ReplaceIndex(FileSystem& fs, const std::filesystem::path& path, bool isNew,
                         const std::string& bytes, SyncDirectory sync = SyncDirectory::Yes,
                         bool* replaced = nullptr) {
    const std::filesystem::path temp =
        path.string() + (isNew ? kNewMasterSuffix : kReplacementSuffix);
    return ReplaceFile(
        fs, path, temp,
        [&](File& file) { return WriteBytes(file, temp, bytes.data(), bytes.size()); }, replaced,
        sync);
}

}  // namespace

std::uint8_t BitsetForFieldCount(int fieldCount) {
    switch (fieldCount) {
        case 2:
            return 0x09;
        case 5:
            return 0x1f;
        case 6:
            return 0x3f;
        case 7:
            return 0x7f;
        default:
            break;
    }
    std::uint8_t bitset = 0;
    int left = fieldCount;
    for (FieldIndex field : {kDateField, kCloseField, kHighField, kLowField, kOpenField,
                             kVolumeField, kOpenInterestField}) {
        if (left-- <= 0) break;
        bitset |= kFieldBits[field];
    }
    return bitset;
}

IndexUpdate::IndexUpdate(FileSystem& fs, const std::filesystem::path& dir)
    : m_fs(fs),
      m_dir(dir),
      m_masterPath(FindIgnoringCase(fs, dir, kMasterName)),
      m_emasterPath(FindIgnoringCase(fs, dir, kEmasterName)),
      m_xmasterPath(FindIgnoringCase(fs, dir, kXmasterName)) {}

std::string IndexUpdate::Read(bool newMaster) {
    m_newMaster = newMaster;
    const std::string emasterError = ReadEmasterFile(m_fs, m_emasterPath, m_emaster);
    m_xmasterError = ReadXmasterFile(m_fs, m_xmasterPath, m_xmaster);
    if (newMaster) {
        if (m_emaster.present || m_xmaster.present) {
            return m_dir.string() +
                   " holds EMASTER or XMASTER but no MASTER.\nRestore MASTER or choose another "
                   "directory.";
        }
        m_master = {MasterRecord{}};
        m_emasterState = EmasterState::Absent;
        return {};
    }
    if (std::string error = ReadMasterRecords(m_fs, m_masterPath, m_master); !error.empty())
        return error;
    // An EMASTER that cannot be read at all may name any number: nothing is
    // safe to give out. One too short for its header names none.
    if (!emasterError.empty() && m_emaster.fileSize >= kEmasterRecordSize) return emasterError;
    m_emasterUnreadable = !emasterError.empty();
    std::vector<int> masterNumbers;
    for (const MasterRecord& entry : CountedEntries(m_master))
        masterNumbers.push_back(entry[master::kFileNumber]);
    m_emasterState = m_emasterUnreadable ? EmasterState::OutOfStep
                                         : EmasterStateOf(m_emaster.present, masterNumbers,
                                                          FileNumbersOf(EmasterEntries(m_emaster)));
    return {};
}

std::vector<int> IndexUpdate::NamedNumbers() const {
    std::vector<int> named;
    // Every record's first byte, directory entries' and those past the
    // count included, as MASTER has always been read.
    for (std::size_t i = 1; i < m_master.size(); ++i)
        named.push_back(m_master[i][master::kFileNumber]);
    for (const EmasterRecord& record : m_emaster.records)
        named.push_back(record[emaster::kFileNumber]);
    for (const XmasterRecord& record : m_xmaster.records)
        named.push_back(DecodeXmasterRecord(record, 0).fileNumber);
    return named;
}

std::string IndexUpdate::Add(const NewSecurity& security) {
    const std::vector<int> named = NamedNumbers();
    const int count = ReadInt16(m_master.front(), master::kEntryCount);
    if (!MasterIsFull(count, named)) return AddToMaster(security, *LowestFreeFileNumber(named));
    return AddToXmaster(security);
}

std::string IndexUpdate::AddToMaster(const NewSecurity& security, int fileNumber) {
    MasterRecord& header = m_master.front();
    const std::int16_t count = ReadInt16(header, master::kEntryCount);
    const std::int16_t second = ReadInt16(header, master::kSecondCounter);
    WriteInt16(header, master::kEntryCount, static_cast<std::int16_t>(count + 1));
    if (second < kMaxSecurities)
        WriteInt16(header, master::kSecondCounter, static_cast<std::int16_t>(second + 1));
    MasterRecord entry =
        MakeSecurityEntry(static_cast<std::uint8_t>(fileNumber), security.fieldCount, security.name,
                          security.symbol, security.firstDate);
    WriteMbf(entry, master::kLastDate, security.lastDate);
    m_master.push_back(entry);
    m_added.emplace_back(fileNumber, security);
    m_masterGrew = m_masterChanged = true;
    m_fileNumber = fileNumber;
    m_inXmaster = false;
    return {};
}

std::string IndexUpdate::AddToXmaster(const NewSecurity& security) {
    if (!m_xmasterTaken) {
        if (!m_xmasterError.empty()) return m_xmasterError;
        if (m_xmaster.present && !DecodeXmasterHeader(m_xmaster.header).magicMatches) {
            return m_xmasterPath.string() + " is not an XMASTER file:\nit lacks XMASTER's mark.";
        }
        m_xmasterHeader = m_xmaster.present ? m_xmaster.header : MakeXmasterHeader();
        const auto counted = m_xmaster.Counted();
        m_xmasterRecords.assign(counted.begin(), counted.end());
        m_xmasterTaken = true;
    }
    std::vector<int> numbers;
    for (const auto* records : {&m_xmaster.records, &m_xmasterRecords}) {
        for (const XmasterRecord& record : *records)
            numbers.push_back(DecodeXmasterRecord(record, 0).fileNumber);
    }
    const auto number = NextXmasterFileNumber(DecodeXmasterHeader(m_xmasterHeader), numbers);
    if (!number) return kNoNumberLeft;
    m_xmasterRecords.push_back(
        MakeXmasterRecord(*number, security.symbol, security.name, security.fieldBitset,
                          CcyymmddOf(security.firstDate), CcyymmddOf(security.lastDate)));
    RaiseXmasterHeader(m_xmasterHeader, static_cast<int>(m_xmasterRecords.size()), *number);
    m_xmasterChanged = true;
    m_fileNumber = *number;
    m_inXmaster = true;
    return {};
}

void IndexUpdate::SetDates(int fileNumber, const MbfBytes& firstDate, const MbfBytes& lastDate) {
    for (std::size_t i = 1; i < m_master.size(); ++i) {
        MasterRecord& entry = m_master[i];
        if (IsDirectoryEntry(entry) || entry[master::kFileNumber] != fileNumber) continue;
        if (ReadMbf(entry, master::kFirstDate) == firstDate &&
            ReadMbf(entry, master::kLastDate) == lastDate)
            continue;
        WriteMbf(entry, master::kFirstDate, firstDate);
        WriteMbf(entry, master::kLastDate, lastDate);
        m_masterChanged = true;
    }
    m_dateChanges.push_back({fileNumber, firstDate, lastDate});
    if (fileNumber < kFirstXmasterFileNumber || !m_xmaster.present || !m_xmasterError.empty())
        return;
    if (!m_xmasterTaken) {
        m_xmasterHeader = m_xmaster.header;
        m_xmasterRecords = m_xmaster.records;
        m_xmasterTaken = true;
    }
    for (XmasterRecord& record : m_xmasterRecords) {
        if (DecodeXmasterRecord(record, 0).fileNumber != fileNumber) continue;
        const XmasterRecord before = record;
        SetXmasterDates(record, CcyymmddOf(firstDate), CcyymmddOf(lastDate));
        m_xmasterChanged = m_xmasterChanged || record != before;
    }
}

std::string IndexUpdate::Commit(Committed& committed) {
    committed = {};
    if (m_masterChanged) {
        std::string error =
            ReplaceIndex(m_fs, m_masterPath, m_newMaster,
                         RecordBytes<MasterRecord>(
                             m_master.front(), std::span<const MasterRecord>(m_master).subspan(1)),
                         SyncDirectory::No, &committed.master);
        if (!error.empty()) return error;
    }
    if (m_xmasterChanged) {
        std::string error =
            ReplaceIndex(m_fs, m_xmasterPath, !m_xmaster.present,
                         RecordBytes<XmasterRecord>(m_xmasterHeader, m_xmasterRecords),
                         SyncDirectory::No, &committed.xmaster);
        if (!error.empty()) return error;
    }
    std::error_code ec;
    m_fs.SyncDirectory(m_dir, ec);
    return ec ? FileError("write", m_dir, ec) : std::string();
}

const NewSecurity* IndexUpdate::AddedAs(int fileNumber) const {
    for (const auto& [number, security] : m_added) {
        if (number == fileNumber) return &security;
    }
    return nullptr;
}

std::vector<std::string> IndexUpdate::KeepEmasterInStep() {
    const bool masterChanged = m_masterChanged;
    switch (m_emasterState) {
        case EmasterState::Absent:
            if (!m_newMaster) return {};
            break;
        case EmasterState::OutOfStep:
            if (!m_masterGrew) return {};
            return {"Warning: " + m_emasterPath.string() +
                    " is not in step with MASTER and was left as it is: readers that list "
                    "securities from EMASTER will not list the new security (corvat-cli check "
                    "shows why)."};
        case EmasterState::InStep:
            if (!masterChanged) return {};
            break;
        case EmasterState::Behind:
            break;
    }
    std::vector<MasterRecord> master;
    std::string error = ReadMasterRecords(m_fs, m_masterPath, master);
    if (error.empty()) error = WriteEmaster(master);
    if (!error.empty()) {
        return {"Warning: " + error + "\nEMASTER is behind MASTER; the next conversion into " +
                m_dir.string() + " completes it."};
    }
    if (m_emasterState == EmasterState::Behind) {
        return {m_emasterPath.string() +
                " was behind MASTER (an interrupted write) and is in step again."};
    }
    return {};
}

std::string IndexUpdate::WriteEmaster(const std::vector<MasterRecord>& master) {
    const auto kept = m_emaster.Counted();
    std::vector<EmasterRecord> records(kept.begin(), kept.end());
    for (const DateChange& change : m_dateChanges) {
        for (EmasterRecord& record : records) {
            if (DecodeEmasterRecord(record, 0).fileNumber == change.fileNumber)
                SetEmasterDates(record, change.firstDate, change.lastDate);
        }
    }
    const EmasterMarker marker = MarkerForNewRecord(records);
    const auto entries = CountedEntries(master);
    for (std::size_t i = records.size(); i < entries.size(); ++i) {
        const MasterRecord& entry = entries[i];
        const NewSecurity* ours = AddedAs(entry[master::kFileNumber]);
        records.push_back(MakeEmasterRecord(
            entry, ours ? ours->fieldBitset : BitsetForFieldCount(entry[master::kFieldCount]),
            ours ? ours->name : std::string(), marker));
    }
    EmasterRecord header =
        m_emaster.present && m_emaster.hasHeader ? m_emaster.header : EmasterRecord{};
    // An update alone leaves MASTER's header, and so EMASTER's copy, as it was.
    if (m_masterGrew || m_emasterState == EmasterState::Behind || !m_emaster.present)
        std::copy_n(master.front().begin(), emaster::kMasterHeaderCopy, header.begin());
    return ReplaceIndex(m_fs, m_emasterPath, !m_emaster.present,
                        RecordBytes<EmasterRecord>(header, records));
}

}  // namespace corvat
