#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "file_system.h"

namespace corvat {

// Reads at most `limit` bytes of a file into `contents` and counts the
// whole length in `size`. A data directory read back may hold files of any
// size (a stray file named F3.DAT); none of them can exhaust memory.
// Returns an empty text on success, else a message naming the file and
// the system's reason.
[[nodiscard]] std::string ReadBounded(FileSystem& fs, const std::filesystem::path& path,
                                      std::size_t limit, std::string& contents,
                                      std::uintmax_t& size);

// Reads no more than the first `limit` bytes; for a file's header alone.
[[nodiscard]] std::string ReadPrefix(FileSystem& fs, const std::filesystem::path& path,
                                     std::size_t limit, std::string& contents);

}  // namespace corvat
