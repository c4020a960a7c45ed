#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "file_system.h"

namespace corvat {

// "Cannot <verb> <path>:\n<reason>": what the user sees when a file lets
// the engine down, naming the file and the system's own reason.
[[nodiscard]] std::string FileError(const char* verb, const std::filesystem::path& path,
                                    const std::error_code& ec);

// Reads a whole file. Returns an empty text on success, else the message.
[[nodiscard]] std::string ReadWholeFile(FileSystem& fs, const std::filesystem::path& path,
                                        std::string& contents);

// Writes `size` bytes to an open file; returns the message on failure.
[[nodiscard]] std::string WriteBytes(File& file, const std::filesystem::path& path,
                                     const void* data, std::size_t size);

// Whether anything stands at `path`, following links; false when the
// system cannot tell.
[[nodiscard]] bool PathExists(FileSystem& fs, const std::filesystem::path& path);
// As PathExists, for the link itself: a dangling link counts.
[[nodiscard]] bool LinkExists(FileSystem& fs, const std::filesystem::path& path);

enum class SyncDirectory { No, Yes };

// The only way a file the user already owns is changed: a complete copy is
// written to `temp`, flushed to disk, and renamed over `target`, so at every
// moment either the old or the new file stands under the target's name.
// On failure the copy is removed and the old file is untouched. With
// `replaced`, the caller learns whether a failure came after the rename
// (the directory sync): the new file then stands all the same.
// With SyncDirectory::No the caller syncs the directory after its last
// rename.
[[nodiscard]] std::string ReplaceFile(FileSystem& fs, const std::filesystem::path& target,
                                      const std::filesystem::path& temp,
                                      const std::function<std::string(File&)>& fill,
                                      bool* replaced = nullptr,
                                      SyncDirectory sync = SyncDirectory::Yes);

// Fills a new file without waiting for the disk: a batch writes all its
// files first and then brings them to the disk together (FlushFiles), so
// the disk sees one stream of writes rather than a barrier per file. On
// failure the file is removed.
[[nodiscard]] std::string WriteFileFlushedLater(FileSystem& fs, const std::filesystem::path& path,
                                                const std::function<std::string(File&)>& fill);

// Brings files written by WriteFileFlushedLater to the disk, then syncs
// `dir` once for their names. Returns the first failure's message.
[[nodiscard]] std::string FlushFiles(FileSystem& fs,
                                     const std::vector<std::filesystem::path>& paths,
                                     const std::filesystem::path& dir);

// Names an interrupted rewrite leaves beside the files it replaces
// (MASTER.~NU, MASTER.NEW, the same of EMASTER and XMASTER, F<n>.NEW), in
// any letter case.
bool IsTemporaryName(const std::string& name);

// Removes the temporary files a killed writer left in `dir`. Only a writer
// that holds the directory's lock may call it: another's are in use.
void RemoveStaleTemporaryFiles(FileSystem& fs, const std::filesystem::path& dir);

}  // namespace corvat
