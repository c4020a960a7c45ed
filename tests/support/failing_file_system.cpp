#include "failing_file_system.h"

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

    // Counts the call; true (with `ec` set) when it is to fail.
    bool Fail(SeamCallInfo info, std::error_code& ec) {
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
        if (!failure) return false;
        failures.push_back(info.Describe());
        ec = std::make_error_code(*failure);
        return true;
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
        return Fail(SeamCall::Read, ec) ? 0 : m_inner->Read(data, size, ec);
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
        if (!Fail(SeamCall::Seek, ec)) m_inner->Seek(offset, ec);
    }
    void Flush(std::error_code& ec) override {
        if (!Fail(SeamCall::Flush, ec)) m_inner->Flush(ec);
    }
    void Close(std::error_code& ec) override {
        std::error_code ignored;  // a failed close still releases the file
        m_inner->Close(Fail(SeamCall::Close, ec) ? ignored : ec);
    }

private:
    bool Fail(SeamCall call, std::error_code& ec) {
        return m_state->Fail({0, call, m_path, {}, m_mode}, ec);
    }

    std::unique_ptr<File> m_inner;
    std::shared_ptr<FailingFileSystem::State> m_state;
    std::filesystem::path m_path;
    OpenMode m_mode;
};

}  // namespace

const char* SeamCallName(SeamCall call) {
    static const char* const kNames[] = {
        "open",   "rename",         "remove",    "sync-dir", "lock-dir",  "read",
        "write",  "seek",           "flush",     "close",    "canonical", "weakly-canonical",
        "status", "symlink-status", "file-size", "list"};
    return kNames[static_cast<std::size_t>(call)];
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

bool FailingFileSystem::FailQuery(SeamCall call, const std::filesystem::path& path,
                                  std::error_code& ec) {
    return m_state->Fail({0, call, path, {}, OpenMode::Read}, ec);
}

std::unique_ptr<File> FailingFileSystem::Open(const std::filesystem::path& path, OpenMode mode,
                                              std::error_code& ec) {
    if (m_state->Fail({0, SeamCall::Open, path, {}, mode}, ec)) return nullptr;
    auto file = m_inner.Open(path, mode, ec);
    if (!file) return nullptr;
    return std::make_unique<FailingFile>(std::move(file), m_state, path, mode);
}

void FailingFileSystem::Rename(const std::filesystem::path& from, const std::filesystem::path& to,
                               std::error_code& ec) {
    if (!m_state->Fail({0, SeamCall::Rename, from, to, OpenMode::Read}, ec))
        m_inner.Rename(from, to, ec);
}

void FailingFileSystem::Remove(const std::filesystem::path& path, std::error_code& ec) {
    if (!FailQuery(SeamCall::Remove, path, ec)) m_inner.Remove(path, ec);
}

void FailingFileSystem::SyncDirectory(const std::filesystem::path& dir, std::error_code& ec) {
    if (!FailQuery(SeamCall::SyncDirectory, dir, ec)) m_inner.SyncDirectory(dir, ec);
}

std::unique_ptr<HeldLock> FailingFileSystem::TryLockDirectory(const std::filesystem::path& dir,
                                                              LockMode mode, std::error_code& ec) {
    if (FailQuery(SeamCall::LockDirectory, dir, ec)) return nullptr;
    return m_inner.TryLockDirectory(dir, mode, ec);
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

}  // namespace corvat::test
