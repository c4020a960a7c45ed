#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "file_system.h"
#include "mbf.h"

namespace corvat {

// Changes to the entries of a directory's index files that already exist,
// in one place so every index that holds an entry gets the same change.
// Each index is rewritten the safe way; an index whose entry already says
// what it should is left alone.

// Takes the securities numbered `fileNumbers` out of the indexes. MASTER's
// second word becomes the highest number still in use, so the numbers
// removed are free for the next conversion. The rename of MASTER is the
// removal's commit: on failure `committed` tells whether it was done (the
// directory sync after it failed).
[[nodiscard]] std::string RemoveEntries(FileSystem& fs, const std::filesystem::path& dir,
                                        const std::vector<int>& fileNumbers, bool& committed);

}  // namespace corvat
