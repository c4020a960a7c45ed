#include "master_search.h"

#include <bit>

#include "master_tree.h"
#include "text_util.h"

namespace corvat {
namespace {

void DatesToIeee(MasterRecord& record) {
    for (std::size_t offset : {master::kFirstDate, master::kLastDate}) {
        const auto bits = std::bit_cast<std::uint32_t>(MbfToIeee(ReadMbf(record, offset)));
        for (std::size_t i = 0; i < 4; ++i)
            record[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

}  // namespace

bool SecurityMatchesKey(const MasterRecord& entry, const std::string& key) {
    std::string name = NameField(entry);
    TrimTrailingSpaces(name);
    if (EqualsIgnoringCase(key, name)) return true;
    // A key of k words separated by blanks is compared with the symbol
    // field up to its (k+1)-th blank: the padding after the symbol.
    const std::string symbol = SymbolField(entry);
    const std::int16_t blanks = CountChar(key, ' ');
    const auto end = FindNthChar(symbol, ' ', static_cast<std::int16_t>(blanks + 1));
    return EqualsIgnoringCase(key,
                              std::string_view(symbol).substr(0, static_cast<std::size_t>(end)));
}

std::int16_t FindSecurity(const std::string& startDir, const std::string& key, MasterRecord& record,
                          std::string& foundDir, FileSystem& fs) {
    std::string dir = startDir;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    const bool found = !WalkMasters(fs, dir.empty() ? "." : dir, [&](const MasterTreeNode& node) {
        for (const MasterEntry& entry : node.listing.Entries()) {
            if (entry.isDirectory || !SecurityMatchesKey(entry.raw, key)) continue;
            record = entry.raw;
            DatesToIeee(record);
            foundDir = dir + (node.relative.empty() ? "" : node.relative + "/");
            return false;
        }
        return true;
    });
    return found ? kSecurityFound : kSecurityNotFound;
}

}  // namespace corvat
