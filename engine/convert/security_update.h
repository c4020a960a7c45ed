#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "field_table.h"
#include "file_system.h"
#include "index_listing.h"
#include "input_rows.h"
#include "message_sink.h"
#include "record_merge.h"
#include "security_data.h"

namespace corvat {

// The security of DIR's own index whose whole symbol is `symbol`, in any
// letter case; a match on a name, or in a sub-directory, is not one.
// EMASTER's own records count only while it mirrors MASTER.
std::optional<IndexedSecurity> FindOwnSecurity(const DirectoryIndex& index,
                                               const std::string& symbol);

// Reads the security about to be updated and refuses what cannot be
// updated safely: a period other than daily, records whose date cannot be
// found, and a data file whose length is not its header's count of
// records, for then which records are real cannot be told.
[[nodiscard]] std::string ReadSecurityForUpdate(FileSystem& fs, const std::filesystem::path& dir,
                                                const IndexedSecurity& entry,
                                                SecurityData& security);

// "IBM has open interest, which FILE does not give.": a security keeps its
// fields, so an update must give every one of them.
std::string MissingFieldMessage(const std::string& symbol, const std::string& file, int field);

// Rewrites the data file with the merged records the safe way (a copy,
// flushed, renamed over it): the rename is the update's commit. The header
// record is kept as it stands but for its count. On failure `replaced`
// tells whether the rename was done all the same (a failed directory sync).
[[nodiscard]] std::string WriteMergedDataFile(FileSystem& fs, const DataFile& data,
                                              const RecordMerge& merge, bool& replaced);

// Adds the rows of a text file (read and checked, ascending, one per
// date) to a security of DIR's own index: its fields, file number, name
// and symbol stay. The data file is rewritten only when the file adds or
// replaces a record; the entry's dates are then set from the records in
// every index that holds it, also when nothing was added, so dates a kill
// left behind are mended. `given` tells which fields the file gives.
// 0 once the data file is in place (a later failure is a warning), 1 when
// the update was refused or failed with nothing changed.
[[nodiscard]] int UpdateSecurity(FileSystem& fs, const std::filesystem::path& dir,
                                 const IndexedSecurity& entry, const std::vector<InputRecord>& rows,
                                 const std::array<bool, kFieldSlots>& given,
                                 const std::string& inputName, MessageSink& messages,
                                 RecordMerge& merge);

}  // namespace corvat
