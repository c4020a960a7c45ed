#pragma once

#include <cstdint>
#include <string>

#include "file_system.h"
#include "master_record.h"
#include "master_tree.h"

namespace corvat {

inline constexpr std::int16_t kSecurityFound = 0;
inline constexpr std::int16_t kSecurityNotFound = -8;

// Finds a security whose symbol or name equals `key` (ignoring letter case)
// in the master of `startDir` and, depth first, in the masters its directory
// entries lead to, along the one walk of the tree (WalkMasters). On kSecurityFound, `record` holds
// the entry with its two dates turned into IEEE singles and `foundDir` the directory of the master
// that holds it, ending in a separator.
[[nodiscard]] std::int16_t FindSecurity(const std::string& startDir, const std::string& key,
                                        MasterRecord& record, std::string& foundDir,
                                        FileSystem& fs);

// Whether a security entry answers to `key`; exposed for the read-back of
// data directories, which must find securities the same way.
bool SecurityMatchesKey(const MasterRecord& entry, const std::string& key);

}  // namespace corvat
