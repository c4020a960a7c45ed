#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "file_system.h"

namespace corvat {
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

// Small writes (a 4-byte field, a 53-byte record) are gathered here so a
// conversion costs one system call per buffer, not one per record.
constexpr std::size_t kWriteBufferSize = 64 * 1024;

class PosixFile final : public File {
public:
    explicit PosixFile(int fd) : m_fd(fd) {}
    ~PosixFile() override {
        if (m_fd >= 0) {
            std::error_code ignored;
            Close(ignored);
        }
    }

    std::size_t Read(void* data, std::size_t size, std::error_code& ec) override {
        if (!FlushBuffer(ec)) return 0;
        for (;;) {
            ssize_t got = ::read(m_fd, data, size);
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) {
                ec = LastError();
                return 0;
            }
        }
    }

    void Write(const void* data, std::size_t size, std::error_code& ec) override {
        const auto* bytes = static_cast<const char*>(data);
        if (m_used + size > kWriteBufferSize && !FlushBuffer(ec)) return;
        if (size >= kWriteBufferSize) {
            WriteAll(bytes, size, ec);
            return;
        }
        if (!m_buffer) m_buffer = std::make_unique<char[]>(kWriteBufferSize);
        std::memcpy(m_buffer.get() + m_used, bytes, size);
        m_used += size;
    }

    void Seek(std::uint64_t offset, std::error_code& ec) override {
        if (!FlushBuffer(ec)) return;
        if (::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) < 0) ec = LastError();
    }

    void Flush(std::error_code& ec) override {
        if (!FlushBuffer(ec)) return;
        if (::fsync(m_fd) != 0) ec = LastError();
    }

    void Close(std::error_code& ec) override {
        FlushBuffer(ec);
        if (::close(m_fd) != 0 && !ec) ec = LastError();
        m_fd = -1;
    }

private:
    bool FlushBuffer(std::error_code& ec) {
        if (m_used == 0) return true;
        WriteAll(m_buffer.get(), m_used, ec);
        m_used = 0;
        return !ec;
    }

    void WriteAll(const char* bytes, std::size_t size, std::error_code& ec) {
        while (size > 0) {
            ssize_t done = ::write(m_fd, bytes, size);
            if (done < 0) {
                if (errno == EINTR) continue;
                ec = LastError();
                return;
            }
            bytes += done;
            size -= static_cast<std::size_t>(done);
        }
    }

    int m_fd;
    std::unique_ptr<char[]> m_buffer;  // made on the first small write
    std::size_t m_used = 0;
};

// Nothing at a path is an answer, not an error.
std::filesystem::file_status Found(std::filesystem::file_status status, std::error_code& ec) {
    if (status.type() == std::filesystem::file_type::not_found) ec.clear();
    return status;
}
// flock on the directory's own descriptor: one lock every program sees,
// whatever files are renamed inside, held by this open file description
// alone (closing some other descriptor of the directory keeps it), and
// dropped by the system when the process dies.
class PosixDirectoryLock final : public HeldLock {
public:
    explicit PosixDirectoryLock(int fd) : m_fd(fd) {}
    ~PosixDirectoryLock() override { ::close(m_fd); }
    PosixDirectoryLock(const PosixDirectoryLock&) = delete;
    PosixDirectoryLock& operator=(const PosixDirectoryLock&) = delete;

private:
    int m_fd;
};

class PosixFileSystem final : public FileSystem {
public:
    std::filesystem::path Canonical(const std::filesystem::path& path,
                                    std::error_code& ec) override {
        return std::filesystem::canonical(path, ec);
    }

    std::filesystem::path WeaklyCanonical(const std::filesystem::path& path,
                                          std::error_code& ec) override {
        return std::filesystem::weakly_canonical(path, ec);
    }

    std::filesystem::file_status Status(const std::filesystem::path& path,
                                        std::error_code& ec) override {
        return Found(std::filesystem::status(path, ec), ec);
    }

    std::filesystem::file_status SymlinkStatus(const std::filesystem::path& path,
                                               std::error_code& ec) override {
        return Found(std::filesystem::symlink_status(path, ec), ec);
    }

    std::uintmax_t FileSize(const std::filesystem::path& path, std::error_code& ec) override {
        return std::filesystem::file_size(path, ec);
    }

    std::vector<std::filesystem::path> ListDirectory(const std::filesystem::path& dir,
                                                     std::error_code& ec) override {
        std::vector<std::filesystem::path> entries;
        for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end;
             it.increment(ec)) {
            entries.push_back(it->path());
        }
        return entries;
    }

    std::unique_ptr<File> Open(const std::filesystem::path& path, OpenMode mode,
                               std::error_code& ec) override {
        int flags = O_CLOEXEC;
        switch (mode) {
            case OpenMode::Read:
                flags |= O_RDONLY;
                break;
            case OpenMode::Truncate:
                flags |= O_WRONLY | O_CREAT | O_TRUNC;
                break;
            case OpenMode::Append:
                flags |= O_WRONLY | O_APPEND;
                break;
        }
        int fd = ::open(path.c_str(), flags, 0666);
        if (fd < 0) {
            ec = LastError();
            return nullptr;
        }
        // A directory opens read-only on POSIX; reading it fails later with a
        // less helpful reason, so refuse it here.
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
            ::close(fd);
            ec = std::make_error_code(std::errc::is_a_directory);
            return nullptr;
        }
        return std::make_unique<PosixFile>(fd);
    }

    void Rename(const std::filesystem::path& from, const std::filesystem::path& to,
                std::error_code& ec) override {
        if (::rename(from.c_str(), to.c_str()) != 0) ec = LastError();
    }

    void Remove(const std::filesystem::path& path, std::error_code& ec) override {
        if (::unlink(path.c_str()) != 0) ec = LastError();
    }

    void SyncDirectory(const std::filesystem::path& dir, std::error_code& ec) override {
        int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            ec = LastError();
            return;
        }
        if (::fsync(fd) != 0) ec = LastError();
        ::close(fd);
    }

    std::unique_ptr<HeldLock> TryLockDirectory(const std::filesystem::path& dir, LockMode mode,
                                               std::error_code& ec) override {
        int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            ec = LastError();
            return nullptr;
        }
        const int operation = (mode == LockMode::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
        int done;
        while ((done = ::flock(fd, operation)) != 0 && errno == EINTR) {
        }
        if (done == 0) return std::make_unique<PosixDirectoryLock>(fd);
        ec = errno == EWOULDBLOCK ? std::make_error_code(std::errc::operation_would_block)
                                  : LastError();
        ::close(fd);
        return nullptr;
    }
};

}  // namespace

FileSystem& RealFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

}  // namespace corvat
