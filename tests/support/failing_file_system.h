#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "file_system.h"

namespace corvat::test {

enum class SeamCall {
    Open,
    Rename,
    Remove,
    SyncDirectory,
    LockDirectory,
    Read,
    Write,
    Seek,
    Flush,
    Close,
    Canonical,
    WeaklyCanonical,
    Status,
    SymlinkStatus,
    FileSize,
    ListDirectory,
};

const char* SeamCallName(SeamCall call);

// One call through the seam, as the failure rules and the log see it.
struct SeamCallInfo {
    long number = 0;  // 1 for the first call through this file system
    SeamCall call = SeamCall::Open;
    std::filesystem::path path;      // the file's path; for Rename the source
    std::filesystem::path target;    // Rename only
    OpenMode mode = OpenMode::Read;  // the mode the file was opened in

    std::string Describe() const;
};

// Wraps a file system and counts every call through the seam, file calls
// included, so a test can make exactly the k-th one fail, every call from
// the k-th on, or those a rule picks (an unreadable MASTER, a read-only
// directory, a full disk). A failed call does nothing, except Close, which
// still releases the file as a real failed close does.
class FailingFileSystem final : public FileSystem {
public:
    using Rule = std::function<std::optional<std::errc>(const SeamCallInfo&)>;

    explicit FailingFileSystem(FileSystem& inner = RealFileSystem());
    ~FailingFileSystem() override;

    // Fails call number `k` (1-based) with `error`; 0 fails nothing.
    void FailCall(long k, std::errc error = std::errc::io_error);
    // Fails call `k` and every later one, like a disk that went away.
    void FailFromCall(long k, std::errc error = std::errc::io_error);
    void AddRule(Rule rule);
    // Writes succeed until `bytes` more have been written, then fail with
    // "no space left"; the write that crosses the limit is cut short.
    void SetFreeSpace(std::size_t bytes);

    long Calls() const;
    // The calls that were made to fail, described.
    const std::vector<std::string>& Failures() const;
    // Every call in order, described ("write /x/MASTER.~NU"); off unless
    // asked for, as the sweeps make many runs.
    void KeepLog(bool keep);
    const std::vector<SeamCallInfo>& Log() const;

    std::unique_ptr<File> Open(const std::filesystem::path& path, OpenMode mode,
                               std::error_code& ec) override;
    void Rename(const std::filesystem::path& from, const std::filesystem::path& to,
                std::error_code& ec) override;
    void Remove(const std::filesystem::path& path, std::error_code& ec) override;
    void SyncDirectory(const std::filesystem::path& dir, std::error_code& ec) override;
    std::filesystem::path Canonical(const std::filesystem::path& path,
                                    std::error_code& ec) override;
    std::filesystem::path WeaklyCanonical(const std::filesystem::path& path,
                                          std::error_code& ec) override;
    std::filesystem::file_status Status(const std::filesystem::path& path,
                                        std::error_code& ec) override;
    std::filesystem::file_status SymlinkStatus(const std::filesystem::path& path,
                                               std::error_code& ec) override;
    std::uintmax_t FileSize(const std::filesystem::path& path, std::error_code& ec) override;
    std::vector<std::filesystem::path> ListDirectory(const std::filesystem::path& dir,
                                                     std::error_code& ec) override;
    std::unique_ptr<HeldLock> TryLockDirectory(const std::filesystem::path& dir, LockMode mode,
                                               std::error_code& ec) override;

    struct State;

private:
    // Counts a question about `path`; true (with `ec` set) when it is to fail.
    bool FailQuery(SeamCall call, const std::filesystem::path& path, std::error_code& ec);

    FileSystem& m_inner;
    std::shared_ptr<State> m_state;
};

}  // namespace corvat::test
