#include "bounded_read.h"

#include <algorithm>
#include <array>

#include "file_ops.h"

namespace corvat {

namespace {

std::string Read(FileSystem& fs, const std::filesystem::path& path, std::size_t limit,
                 std::string& contents, std::uintmax_t& size, bool wholeLength) {
    contents.clear();
    size = 0;
    std::error_code ec;
    auto file = fs.Open(path, OpenMode::Read, ec);
    if (!file) return FileError("open", path, ec);
    std::array<char, 16 * 1024> buffer{};
    for (;;) {
        const std::size_t got = file->Read(buffer.data(), buffer.size(), ec);
        if (ec) {
            std::error_code ignored;
            file->Close(ignored);
            return FileError("read", path, ec);
        }
        if (got == 0) break;
        size += got;
        if (contents.size() < limit) {
            contents.append(buffer.data(), std::min(got, limit - contents.size()));
        }
        if (!wholeLength && contents.size() >= limit) break;
    }
    file->Close(ec);
    return ec ? FileError("read", path, ec) : std::string();
}

}  // namespace

std::string ReadBounded(FileSystem& fs, const std::filesystem::path& path, std::size_t limit,
                        std::string& contents, std::uintmax_t& size) {
    return Read(fs, path, limit, contents, size, true);
}

std::string ReadPrefix(FileSystem& fs, const std::filesystem::path& path, std::size_t limit,
                       std::string& contents) {
    std::uintmax_t size = 0;
    return Read(fs, path, limit, contents, size, false);
}

}  // namespace corvat
