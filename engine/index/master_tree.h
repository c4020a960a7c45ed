#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "file_system.h"
#include "index_listing.h"
#include "master_listing.h"

namespace corvat {

// One directory reached while walking a tree of data directories, with
// its index files read.
struct MasterTreeNode : DirectoryIndex {
    std::string relative;  // empty for the start directory, else "SUB/DEEP"
    int depth = 0;
};

// The start directory alone, as a walk would see it.
MasterTreeNode ReadTreeNode(FileSystem& fs, const std::filesystem::path& dir);

// Why a directory entry was not followed.
enum class SkipReason {
    UnusableName,    // empty, ".", ".." or holding "/"
    AlreadyVisited,  // leads back into the tree (a loop) or to a directory seen before
    TooDeep,         // below kMaxSearchDepth
    MasterCutShort,  // its master counts more entries than it holds
};

struct SkippedDirectoryEntry {
    std::string parent;  // relative directory of the master holding the entry
    int recordNumber = 0;
    std::string name;
    SkipReason reason = SkipReason::UnusableName;
};

struct MasterTree {
    std::vector<MasterTreeNode> nodes;  // depth first, in file order; the start first
    std::vector<SkippedDirectoryEntry> skipped;
};

// Deepest chain of directory entries any walk (the master search's too) follows.
inline constexpr int kMaxSearchDepth = 32;

// Sees each master a walk reaches; false ends the walk there.
using MasterVisitor = std::function<bool(const MasterTreeNode&)>;

// The one walk of a tree of data directories, for every job that follows
// directory entries: depth first in file order, the start first;
// sub-directories found ignoring letter case; each directory visited once
// (by canonical path), so a loop ends; names that would leave the tree, a
// master cut short of its count and chains deeper than kMaxSearchDepth not
// followed, each reported to `skipped` when given. Returns false when the
// visitor ended the walk.
bool WalkMasters(FileSystem& fs, const std::filesystem::path& start, const MasterVisitor& visit,
                 std::vector<SkippedDirectoryEntry>* skipped = nullptr);

// Every master the walk reaches, with the entries it did not follow.
[[nodiscard]] MasterTree WalkMasterTree(const std::filesystem::path& start, FileSystem& fs);

// Whether a directory entry's name may be followed: not empty, ".", ".."
// or holding a "/", which would leave the tree or loop on the spot.
bool IsFollowableDirectoryName(const std::string& name);

const char* SkipReasonText(SkipReason reason);

}  // namespace corvat
