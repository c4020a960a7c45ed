#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

namespace corvat {

enum class OpenMode {
    Read,      // existing file, reading from the start
    Truncate,  // create or replace, writing from the start
    Append,    // existing file, every write lands at its end
};

// An open file. Errors come back through `ec`; nothing throws.
class File {
public:
    virtual ~File() = default;

    // Reads up to `size` bytes; returns how many were read, 0 at the end.
    virtual std::size_t Read(void* data, std::size_t size, std::error_code& ec) = 0;
    virtual void Write(const void* data, std::size_t size, std::error_code& ec) = 0;
    virtual void Seek(std::uint64_t offset, std::error_code& ec) = 0;
    // Pushes everything written so far to the disk itself, not only to the
    // system's cache, so a crash after a rename cannot leave an empty file.
    virtual void Flush(std::error_code& ec) = 0;
    virtual void Close(std::error_code& ec) = 0;
};

enum class LockMode { Shared, Exclusive };

// A lock on a directory, released when the object goes (or when the
// process ends, however it ends).
class HeldLock {
public:
    virtual ~HeldLock() = default;
};

// Every operation the engine performs on files and directories goes
// through this seam, questions about them included, so tests can make any
// single call fail and prove that nothing is lost.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The absolute path without links, "." or ".."; the path must exist.
    virtual std::filesystem::path Canonical(const std::filesystem::path& path,
                                            std::error_code& ec) = 0;
    // As Canonical, for a path whose trailing part need not exist.
    virtual std::filesystem::path WeaklyCanonical(const std::filesystem::path& path,
                                                  std::error_code& ec) = 0;
    // What a path names, following links; file_type::not_found (and no
    // error) when nothing is there.
    virtual std::filesystem::file_status Status(const std::filesystem::path& path,
                                                std::error_code& ec) = 0;
    // As Status, for the link itself rather than what it points to.
    virtual std::filesystem::file_status SymlinkStatus(const std::filesystem::path& path,
                                                       std::error_code& ec) = 0;
    virtual std::uintmax_t FileSize(const std::filesystem::path& path, std::error_code& ec) = 0;
    // The entries of a directory in the order the system gives them; on an
    // error, those listed before it.
    virtual std::vector<std::filesystem::path> ListDirectory(const std::filesystem::path& dir,
                                                             std::error_code& ec) = 0;

    virtual std::unique_ptr<File> Open(const std::filesystem::path& path, OpenMode mode,
                                       std::error_code& ec) = 0;
    // Replaces `to` atomically when it exists.
    virtual void Rename(const std::filesystem::path& from, const std::filesystem::path& to,
                        std::error_code& ec) = 0;
    virtual void Remove(const std::filesystem::path& path, std::error_code& ec) = 0;
    // Makes a completed rename in `dir` survive a power loss.
    virtual void SyncDirectory(const std::filesystem::path& dir, std::error_code& ec) = 0;
    // Locks the directory itself without waiting. When another program
    // holds it, returns null with `ec` set to operation_would_block; any
    // other error means this file system cannot lock the directory at all.
    virtual std::unique_ptr<HeldLock> TryLockDirectory(const std::filesystem::path& dir,
                                                       LockMode mode, std::error_code& ec) = 0;
};

// The operating system's files.
FileSystem& RealFileSystem();

}  // namespace corvat
