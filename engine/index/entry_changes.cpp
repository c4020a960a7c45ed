#include "entry_changes.h"

#include <algorithm>

#include "case_blind_path.h"
#include "file_names.h"
#include "master_record.h"
#include "master_rewrite.h"

namespace corvat {
namespace {

bool IsSecurityNumbered(const MasterRecord& record, int fileNumber) {
    return !IsDirectoryEntry(record) && record[master::kFileNumber] == fileNumber;
}

}  // namespace

std::string SetEntryDates(FileSystem& fs, const std::filesystem::path& dir, int fileNumber,
                          const MbfBytes& firstDate, const MbfBytes& lastDate, bool& changed) {
    changed = false;
    const auto masterPath = FindIgnoringCase(fs, dir, kMasterName);
    std::vector<MasterRecord> records;
    if (std::string error = ReadMasterRecords(fs, masterPath, records); !error.empty())
        return error;
    for (std::size_t i = 1; i < records.size(); ++i) {
        if (!IsSecurityNumbered(records[i], fileNumber)) continue;
        if (ReadMbf(records[i], master::kFirstDate) == firstDate &&
            ReadMbf(records[i], master::kLastDate) == lastDate)
            continue;
        WriteMbf(records[i], master::kFirstDate, firstDate);
        WriteMbf(records[i], master::kLastDate, lastDate);
        changed = true;
    }
    if (!changed) return {};
    return ReplaceMasterRecords(fs, masterPath, kReplacementSuffix, records);
}

std::string RemoveEntries(FileSystem& fs, const std::filesystem::path& dir,
                          const std::vector<int>& fileNumbers, bool& committed) {
    committed = false;
    const auto masterPath = FindIgnoringCase(fs, dir, kMasterName);
    std::vector<MasterRecord> records;
    if (std::string error = ReadMasterRecords(fs, masterPath, records); !error.empty())
        return error;
    const auto removed = [&](const MasterRecord& record) {
        return std::any_of(fileNumbers.begin(), fileNumbers.end(),
                           [&](int n) { return IsSecurityNumbered(record, n); });
    };
    const MasterRecord header = records.front();
    std::vector<MasterRecord> kept{header};
    const int count = ReadInt16(header, master::kEntryCount);
    int highest = 0;
    int takenCounted = 0;
    for (std::size_t i = 1; i < records.size(); ++i) {
        if (removed(records[i])) {
            if (static_cast<int>(i) <= count) ++takenCounted;
            continue;
        }
        kept.push_back(records[i]);
        highest = std::max<int>(highest, records[i][master::kFileNumber]);
    }
    if (kept.size() == records.size()) return {};
    WriteInt16(kept.front(), master::kEntryCount, static_cast<std::int16_t>(count - takenCounted));
    WriteInt16(kept.front(), master::kSecondCounter, static_cast<std::int16_t>(highest));
    return ReplaceMasterRecords(fs, masterPath, kReplacementSuffix, kept, &committed);
}

}  // namespace corvat
