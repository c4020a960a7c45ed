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

}  // namespace corvat
