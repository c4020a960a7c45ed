#include "master_tree.h"

#include <set>

#include "case_blind_path.h"

namespace corvat {
namespace {

class TreeWalk {
public:
    TreeWalk(FileSystem& fs, const MasterVisitor& visit,
             std::vector<SkippedDirectoryEntry>* skipped)
        : m_fs(fs), m_visit(visit), m_skipped(skipped) {}

    bool Visit(const std::filesystem::path& dir, const std::string& relative, int depth) {
        m_visited.insert(CanonicalOr(dir));

        MasterTreeNode node;
        ReadDirectoryIndex(m_fs, dir, node);
        node.relative = relative;
        node.depth = depth;
        if (!m_visit(node)) return false;
        if (!node.error.empty()) return true;
        const MasterListing& listing = node.listing;
        for (const MasterEntry& entry : listing.Entries()) {
            if (!entry.isDirectory) continue;
            SkippedDirectoryEntry skip{relative, entry.recordNumber, entry.directoryName,
                                       SkipReason::UnusableName};
            if (!IsFollowableDirectoryName(entry.directoryName)) {
                Skip(skip);
                continue;
            }
            if (!listing.Complete()) {
                skip.reason = SkipReason::MasterCutShort;
                Skip(skip);
                continue;
            }
            if (depth >= kMaxSearchDepth) {
                skip.reason = SkipReason::TooDeep;
                Skip(skip);
                continue;
            }
            const auto sub = FindIgnoringCase(m_fs, dir, entry.directoryName);
            if (m_visited.count(CanonicalOr(sub)) != 0) {
                skip.reason = SkipReason::AlreadyVisited;
                Skip(skip);
                continue;
            }
            const std::string name = sub.filename().string();
            if (!Visit(sub, relative.empty() ? name : relative + "/" + name, depth + 1)) {
                return false;
            }
        }
        return true;
    }

private:
    // A directory's identity; the path as given when the system cannot say.
    std::filesystem::path CanonicalOr(const std::filesystem::path& dir) {
        std::error_code ec;
        auto canonical = m_fs.WeaklyCanonical(dir, ec);
        return ec ? dir : canonical;
    }

    void Skip(const SkippedDirectoryEntry& skip) {
        if (m_skipped) m_skipped->push_back(skip);
    }

    FileSystem& m_fs;
    const MasterVisitor& m_visit;
    std::vector<SkippedDirectoryEntry>* m_skipped;
    std::set<std::filesystem::path> m_visited;
};

}  // namespace

MasterTreeNode ReadTreeNode(FileSystem& fs, const std::filesystem::path& dir) {
    MasterTreeNode node;
    ReadDirectoryIndex(fs, dir, node);
    return node;
}

bool IsFollowableDirectoryName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

bool WalkMasters(FileSystem& fs, const std::filesystem::path& start, const MasterVisitor& visit,
                 std::vector<SkippedDirectoryEntry>* skipped) {
    return TreeWalk(fs, visit, skipped).Visit(start, "", 0);
}

MasterTree WalkMasterTree(const std::filesystem::path& start, FileSystem& fs) {
    MasterTree tree;
    WalkMasters(
        fs, start,
        [&](const MasterTreeNode& node) {
            tree.nodes.push_back(node);
            return true;
        },
        &tree.skipped);
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
