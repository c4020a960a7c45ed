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

}  // namespace corvat
