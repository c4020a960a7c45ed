#include "failing_file_system.h"

#include <algorithm>

namespace corvat::test {

struct FailingFileSystem::State {
    long calls = 0;
    long failAt = 0;
    bool failOnwards = false;
    std::errc error = std::errc::io_error;
    std::vector<Rule> rules;
    std::optional<std::size_t> freeSpace;
    std::vector<std::string> failures;
    bool keepLog = false;
    std::vector<SeamCallInfo> log;

    // Counts the call; returns the error it is to fail with, if any.
    std::optional<std::errc> Enter(SeamCallInfo info) {
        info.number = ++calls;
        if (keepLog) log.push_back(info);
        std::optional<std::errc> failure;
        if (failAt > 0 && (info.number == failAt || (failOnwards && info.number > failAt))) {
            failure = error;
        }
        for (const Rule& rule : rules) {
            if (failure) break;
            failure = rule(info);
        }
        if (failure) failures.push_back(info.Describe());
        return failure;
    }
};

namespace {

class FailingFile final : public File {
public:
    FailingFile(std::unique_ptr<File> inner, std::shared_ptr<FailingFileSystem::State> state,
                std::filesystem::path path, OpenMode mode)
        : m_inner(std::move(inner)),
          m_state(std::move(state)),
          m_path(std::move(path)),
          m_mode(mode) {}

    std::size_t Read(void* data, std::size_t size, std::error_code& ec) override {
        if (Fail(SeamCall::Read, ec)) return 0;
        return m_inner->Read(data, size, ec);
    }

    void Write(const void* data, std::size_t size, std::error_code& ec) override {
        if (Fail(SeamCall::Write, ec)) return;
        auto& space = m_state->freeSpace;
        if (space && size > *space) {
            m_inner->Write(data, *space, ec);
            *space = 0;
            if (!ec) ec = std::make_error_code(std::errc::no_space_on_device);
            m_state->failures.push_back("write (disk full) " + m_path.string());
            return;
        }
        if (space) *space -= size;
        m_inner->Write(data, size, ec);
    }

    void Seek(std::uint64_t offset, std::error_code& ec) override {
        if (Fail(SeamCall::Seek, ec)) return;
        m_inner->Seek(offset, ec);
    }

    void Flush(std::error_code& ec) override {
        if (Fail(SeamCall::Flush, ec)) return;
        m_inner->Flush(ec);
    }

    void Close(std::error_code& ec) override {
        if (Fail(SeamCall::Close, ec)) {
            std::error_code ignored;
            m_inner->Close(ignored);
            return;
        }
        m_inner->Close(ec);
    }

private:
    bool Fail(SeamCall call, std::error_code& ec) {
        SeamCallInfo info;
        info.call = call;
        info.path = m_path;
        info.mode = m_mode;
        if (auto error = m_state->Enter(info)) {
            ec = std::make_error_code(*error);
            return true;
        }
        return false;
    }

