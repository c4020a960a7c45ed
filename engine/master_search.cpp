#include "master_search.h"

#include <bit>
#include <cstring>
#include <filesystem>
#include <set>
#include <vector>

#include "bounded_read.h"
#include "case_blind_path.h"
#include "file_ops.h"
#include "text_util.h"

namespace corvat {
namespace {

struct MasterContents {
    bool readable = false;
    std::vector<MasterRecord> entries;
    bool complete = false;  // every entry the header counts is present
};

MasterContents ReadMaster(FileSystem& fs, const std::filesystem::path& dir) {
    MasterContents master;
    std::string bytes;
    // No header count reaches past this, so a stray giant file named MASTER
    // costs no more memory than the largest real one.
    constexpr std::size_t kMostCounted = kMasterRecordSize * (1 + 32767);
    if (!ReadPrefix(fs, FindIgnoringCase(dir, "MASTER"), kMostCounted, bytes).empty()) return master;
    if (bytes.size() < kMasterRecordSize) return master;
    master.readable = true;
    MasterRecord header{};
    std::memcpy(header.data(), bytes.data(), kMasterRecordSize);
    const int count = ReadInt16(header, master::kEntryCount);
    const std::size_t present = bytes.size() / kMasterRecordSize - 1;
    const std::size_t wanted = count > 0 ? static_cast<std::size_t>(count) : 0;
    const std::size_t usable = std::min(wanted, present);
    master.complete = usable == wanted;
    master.entries.resize(usable);
    for (std::size_t i = 0; i < usable; ++i) {
        std::memcpy(master.entries[i].data(), bytes.data() + (i + 1) * kMasterRecordSize,
                    kMasterRecordSize);
    }
    return master;
}

void DatesToIeee(MasterRecord& record) {
    for (std::size_t offset : {master::kFirstDate, master::kLastDate}) {
        const auto bits = std::bit_cast<std::uint32_t>(MbfToIeee(ReadMbf(record, offset)));
        for (std::size_t i = 0; i < 4; ++i) record[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

class TreeSearch {
public:
    TreeSearch(FileSystem& fs, const std::string& key) : m_fs(fs), m_key(key) {}

    bool Search(const std::string& dir, int depth, MasterRecord& record, std::string& foundDir) {
        std::error_code ec;
        const auto canonical = std::filesystem::weakly_canonical(dir.empty() ? "." : dir, ec);
        if (!m_visited.insert(ec ? std::filesystem::path(dir) : canonical).second) return false;

        const MasterContents master = ReadMaster(m_fs, dir.empty() ? "." : dir);
        for (const MasterRecord& entry : master.entries) {
            if (!IsDirectoryEntry(entry) && SecurityMatchesKey(entry, m_key)) {
                record = entry;
                DatesToIeee(record);
                foundDir = dir;
                return true;
            }
        }
        // A master cut short by its count is not trusted to lead anywhere.
        if (!master.complete || depth >= kMaxSearchDepth) return false;
        for (const MasterRecord& entry : master.entries) {
            if (!IsDirectoryEntry(entry)) continue;
            const std::string name = DirectoryName(entry);
            if (!IsFollowableDirectoryName(name)) continue;
            const auto sub = FindIgnoringCase(dir.empty() ? "." : dir, name);
            const std::string subDir = (dir.empty() ? "" : dir) + sub.filename().string() + "/";
            if (Search(subDir, depth + 1, record, foundDir)) return true;
        }
        return false;
    }

private:
    FileSystem& m_fs;
    const std::string& m_key;
    std::set<std::filesystem::path> m_visited;
};

}  // namespace

bool IsFollowableDirectoryName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
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
    return EqualsIgnoringCase(key, std::string_view(symbol).substr(0, static_cast<std::size_t>(end)));
}

std::int16_t FindSecurity(const std::string& startDir, const std::string& key,
                          MasterRecord& record, std::string& foundDir, FileSystem& fs) {
    std::string dir = startDir;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    TreeSearch search(fs, key);
    MasterRecord found{};
    std::string where;
    if (!search.Search(dir, 0, found, where)) return kSecurityNotFound;
    record = found;
    foundDir = where;
    return kSecurityFound;
}

}  // namespace corvat
