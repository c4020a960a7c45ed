#include "entry_changes.h"

#include <algorithm>
#include <span>

#include "byte_fields.h"
#include "case_blind_path.h"
#include "emaster_record.h"
#include "file_names.h"
#include "file_ops.h"
#include "index_listing.h"
#include "master_record.h"
#include "master_rewrite.h"
#include "xmaster_record.h"

namespace corvat {
namespace {

bool Named(const std::vector<int>& numbers, int number) {
    return std::find(numbers.begin(), numbers.end(), number) != numbers.end();
}

template <typename Record>
std::string ReplaceIndex(FileSystem& fs, const std::filesystem::path& path, const Record& header,
                         const std::vector<Record>& records, bool* replaced = nullptr) {
    std::string bytes(header.begin(), header.end());
    for (const Record& record : records) bytes.append(record.begin(), record.end());
    const std::filesystem::path temp = path.string() + kReplacementSuffix;
    return ReplaceFile(
        fs, path, temp,
        [&](File& file) { return WriteBytes(file, temp, bytes.data(), bytes.size()); }, replaced);
}

// The indexes as they stand, MASTER's records with its header first.
struct Indexes {
    DirectoryIndex index;
    std::vector<MasterRecord> master;
    bool emasterInStep = false;
};

std::string ReadIndexes(FileSystem& fs, const std::filesystem::path& dir, Indexes& indexes) {
    ReadDirectoryIndex(fs, dir, indexes.index);
    if (!indexes.index.error.empty()) return indexes.index.error;
    if (std::string error = ReadMasterRecords(fs, indexes.index.listing.masterPath, indexes.master);
        !error.empty())
        return error;
    indexes.emasterInStep = indexes.index.emasterError.empty() &&
                            indexes.index.EmasterStanding() == EmasterState::InStep;
    return {};
}

}  // namespace

std::string RemoveEntries(FileSystem& fs, const std::filesystem::path& dir,
                          const std::vector<int>& fileNumbers, bool& committed) {
    committed = false;
    Indexes at;
    if (std::string error = ReadIndexes(fs, dir, at); !error.empty()) return error;
    const auto& records = at.master;
    const MasterRecord& header = records.front();
    std::vector<MasterRecord> kept{header};
    const int count = ReadInt16(header, master::kEntryCount);
    int highest = 0;
    int takenCounted = 0;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const bool removed =
            !IsDirectoryEntry(records[i]) && Named(fileNumbers, records[i][master::kFileNumber]);
        if (removed) {
            if (static_cast<int>(i) <= count) ++takenCounted;
            continue;
        }
        kept.push_back(records[i]);
        highest = std::max<int>(highest, records[i][master::kFileNumber]);
    }
    if (kept.size() != records.size()) {
        WriteInt16(kept.front(), master::kEntryCount,
                   static_cast<std::int16_t>(count - takenCounted));
        WriteInt16(kept.front(), master::kSecondCounter, static_cast<std::int16_t>(highest));
        if (std::string error = ReplaceMasterRecords(fs, at.index.listing.masterPath,
                                                     kReplacementSuffix, kept, &committed);
            !error.empty())
            return error;
        if (at.emasterInStep) {
            // Record i still mirrors MASTER's entry i, so the same records go.
            std::vector<EmasterRecord> mirror;
            for (const auto& record : at.index.emaster.records) {
                if (!Named(fileNumbers, DecodeEmasterRecord(record, 0).fileNumber))
                    mirror.push_back(record);
            }
            EmasterRecord emasterHeader = at.index.emaster.header;
            std::copy(kept.front().begin(), kept.front().end(), emasterHeader.begin());
            if (std::string error = ReplaceIndex(fs, at.index.emaster.path, emasterHeader, mirror);
                !error.empty())
                return error;
        }
    }
    if (!at.index.xmaster.present) return {};
    std::vector<XmasterRecord> xkept;
    for (const auto& record : at.index.xmaster.records) {
        if (!Named(fileNumbers, DecodeXmasterRecord(record, 0).fileNumber)) xkept.push_back(record);
    }
    if (xkept.size() == at.index.xmaster.records.size()) return {};
    // Both counts drop; the next number stays, as XMASTER numbers are never reused.
    XmasterRecord xheader = at.index.xmaster.header;
    const auto left = static_cast<std::uint16_t>(xkept.size());
    WriteU16Le(xheader, xmaster::kRecordCount, left);
    WriteU16Le(xheader, xmaster::kRecordCountAgain, left);
    bool xcommitted = false;
    std::string error = ReplaceIndex(fs, at.index.xmaster.path, xheader, xkept, &xcommitted);
    committed = committed || xcommitted;
    return error;
}

}  // namespace corvat
