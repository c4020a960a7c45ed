#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "file_system.h"
#include "master_listing.h"

namespace corvat {

// One master reached while walking a tree of data directories.
struct MasterTreeNode {
    std::filesystem::path directory;
    std::string relative;  // empty for the start directory, else "SUB/DEEP"
    int depth = 0;
    std::string error;  // why the master could not be read; empty when it was
    MasterListing listing;
};

// Why a directory entry was not followed.
enum class SkipReason {
    UnusableName,    // empty, ".", ".." or holding "/"
    AlreadyVisited,  // leads back into the tree (a loop) or to a directory seen before
    TooDeep,         // below the master search's deepest level
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

// Walks the masters that `start`'s directory entries lead to, the way the
// master search does: sub-directories found ignoring letter case, each
// directory visited once (by canonical path), no deeper than the search.
MasterTree WalkMasterTree(const std::filesystem::path& start, FileSystem& fs = RealFileSystem());

const char* SkipReasonText(SkipReason reason);

}  // namespace corvat
