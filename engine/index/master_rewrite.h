#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "file_system.h"
#include "master_record.h"

namespace corvat {

// A master about to be changed: its header first, then every whole record
// (a trailing fragment dropped). Empty text on success, else the message;
// a file too short for its header, or longer than any count can reach, is
// refused rather than rewritten without its end.
[[nodiscard]] std::string ReadMasterRecords(FileSystem& fs, const std::filesystem::path& path,
                                            std::vector<MasterRecord>& records);

// Replaces the master at `path` with `records` through a copy named with
// `tempSuffix` (kNewMasterSuffix or kReplacementSuffix); `replaced` as
// ReplaceFile's.
[[nodiscard]] std::string ReplaceMasterRecords(FileSystem& fs, const std::filesystem::path& path,
                                               const char* tempSuffix,
                                               const std::vector<MasterRecord>& records,
                                               bool* replaced = nullptr);

}  // namespace corvat
