#include "security_update.h"

#include <algorithm>

#include "data_file_layout.h"
#include "entry_changes.h"
#include "field_table.h"
#include "file_names.h"
#include "file_ops.h"
#include "master_record.h"
#include "text_util.h"

namespace corvat {

std::optional<IndexedSecurity> FindOwnSecurity(const DirectoryIndex& index,
                                               const std::string& symbol) {
    for (const IndexedSecurity& entry : index.Securities()) {
        if (entry.index != IndexFile::Emaster && EqualsIgnoringCase(entry.symbol, symbol))
            return entry;
    }
    return std::nullopt;
}

std::string ReadSecurityForUpdate(FileSystem& fs, const std::filesystem::path& dir,
                                  const IndexedSecurity& entry, SecurityData& security) {
    const char period = entry.period;
    if (period != 'D') {
        return entry.symbol + " holds data of period '" + std::string(1, period) +
               "'; only daily securities can be updated.";
    }
    if (std::string error = ReadSecurityData(dir, entry, security, fs); !error.empty())
        return error;
    const auto& fields = security.description.fields;
    if (std::find(fields.begin(), fields.end(), kDateField) == fields.end())
        return security.description.path.string() + ": has no DATE field.";
    if (std::string finding = DataFileLengthFinding(security.data); !finding.empty())
        return security.data.path.string() + ": " + finding;
    return {};
}

std::string MissingFieldMessage(const std::string& symbol, const std::string& file, int field) {
    return symbol + " has " +
           std::string(kFieldTable[static_cast<std::size_t>(field)].messageName) + ", which " +
           file + " does not give.\nMap a column to it to update " + symbol + ".";
}

std::string WriteMergedDataFile(FileSystem& fs, const DataFile& data, const RecordMerge& merge,
                                bool& replaced) {
    auto temp = data.path;
    temp.replace_extension(kReplacementSuffix);
    std::string header = data.bytes.substr(0, data.recordLength);
    const auto word = EncodeRecordCount(static_cast<std::uint16_t>(merge.count + 1));
    header[kRecordCountOffset] = static_cast<char>(word[0]);
    header[kRecordCountOffset + 1] = static_cast<char>(word[1]);
    return ReplaceFile(
        fs, data.path, temp,
        [&](File& file) {
            std::string e = WriteBytes(file, temp, header.data(), header.size());
            if (e.empty()) e = WriteBytes(file, temp, merge.records.data(), merge.records.size());
            return e;
        },
        &replaced);
}

int UpdateSecurity(FileSystem& fs, const std::filesystem::path& dir, const IndexedSecurity& entry,
                   const std::vector<InputRecord>& rows, const std::array<bool, kFieldSlots>& given,
                   const std::string& inputName, MessageSink& messages, RecordMerge& merge) {
    SecurityData security;
    if (std::string error = ReadSecurityForUpdate(fs, dir, entry, security); !error.empty()) {
        messages.ShowMessage(error);
        return 1;
    }
    const auto& fields = security.description.fields;
    if (const int missing = MissingField(fields, given); missing >= 0) {
        messages.ShowMessage(MissingFieldMessage(entry.symbol, inputName, missing));
        return 1;
    }
    const DataFile& data = security.data;
    const std::string_view stored =
        std::string_view(data.bytes)
            .substr(data.recordLength, data.RecordsCounted() * data.recordLength);
    merge = MergeRecords(stored, fields, rows);
    if (merge.count > static_cast<std::size_t>(kMaxDataRecords)) {
        messages.ShowMessage("The data file can hold at most 65534 records.");
        return 1;
    }
    const auto afterCommit = [&](const std::string& error) {
        messages.ShowMessage(error + "\nThe update itself is complete; only this step failed.");
    };
    if (!merge.ChangesNothing()) {
        bool replaced = false;
        if (std::string error = WriteMergedDataFile(fs, data, merge, replaced); !error.empty()) {
            if (!replaced) {
                messages.ShowMessage(error);
                return 1;
            }
            afterCommit(error);
        }
    }
    if (merge.count == 0) return 0;
    bool changed = false;
    if (std::string error =
            SetEntryDates(fs, dir, entry.fileNumber, merge.firstDate, merge.lastDate, changed);
        !error.empty()) {
        afterCommit(error);
    }
    return 0;
}

}  // namespace corvat
