#pragma once

#include <filesystem>
#include <string_view>

#include "file_system.h"

namespace corvat {

// The data directory's names (MASTER, F3.DAT, sub-directories of directory
// entries) come from programs that ran on case-blind file systems. Returns
// the entry of `dir` whose name equals `name` ignoring letter case, an exact
// match first; when there is none, `dir / name` itself, so a new file gets
// the name as given.
std::filesystem::path FindIgnoringCase(FileSystem& fs, const std::filesystem::path& dir,
                                       std::string_view name);

}  // namespace corvat