    std::unique_ptr<File> m_inner;
    std::shared_ptr<FailingFileSystem::State> m_state;
    std::filesystem::path m_path;
    OpenMode m_mode;
};

}  // namespace

const char* SeamCallName(SeamCall call) {
    switch (call) {
        case SeamCall::Open:
            return "open";
        case SeamCall::Rename:
            return "rename";
        case SeamCall::Remove:
            return "remove";
        case SeamCall::SyncDirectory:
            return "sync-dir";
        case SeamCall::LockDirectory:
            return "lock-dir";
        case SeamCall::Read:
            return "read";
        case SeamCall::Write:
            return "write";
        case SeamCall::Seek:
            return "seek";
        case SeamCall::Flush:
            return "flush";
        case SeamCall::Close:
            return "close";
        case SeamCall::Canonical:
            return "canonical";
        case SeamCall::WeaklyCanonical:
            return "weakly-canonical";
        case SeamCall::Status:
            return "status";
        case SeamCall::SymlinkStatus:
            return "symlink-status";
        case SeamCall::FileSize:
            return "file-size";
        case SeamCall::ListDirectory:
            return "list";
    }
    return "?";
}

std::string SeamCallInfo::Describe() const {
    std::string text = std::string(SeamCallName(call)) + " " + path.string();
    if (call == SeamCall::Rename) text += " -> " + target.string();
    if (call == SeamCall::Open) {
        text += mode == OpenMode::Read       ? " (read)"
                : mode == OpenMode::Truncate ? " (create)"
                                             : " (append)";
    }
    return "#" + std::to_string(number) + " " + text;
}

FailingFileSystem::FailingFileSystem(FileSystem& inner)
    : m_inner(inner), m_state(std::make_shared<State>()) {}

FailingFileSystem::~FailingFileSystem() = default;

void FailingFileSystem::FailCall(long k, std::errc error) {
    m_state->failAt = k;
    m_state->failOnwards = false;
    m_state->error = error;
}

void FailingFileSystem::FailFromCall(long k, std::errc error) {
    FailCall(k, error);
    m_state->failOnwards = true;
}

void FailingFileSystem::AddRule(Rule rule) { m_state->rules.push_back(std::move(rule)); }

void FailingFileSystem::SetFreeSpace(std::size_t bytes) { m_state->freeSpace = bytes; }

long FailingFileSystem::Calls() const { return m_state->calls; }

const std::vector<std::string>& FailingFileSystem::Failures() const { return m_state->failures; }

void FailingFileSystem::KeepLog(bool keep) { m_state->keepLog = keep; }

const std::vector<SeamCallInfo>& FailingFileSystem::Log() const { return m_state->log; }

std::unique_ptr<File> FailingFileSystem::Open(const std::filesystem::path& path, OpenMode mode,
                                              std::error_code& ec) {
    SeamCallInfo info;
    info.call = SeamCall::Open;
    info.path = path;
    info.mode = mode;
    if (auto error = m_state->Enter(info)) {
        ec = std::make_error_code(*error);
        return nullptr;
    }
    auto file = m_inner.Open(path, mode, ec);
    if (!file) return nullptr;
    return std::make_unique<FailingFile>(std::move(file), m_state, path, mode);
}

void FailingFileSystem::Rename(const std::filesystem::path& from, const std::filesystem::path& to,
                               std::error_code& ec) {
    SeamCallInfo info;
    info.call = SeamCall::Rename;
    info.path = from;
    info.target = to;
    if (auto error = m_state->Enter(info)) {
        ec = std::make_error_code(*error);
        return;
    }
    m_inner.Rename(from, to, ec);
}

void FailingFileSystem::Remove(const std::filesystem::path& path, std::error_code& ec) {
    SeamCallInfo info;
    info.call = SeamCall::Remove;
    info.path = path;
    if (auto error = m_state->Enter(info)) {
        ec = std::make_error_code(*error);
        return;
    }
    m_inner.Remove(path, ec);
}

void FailingFileSystem::SyncDirectory(const std::filesystem::path& dir, std::error_code& ec) {
    SeamCallInfo info;
    info.call = SeamCall::SyncDirectory;
    info.path = dir;
    if (auto error = m_state->Enter(info)) {
        ec = std::make_error_code(*error);
        return;
    }
    m_inner.SyncDirectory(dir, ec);
}

bool FailingFileSystem::FailQuery(SeamCall call, const std::filesystem::path& path,
                                  std::error_code& ec) {
    SeamCallInfo info;
    info.call = call;
    info.path = path;
    if (auto error = m_state->Enter(info)) {
        ec = std::make_error_code(*error);
        return true;
    }
    return false;
}

std::filesystem::path FailingFileSystem::Canonical(const std::filesystem::path& path,
                                                   std::error_code& ec) {
    return FailQuery(SeamCall::Canonical, path, ec) ? std::filesystem::path()
                                                    : m_inner.Canonical(path, ec);
}

std::filesystem::path FailingFileSystem::WeaklyCanonical(const std::filesystem::path& path,
                                                         std::error_code& ec) {
    return FailQuery(SeamCall::WeaklyCanonical, path, ec) ? std::filesystem::path()
                                                          : m_inner.WeaklyCanonical(path, ec);
}

std::filesystem::file_status FailingFileSystem::Status(const std::filesystem::path& path,
                                                       std::error_code& ec) {
    return FailQuery(SeamCall::Status, path, ec) ? std::filesystem::file_status()
                                                 : m_inner.Status(path, ec);
}

std::filesystem::file_status FailingFileSystem::SymlinkStatus(const std::filesystem::path& path,
                                                              std::error_code& ec) {
    return FailQuery(SeamCall::SymlinkStatus, path, ec) ? std::filesystem::file_status()
                                                        : m_inner.SymlinkStatus(path, ec);
}

std::uintmax_t FailingFileSystem::FileSize(const std::filesystem::path& path, std::error_code& ec) {
    return FailQuery(SeamCall::FileSize, path, ec) ? 0 : m_inner.FileSize(path, ec);
}

std::vector<std::filesystem::path> FailingFileSystem::ListDirectory(
    const std::filesystem::path& dir, std::error_code& ec) {
    if (FailQuery(SeamCall::ListDirectory, dir, ec)) return {};
    return m_inner.ListDirectory(dir, ec);
}

std::unique_ptr<HeldLock> FailingFileSystem::TryLockDirectory(const std::filesystem::path& dir,
                                                              LockMode mode, std::error_code& ec) {
    SeamCallInfo info;
    info.call = SeamCall::LockDirectory;
    info.path = dir;
    if (auto error = m_state->Enter(info)) {
        ec = std::make_error_code(*error);
        return nullptr;
    }
    return m_inner.TryLockDirectory(dir, mode, ec);
}

}  // namespace corvat::test
