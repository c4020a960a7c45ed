#include "master_tree.h"

#include <set>

#include "case_blind_path.h"
#include "master_search.h"

namespace corvat {
namespace {

class TreeWalk {
public:
    TreeWalk(FileSystem& fs, MasterTree& tree) : m_fs(fs), m_tree(tree) {}

    void Visit(const std::filesystem::path& dir, const std::string& relative, int depth) {
        std::error_code ec;
        const auto canonical = std::filesystem::weakly_canonical(dir, ec);
        m_visited.insert(ec ? dir : canonical);

        m_tree.nodes.push_back(MasterTreeNode{dir, relative, depth, {}, {}});
        const std::size_t index = m_tree.nodes.size() - 1;
        {
            MasterTreeNode& node = m_tree.nodes[index];
            node.error = ReadMasterListing(dir, node.listing, m_fs);
            if (!node.error.empty()) return;
        }
        // Copied: visiting a sub-tree grows the node vector.
        const MasterListing listing = m_tree.nodes[index].listing;
        for (const MasterEntry& entry : listing.Entries()) {
            if (!entry.isDirectory) continue;
            SkippedDirectoryEntry skip{relative, entry.recordNumber, entry.directoryName,
                                       SkipReason::UnusableName};
            if (!IsFollowableDirectoryName(entry.directoryName)) {
                m_tree.skipped.push_back(skip);
                continue;
            }
            if (!listing.Complete()) {
                skip.reason = SkipReason::MasterCutShort;
                m_tree.skipped.push_back(skip);
                continue;
            }
            if (depth >= kMaxSearchDepth) {
                skip.reason = SkipReason::TooDeep;
                m_tree.skipped.push_back(skip);
                continue;
            }
            const auto sub = FindIgnoringCase(dir, entry.directoryName);
            const auto subCanonical = std::filesystem::weakly_canonical(sub, ec);
            if (m_visited.count(ec ? sub : subCanonical) != 0) {
                skip.reason = SkipReason::AlreadyVisited;
                m_tree.skipped.push_back(skip);
                continue;
            }
            const std::string name = sub.filename().string();
            Visit(sub, relative.empty() ? name : relative + "/" + name, depth + 1);
        }
    }

private:
    FileSystem& m_fs;
    MasterTree& m_tree;
    std::set<std::filesystem::path> m_visited;
};

}  // namespace

MasterTree WalkMasterTree(const std::filesystem::path& start, FileSystem& fs) {
    MasterTree tree;
    TreeWalk(fs, tree).Visit(start, "", 0);
    return tree;
}

const char* SkipReasonText(SkipReason reason) {
    switch (reason) {
        case SkipReason::UnusableName:
            return "its name cannot be followed";
        case SkipReason::AlreadyVisited:
            return "it leads to a directory already visited (a loop)";
        case SkipReason::TooDeep:
            return "it lies deeper than the search follows";
        case SkipReason::MasterCutShort:
            return "its master holds fewer entries than its header counts";
    }
    return "";
}

}  // namespace corvat
