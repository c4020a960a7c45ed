#include "master_search.h"

#include <algorithm>
#include <bit>
#include <optional>

#include "master_tree.h"
#include "mbf.h"
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

// An entry of EMASTER or XMASTER as MASTER would hold it, dates as IEEE.
MasterRecord MasterFormOf(const IndexedSecurity& entry) {
    const int number = entry.fileNumber <= kLastMasterFileNumber ? entry.fileNumber : 0;
    MasterRecord record = MakeSecurityEntry(static_cast<std::uint8_t>(number), entry.fieldCount,
                                            entry.name, entry.symbol, MbfBytes{});
    const auto yyymmdd = [&](const EntryDate& date) {
        const double number =
            entry.index == IndexFile::Xmaster && date.valid ? date.number - 19000000 : date.number;
        return std::bit_cast<std::uint32_t>(static_cast<float>(number));
    };
    const std::pair<std::size_t, std::uint32_t> dates[] = {
        {master::kFirstDate, yyymmdd(entry.firstDate)},
        {master::kLastDate, yyymmdd(entry.lastDate)}};
    for (const auto& [offset, bits] : dates) {
        for (std::size_t i = 0; i < 4; ++i)
            record[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
    return record;
}

bool MasterEntryMatchesKey(const MasterRecord& raw, const std::string& key) {
    std::string symbol = SymbolField(raw);
    TrimTrailingSpaces(symbol);
    return SecurityMatchesKey(raw, key) || SymbolMatches(symbol, key);
}

// The first security of one directory's index files answering to `key`.
std::optional<IndexedSecurity> FindInDirectory(const DirectoryIndex& index,
                                               const std::string& key) {
    for (const IndexedSecurity& entry : index.Securities()) {
        const bool match =
            entry.index == IndexFile::Master
                ? MasterEntryMatchesKey(index.listing.records[entry.recordNumber - 1].raw, key)
                : IndexedSecurityMatchesKey(entry, key);
        if (match) return entry;
    }
    for (const IndexedSecurity& entry : EmasterEntries(index.emaster)) {
        if (IndexedSecurityMatchesKey(entry, key)) return entry;
    }
    return std::nullopt;
}

std::string WithSeparator(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

// Whether one directory of the walk holds a security answering to `key`;
// `dir` is the start directory, ending in a separator.
bool FoundInNode(const MasterTreeNode& node, const std::string& key, const std::string& dir,
                 MasterRecord& record, std::string& foundDir) {
    if (!node.error.empty()) return false;
    const auto match = FindInDirectory(node, key);
    if (!match) return false;
    if (match->index == IndexFile::Master) {
        record = node.listing.records[match->recordNumber - 1].raw;
        DatesToIeee(record);
    } else {
        record = MasterFormOf(*match);
    }
    foundDir = dir + (node.relative.empty() ? "" : node.relative + "/");
    return true;
}

}  // namespace

bool IndexedSecurityMatchesKey(const IndexedSecurity& entry, const std::string& key) {
    return SymbolMatches(entry.symbol, key) || EqualsIgnoringCase(entry.name, key) ||
           (!entry.longName.empty() && EqualsIgnoringCase(entry.longName, key));
}

bool FindIndexedSecurity(FileSystem& fs, const std::filesystem::path& startDir,
                         const std::string& key, IndexedSecurity& found,
                         std::filesystem::path& foundDir) {
    const std::filesystem::path start = startDir.empty() ? "." : startDir;
    return !WalkMasters(fs, start, [&](const MasterTreeNode& node) {
        if (!node.error.empty()) return true;
        const auto match = FindInDirectory(node, key);
        if (!match) return true;
        found = *match;
        foundDir = node.directory;
        return false;
    });
}

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
    const std::string dir = WithSeparator(startDir);
    const bool found = !WalkMasters(fs, dir.empty() ? "." : dir, [&](const MasterTreeNode& node) {
        return !FoundInNode(node, key, dir, record, foundDir);
    });
    return found ? kSecurityFound : kSecurityNotFound;
}

std::int16_t FindSecurityInTree(const MasterTree& tree, const std::string& startDir,
                                const std::string& key, MasterRecord& record,
                                std::string& foundDir) {
    const std::string dir = WithSeparator(startDir);
    for (const MasterTreeNode& node : tree.nodes) {
        if (FoundInNode(node, key, dir, record, foundDir)) return kSecurityFound;
    }
    return kSecurityNotFound;
}

}  // namespace corvat
