#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "file_system.h"
#include "index_files.h"
#include "master_record.h"
#include "master_tree.h"

namespace corvat {

inline constexpr std::int16_t kSecurityFound = 0;
inline constexpr std::int16_t kSecurityNotFound = -8;

// Finds a security whose symbol or name equals `key` (ignoring letter case)
// in the index files of `startDir` and, depth first, in those its directory
// entries lead to, along the one walk of the tree (WalkMasters), as
// FindIndexedSecurity does. An entry of EMASTER or XMASTER alone comes back
// in MASTER's form (file number 0 when above 255). On kSecurityFound, `record` holds
// the entry with its two dates turned into IEEE singles and `foundDir` the directory of the master
// that holds it, ending in a separator.
[[nodiscard]] std::int16_t FindSecurity(const std::string& startDir, const std::string& key,
                                        MasterRecord& record, std::string& foundDir,
                                        FileSystem& fs);

// FindSecurity over a tree walked once from `startDir` (WalkMasterTree),
// for a job that searches a tree it does not change many times.
[[nodiscard]] std::int16_t FindSecurityInTree(const MasterTree& tree, const std::string& startDir,
                                              const std::string& key, MasterRecord& record,
                                              std::string& foundDir);

// The one search of a tree for a security, over all three index files of
// each directory: MASTER first, then XMASTER, then the records of an EMASTER
// that is not in step (a symbol there is taken too: half the readers list
// securities from EMASTER alone). On a match `found` holds the entry (with
// EMASTER's long name and bitset when it mirrors MASTER) and `foundDir` the
// directory that holds it.
[[nodiscard]] bool FindIndexedSecurity(FileSystem& fs, const std::filesystem::path& startDir,
                                       const std::string& key, IndexedSecurity& found,
                                       std::filesystem::path& foundDir);

// Whether an entry of EMASTER or XMASTER answers to `key`: its symbol (or
// its first 14 bytes), its name or its long name, in any letter case.
bool IndexedSecurityMatchesKey(const IndexedSecurity& entry, const std::string& key);

// Whether a security entry answers to `key`; exposed for the read-back of
// data directories, which must find securities the same way.
bool SecurityMatchesKey(const MasterRecord& entry, const std::string& key);

}  // namespace corvat
