#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "file_system.h"

namespace corvat {

// One thing wrong with a data directory, tied to the file that shows it.
struct Finding {
    std::filesystem::path file;
    std::string text;
};

// Verifies the data directory `dir` without changing it: the master's
// length and count, duplicate file numbers and symbols, each security's
// description and data files against its entry, the entry's dates against
// its first and last records, records out of date order or repeating a
// date, entries without records, data files no entry names, and temporary
// files an interrupted rewrite left behind. With `recursive`, the masters
// its directory entries lead to are checked too, and symbols must be
// unique across the whole tree, as the converter requires.
[[nodiscard]] std::vector<Finding> CheckDataDirectory(const std::filesystem::path& dir,
                                                      bool recursive, FileSystem& fs);

}  // namespace corvat
